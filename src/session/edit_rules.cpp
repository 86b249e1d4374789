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

std::string Range(int64_t lo, int64_t hi) { return "(от " + std::to_string(lo) + " до " + std::to_string(hi) + ")"; }

std::string Named(ControlField f, const std::string& problem) {
    return std::string(ControlFieldName(f)) + ": " + problem;
}

}  // namespace

std::string_view ControlFieldName(ControlField field) {
    switch (field) {
        case ControlField::Clock:
            return "Тактовая частота";
        case ControlField::FreqNco:
            return "Частота NCO";
        case ControlField::CicDec:
            return "Децимация CIC";
        case ControlField::FirDec:
            return "Децимация PFIR";
        case ControlField::Phase:
            return "Фаза NCO";
        case ControlField::Tdm:
            return "Режим TDM";
        case ControlField::Gain:
            return "Усиление";
        case ControlField::OverallGain:
            return "Overall Gain";
        case ControlField::SyncMode:
            return "sync_mode";
        case ControlField::IndexFilter:
            return "Вид тестового набора";
        case ControlField::NumTapsFilter:
            return "N";
        case ControlField::Deviation:
            return "Девиация";
        case ControlField::SckDiv:
            return "sck_div";
        case ControlField::ScaleFir:
            return "масштаб Fir";
    }
    return "";
}

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

