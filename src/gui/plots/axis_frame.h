// The lowered panel around a fixed-geometry plot area with its axis labels:
// the fractions of the sample rate above the area, the frequency ticks under
// it, the levels beside it, the axis title and the units. The main window's
// plot and the CIC and PFIR windows differ only in the numbers of
// AxisFrameStyle; the placement of every label is computed here once.
#pragma once

#include <QColor>
#include <QFrame>
#include <QPoint>
#include <array>
#include <optional>
#include <string>

#include "gui/plots/plot_export.h"
#include "gui/plots/plot_view.h"

class QLabel;

namespace gc {

struct AxisFrameStyle {
    int frameWidth;
    int frameHeight;
    int areaLeft;  // the plot area within the panel
    int areaTop;
    int areaWidth;         // 256 or 257 columns
    bool bold;             // every label bold
    QColor captionColour;  // the axis title and the frequency unit
    int levelGap;          // pixels between a level label and the area
    int dbUnitY;           // the "dB" above the levels
    // Where a caption stands; centred over (title) or under (unit) the area
    // when not given. The fractions stand just above the area when not given.
    std::optional<QPoint> titleAt;
    std::optional<QPoint> unitAt;
    std::optional<int> fractionY;
    // Object names of the frequency ticks ("tick1") and of the levels
    // ("level0" for the top; a name for row 0 only where it is given).
    const char* tickName;
    const char* levelName;
    int firstNamedLevel;  // the row whose level gets number 0 of levelName
};

class AxisFrame : public QFrame {
    Q_OBJECT
public:
    // The panel takes area (of the style's width) as its child; without one it makes its own.
    AxisFrame(const AxisFrameStyle& style, PlotView* area, QWidget* parent);

    PlotView* Area() const { return area_; }
    const AxisFrameStyle& Style() const { return style_; }

    // Label texts: the four denominators of 1/.., 1/.., 3/.., 1/.. and the four
    // frequency ticks; the seven levels from the top down; the axis title.
    void SetFractions(const std::array<std::string, 4>& denominators, const std::array<std::string, 4>& ticks);
    void SetLevels(const std::array<std::string, 7>& levels);
    void SetAxisTitle(const std::string& text);
    // The labels of the frequency view that the impulse view hides.
    void ShowFrequencyLabels(bool shown);

    // What "Экспорт…" writes of the picture: the panel with its labels.
    void FillExportPicture(PlotExportSource& s);

signals:
    // A mouse button released on the panel beside the area (or on a label);
    // inside tells whether the release was still over the panel.
    void released(Qt::MouseButton button, bool inside);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* Label(const QString& text, const QString& name = QString());
    void PlaceLabels();

    AxisFrameStyle style_;
    PlotView* area_ = nullptr;
    QLabel* dbUnit_ = nullptr;
    QLabel* axisTitle_ = nullptr;
    QLabel* freqUnit_ = nullptr;
    std::array<QLabel*, 7> levels_{};
    std::array<QLabel*, 4> numerators_{};
    std::array<QLabel*, 4> denominators_{};
    std::array<QLabel*, 4> ticks_{};
};

}  // namespace gc
