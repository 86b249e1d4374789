// Numbers typed into the edit boxes that the handlers read themselves (the CIC
// box, the manual shift). Text that is not a number raises ConversionError,
// whose message names the text; the handler stops there.
#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

namespace gc {

class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The integer of an edit box, by the rules of the model's control reader.
int32_t IntOfBox(const QString& text);

// Fixed-point text with `decimals` decimals and at most `precision` significant digits.
QString FixedQ(double value, int precision, int decimals);

}  // namespace gc
