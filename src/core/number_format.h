// Numbers shown to the user in fixed-point notation, the same way in every window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gc {

// Fixed-point text with `decimals` decimals of a value first rounded to
// `precision` significant digits (digits beyond them show as 0); halves round
// away from zero, as a reader of the decimal value expects. A value with
// more integer digits than `precision` is shown in exponent form. The decimal
// point is always '.', whatever the process locale. A result that reads as
// zero carries no minus sign. NaN and infinities give "NAN", "INF", "-INF".
std::string FormatFixed(double value, int precision, int decimals);

// A number typed by the user: blanks around, '.' or ',' as the decimal point,
// finite. nullopt otherwise.
std::optional<double> ParseDesignNumber(std::string_view text);

}  // namespace gc
