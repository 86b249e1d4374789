#include "gui/widgets/readout_width.h"

#include <QLabel>
#include <QVariant>
#include <algorithm>

namespace gc {

namespace {

constexpr char kWidestProperty[] = "gc_widestText";
constexpr char kMinWidthProperty[] = "gc_minWidth";
// Room for a style sheet's border and the text's side bearings.
constexpr int kSlack = 8;

void Fit(QLabel* label) {
    const QString widest = label->property(kWidestProperty).toString();
    const int minWidth = label->property(kMinWidthProperty).toInt();
    const QFontMetrics fm = label->fontMetrics();
    const QMargins m = label->contentsMargins();
    const int frame = 2 * label->frameWidth();
    const int width =
        std::max(minWidth, fm.horizontalAdvance(widest) + m.left() + m.right() + frame + 2 * label->margin() + kSlack);
    // A fixed-size box keeps its height but may need more for a larger font.
    if (label->minimumWidth() == label->maximumWidth()) {
        const int height = std::max(label->height(), fm.height() + frame + m.top() + m.bottom() + 2);
        label->setFixedSize(width, height);
    } else {
        label->setMinimumWidth(width);
    }
}

}  // namespace

void FitReadoutToText(QLabel* label, const QString& widest, int minWidth) {
    label->setProperty(kWidestProperty, widest);
    label->setProperty(kMinWidthProperty, minWidth);
    Fit(label);
}

bool ReadoutTextFits(const QLabel* label, const QString& text) {
    const QRect r = label->contentsRect().marginsRemoved(QMargins(label->margin(), 0, label->margin(), 0));
    return label->fontMetrics().horizontalAdvance(text) <= r.width();
}

}  // namespace gc
