// What the PFIR response window shows, computed without a window: the PFIR
// magnitude over a fraction of its own input rate, or the taps themselves
// (impulse view), with the axis captions and the cursor read-outs. The window
// only paints a PfirWindowFrame.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/model.h"
#include "filters/plot_scale.h"
#include "filters/responses.h"
#include "filters/window_cursor.h"

namespace gc {

inline constexpr int PfirWindowStretchMax = 2;

struct PfirWindowState {
    int PfirWindowStretch = 1;  // 1 or 2
    bool impulseView = false;   // the "IR" box
    WindowCursor cursor;
};

struct PfirWindowInputs {
    int32_t systemClock = 0;
    int R = 1;                      // the channel's cic_dec register field
    int firDec = 1;                 // the channel's FirDec setting
    const int32_t* taps = nullptr;  // the channel's 512 fitted taps
    int ntaps = 0;
};
PfirWindowInputs PfirWindowInputsOf(const Settings& s, const ChipState& chip, int channel);

// |sum taps[j] e^(i j phi)| with phi = pi / 256 * i / a at column i: the span
// is a fraction of the PFIR's input rate, without the CIC. count is clamped
// to 0..512; a zero magnitude is kPfirFloor.
void ComputePfirWindowResponse(const int32_t* taps, int count, int a, ResponseCurve& out);

// The impulse view's scale: hi and lo are the largest and smallest of 0 and
// the taps; s = (hi - lo) / 240 in single precision; row of tap k =
// trunc((hi - t[k]) / s). All-zero taps give a flat line at the top.
struct TapPlot {
    int32_t hi = 0;
    int32_t lo = 0;
    std::array<int, kMaxTaps> rows{};
    int count = 0;  // rows in use, one tap per column
};
TapPlot ComputeTapPlot(const int32_t* taps, int count);

struct PfirWindowFrame {
    bool impulse = false;
    // Frequency view: curve rows; impulse view: tapPlot.
    std::array<int, kResponsePoints> curveY{};
    ResponseCurve response{};  // frequency view: the linear values behind curveY
    TapPlot tapPlot;
    int markerColumn = -1;  // frequency view only; -1 none
    int cursorColumn = -1;
    int cursorLineY = -1;      // the impulse view draws no horizontal line
    std::string xReadout;      // MHz, or the tap index
    std::string levelReadout;  // dB, or the tap value
    // Labels: levels top to bottom (7: the top, five ticks, the bottom),
    // the four bottom ticks, the four denominators, the zoom box, the title.
    // In the impulse view the numerators, units, title and zoom row are hidden.
    std::array<std::string, 7> levelLabels;
    std::array<std::string, 4> bottomTicks;
    std::array<std::string, 4> denominators;
    std::string stretch;
    std::string axisTitle;
};

// The curve or the taps' rows of one view: what a change of the model or of
// the view recomputes; a cursor move draws from them.
struct PfirWindowCurves {
    int stretch = 0;  // frequency view
    bool impulse = false;
    bool computed = false;
    ResponseCurve response{};
    double max = 0;
    std::array<int, kResponsePoints> curveY{};
    TapPlot tapPlot;
};
// Whether c holds the view s (the model is the caller's to watch: the taps
// change in place).
bool PfirCurvesFit(const PfirWindowCurves& c, const PfirWindowState& s);
PfirWindowCurves ComputePfirWindowCurves(const PfirWindowInputs& in, const PfirWindowState& s);

// The frame drawn from curves that fit (copied in: they are small). In the
// frequency view the cursor line snaps to the curve.
PfirWindowFrame PfirWindowFrameOf(const PfirWindowInputs& in, const PfirWindowCurves& c, PfirWindowState& s);
// Both at once.
PfirWindowFrame ComputePfirWindowFrame(const PfirWindowInputs& in, PfirWindowState& s);

// Zoom buttons; true when the window must redraw ("max" and "=1" always do).
bool PfirZoomDouble(PfirWindowState& s);
bool PfirZoomHalve(PfirWindowState& s);
bool PfirZoomMax(PfirWindowState& s);
bool PfirZoomReset(PfirWindowState& s);

// A designed set's preview as this window draws its curve: levels relative
// to the maximum at 2 pixels per dB, the red marker at half the output rate
// (column 256 div FirDec), no cursor.
PlotFrame PfirDesignPlotFrame(const ResponseCurve& preview, int firDec);

}  // namespace gc
