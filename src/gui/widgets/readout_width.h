// Read-outs sized from the font metrics of the widest text they can show, so
// that no digit or sign is cut at any font size or screen scale.
#pragma once

#include <QString>

class QLabel;

namespace gc {

// Widens the label (never narrows it below minWidth) so that `widest` fits
// inside its frame, border and margins; keeps the text for later refits.
void FitReadoutToText(QLabel* label, const QString& widest, int minWidth = 0);
// Whether `text` fits the label's contents as it is laid out now.
bool ReadoutTextFits(const QLabel* label, const QString& text);

}  // namespace gc