std::optional<int32_t> ParseHzText(std::string_view text) {
    if (auto v = ParseIntegerText(text)) return v;
    std::string t(Trim(text));
    if (t.find_first_of("eE") == std::string::npos) return std::nullopt;
    if (!t.empty() && t.front() == '+') t.erase(0, 1);
    std::replace(t.begin(), t.end(), ',', '.');
    double v = 0.0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::scientific);
    if (res.ec != std::errc() || res.ptr != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
    if (v != std::floor(v) || v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(v);
}

std::string IntegerTextProblem(std::string_view text, int64_t lo, int64_t hi) {
    if (Blank(text)) return "Поле пусто: введите целое число";
    if (LooksLikeInteger(text)) return Quoted(text) + " вне допустимого диапазона " + Range(lo, hi);
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
    if (v > kCicDecMax) v = kCicDecMax;
    if (v < m.CicDecMin) v = m.CicDecMin;
    return static_cast<int32_t>(v);
}

int32_t SteppedCicDec(const DecimationState& m, int64_t value, int step) {
    int64_t v = value + step;
    if (step > 0 && v > kCicDecMax) v = kCicDecMax;
    if (step < 0 && v < m.CicDecMin) v = m.CicDecMin;
    // A value outside the 32-bit range can only come from a box that already held one.
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

std::optional<int64_t> WrappedNcoFrequency(const Settings& s, int channel) {
    if (!ValidChannel(channel) || s.SystemClock <= 0) return std::nullopt;
    const int64_t f = s.FreqNCO[channel];
    const int64_t rate = EffectiveInputMode(s) == 2 ? 2 : 1;
    // Half a turn per NCO step is as far as the word reaches.
    if (2 * rate * (f < 0 ? -f : f) <= s.SystemClock) return std::nullopt;
    const int64_t word = NcoFreqWord(f, s.SystemClock, rate == 2);
    const long double runs =
        -static_cast<long double>(word) * s.SystemClock / (static_cast<long double>(int64_t{1} << 48) * rate);
    return static_cast<int64_t>(std::llround(runs));
}

FieldEdit EditField(Session& m, ControlField field, std::string_view text) {
    Settings& st = m.settings;
    const int c = ValidChannel(m.CurrentChannel) ? m.CurrentChannel : 0;
    const std::string channel(1, ChannelLetter(c));
    constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min();
    constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();
    auto refuse = [field](const std::string& problem) { return FieldEdit{Named(field, problem), {}}; };
    auto integer = [&](bool hz) { return hz ? ParseHzText(text) : ParseIntegerText(text); };
    auto intProblem = [&](int64_t lo, int64_t hi) { return refuse(IntegerTextProblem(text, lo, hi)); };

    switch (field) {
        case ControlField::Clock: {
            const auto v = integer(true);
            if (!v) return intProblem(1, kIntMax);
            if (auto refused = RefuseClock(*v)) return FieldEdit{*refused, {}};
            st.SystemClock = *v;
            return {};
        }
        case ControlField::FreqNco: {
            const auto v = integer(true);
            if (!v) return intProblem(kIntMin, kIntMax);
            st.FreqNCO[c] = *v;
            FieldEdit e;
            if (const auto runs = WrappedNcoFrequency(st, c)) {
                const int64_t limit = st.SystemClock / (EffectiveInputMode(st) == 2 ? 4 : 2);
                e.note = "NCO " + channel + ": " + std::to_string(*v) + " Гц вне ±" + std::to_string(limit) +
                         " Гц, слово частоты переполняется: NCO работает на " + std::to_string(*runs) + " Гц";
            }
            return e;
        }
        case ControlField::CicDec: {
            const auto v = ParseIntegerText(text);
            if (!v) return intProblem(m.CicDecMin, kCicDecMax);
            st.CicDec[c] = CheckedCicDec(m, *v);
            FieldEdit e;
            if (st.CicDec[c] != *v) {
                e.note = "CIC " + channel + ": " + std::to_string(*v) + " → " + std::to_string(st.CicDec[c]) + " ";
                e.note += m.CicDecStep > 1
                              ? "(от " + std::to_string(m.CicDecMin) + " до " + std::to_string(kCicDecMax) + ", чётная)"
                              : Range(m.CicDecMin, kCicDecMax);
            }
            return e;
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
            if (auto refused = RefuseGain(*v)) return FieldEdit{*refused, {}};
            st.Gain[c] = std::min(*v, kMaxGain);
            FieldEdit e;
            if (*v > kMaxGain)
                e.note = "Усиление " + channel + ": " + FormatFixed(static_cast<double>(*v), 8, 2) + " → " +
                         FormatFixed(static_cast<double>(kMaxGain), 5, 1) + " (наибольшее)";
            return e;
        }
        case ControlField::NumTapsFilter:
        case ControlField::Deviation:
        case ControlField::SckDiv: {
            const auto v = integer(field == ControlField::Deviation);
            if (!v) return intProblem(kIntMin, kIntMax);
            (field == ControlField::NumTapsFilter ? st.NumTapsFilter
             : field == ControlField::Deviation   ? st.Deviation
                                                  : st.sck_div) = *v;
            if (field == ControlField::SckDiv) CopySckDiv(st, m.workImage);
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

std::optional<float> CicGainAboveOne(const RegisterImage& w, int channel) {
    if (!ValidChannel(channel)) return std::nullopt;
    const float norm = CicShift(w.cic_dec[channel]).norm;
    if (norm > 1.0f) return norm;
    return std::nullopt;
}

std::string CicGainText(float norm, int channel) {
    const std::string factor = FormatFixed(static_cast<double>(norm), 5, 3);
    return std::string("CIC ") + ChannelLetter(channel) + ": выход громче входа в " + factor +
           " раза (сдвиг CIC уже 0), возможно переполнение";
}

std::vector<OutsideChipValue> SettingsOutsideChip(const Settings& s) {
    std::vector<OutsideChipValue> out;
    if (s.SystemClock <= 0) out.push_back({OutsideChipValue::Setting::Clock, 0, static_cast<double>(s.SystemClock)});
    for (int c = 0; c < kChannels; ++c) {
        const float g = s.Gain[c];
        if (!(g >= 0.0f && g <= kMaxGain)) out.push_back({OutsideChipValue::Setting::Gain, c, static_cast<double>(g)});
    }
    return out;
}

std::string OutsideChipStatus(const Settings& s) {
    const std::vector<OutsideChipValue> items = SettingsOutsideChip(s);
    if (items.empty()) return {};
    std::string line = "Микросхема не может работать с такими значениями: ";
    for (size_t i = 0; i < items.size(); ++i) {
        const OutsideChipValue& v = items[i];
        line += i ? ", " : "";
        line += v.setting == OutsideChipValue::Setting::Clock
                    ? "тактовая частота " + std::to_string(static_cast<int64_t>(v.value)) + " Гц"
                    : std::string("усиление канала ") + ChannelLetter(v.channel) + " " + FormatFixed(v.value, 5, 2);
    }
    return line;
}

std::array<bool, kChannels> EnabledChannelBoxes(const Settings& s) {
    std::array<bool, kChannels> checked{};
    const bool paired = EffectiveInputMode(s) != 0;
    for (int n = 0; n < kChannels; ++n) checked[n] = paired ? (s.MaskChan2x >> (n / 2)) & 1 : (s.MaskChan4x >> n) & 1;
    return checked;
}

void SetEnabledChannels(Settings& s, const std::array<bool, kChannels>& checked) {
    if (EffectiveInputMode(s) != 0) {
        s.MaskChan2x = (checked[0] ? 1 : 0) | (checked[2] ? 2 : 0);
        return;
    }
    s.MaskChan4x = 0;
    for (int n = 0; n < kChannels; ++n)
        if (checked[n]) s.MaskChan4x |= 1 << n;
}

}  // namespace gc
