#include "chip/compare_report.h"

#include <cstring>

#include "core/param_table.h"
#include "core/text_io.h"

namespace gc {

namespace {

// Fields the tool reports but the configurator does not derive.
bool IsCompared(const RegisterParam& e) {
    static constexpr const char* kSkipped[] = {"agc_mode", "agc_tc", "agc_cf", "sync_mode", "overall_gain"};
    if (e.type == ParamType::String) return false;
    for (const char* name : kSkipped)
        if (std::strcmp(e.name, name) == 0) return false;
    return true;
}

// Raw bits of an integer field: 16-bit fields compare as 16-bit words.
int64_t Bits(const RegisterImage& image, const RegisterParam& e, int k) {
    const auto v = static_cast<int64_t>(ParamGetNumber(image, e, k));
    return e.type == ParamType::Int ? v : static_cast<int64_t>(static_cast<uint16_t>(v));
}

// How a value is printed. Everything before the CIC block (global fields and
// the PFIR blocks) prints signed, the CIC block unsigned, and the summer
// fields and the arrays after it as they are declared.
long Printed(int64_t bits, const RegisterParam& e, bool beforeCic) {
    if (e.type == ParamType::Int) return static_cast<long>(bits);
    const bool isSigned = e.count == ParamCount::CicChannel ? false : beforeCic ? true : e.type == ParamType::Int16;
    return isSigned ? static_cast<long>(static_cast<int16_t>(static_cast<uint16_t>(bits))) : static_cast<long>(bits);
}

}  // namespace

std::string FormatCompareReport(const RegisterImage& work, const RegisterImage& tool, int& differences) {
    differences = 0;

    std::string out = "Error                 our         gc\n";
    bool beforeCic = true;
    for (const RegisterParam& e : ToolTableParams()) {
        if (e.count == ParamCount::CicChannel) beforeCic = false;
        if (!IsCompared(e)) continue;
        const int n = e.values();
        int differing = 0;
        if (e.type == ParamType::Float) {
            double ours[kChannels] = {}, theirs[kChannels] = {};
            for (int k = 0; k < n; ++k) {
                ours[k] = ParamGetNumber(work, e, k);
                theirs[k] = ParamGetNumber(tool, e, k);
                // Floats compare as floats: exact equality, NaN never equal.
                if (!(ours[k] == theirs[k])) ++differing;
            }
            if (differing == 0) continue;
            if (n == 1)
                out += StrPrintf("%-22s %-8f  %-8f\n", e.name, ours[0], theirs[0]);
            else
                out += StrPrintf("%-22s %-6f %-6f %-6f %-6f    %-6f %-6f %-6f %-6f\n", e.name, ours[0], ours[1],
                                 ours[2], ours[3], theirs[0], theirs[1], theirs[2], theirs[3]);
        } else {
            long ours[kChannels] = {}, theirs[kChannels] = {};
            for (int k = 0; k < n; ++k) {
                const int64_t a = Bits(work, e, k), b = Bits(tool, e, k);
                if (a != b) ++differing;
                ours[k] = Printed(a, e, beforeCic);
                theirs[k] = Printed(b, e, beforeCic);
            }
            if (differing == 0) continue;
            if (n == 1)
                out += StrPrintf("%-22s %-8ld  %-8ld\n", e.name, ours[0], theirs[0]);
            else
                out += StrPrintf("%-22s %-6ld %-6ld %-6ld %-6ld    %-6ld %-6ld %-6ld %-6ld\n", e.name, ours[0], ours[1],
                                 ours[2], ours[3], theirs[0], theirs[1], theirs[2], theirs[3]);
        }
        differences += differing;
    }
    return out;
}

CompareResult WriteCompareReport(const RegisterImage& work, const RegisterImage& tool,
                                 const std::filesystem::path& path) {
    CompareResult r;
    const std::string text = FormatCompareReport(work, tool, r.differences);
    r.written = WriteFileAtomic(path, text);
    return r;
}

}  // namespace gc
