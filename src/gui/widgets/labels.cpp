#include "gui/widgets/labels.h"

#include <QLabel>
#include <algorithm>

namespace gc {

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QLabel* MakeLabel(QWidget* parent, const QString& text, const QString& name, LabelWeight weight) {
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty()) l->setObjectName(name);
    if (weight == LabelWeight::Bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

void SetColour(QLabel* l, const QColor& c) {
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, c);
    l->setPalette(p);
}

void ShowAsReadOnly(QLabel* box) {
    // Appended, so that it wins over the box's own white background.
    box->setStyleSheet(box->styleSheet() + QStringLiteral(" QLabel { background-color: palette(window); }"));
}

QString ChannelText(int channel) { return QStringLiteral("Канал %1").arg(QChar(u'A' + std::clamp(channel, 0, 3))); }

}  // namespace gc
