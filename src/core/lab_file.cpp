#include "core/lab_file.h"

#include <array>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/channel_rules.h"
#include "core/param_table.h"
#include "core/text_io.h"

namespace gc {

std::string FormatLab(const Settings& s) {
    std::string out = LabHeader(BoardModel);
    out += '\n';
    for (const SettingParam& e : SettingParams()) {
        if (e.type == PT_STRING) {
            out += e.name;
            out += ParamGetText(s, e, 0);
            out += '\n';
        } else if (e.count == PC_SCALAR) {
            if (e.type == PT_FLOAT)
                out += StrPrintf("%-22s %f\n", e.name, ParamGetNumber(s, e, 0));
            else
                out += StrPrintf("%-22s %d\n", e.name, static_cast<int>(ParamGetNumber(s, e, 0)));
        } else {
            out += StrPrintf("%-25s", e.name);
            for (int k = 0; k < kChannels; ++k) {
                std::string field;
                if (e.type == PT_FLOAT)
                    field = StrPrintf("%-12f", ParamGetNumber(s, e, k));
                else
                    field = StrPrintf("%-12d", static_cast<int>(ParamGetNumber(s, e, k)));
                // A value that fills its field (a gain of 10000 or more) would run
                // into the next one and the line would no longer read back.
                if (field.back() != ' ' && k + 1 < kChannels) field += ' ';
                out += field;
            }
            out += '\n';
        }
    }
    return out;
}

bool WriteLab(const Settings& s, const std::filesystem::path& path) { return WriteFileAtomic(path, FormatLab(s)); }

namespace {

// Scans up to four numbers as "%d%d%d%d" or "%f%f%f%f" would; elements the
// scan does not reach keep their values.
void ScanFour(Settings& m, const SettingParam& e, const char* text) {
    for (int k = 0; k < kChannels; ++k) {
        const char* end = nullptr;
        if (e.type == PT_FLOAT) {
            double v = CToDouble(text, &end);
            if (end == text) return;
            ParamSetFloat(m, e, k, v);
        } else {
            long v = CToLong(text, 10, &end);
            if (end == text) return;
            ParamSetInteger(m, e, k, v);
        }
        text = end;
    }
}

// The settings by the first byte of their name, in the list's order, so that
// a line is compared only with the names it can start with (a fuzzer or a
// long foreign file sends millions of lines through here).
struct NamedSetting {
    const SettingParam* param;
    std::string_view name;
};
using SettingsByFirstByte = std::array<std::vector<NamedSetting>, 256>;

const SettingsByFirstByte& SettingsIndex() {
    static const SettingsByFirstByte index = [] {
        SettingsByFirstByte by;
        for (const SettingParam& e : SettingParams()) {
            const std::string_view name(e.name);
            by[static_cast<unsigned char>(name.front())].push_back({&e, name});
        }
        return by;
    }();
    return index;
}

void ApplyLine(Settings& m, const std::string& line) {
    if (line.empty()) return;
    for (const auto& [entry, name] : SettingsIndex()[static_cast<unsigned char>(line.front())]) {
        const SettingParam& e = *entry;
        const size_t n = name.size();
        if (line.size() < n || std::string_view(line).substr(0, n) != name) continue;
        // Text stops at an embedded NUL, as it would in a C string.
        const char* rest = line.c_str() + n;
        if (e.type == PT_STRING) {
            ParamSetText(m, e, 0, rest);
        } else if (e.count != PC_SCALAR) {
            ScanFour(m, e, rest);
        } else if (e.type == PT_FLOAT) {
            ParamSetFloat(m, e, 0, CToDouble(rest));
        } else {
            ParamSetInteger(m, e, 0, CToLongHexOrDec(rest));
        }
    }
}

}  // namespace

std::optional<std::pair<int, int>> CicBoundsOfMode(int mode) {
    switch (mode) {
        case 0:
            return std::make_pair(2, 1);
        case 1:
            return std::make_pair(1, 1);
        case 2:
            return std::make_pair(2, 2);
        default:
            return std::nullopt;
    }
}

int32_t* ModeCicStore(Settings& s, int mode) {
    switch (mode) {
        case 0:
            return s.CicM0Dec;
        case 1:
            return s.CicM1Dec;
        case 2:
            return s.CicM2Dec;
        default:
            return nullptr;
    }
}

const int32_t* ModeCicStore(const Settings& s, int mode) { return ModeCicStore(const_cast<Settings&>(s), mode); }

void TakeModeCicDec(Settings& s, DecimationState& d, int mode) {
    const int32_t* store = ModeCicStore(s, mode);
    if (!store) return;
    std::copy(store, store + kChannels, s.CicDec);
    std::tie(d.CicDecMin, d.CicDecStep) = *CicBoundsOfMode(mode);
}

void ApplyLabLines(Settings& s, DecimationState& d, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) ApplyLine(s, line);
    TakeModeCicDec(s, d, s.ModeOfInput);
    for (int c = 0; c < kChannels; ++c) d.TotalDec[c] = ComputeTotalDec(s.CicDec[c], s.FirDec[c]);
}

void ReadLab(Settings& s, DecimationState& d, LineReader& in) {
    std::string line;
    bool any = false;
    while (in.Next(line)) {
        ApplyLine(s, line);
        any = true;
    }
    // An empty file holds no settings at all: leave everything as it is.
    // Otherwise the mode's stored decimations and the totals follow the lines.
    if (any) ApplyLabLines(s, d, {});
}

bool ReadLab(Settings& s, DecimationState& d, const std::filesystem::path& path) {
    LineReader in(path);
    if (!in.is_open()) return false;
    ReadLab(s, d, in);
    return true;
}

}  // namespace gc
