#include "session/edit_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "chip/derivation.h"
#include "core/channel_rules.h"
#include "core/number_format.h"

namespace gc {

namespace {

std::string Quoted(std::string_view text) { return "«" + std::string(text) + "»"; }

bool Blank(std::string_view t) { return t.find_first_not_of(" \t") == std::string_view::npos; }

std::string_view Trim(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

// Digits with an optional sign (decimal or "0x"/"$" hex): a well-formed
// integer that ParseIntegerText refused can only be too large.
bool LooksLikeInteger(std::string_view t) {
    t = Trim(t);
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
    bool hex = false;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        hex = true;
        t.remove_prefix(2);
    } else if (t.size() > 1 && t[0] == '$') {
        hex = true;
        t.remove_prefix(1);
    }
    if (t.empty()) return false;
    for (char c : t) {
        const bool digit = c >= '0' && c <= '9';
        const bool hexDigit = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit && !(hex && hexDigit)) return false;
    }
    return true;
}

char ChannelLetter(int c) { return static_cast<char>('A' + c); }

}  // namespace

std::optional<int32_t> ParseIntegerText(std::string_view text) {
    std::string_view t = Trim(text);
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    } else if (t.size() > 1 && t[0] == '$') {
        base = 16;
        t.remove_prefix(1);
    }
    if (t.empty()) return std::nullopt;
    uint64_t mag = 0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), mag, base);
    if (res.ec != std::errc() || res.ptr != t.data() + t.size()) return std::nullopt;
    const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
    if (mag > static_cast<uint64_t>(limit)) return std::nullopt;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(mag) : static_cast<int64_t>(mag));
}

std::optional<float> ParseFloatText(std::string_view text) {
    std::string t(Trim(text));
    if (!t.empty() && t.front() == '+') {
        t.erase(0, 1);
        if (!t.empty() && t.front() == '-') return std::nullopt;
    }
    std::replace(t.begin(), t.end(), ',', '.');
    if (t.empty()) return std::nullopt;
    double v = 0.0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != t.data() + t.size()) return std::nullopt;
    if (!std::isfinite(v) || std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) return std::nullopt;
    return static_cast<float>(v);
}

std::string IntegerTextProblem(std::string_view text) {
    if (Blank(text)) return "Поле пусто: введите целое число";
    if (LooksLikeInteger(text))
        return Quoted(text) + " вне допустимого диапазона целых чисел (от -2147483648 до 2147483647)";
    return Quoted(text) + " не является целым числом";
}

std::string FloatTextProblem(std::string_view text) {
    if (Blank(text)) return "Поле пусто: введите число";
    // A number that parses as a double but not as a float is too large.
    std::string t(text);
    for (char& c : t)
        if (c == ',') c = '.';
    const size_t first = t.find_first_not_of(" \t+");
    const size_t last = t.find_last_not_of(" \t");
    if (first != std::string::npos) {
        double v = 0.0;
        const char* b = t.data() + first;
        const char* e = t.data() + last + 1;
        const auto r = std::from_chars(b, e, v);
        if (r.ptr == e && !std::isnan(v) &&
            (r.ec == std::errc::result_out_of_range || !std::isfinite(v) || r.ec == std::errc()))
            return Quoted(text) + " вне допустимого диапазона";
    }
    return Quoted(text) + " не является числом";
}

std::optional<std::string> RefuseClock(int32_t hz) {
    if (hz > 0) return std::nullopt;
    return "Тактовая частота должна быть больше 0 Гц (введено " + std::to_string(hz) + ")";
}

std::optional<std::string> RefuseGain(float gain) {
    if (gain >= 0.0f) return std::nullopt;
    return "Усиление должно быть от 0 до " + FormatFixed(static_cast<double>(kMaxGain), 5, 1) + " (введено " +
           FormatFixed(static_cast<double>(gain), 5, 2) + ")";
}

int32_t CheckedCicDec(const DecimationState& m, int64_t typed) {
    const int64_t step = m.CicDecStep > 0 ? m.CicDecStep : 1;
    int64_t v = (typed / step) * step;
    if (v > CicDecMax) v = CicDecMax;
    if (v < m.CicDecMin) v = m.CicDecMin;
    return static_cast<int32_t>(v);
}

