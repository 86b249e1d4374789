// "Анализ тракта": the selected channel's CIC and PFIR folded onto the output
// band, a resizable plot of the wanted response, the strongest image and the
// strongest CIC image, the passband edge to drag, and the figures beside it.
#pragma once

#include <QPoint>
#include <QWidget>
#include <array>
#include <optional>

#include "filters/chain_view.h"
#include "filters/plot_model.h"
#include "gui/plots/plot_view.h"
#include "gui/plots/separate_plot_window.h"

class QLabel;
class QLineEdit;
class QRubberBand;

namespace gc {

class ChainWindow : public SeparatePlotWindow {
    Q_OBJECT
public:
    explicit ChainWindow(QWidget* parent = nullptr);
    ~ChainWindow() override;

    // The channel shown; the next recomputation takes it.
    void SetChannel(int channel, const DdcChannel& ch);
    // Recomputes from the channel fed: the curves at the plot's width and the
    // figures at the batch tool's default points.
    void Recompute();
    void Refresh() override { Recompute(); }

    // The plot view and the area of it that the curves fill.
    PlotView* Plot() const { return plot_; }
    QRect PlotArea() const;
    // Points the curve should have for the plot's width: one per device pixel.
    int WantedPoints() const;
    // The range shown: zoom and rubber band change only the view and repaint.
    const ChainViewRange& View() const { return view_; }
    void ResetView();
    std::optional<double> CursorHz() const { return cursorHz_; }
    const ChainAnalysis& Curves() const { return curves_; }
    const ChainAnalysis& Figures() const { return figures_; }
    int RecomputeCount() const { return curvesModel_.CalcCount(); }
    PlotExportSource ExportSource() override;

protected:
    void Opened() override { Recompute(); }
    void showEvent(QShowEvent* event) override;

private:
    ChainRequest Request(int points) const;
    void RecomputeCurves();
    void RecomputeFigures();
    void ShowFigures();
    void ShowCursor();
    void OnPassEdited();
    // The picture of the curves, the view and the passband edge.
    void DrawPlot();
    double HzAt(double x) const;
    double DbAt(double y) const;
    void PlaceCursor(double x);
    void OnLeftPressed(QPoint at);
    void OnMoved(QPoint at);
    void OnLeftReleased(QPoint at);
    void OnWheel(QPoint at, double notches);

    DdcChannel channel_;
    // The curves follow the plot's width, the figures the passband edge.
    PlotModel curvesModel_, figuresModel_;
    double passHz_ = 0;  // chosen by the user; 0: the default of the output rate
    ChainAnalysis curves_, figures_;
    ChainLevels levels_;
    bool haveCurves_ = false;
    ChainViewRange view_;
    std::optional<double> cursorHz_;
    enum class Drag { None, Cursor, Pass, Band } drag_ = Drag::None;
    QPoint bandStart_;
    QRubberBand* band_ = nullptr;
    int lastWidth_ = 0;
    PlotView* plot_ = nullptr;
    QLineEdit* passEdit_ = nullptr;
    std::vector<QLabel*> figureValues_;
    std::array<QLabel*, 5> cursorValues_{};
};

}  // namespace gc
