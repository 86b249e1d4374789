#include "filters/plot_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace gc {

PlotAxes PlotAxesOf(const Settings& s, const RegisterImage& work, int channel) {
    const size_t ch = static_cast<size_t>(std::clamp(channel, 0, kChannels - 1));
    return {s.SystemClock, work.cic_dec[ch], work.fir_dec[ch]};
}

namespace {

// Clamps a row computed in floating point; NaN counts as far below the area.
int ClampRow(double y) {
    if (!(y < kPlotRowLimit)) return kPlotRowLimit;
    if (y < -kPlotRowLimit) return -kPlotRowLimit;
    return static_cast<int>(y);
}

}  // namespace

int PointOfColumn(int x) { return std::clamp(x, 0, kResponsePoints - 1); }

double PointFrequencyHz(int point, int32_t systemClock, int xStretch) {
    return static_cast<double>(point) * systemClock / (2.0 * kResponsePoints * xStretch);
}

double ColumnFrequency(double rate, int stretch, int column) { return rate / (2.0 * stretch) * (column / 256.0); }

int HalfRateColumn(int stretch, int divisor) { return divisor > 0 ? (stretch * kResponsePoints) / divisor : -1; }

std::array<std::string, 4> GridDenominators(int s) {
    return {std::to_string(8 * s), std::to_string(4 * s), std::to_string(8 * s), std::to_string(2 * s)};
}

std::array<std::string, 4> GridFrequencyTicks(double rate, int s) {
    return {FormatFixed(rate / (8.0 * s), 5, 3), FormatFixed(rate / (4.0 * s), 5, 3),
            FormatFixed(rate * 3 / (8.0 * s), 5, 3), FormatFixed(rate / (2.0 * s), 5, 3)};
}

int MarkerColumn(int cicDec, int firDec, int xStretch) {
    // A register table from elsewhere may hold a zero decimation: no marker then.
    if (cicDec <= 0 || firDec <= 0) return -1;
    return HalfRateColumn(xStretch, cicDec) / firDec;
}

int LevelRow(double ratio, int yStretch) {
    if (!(ratio > 0)) return kPlotRowLimit;
    return ClampRow(-std::trunc(std::log10(ratio) * 40.0 * yStretch));
}

int CursorLineRow(float levelDb, int yStretch) {
    return ClampRow(std::trunc(-2.0 * static_cast<double>(levelDb) * yStretch));
}

double ResponseMaximum(std::span<const double, kResponsePoints> values) {
    double max = 0;
    for (double v : values)
        if (v > max) max = v;
    return max;
}

PlotLabels ComputePlotLabels(const PlotState& s, int32_t systemClock) {
    PlotLabels l;
    const int x = s.XStretch;
    l.denominators = GridDenominators(x);
    l.mhzTicks = GridFrequencyTicks(systemClock * 1e-6, x);
    for (int k = 0; k < 6; ++k) l.dbTicks[static_cast<size_t>(k)] = FormatFixed(-20.0 * (k + 1) / s.YStretch, 4, 1);
    l.xStretch = std::to_string(s.XStretch);
    l.yStretch = std::to_string(s.YStretch);
    l.axisTitle = "F/Fsinp";
    return l;
}

std::string FrequencyReadout(int cursor, int32_t systemClock, int xStretch) {
    const float khz = static_cast<float>(ColumnFrequency(systemClock * 0.001, xStretch, cursor));
    return FormatFixed(static_cast<double>(khz), 7, 3);
}

std::string LevelReadout(float levelDb) {
    if (!std::isfinite(levelDb)) return "";
    return FormatFixed(static_cast<double>(levelDb), 5, 2);
}

