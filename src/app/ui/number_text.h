// Numbers typed into edit boxes. Text that is not a number raises
// ConversionError, whose message names the text; the handler that reads the
// box stops there.
#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

namespace gc {

class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A decimal integer in the 32-bit range, blanks around it allowed.
int32_t ParseIntText(const QString& text);
// A decimal number; a comma is taken as the decimal point.
double ParseFloatText(const QString& text);

// Fixed-point text with `digits` decimals and at most `precision` significant digits.
QString FixedQ(double value, int precision, int digits);

}  // namespace gc
