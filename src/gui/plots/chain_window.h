// "Анализ тракта": the selected channel's CIC and PFIR folded onto the output
// band, a resizable plot of the wanted response, the strongest image and the
// strongest CIC image, the channel's request (its edges to drag, its level
// line) and the figures judged against it beside the plot.
#pragma once

#include <QPoint>
#include <QStringList>
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
    // The channel's request as stored; a change recomputes an open window.
    void SetRequest(const ChainRequest& stored);
    // Another configuration's channels, whose curves for the channel shown
    // are drawn under this one's, named in the legend; nullopt: none.
    using OtherChannels = std::array<DdcChannel, kChannels>;
    void SetOverlay(const std::optional<OtherChannels>& channels, const QString& name);
    const std::optional<ChainAnalysis>& OverlayCurves() const { return overlayCurves_; }
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

signals:
    // The user changed the request (a box, or a dragged edge once released):
    // one step to undo.
    void requestEdited(int channel, const ChainRequest& request);

protected:
    void Opened() override { Recompute(); }
    void showEvent(QShowEvent* event) override;

private:
    ChainRequest Request(int points) const;
    void RecomputeCurves();
    void RecomputeFigures();
    void ShowFigures();
    void ShowCursor();
    // The boxes show the request in use, also the one with keyboard focus.
    void ShowRequestBoxes();
    void OnBoxEdited();
    // The request as it stands: the dragged one during a drag, else the stored one.
    const ChainRequest& Current() const { return dragged_ ? *dragged_ : stored_; }
    QStringList ExportNotes() const;
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
    int channelIndex_ = 0;
    // The curves follow the plot's width, the figures the passband edge.
    PlotModel curvesModel_, figuresModel_;
    ChainRequest stored_;                  // the channel's, as stored (edges 0: the defaults)
    std::optional<ChainRequest> dragged_;  // an edge being dragged, until released
    ChainAnalysis curves_, figures_;
    ChainLevels levels_;
    std::optional<OtherChannels> overlay_;
    QString overlayName_;
    std::optional<ChainAnalysis> overlayCurves_;
    ChainLevels overlayLevels_;
    QLabel* overlayLegend_ = nullptr;
    bool haveCurves_ = false;
    ChainViewRange view_;
    std::optional<double> cursorHz_;
    enum class Drag { None, Cursor, Pass, Stop, Band } drag_ = Drag::None;
    QPoint bandStart_;
    QRubberBand* band_ = nullptr;
    int lastWidth_ = 0;
    PlotView* plot_ = nullptr;
    std::array<QLineEdit*, 4> requestEdits_{};  // P, S (kHz), ripple, attenuation (dB)
    std::vector<QLabel*> figureValues_;
    std::vector<QLabel*> judgedValues_;
    std::array<QLabel*, 5> cursorValues_{};
};

}  // namespace gc
