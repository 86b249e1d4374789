#include "filters/pfir_window.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/channel_rules.h"
#include "filters/plot_scale.h"

namespace gc {

namespace {}  // namespace

PfirWindowInputs PfirWindowInputsOf(const Settings& s, const ChipState& m, int channel) {
    const int ch = std::clamp(channel, 0, kChannels - 1);
    return {s.SystemClock, m.workImage.cic_dec[ch], s.FirDec[ch], m.fittedTaps[ch].data(), m.coefSetInfo[ch].ntaps};
}

void ComputePfirWindowResponse(const int32_t* taps, int count, int a, ResponseCurve& out) {
    count = std::clamp(count, 0, kMaxTaps);
    const double as = a < 1 ? 1 : a;
    const double base = std::numbers::pi / 256.0;
    double angles[kResponsePoints];
    for (int i = 0; i < kResponsePoints; ++i) angles[i] = base * (i / as);
    TapPolynomialMagnitudes(taps, count, angles, out.data());
}

TapPlot ComputeTapPlot(const int32_t* taps, int count) {
    TapPlot p;
    p.count = std::clamp(count, 0, kMaxTaps);
    for (int k = 0; k < p.count; ++k) {
        p.hi = std::max(p.hi, taps[k]);
        p.lo = std::min(p.lo, taps[k]);
    }
    // Held in single precision, as the scale always was: 10 / 240 rounds up,
    // so a tap at the bottom lands on row 239, not 240.
    const float s = static_cast<float>((static_cast<double>(p.hi) - p.lo) * (1.0 / 240.0));
    for (int k = 0; k < p.count; ++k)
        p.rows[k] =
            s > 0 ? static_cast<int>(std::trunc((static_cast<double>(p.hi) - taps[k]) / static_cast<double>(s))) : 0;
    return p;
}

namespace {

int PfirStretch(const PfirWindowState& s) { return std::clamp(s.PfirWindowStretch, 1, PfirWindowStretchMax); }
int TapsInUse(const PfirWindowInputs& in) { return in.taps ? in.ntaps : 0; }

}  // namespace

bool PfirCurvesFit(const PfirWindowCurves& c, const PfirWindowState& s) {
    return c.computed && c.impulse == s.impulseView && (s.impulseView || c.stretch == PfirStretch(s));
}

PfirWindowCurves ComputePfirWindowCurves(const PfirWindowInputs& in, const PfirWindowState& s) {
    PfirWindowCurves c;
    c.computed = true;
    c.impulse = s.impulseView;
    if (s.impulseView) {
        c.tapPlot = ComputeTapPlot(in.taps, TapsInUse(in));
    } else {
        c.stretch = PfirStretch(s);
        ComputePfirWindowResponse(in.taps, TapsInUse(in), c.stretch, c.response);
        c.max = ResponseMaximum(c.response);
        for (int i = 0; i < kResponsePoints; ++i) c.curveY[i] = LevelRow(c.response[i] / c.max, 1);
    }
    return c;
}

PfirWindowFrame PfirWindowFrameOf(const PfirWindowInputs& in, const PfirWindowCurves& curves, PfirWindowState& s) {
    PfirWindowFrame f;
    WindowCursor& cur = s.cursor;
    const bool hasCursor = cur.column >= 0 && cur.column < kResponsePoints;
    if (!hasCursor) cur.column = -1;
    const int c = cur.column;
    const int a = PfirStretch(s);
    const int ntaps = TapsInUse(in);

    if (s.impulseView) {
        f.impulse = true;
        f.levelLabels = {std::to_string(curves.tapPlot.hi), "", "", "", "", "", std::to_string(curves.tapPlot.lo)};
        f.bottomTicks = {"64", "128", "192", "256"};
        if (hasCursor) {
            f.xReadout = std::to_string(c);
            // Entries beyond the taps in use are not part of the filter.
            f.levelReadout = std::to_string(in.taps && c < ntaps ? in.taps[c] : 0);
        }
    } else {
        f.markerColumn = HalfRateColumn(a, in.firDec);
        f.levelLabels = {"0", "-20", "-40", "-60", "-80", "-100", "-120"};
        // The PFIR runs at the input rate over R; a zero R counts as 1.
        const double mhz = in.systemClock / static_cast<double>(std::max(1, in.R)) * 1e-6;
        f.bottomTicks = GridFrequencyTicks(mhz, a);
        f.denominators = GridDenominators(a);
        f.stretch = std::to_string(a);
        f.axisTitle = "F/Fsinp";
        if (hasCursor) {
            const float level = static_cast<float>(20.0 * std::log10(curves.response[c] / curves.max));
            cur.lineY = CursorLineRow(level, 1);
            const float x = static_cast<float>(ColumnFrequency(mhz, a, c));
            f.xReadout = FormatFixed(static_cast<double>(x), 5, 3);
            f.levelReadout = LevelReadout(level);
        }
    }
    f.cursorColumn = cur.column;
    f.cursorLineY = cur.lineY;
    f.curveY = curves.curveY;
    f.response = curves.response;
    f.tapPlot = curves.tapPlot;
    return f;
}

PfirWindowFrame ComputePfirWindowFrame(const PfirWindowInputs& in, PfirWindowState& s) {
    return PfirWindowFrameOf(in, ComputePfirWindowCurves(in, s), s);
}

bool PfirZoomDouble(PfirWindowState& s) {
    if (s.PfirWindowStretch >= PfirWindowStretchMax) return false;
    s.PfirWindowStretch = PfirWindowStretchMax;
    return true;
}

bool PfirZoomHalve(PfirWindowState& s) {
    if (s.PfirWindowStretch <= 1) return false;
    s.PfirWindowStretch = 1;
    return true;
}

bool PfirZoomMax(PfirWindowState& s) {
    s.PfirWindowStretch = PfirWindowStretchMax;
    return true;
}

bool PfirZoomReset(PfirWindowState& s) {
    s.PfirWindowStretch = 1;
    return true;
}

PlotFrame PfirDesignPlotFrame(const ResponseCurve& preview, int firDec) {
    PlotFrame f;
    const double max = ResponseMaximum(preview);
    f.hasCurve = max > 0;
    if (f.hasCurve)
        for (int i = 0; i < kResponsePoints; ++i)
            f.curveY[static_cast<size_t>(i)] = LevelRow(preview[static_cast<size_t>(i)] / max, 1);
    f.markerColumn = kResponsePoints / DerivedFirDec(firDec);
    return f;
}

}  // namespace gc
