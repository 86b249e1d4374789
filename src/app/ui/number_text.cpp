#include "app/ui/number_text.h"

#include <cmath>

#include "filters/plot_scale.h"

namespace gc {

int32_t ParseIntText(const QString& text) {
    bool ok = false;
    const int32_t v = text.trimmed().toInt(&ok, 10);
    if (!ok) throw ConversionError(QStringLiteral("'%1' — не целое число").arg(text).toStdString());
    return v;
}

double ParseFloatText(const QString& text) {
    QString t = text.trimmed();
    t.replace(QChar(','), QChar('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    // Infinities and NaN would travel into register words; they are no numbers here.
    if (!ok || !std::isfinite(v)) throw ConversionError(QStringLiteral("'%1' — не число").arg(text).toStdString());
    return v;
}

QString FixedQ(double value, int precision, int digits) {
    return QString::fromStdString(FixedText(value, precision, digits));
}

}  // namespace gc
