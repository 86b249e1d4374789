// Small helpers the plot windows and panels build their labels with.
#pragma once

#include <QColor>
#include <QString>
#include <string_view>

class QLabel;
class QWidget;

namespace gc {

// Text from the Qt-free layers, which keep it as UTF-8.
QString Text(std::string_view s);

enum class LabelWeight { Normal, Bold };

QLabel* MakeLabel(QWidget* parent, const QString& text, const QString& name = QString(),
                  LabelWeight weight = LabelWeight::Normal);
inline QLabel* BoldLabel(QWidget* parent, const QString& text, const QString& name = QString()) {
    return MakeLabel(parent, text, name, LabelWeight::Bold);
}

void SetColour(QLabel* l, const QColor& c);

// A box that only shows a value (a zoom factor) takes the window's colour, as
// the read-only edit boxes do, instead of the white of a box to type in.
void ShowAsReadOnly(QLabel* box);

// "Канал A" .. "Канал D" for channel 0..3 (clamped).
QString ChannelText(int channel);

}  // namespace gc