PlotFrame ComputePlotFrame(const PlotInputs& in, PlotState& s) {
    PlotFrame f;
    f.markerColumn = MarkerColumn(in.cicDec, in.firDec, s.XStretch);
    f.labels = ComputePlotLabels(s, in.systemClock);

    const double max = ResponseMaximum(in.overall);
    f.hasCurve = max > 0 && std::isfinite(max);
    if (f.hasCurve) {
        for (int i = 0; i < kResponsePoints; ++i)
            f.curveY[static_cast<size_t>(i)] = LevelRow(in.overall[static_cast<size_t>(i)] / max, s.YStretch);
    }

    if (s.cursorIndex < 0 || s.cursorIndex >= kResponsePoints) {
        s.cursorIndex = -1;
        s.cursorLineY = -1;
    } else {
        f.cursorColumn = ColumnOfPoint(s.cursorIndex);
        f.freqReadout = FrequencyReadout(s.cursorIndex, in.systemClock, s.XStretch);
        if (f.hasCurve) {
            const float level =
                static_cast<float>(20.0 * std::log10(in.overall[static_cast<size_t>(s.cursorIndex)] / max));
            s.cursorLineY = CursorLineRow(level, s.YStretch);
            f.levelReadout = LevelReadout(level);
        } else {
            s.cursorLineY = -1;
        }
    }
    f.cursorLineY = s.cursorLineY;
    return f;
}

namespace {

enum class ZoomStep { Double, Halve, Max, Reset };

// One zoom button on one axis: the stretch doubles or halves within 1..max,
// or jumps to either end; an X change needs a recomputation, a Y change only
// a redraw, and a step that cannot go further does nothing.
PlotAction Zoom(int& stretch, int max, ZoomStep step, PlotAction changed) {
    switch (step) {
        case ZoomStep::Double:
            if (stretch >= max) return PlotAction::None;
            stretch *= 2;
            break;
        case ZoomStep::Halve:
            if (stretch <= 1) return PlotAction::None;
            stretch /= 2;
            break;
        case ZoomStep::Max:
            stretch = max;
            break;
        case ZoomStep::Reset:
            stretch = 1;
            break;
    }
    return changed;
}

}  // namespace

PlotAction ZoomXDouble(PlotState& s) { return Zoom(s.XStretch, XStretchMax, ZoomStep::Double, PlotAction::Recompute); }
PlotAction ZoomXHalve(PlotState& s) { return Zoom(s.XStretch, XStretchMax, ZoomStep::Halve, PlotAction::Recompute); }
PlotAction ZoomXMax(PlotState& s) { return Zoom(s.XStretch, XStretchMax, ZoomStep::Max, PlotAction::Recompute); }
PlotAction ZoomXReset(PlotState& s) { return Zoom(s.XStretch, XStretchMax, ZoomStep::Reset, PlotAction::Recompute); }
PlotAction ZoomYDouble(PlotState& s) { return Zoom(s.YStretch, YStretchMax, ZoomStep::Double, PlotAction::Redraw); }
PlotAction ZoomYHalve(PlotState& s) { return Zoom(s.YStretch, YStretchMax, ZoomStep::Halve, PlotAction::Redraw); }
PlotAction ZoomYMax(PlotState& s) { return Zoom(s.YStretch, YStretchMax, ZoomStep::Max, PlotAction::Redraw); }
PlotAction ZoomYReset(PlotState& s) { return Zoom(s.YStretch, YStretchMax, ZoomStep::Reset, PlotAction::Redraw); }

PlotAction CursorRightPress(PlotState& s, int column) {
    s.cursorIndex = PointOfColumn(column);
    s.rightDrag = true;
    return PlotAction::Redraw;
}

PlotAction CursorDrag(PlotState& s, int column) {
    if (!s.rightDrag) return PlotAction::None;
    s.cursorIndex = PointOfColumn(column);
    return PlotAction::Redraw;
}

void CursorRightRelease(PlotState& s) { s.rightDrag = false; }

PlotAction CursorRemove(PlotState& s) {
    s.cursorIndex = -1;
    s.cursorLineY = -1;
    s.rightDrag = false;
    return PlotAction::Redraw;
}

PlotAction CursorStepLeft(PlotState& s) {
    if (s.cursorIndex <= 0) return PlotAction::None;
    --s.cursorIndex;
    return PlotAction::Redraw;
}

PlotAction CursorStepRight(PlotState& s) {
    if (s.cursorIndex < 0 || s.cursorIndex >= kResponsePoints - 1) return PlotAction::None;
    ++s.cursorIndex;
    return PlotAction::Redraw;
}

}  // namespace gc
