#include "session/edit_rules.h"

#include <charconv>
#include <cmath>

#include "core/number_format.h"
#include "session/main_view.h"

namespace gc {

namespace {

std::string Quoted(std::string_view text) { return "«" + std::string(text) + "»"; }

bool Blank(std::string_view t) { return t.find_first_not_of(" \t") == std::string_view::npos; }

// Digits with an optional sign (decimal or "0x"/"$" hex): a well-formed
// integer that ParseIntegerText refused can only be too large.
bool LooksLikeInteger(std::string_view t) {
    const size_t first = t.find_first_not_of(" \t");
    const size_t last = t.find_last_not_of(" \t");
    t = t.substr(first, last - first + 1);
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
