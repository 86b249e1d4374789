// The channel response plot of the main window: the drawing surface, its axis
// labels, the zoom rows, the cursor buttons and the read-outs, as one widget.
//
// Use: feed it the channel (SetChannel), whose response it computes on its
// own zoom, and the values its axes read (SetAxes); or a ready response
// (ShowResponse), which a horizontal zoom then only relabels.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <span>

#include "core/model.h"
#include "filters/plot_model.h"
#include "filters/plot_scale.h"
#include "filters/responses.h"
#include "gui/plots/axis_frame.h"
#include "gui/plots/plot_export.h"
#include "gui/plots/plot_view.h"

class QLabel;
class QPainter;
class QPushButton;

namespace gc {

// The picture of a channel response on the plot view (the main window's
// plot, the designer's preview).
PlotPicture PictureOfFrame(const PlotFrame& frame);

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

    // Takes a copy of a ready response and the channel values the axes need, then redraws.
    void ShowResponse(std::span<const double, kResponsePoints> overall, int32_t systemClock, int cicDec, int firDec);
    // The channel whose response the panel computes: recomputes and redraws.
    void SetChannel(const ResponseChannel& channel, const PlotAxes& axes);
    // What the axes and the marker read at the next draw (a register table
    // read changes the decimations without a new response).
    void SetAxes(const PlotAxes& axes);
    // The caption line of an export, asked for when it is written.
    void SetCaptionSource(std::function<QString()> caption) { export_.SetCaptionSource(std::move(caption)); }
    const ChannelResponse& Response() const { return response_; }

    int XStretch() const { return state_.XStretch; }
    int YStretch() const { return state_.YStretch; }
    const PlotState& State() const { return state_; }
    const PlotFrame& Frame() const { return shownFrame_; }
    PlotView* Area() const { return area_; }
    ResponsePlotFrame* PlotFrameWidget() const { return frame_; }
    // Draws so far; lets the owner and the tests see when a redraw happened.
    int DrawCount() const { return model_.DrawCount(); }
    int RecomputeCount() const { return model_.CalcCount(); }

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
    // A line for the status bar: what the export wrote, or why it did not.
    void statusMessage(const QString& text);

private:
    void Apply(PlotAction action);
    void Refresh();
    void Draw();
    void SetLabels(const PlotFrame& f);

    PlotModel model_;
    PlotState state_;
    std::optional<ResponseChannel> channel_;  // none: a ready response
    ChannelResponse response_;
    PlotAxes axes_;
    PlotFrame shownFrame_;
    bool shown_ = false;
    PlotExportTarget export_;

    ResponsePlotFrame* frame_ = nullptr;
    PlotView* area_ = nullptr;
    QLabel* freqReadout_ = nullptr;
    QLabel* levelReadout_ = nullptr;
    QLabel* xStretchBox_ = nullptr;
    QLabel* yStretchBox_ = nullptr;
    QTimer redrawTimer_;
};

}  // namespace gc
