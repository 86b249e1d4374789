#include "core/lab_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/channel_rules.h"
#include "core/param_table.h"
#include "core/text_io.h"

namespace gc {

std::string FormatLab(const Settings& s) {
    std::string out = LabHeader(kBoardModel);
    out += '\n';
    for (const SettingParam& e : SettingParams()) {
        if (e.type == ParamType::String) {
            out += e.name;
            out += ParamGetText(s, e, 0);
            out += '\n';
        } else if (e.count == ParamCount::Scalar) {
            if (e.type == ParamType::Float)
                out += StrPrintf("%-22s %f\n", e.name, ParamGetNumber(s, e, 0));
            else
                out += StrPrintf("%-22s %d\n", e.name, static_cast<int>(ParamGetNumber(s, e, 0)));
        } else {
            out += StrPrintf("%-25s", e.name);
            for (int k = 0; k < kChannels; ++k) {
                std::string field;
                if (e.type == ParamType::Float)
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

bool Blank(const char* p) {
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
    return *p == '\0';
}

// Scans up to four numbers as "%d%d%d%d" or "%f%f%f%f" would; elements the
// scan does not reach keep their values. True when the text was four numbers
// and nothing else.
bool ScanFour(Settings& m, const SettingParam& e, const char* text) {
    for (int k = 0; k < kChannels; ++k) {
        const char* end = nullptr;
        if (e.type == ParamType::Float) {
            double v = CToDouble(text, &end);
            if (end == text) return false;
            ParamSetFloat(m, e, k, v);
        } else {
            long v = CToLong(text, 10, &end);
            if (end == text) return false;
            ParamSetInteger(m, e, k, v);
            if (static_cast<double>(v) != ParamGetNumber(m, e, k)) return false;
        }
        text = end;
    }
    return Blank(text);
}

// What an integer setting allows, where the program relies on it.
struct IntRange {
    std::string_view name;
    long min, max;
};
constexpr IntRange kIntRanges[] = {
    {"SystemClock", 1, 2147483647}, {"ModeOfInput", 0, 2}, {"EnableTDM", 0, 1}, {"MaskChan4x", 0, 15},
    {"MaskChan2x", 0, 3},           {"FirDec", 1, 8},      {"InpADC", 0, 3},
};

std::string Trimmed(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    std::string t(p);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r' || t.back() == '\n')) t.pop_back();
    return t;
}

std::string TakenText(const Settings& m, const SettingParam& e) {
    std::string out;
    const int n = e.count == ParamCount::Scalar ? 1 : kChannels;
    for (int k = 0; k < n; ++k) {
        const double v = ParamGetNumber(m, e, k);
        if (k) out += ' ';
        out += e.type == ParamType::Float ? StrPrintf("%f", v) : StrPrintf("%d", static_cast<int>(v));
    }
    return out;
}

// Whether the stored values are what the setting allows (finite, and within
// its range); the range broken goes into note.
bool Allowed(const Settings& m, const SettingParam& e, LabValueNote& note) {
    const int n = e.count == ParamCount::Scalar ? 1 : kChannels;
    for (int k = 0; k < n; ++k) {
        const double v = ParamGetNumber(m, e, k);
        if (e.type == ParamType::Float) {
            if (!std::isfinite(v)) return false;
            continue;
        }
        for (const IntRange& r : kIntRanges)
            if (r.name == e.name && (v < static_cast<double>(r.min) || v > static_cast<double>(r.max))) {
                note.min = r.min;
                note.max = r.max;
                return false;
            }
    }
    return true;
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

// Notes what the line's values became, when asked: seen marks the settings
// that had a line.
struct LineNotes {
    std::vector<LabValueNote>* notes = nullptr;
    std::vector<const SettingParam*> seen;
};

void ApplyLine(Settings& m, const std::string& line, LineNotes* out = nullptr) {
    if (line.empty()) return;
    for (const auto& [entry, name] : SettingsIndex()[static_cast<unsigned char>(line.front())]) {
        const SettingParam& e = *entry;
        const size_t n = name.size();
        if (line.size() < n || std::string_view(line).substr(0, n) != name) continue;
        // Text stops at an embedded NUL, as it would in a C string.
        const char* rest = line.c_str() + n;
        bool whole = true;
        if (e.type == ParamType::String) {
            ParamSetText(m, e, 0, rest);
        } else if (e.count != ParamCount::Scalar) {
            whole = ScanFour(m, e, rest);
        } else if (e.type == ParamType::Float) {
            const char* end = nullptr;
            ParamSetFloat(m, e, 0, CToDouble(rest, &end));
            whole = end != rest && Blank(end);
        } else {
            const char* end = nullptr;
            const long v = CToLongHexOrDec(rest, &end);
            ParamSetInteger(m, e, 0, v);
            whole = end != rest && Blank(end) && static_cast<double>(v) == ParamGetNumber(m, e, 0);
        }
        if (!out || !out->notes) continue;
        out->seen.push_back(&e);
        if (e.type == ParamType::String) continue;
        LabValueNote note{LabValueNote::Kind::OutOfRange, std::string(name), Trimmed(rest), TakenText(m, e)};
        const bool allowed = Allowed(m, e, note);
        if (whole && allowed) continue;
        // Cut text says more than the range: the range may be broken only by the cut.
        if (!whole) note.kind = LabValueNote::Kind::NotWhole;
        out->notes->push_back(note);
    }
}

}  // namespace

bool IsRequestSetting(const SettingParam& e) { return std::string_view(e.name).starts_with("Req"); }

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

std::string LabValueNoteText(const LabValueNote& n) {
    switch (n.kind) {
        case LabValueNote::Kind::NotWhole:
            return n.key + ": \"" + n.text + "\" read as " + n.taken + " (the text is not all a number)";
        case LabValueNote::Kind::OutOfRange:
            return n.key + ": \"" + n.text + "\" read as " + n.taken + ", outside what it allows (" +
                   (n.min == n.max ? std::string("a finite number") : StrPrintf("%ld to %ld", n.min, n.max)) + ")";
        case LabValueNote::Kind::Missing:
            return n.key + ": no line, kept " + n.taken;
    }
    return {};
}

void ReadLab(Settings& s, DecimationState& d, LineReader& in, std::vector<LabValueNote>* notes) {
    std::string line;
    bool any = false;
    LineNotes seen{notes, {}};
    while (in.Next(line)) {
        ApplyLine(s, line, &seen);
        any = true;
    }
    // An empty or cut-off file leaves settings without a line at their values.
    // A file without the channel requests is one of an older version, not cut.
    if (notes)
        for (const SettingParam& e : SettingParams())
            if (!IsRequestSetting(e) && std::find(seen.seen.begin(), seen.seen.end(), &e) == seen.seen.end()) {
                std::string kept = e.type == ParamType::String ? ParamGetText(s, e, 0) : TakenText(s, e);
                if (e.type == ParamType::String) kept = std::string(1, '"').append(kept).append(1, '"');
                notes->push_back({LabValueNote::Kind::Missing, e.name, {}, std::move(kept)});
            }
    // An empty file holds no settings at all: leave everything as it is.
    // Otherwise the mode's stored decimations and the totals follow the lines.
    if (any) ApplyLabLines(s, d, {});
}

bool ReadLab(Settings& s, DecimationState& d, const std::filesystem::path& path, std::vector<LabValueNote>* notes) {
    LineReader in(path);
    if (!in.is_open()) return false;
    ReadLab(s, d, in, notes);
    return true;
}

}  // namespace gc
