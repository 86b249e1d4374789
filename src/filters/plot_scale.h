// Everything the channel response plot computes, apart from the painting: the
// transforms between point, pixel column, row and frequency, the axis and
// read-out texts, the marker column, and the state changes of the zoom and
// cursor controls. The widget only paints what ComputePlotFrame returns.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/model.h"
#include "core/number_format.h"

namespace gc {

// Geometry of the plot area, in pixels. One point per column; the area is one
// column wider than the curve so that the marker at half the rate shows at the
// right edge.
inline constexpr int kPlotWidth = 257;
inline constexpr int kPlotHeight = 240;
inline constexpr int kGridRowStep = 40;     // 20 dB at zoom 1
inline constexpr int kGridColumnStep = 64;  // a quarter of the span
inline constexpr int kGridRows = 5;         // dotted rows at y 40..200
inline constexpr int kGridColumns = 3;      // dotted columns at x 64, 128, 192

inline constexpr int XStretchMax = 4096;
inline constexpr int YStretchMax = 512;

// Rows are clamped to this distance from the top: a level far below the area
// (or a zero value) stays a finite, clipped coordinate.
inline constexpr int kPlotRowLimit = 32767;

struct PlotState {
    int XStretch = 1;
    int YStretch = 1;
    int cursorIndex = -1;  // -1: no cursor
    int cursorLineY = -1;  // row of the cursor's horizontal line
    bool rightDrag = false;
};

// What the axes and the marker read of the channel.
struct PlotAxes {
    int32_t systemClock = 0;  // input sample rate, Hz
    int cicDec = 1;           // R of the channel
    int firDec = 1;           // F of the channel
    bool operator==(const PlotAxes&) const = default;
};
// The channel's SystemClock, cic_dec and fir_dec.
PlotAxes PlotAxesOf(const Settings& s, const RegisterImage& work, int channel);

// What a redraw needs besides the plot state.
struct PlotInputs {
    std::span<const double, kResponsePoints> overall;  // linear, not normalised
    int32_t systemClock = 0;                           // input sample rate, Hz
    int cicDec = 1;                                    // R of the channel
    int firDec = 1;                                    // F of the channel
};

// Captions of the plot's labels after a draw.
struct PlotLabels {
    std::array<std::string, 4> denominators;  // of 1/.., 1/.., 3/.., 1/..
    std::array<std::string, 4> mhzTicks;
    std::array<std::string, 6> dbTicks;  // the rows at y 40..240
    std::string xStretch;
    std::string yStretch;
    std::string axisTitle;
};

// One complete picture of the plot.
struct PlotFrame {
    int markerColumn = -1;  // -1: no marker (R or F zero)
    bool hasCurve = false;  // false while the response has no positive maximum
    std::array<int, kResponsePoints> curveY{};
    int cursorColumn = -1;
    int cursorLineY = -1;
    std::string freqReadout;   // kHz, empty without a cursor
    std::string levelReadout;  // dB, empty without a cursor
    PlotLabels labels;
};

// Transforms: the one place where a frequency and a pixel column meet.
// A fixed-geometry plot spans half of a rate over its stretch: column c of
// 256 stands for rate / (2 stretch) * c / 256, in the unit of rate.
double ColumnFrequency(double rate, int stretch, int column);
// The column of half the rate divided by divisor: (stretch * 256) div divisor;
// -1 when divisor is not positive.
int HalfRateColumn(int stretch, int divisor);
// The captions at the grid columns 64, 128, 192 and 256: the denominators of
// 1/(8s), 1/(4s), 3/(8s), 1/(2s), and those fractions of rate (kHz or MHz)
// with three decimals.
std::array<std::string, 4> GridDenominators(int stretch);
std::array<std::string, 4> GridFrequencyTicks(double rate, int stretch);

inline int ColumnOfPoint(int point) { return point; }
// The point under pixel column x, kept within the points that exist.
int PointOfColumn(int x);
// Frequency of point i in Hz: i * Fs / (512 * XStretch).
double PointFrequencyHz(int point, int32_t systemClock, int xStretch);
// Column of half the output rate: ((XStretch * 256) div R) div F; -1 when R or F is not positive.
int MarkerColumn(int cicDec, int firDec, int xStretch);
// Row of a value relative to the curve's maximum: 2 * YStretch pixels per dB
// below the top, truncated toward zero, clamped to +-kPlotRowLimit.
int LevelRow(double ratio, int yStretch);
// Row of the cursor's horizontal line for a level in dB.
int CursorLineRow(float levelDb, int yStretch);
// The largest value (start from 0, take each value strictly greater).
double ResponseMaximum(std::span<const double, kResponsePoints> values);

// Captions and read-out texts.
PlotLabels ComputePlotLabels(const PlotState& s, int32_t systemClock);
std::string FrequencyReadout(int cursor, int32_t systemClock, int xStretch);
std::string LevelReadout(float levelDb);

// The whole picture for the current data and state; sets s.cursorLineY as a
// draw does.
PlotFrame ComputePlotFrame(const PlotInputs& in, PlotState& s);

// What a control asks for after changing the state.
enum class PlotAction { None, Redraw, Recompute };

// Zoom buttons. X changes need a recomputation of the response, Y changes only a redraw.
PlotAction ZoomXDouble(PlotState& s);
PlotAction ZoomXHalve(PlotState& s);
PlotAction ZoomXMax(PlotState& s);
PlotAction ZoomXReset(PlotState& s);
PlotAction ZoomYDouble(PlotState& s);
PlotAction ZoomYHalve(PlotState& s);
PlotAction ZoomYMax(PlotState& s);
PlotAction ZoomYReset(PlotState& s);

// Cursor. Columns are pixel columns of the plot area.
PlotAction CursorRightPress(PlotState& s, int column);
PlotAction CursorDrag(PlotState& s, int column);  // mouse move
void CursorRightRelease(PlotState& s);
PlotAction CursorRemove(PlotState& s);  // right click beside the area
PlotAction CursorStepLeft(PlotState& s);
PlotAction CursorStepRight(PlotState& s);

}  // namespace gc