int32_t SteppedCicDec(const DecimationState& m, int64_t value, int step) {
    int64_t v = value + step;
    if (step > 0 && v > CicDecMax) v = CicDecMax;
    if (step < 0 && v < m.CicDecMin) v = m.CicDecMin;
    // A value outside the 32-bit range can only come from a box that already held one.
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

FieldEdit EditField(Session& m, ControlField field, std::string_view text) {
    Settings& st = m.settings;
    const int c = ValidChannel(m.CurrentChannel) ? m.CurrentChannel : 0;
    auto refuse = [](const std::string& problem) { return FieldEdit{problem, {}}; };

    switch (field) {
        case ControlField::Clock:
        case ControlField::FreqNco:
        case ControlField::NumTapsFilter:
        case ControlField::Deviation:
        case ControlField::SckDiv: {
            const auto v = ParseIntegerText(text);
            if (!v) return refuse(IntegerTextProblem(text));
            // A clock the chip cannot run is refused like a text that is no number.
            if (field == ControlField::Clock)
                if (auto refused = RefuseClock(*v)) return refuse(*refused);
            (field == ControlField::Clock           ? st.SystemClock
             : field == ControlField::FreqNco       ? st.FreqNCO[c]
             : field == ControlField::NumTapsFilter ? st.NumTapsFilter
             : field == ControlField::Deviation     ? st.Deviation
                                                    : st.sck_div) = *v;
            if (field == ControlField::SckDiv) CopySckDiv(st, m.workImage);
            return {};
        }
        case ControlField::CicDec: {
            const auto v = ParseIntegerText(text);
            if (!v) return refuse(IntegerTextProblem(text));
            st.CicDec[c] = CheckedCicDec(m, *v);
            return {};
        }
        case ControlField::Phase:
        case ControlField::OverallGain:
        case ControlField::ScaleFir: {
            const auto v = ParseFloatText(text);
            if (!v) return refuse(FloatTextProblem(text));
            (field == ControlField::Phase         ? st.PhaseNCO[c]
             : field == ControlField::OverallGain ? st.OverallGain[c]
                                                  : st.scaleFir) = *v;
            return {};
        }
        case ControlField::Gain: {
            const auto v = ParseFloatText(text);
            if (!v) return refuse(FloatTextProblem(text));
            if (auto refused = RefuseGain(*v)) return refuse(*refused);
            st.Gain[c] = std::min(*v, kMaxGain);
            return {};
        }
        case ControlField::FirDec:
        case ControlField::Tdm:
        case ControlField::SyncMode:
        case ControlField::IndexFilter:
            break;
    }
    return refuse("не вводится текстом");
}

std::vector<std::string> SettingsOutsideChip(const Settings& s, bool english) {
    std::vector<std::string> out;
    if (s.SystemClock <= 0)
        out.push_back((english ? "clock " : "тактовая частота ") + std::to_string(s.SystemClock) +
                      (english ? " Hz" : " Гц"));
    for (int c = 0; c < kChannels; ++c) {
        const float g = s.Gain[c];
        if (!(g >= 0.0f && g <= kMaxGain))
            out.push_back(std::string(english ? "gain of channel " : "усиление канала ") + ChannelLetter(c) + " " +
                          FormatFixed(static_cast<double>(g), 5, 2));
    }
    return out;
}

std::string OutsideChipWarning(const Settings& s) {
    const std::vector<std::string> items = SettingsOutsideChip(s, true);
    if (items.empty()) return {};
    std::string line = "the chip cannot run these values of the lab file: ";
    for (size_t i = 0; i < items.size(); ++i) line += (i ? ", " : "") + items[i];
    return line;
}

std::string OutsideChipStatus(const Settings& s) {
    const std::vector<std::string> items = SettingsOutsideChip(s);
    if (items.empty()) return {};
    std::string line = "Микросхема не может работать с такими значениями: ";
    for (size_t i = 0; i < items.size(); ++i) line += (i ? ", " : "") + items[i];
    return line;
}

}  // namespace gc
