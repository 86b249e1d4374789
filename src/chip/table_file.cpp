#include "chip/table_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

#include "core/text_io.h"

namespace gc {

namespace {

// Value k of an integer entry, signed or unsigned as the field is declared.
long IntegerValue(const RegisterImage& m, const RegisterParam& e, int k) {
    if (e.type == ParamType::Float || e.type == ParamType::String) return 0;
    return static_cast<long>(ParamGetNumber(m, e, k));  // a double holds every 32-bit value exactly
}

double FloatValue(const RegisterImage& m, const RegisterParam& e, int k) { return ParamGetNumber(m, e, k); }

// A float that the image can hold. Infinities and NaNs are refused like any
// other text that is not a number: whatever consumes the image afterwards
// (clock, gain and frequency conversions) must never see them.
bool ScanFloat(const char* text, const char** end, double& value) {
    value = CToDouble(text, end);
    if (*end == text) return false;
    return std::isfinite(value) && std::fabs(value) <= static_cast<double>(std::numeric_limits<float>::max());
}

std::string FormatSection(const RegisterImage& m, std::span<const RegisterParam> entries) {
    std::string out;
    out.reserve(entries.size() * 64);
    for (const RegisterParam& e : entries) out += FormatTableLine(m, e);
    return out;
}

// The line as a C string would see it: an embedded NUL ends it.
std::string_view AsCText(const std::string& line) { return std::string_view(line.c_str()); }

// Text up to the first blank or tab. A line can only belong to entries whose
// name has the same leading word, so the reader looks those up instead of
// trying all 242 names on every line.
std::string_view LeadingWord(std::string_view text) { return text.substr(0, text.find_first_of(" \t")); }

const std::unordered_multimap<std::string_view, const RegisterParam*>& WorkEntriesByWord() {
    static const auto index = [] {
        std::unordered_multimap<std::string_view, const RegisterParam*> map;
        for (const RegisterParam& e : TableParams()) map.emplace(LeadingWord(e.name), &e);
        return map;
    }();
    return index;
}

}  // namespace

std::string FormatTableLine(const RegisterImage& m, const RegisterParam& e) {
    if (e.count == ParamCount::Scalar) {
        switch (e.type) {
            case ParamType::UInt16:
            case ParamType::Int16:
            case ParamType::Int:
                return StrPrintf("%-22s %ld\n", e.name, IntegerValue(m, e, 0));
            case ParamType::Float:
                return StrPrintf("%-22s %f\n", e.name, FloatValue(m, e, 0));
            case ParamType::String:
                return std::string(e.name) + ParamGetText(m, e, 0) + "\n";
        }
        return {};
    }
    std::string out = StrPrintf("%-25s", e.name);
    for (int k = 0; k < kChannels; ++k) {
        if (e.type == ParamType::Float)
            out += StrPrintf("%-12f", FloatValue(m, e, k));
        else
            out += StrPrintf("%-8ld", IntegerValue(m, e, k));
    }
    out += '\n';
    return out;
}

std::string FormatTableFile(const RegisterImage& work) { return FormatSection(work, TableParams()); }

std::string FormatToolTable(const RegisterImage& tool) { return FormatSection(tool, ToolTableParams()); }

bool WriteTableFile(const RegisterImage& work, const std::filesystem::path& path) {
    return WriteFileAtomic(path, FormatTableFile(work));
}

bool WriteToolTableFile(const RegisterImage& tool, const std::filesystem::path& path) {
    return WriteFileAtomic(path, FormatToolTable(tool));
}

bool LineBelongsTo(std::string_view line, const RegisterParam& e) {
    const size_t n = std::strlen(e.name);
    if (line.size() < n || line.compare(0, n, e.name) != 0) return false;
    if (line.size() == n) return true;
    return line[n] == ' ' || line[n] == '\t';
}

void ParseTableValue(RegisterImage& m, const RegisterParam& e, const char* text) {
    if (e.count == ParamCount::Scalar) {
        switch (e.type) {
            case ParamType::UInt16:
            case ParamType::Int16:
            case ParamType::Int:
                ParamSetInteger(m, e, 0, CToLongHexOrDec(text));
                return;
            case ParamType::Float: {
                const char* end = nullptr;
                double v = 0.0;
                ParamSetFloat(m, e, 0, ScanFloat(text, &end, v) ? v : 0.0);
                return;
            }
            case ParamType::String:
                ParamSetText(m, e, 0, text);
                return;
        }
        return;
    }
    // Four decimal values, channels A..D; the scan stops at the first text that
    // is not a number and the channels it does not reach keep their values.
    for (int k = 0; k < kChannels; ++k) {
        const char* end = nullptr;
        if (e.type == ParamType::Float) {
            double v = 0.0;
            if (!ScanFloat(text, &end, v)) return;
            ParamSetFloat(m, e, k, v);
        } else if (e.type != ParamType::String) {
            long v = CToLong(text, 10, &end);
            if (end == text) return;
            ParamSetInteger(m, e, k, v);
        } else {
            return;
        }
        text = end;
    }
}

bool ReadTableFile(RegisterImage& work, const std::filesystem::path& path) {
    LineReader in(path, kTextOnly);
    if (!in.is_open()) return false;
    ReadTableFile(work, in);
    return true;
}

void ReadTableFile(RegisterImage& work, LineReader& in) {
    const auto& index = WorkEntriesByWord();
    std::string raw;
    while (in.Next(raw)) {
        const std::string_view line = AsCText(raw);
        // Entries in table order, so that two entries of one line are parsed
        // in the order the table lists them.
        auto [first, last] = index.equal_range(LeadingWord(line));
        std::vector<const RegisterParam*> hits;
        for (auto it = first; it != last; ++it)
            if (LineBelongsTo(line, *it->second)) hits.push_back(it->second);
        std::sort(hits.begin(), hits.end());
        for (const RegisterParam* e : hits) ParseTableValue(work, *e, raw.c_str() + std::strlen(e->name));
    }
}

bool ReadToolTableFile(RegisterImage& tool, const std::filesystem::path& path) {
    LineReader in(path, kTextOnly);
    if (!in.is_open()) return false;
    ReadToolTableFile(tool, in);
    return true;
}

void ReadToolTableFile(RegisterImage& tool, LineReader& in) {
    const auto entries = ToolTableParams();
    std::string raw;
    // Lines past the last entry are never read.
    for (size_t k = 0; k < entries.size() && in.Next(raw); ++k) {
        const RegisterParam& e = entries[k];
        if (LineBelongsTo(AsCText(raw), e)) ParseTableValue(tool, e, raw.c_str() + std::strlen(e.name));
    }
}

}  // namespace gc
