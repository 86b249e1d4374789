#include "core/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace gc {

namespace {

std::string ToChars(double v, std::chars_format fmt, int precision) {
    char buf[512];
    auto res = std::to_chars(buf, buf + sizeof buf, v, fmt, precision);
    return std::string(buf, res.ptr);
}

}  // namespace

std::string FormatFixed(double value, int precision, int decimals) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    precision = std::clamp(precision, 1, 18);
    decimals = std::clamp(decimals, 0, 18);

    // 30 correctly rounded significant digits decide every rounding below:
    // only the first dropped digit matters when halves round away from zero.
    const std::string sci = ToChars(std::fabs(value), std::chars_format::scientific, 29);
    std::string digits;
    size_t pos = 0;
    for (; pos < sci.size() && sci[pos] != 'e'; ++pos)
        if (sci[pos] != '.') digits += sci[pos];
    int exponent = std::atoi(sci.c_str() + pos + 1);  // value = d.ddd * 10^exponent

    // Keep `precision` significant digits, and none beyond the last decimal.
    const int keep = std::min(precision, exponent + 1 + decimals);
    if (keep < 0) {
        digits.assign(1, '0');
        exponent = 0;
    } else {
        const bool up = static_cast<size_t>(keep) < digits.size() && digits[keep] >= '5';
        digits.resize(keep);
        if (up) {
            int k = keep - 1;
            while (k >= 0 && digits[k] == '9') digits[k--] = '0';
            if (k >= 0) {
                ++digits[k];
            } else {
                digits.insert(digits.begin(), '1');
                ++exponent;
            }
        }
        if (digits.empty() || digits.find_first_not_of('0') == std::string::npos) {
            digits.assign(1, '0');
            exponent = 0;
        }
    }
    const bool negative = value < 0 && digits != "0";

    if (exponent + 1 > precision) {
        // Too many integer digits for the precision: exponent form.
        std::string e = digits.substr(0, 1) + (precision > 1 ? "." : "");
        for (int k = 1; k < precision; ++k) e += static_cast<size_t>(k) < digits.size() ? digits[k] : '0';
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%+03d", exponent);
        return (negative ? "-" : "") + e + exp;
    }
    // Digit at power 10^p of the rounded value.
    auto digitAt = [&](int p) {
        const int k = exponent - p;
        return k >= 0 && static_cast<size_t>(k) < digits.size() ? digits[k] : '0';
    };
    std::string out = negative ? "-" : "";
    for (int p = std::max(exponent, 0); p >= 0; --p) out += digitAt(p);
    if (decimals > 0) {
        out += '.';
        for (int p = -1; p >= -decimals; --p) out += digitAt(p);
    }
    return out;
}

std::optional<double> ParseDesignNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    std::string t(text);
    // from_chars takes no '+'; one in front of the digits is still a number.
    if (!t.empty() && t.front() == '+') {
        t.erase(0, 1);
        if (!t.empty() && t.front() == '-') return std::nullopt;
    }
    if (t.empty()) return std::nullopt;
    std::replace(t.begin(), t.end(), ',', '.');
    double v = 0;
    const auto res = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace gc
