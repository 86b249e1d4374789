// What the CIC and PFIR response windows share besides what every plot window
// does (SeparatePlotWindow): the read-outs above the plot, the lowered plot panel with
// its axis labels (AxisFrame), the cursor buttons, the zoom row and the
// one-shot first-draw timer.
//
// Recompute and redraw are apart (PlotModel): new inputs fed, or Redraw(),
// recompute the curves; a cursor move or a zoom that keeps the view's curves
// draws from the ones computed before.
#pragma once

#include <QTimer>
#include <array>
#include <string>

#include "filters/plot_model.h"
#include "filters/window_cursor.h"
#include "gui/plots/axis_frame.h"
#include "gui/plots/plot_view.h"
#include "gui/plots/separate_plot_window.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace gc {

// The panel of the CIC and PFIR windows: 313 high, the area 32 from its top,
// bold labels with dark red captions.
AxisFrameStyle WindowFrameStyle(int frameWidth, int areaLeft, int areaWidth);

class ResponseWindow : public SeparatePlotWindow {
    Q_OBJECT

public:
    // The values fed may have changed in place: recomputes the curves and redraws everything.
    void Redraw();
    void Refresh() override { Redraw(); }

    PlotView* Area() const { return frame_->Area(); }
    // Redraws so far (cursor moves included); lets the tests see when one happened.
    int RedrawCount() const { return model_.DrawCount(); }
    // Evaluations of the curves so far: a model change, or a view whose curves differ.
    int RecomputeCount() const { return model_.CalcCount(); }
    // Interval of the first-draw timer.
    int FirstDrawDelay() const { return firstDraw_.interval(); }

    // What "Экспорт…" writes: the lowered panel with its axis labels, and the
    // numbers of what the window shows now.
    PlotExportSource ExportSource() override;

protected:
    ResponseWindow(const QString& title, const AxisFrameStyle& style, int firstDrawMs, QWidget* parent);

    // Whether the curves kept serve the view shown; the curves of the view;
    // the window drawn from them (recomputed: they are new).
    virtual bool CurvesFit() const = 0;
    virtual void Calc() = 0;
    virtual void Draw(bool recomputed) = 0;
    virtual WindowCursor& Cursor() = 0;
    // The zoom buttons' changes of the window's state; true when it must redraw.
    virtual bool ZoomDouble() = 0;
    virtual bool ZoomHalve() = 0;
    virtual bool ZoomMax() = 0;
    virtual bool ZoomReset() = 0;
    // The export's numbers for the view shown: source.curves or source.csvText.
    virtual void SetExportNumbers(PlotExportSource& source) = 0;

    // New inputs fed by the derived window: the next draw recomputes.
    void InputsChanged() { model_.InputsChanged(); }
    // A view change of the derived window (a check box): draws, recomputing
    // only what the new view needs.
    void Update();
    void StartFirstDrawTimer() { firstDraw_.start(); }

    AxisFrame* PlotFrame() const { return frame_; }
    void SetStretchText(const std::string& text);
    void SetReadouts(const std::string& x, const std::string& level);
    // The frequency-view labels and controls that the impulse view hides.
    void ShowFrequencyControls(bool shown);

    void showEvent(QShowEvent* event) override;
    void Closed() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    // The window's content: the derived window adds its own controls to the
    // rows and lays the column out beside anything else it shows.
    QVBoxLayout* column_ = nullptr;
    QHBoxLayout* topRow_ = nullptr;
    QHBoxLayout* bottomRow_ = nullptr;

private:
    void BuildBottomRow();
    void RemoveCursor();

    PlotModel model_;
    QTimer firstDraw_;

    AxisFrame* frame_ = nullptr;
    QLabel* xReadout_ = nullptr;
    QLabel* levelReadout_ = nullptr;
    QLabel* xUnit_ = nullptr;
    QLabel* levelUnit_ = nullptr;
    QLabel* stretchLabel_ = nullptr;
    QLabel* stretchBox_ = nullptr;
    std::array<QPushButton*, 4> zoomButtons_{};
};

}  // namespace gc
