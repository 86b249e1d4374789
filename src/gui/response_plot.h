// The channel response plot of the main window: the drawing surface, its axis
// labels, the zoom rows, the cursor buttons and the read-outs, as one widget.
//
// Use: after each recomputation of the response call ShowResponse (it redraws);
// when the user changes the horizontal zoom the panel emits xStretchChanged,
// and the owner recomputes with XStretch() and calls ShowResponse again.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <span>

#include "core/model.h"
#include "filters/plot_scale.h"
#include "gui/axis_frame.h"
#include "gui/plot_export.h"
#include "gui/window_plot.h"
#include "session/session.h"

class QLabel;
class QPainter;
class QPushButton;

namespace gc {

// The 257 x 240 drawing surface of a channel response (the main window's
// plot, the designer's preview): the response windows' surface showing a
// PlotFrame.
class ResponsePlotArea : public WindowPlotArea {
    Q_OBJECT
public:
    explicit ResponsePlotArea(QWidget* parent = nullptr);

    // Paints the frame; when only the cursor differs from the frame shown,
    // only the cursor is painted again.
    void SetFrame(const PlotFrame& frame);
    const PlotFrame& Frame() const { return frame_; }

private:
    PlotFrame frame_;
    bool shown_ = false;
};

// The lowered panel around it: a right click on it beside the area removes the cursor.
using ResponsePlotFrame = AxisFrame;

// The widest texts of the cursor read-outs: a frequency of up to seven
// significant digits with three decimals (kHz), a level of five with two (dB).
inline constexpr char kWidestFrequency[] = "-8888888.888";
inline constexpr char kWidestLevel[] = "-888.88";

class ResponsePlotPanel : public QWidget {
    Q_OBJECT
public:
    explicit ResponsePlotPanel(QWidget* parent = nullptr);

    // Takes a copy of the response and the channel values the axes need, then redraws.
    void ShowResponse(std::span<const double, ResponsePoints> overall, int32_t systemClock, int cicDec, int firDec);
    // The same for the selected channel of the model (its cic_dec, fir_dec and SystemClock).
    // The panel then follows that model: every later draw takes the clock and
    // the decimations afresh, since commands such as reading a register table
    // change them without recomputing the response.
    void ShowResponse(std::span<const double, ResponsePoints> overall, const Session& m);

    int XStretch() const { return state_.XStretch; }
    int YStretch() const { return state_.YStretch; }
    const PlotState& State() const { return state_; }
    const PlotFrame& Frame() const { return area_->Frame(); }
    ResponsePlotArea* Area() const { return area_; }
    ResponsePlotFrame* PlotFrameWidget() const { return frame_; }
    // Draws so far; lets the owner and the tests see when a redraw happened.
    int DrawCount() const { return drawCount_; }

    // What "Экспорт…" writes: the lowered panel with its axis labels, and the
    // overall response on the current zoom.
    PlotExportSource ExportSource();
    // The export asks for its file here (the owner's chooser; the dialogs by
    // default), starting in folder.
    void SetFileChooser(FileChooser* chooser) { export_.SetFileChooser(chooser); }
    void SetExportFolder(const QString& folder) { export_.SetFolder(folder); }

public slots:
    // Draws everything from the last response and the plot state.
    void DrawResponsePlot();
    // Draws once more 100 ms from now, after the window itself has been painted.
    void ScheduleRedraw();

signals:
    // The horizontal zoom changed: recompute the response with XStretch() and
    // hand it back with ShowResponse.
    void xStretchChanged(int xStretch);
    // A line for the status bar: what the export wrote, or why it did not.
    void statusMessage(const QString& text);

private:
    void Apply(PlotAction action);
    void SetLabels(const PlotFrame& f);
    void TakeChannelValues(const Session& m);

    PlotState state_;
    const Session* session_ = nullptr;
    std::array<double, ResponsePoints> overall_{};
    int32_t systemClock_ = 0;
    int cicDec_ = 1;
    int firDec_ = 1;
    int drawCount_ = 0;
    PlotExportTarget export_;

    ResponsePlotFrame* frame_ = nullptr;
    ResponsePlotArea* area_ = nullptr;
    QLabel* freqReadout_ = nullptr;
    QLabel* levelReadout_ = nullptr;
    QLabel* xStretchBox_ = nullptr;
    QLabel* yStretchBox_ = nullptr;
    QTimer redrawTimer_;
};

}  // namespace gc
