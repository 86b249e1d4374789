// The two yellow panels of the PFIR window: the filter lengths the chip can
// run for the channel, and how the loaded filter relates to them.
#pragma once

#include <QFrame>
#include <array>

#include "filters/length_analysis.h"

class QLabel;

namespace gc {

// Allowed lengths: the decimations, a fixed heading and 16 rows of
// asymmetric, odd symmetric and even symmetric lengths.
class AllowedLengthPanel : public QFrame {
    Q_OBJECT
public:
    explicit AllowedLengthPanel(QWidget* parent = nullptr);
    void Show(const FilterLengthAnalysis& a);

private:
    QLabel* cicDec_ = nullptr;
    QLabel* firDec_ = nullptr;
    std::array<std::array<QLabel*, 3>, kAllowedLengthRows> rows_{};
};

// The used filter: its kind and length and the four warning lines.
class UsedFilterPanel : public QFrame {
    Q_OBJECT
public:
    explicit UsedFilterPanel(QWidget* parent = nullptr);
    void Show(const FilterLengthAnalysis& a);

private:
    QLabel* kind_ = nullptr;
    QLabel* length_ = nullptr;
    QLabel* line1_ = nullptr;
    QLabel* line2_ = nullptr;
    QLabel* line3_ = nullptr;
    QLabel* line4Phrase_ = nullptr;
    QLabel* line4Number_ = nullptr;
    QLabel* line4End_ = nullptr;
};

}  // namespace gc
