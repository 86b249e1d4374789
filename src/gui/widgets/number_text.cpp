#include "gui/widgets/number_text.h"

#include "session/edit_rules.h"
#include "session/main_view.h"

namespace gc {

int32_t IntOfBox(const QString& text) {
    const std::string t = text.toStdString();
    if (auto v = ParseIntegerText(t)) return *v;
    throw ConversionError(IntegerTextProblem(t));
}

QString FixedQ(double value, int precision, int decimals) {
    return QString::fromStdString(FormatFixed(value, precision, decimals));
}

}  // namespace gc
