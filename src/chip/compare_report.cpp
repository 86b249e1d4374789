#include "chip/compare_report.h"

#include <cstring>
#include <memory>

#include "core/param_table.h"
#include "core/text_io.h"

namespace gc {

namespace {

// Fields the tool reports but the configurator does not derive.
bool IsCompared(const ParamEntry& e) {
    static constexpr const char* kSkipped[] = {"agc_mode", "agc_tc", "agc_cf", "sync_mode", "overall_gain"};
    if (e.type == PT_STRING) return false;
    for (const char* name : kSkipped)
        if (std::strcmp(e.name, name) == 0) return false;
    return true;
}

// Raw bits of an integer field: 16-bit fields compare as 16-bit words.
int64_t Bits(Model& m, const ParamEntry& e, int k) {
    void* p = e.locate(m, k);
    if (e.type == PT_INT) return *static_cast<int32_t*>(p);
    return *static_cast<uint16_t*>(p);
}

// How a value is printed. Everything before the CIC block (global fields and
// the PFIR blocks) prints signed, the CIC block unsigned, and the summer
// fields and the arrays after it as they are declared.
long Printed(int64_t bits, const ParamEntry& e, bool beforeCic) {
    if (e.type == PT_INT) return static_cast<long>(bits);
    const bool isSigned = e.count == PC_CIC_CHANNEL ? false : beforeCic ? true : e.type == PT_INT16;
    return isSigned ? static_cast<long>(static_cast<int16_t>(static_cast<uint16_t>(bits))) : static_cast<long>(bits);
}

double FloatAt(Model& m, const ParamEntry& e, int k) {
    return static_cast<double>(*static_cast<float*>(e.locate(m, k)));
}

}  // namespace

std::string FormatCompareReport(Model& m, int& differences) {
    differences = 0;
    // The tool entries name fields of the tool image; a model whose tool image
    // holds our work image lets the same entries read our own values.
    auto ownHolder = std::make_unique<Model>();
    Model& own = *ownHolder;
    own.toolImage = m.workImage;

    std::string out = "Error                 our         gc\n";
    bool beforeCic = true;
    for (const ParamEntry& e : ParamSection(kToolFirst, kToolLast)) {
        if (e.count == PC_CIC_CHANNEL) beforeCic = false;
        if (!IsCompared(e)) continue;
        const int n = e.values();
        int differing = 0;
        if (e.type == PT_FLOAT) {
            double ours[kChannels] = {}, theirs[kChannels] = {};
            for (int k = 0; k < n; ++k) {
                ours[k] = FloatAt(own, e, k);
                theirs[k] = FloatAt(m, e, k);
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
                const int64_t a = Bits(own, e, k), b = Bits(m, e, k);
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

CompareResult WriteCompareReport(Model& m, const std::filesystem::path& path) {
    CompareResult r;
    const std::string text = FormatCompareReport(m, r.differences);
    r.written = WriteFileAtomic(path, text);
    return r;
}

}  // namespace gc
