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
#include "gui/plot_area.h"
#include "gui/separate_plot_window.h"

class QLabel;
class QLineEdit;
class QRubberBand;

namespace gc {

// The plot: curves drawn from the levels it is given; zoom, cursor and the
// passband edge change only the view and repaint. The resizable member of the
// layered plot surfaces: the cursor moves over the kept curves.
class ChainPlot : public LayeredPlotArea {
    Q_OBJECT
public:
    explicit ChainPlot(QWidget* parent = nullptr);

    void SetCurves(const ChainAnalysis* a, const ChainLevels* l);
    void SetPassHz(double hz);
    const ChainViewRange& View() const { return view_; }
    void ResetView();
    std::optional<double> CursorHz() const { return cursorHz_; }
    // Points the curve should have for the plot's width: one per device pixel.
    int WantedPoints() const;
    int PaintCount() const { return paints_; }
    // Everything, for a vector file.
    void PaintPlot(QPainter& p, bool vector) const { PaintLayers(p, vector); }
    QRect Area() const;

signals:
    void cursorMoved();
    void passDragged(double hz);
    void widthChanged();

protected:
    void PaintUnderCursor(QPainter& p, bool vector) const override;
    void PaintCursorLayer(QPainter& p) const override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    double HzAt(double x) const;
    double DbAt(double y) const;
    void SetCursor(double x);

    const ChainAnalysis* a_ = nullptr;
    const ChainLevels* l_ = nullptr;
    ChainViewRange view_;
    double passHz_ = 0;
    std::optional<double> cursorHz_;
    enum class Drag { None, Cursor, Pass, Band } drag_ = Drag::None;
    QPoint bandStart_;
    QRubberBand* band_ = nullptr;
    int lastWidth_ = 0;
    mutable int paints_ = 0;
};

class ChainWindow : public SeparatePlotWindow {
    Q_OBJECT
public:
    explicit ChainWindow(QWidget* parent = nullptr);
    ~ChainWindow() override;

    // The channel shown; the next recomputation takes it.
    void SetChannel(int channel, const ChainChannel& ch);
    // Recomputes from the channel fed: the curves at the plot's width and the
    // figures at the batch tool's default points.
    void Recompute();
    void Refresh() override { Recompute(); }

    ChainPlot* Plot() const { return plot_; }
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

    ChainChannel channel_;
    // The curves follow the plot's width, the figures the passband edge.
    PlotModel curvesModel_, figuresModel_;
    double passHz_ = 0;  // chosen by the user; 0: the default of the output rate
    ChainAnalysis curves_, figures_;
    ChainLevels levels_;
    ChainPlot* plot_ = nullptr;
    QLineEdit* passEdit_ = nullptr;
    std::vector<QLabel*> figureValues_;
    std::array<QLabel*, 5> cursorValues_{};
};

}  // namespace gc
