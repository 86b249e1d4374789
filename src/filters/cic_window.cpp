#include "filters/cic_window.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "filters/plot_scale.h"

namespace gc {

namespace {

double Fifth(double r) { return r * r * r * r * r; }

// A decimation of 0 (a damaged lab file, an imported table) counts as 1 where
// a rate is divided by it.
int RateDivisor(int d) { return d < 1 ? 1 : d; }

std::array<int, kResponsePoints> RowsOf(const ResponseCurve& v, double max) {
    std::array<int, kResponsePoints> rows{};
    for (int i = 0; i < kResponsePoints; ++i) rows[i] = LevelRow(v[i] / max, 1);
    return rows;
}

}  // namespace

CicWindowInputs CicWindowInputsOf(const Settings& s, const RegisterImage& work, int channel) {
    const int ch = std::clamp(channel, 0, kChannels - 1);
    return {s.SystemClock, s.CicDec[ch], work.cic_dec[ch]};
}

void ComputeCicWindowResponse(int N, int a, ResponseCurve& out) {
    const double as = a < 1 ? 1 : a;
    const double step = std::numbers::pi / (2.0 * 256.0);
    for (int i = 1; i < kResponsePoints; ++i) {
        double r = std::sin((N / as) * i * step) / std::sin(i * step / as);
        out[i] = Fifth(RectifyCic(r));
    }
    // DC is 0/0: its limit is N^5, not the value of a neighbour that may lie on a null.
    out[0] = Fifth(RectifyCic(N));
}

CicZoneEvaluator::CicZoneEvaluator(int N, int R) : valid_(R >= 1), n_(N) {
    if (!valid_) return;
    // Angles are k * pi / (512 R); k is reduced modulo a whole turn in integers
    // first, so zone 1023 is as exact as zone 0.
    const int64_t turn = 1024 * static_cast<int64_t>(R);
    const double step = std::numbers::pi / (static_cast<double>(R) * 2.0 * 256.0);
    turn_ = turn;
    step_ = step;
    for (int i = 0; i < kResponsePoints; ++i) {
        int64_t kn = (static_cast<int64_t>(i) * N) % turn;
        if (kn < 0) kn += turn;
        double an = static_cast<double>(kn) * step;
        double ad = i * step;
        numSin_[i] = std::sin(an);
        numCos_[i] = std::cos(an);
        denSin_[i] = std::sin(ad);
        denCos_[i] = std::cos(ad);
    }
}

void CicZoneEvaluator::Evaluate(int64_t start, int sign, ResponseCurve& out) const {
    // Start angles: start * N and start steps, reduced to a turn.
    int64_t kn = (start * n_) % turn_;
    if (kn < 0) kn += turn_;
    const int64_t kd = start % turn_;
    const double an = static_cast<double>(kn) * step_, ad = static_cast<double>(kd) * step_;
    const double sn = std::sin(an), cn = std::cos(an), sd = std::sin(ad), cd = std::cos(ad);
    const double limit = std::abs(static_cast<double>(n_));
    const double s = sign;
    const int64_t halfTurn = turn_ / 2;
    for (int i = 0; i < kResponsePoints; ++i) {
        const double num = sn * numCos_[i] + s * cn * numSin_[i];
        const double den = sd * denCos_[i] + s * cd * denSin_[i];
        // A whole multiple of the input rate is an image of DC: sin(N x)/sin(x)
        // is 0/0 there and tends to N. Told in integers, since the sines
        // computed there are rounding noise rather than 0.
        const bool image = (start + sign * i) % halfTurn == 0;
        const double r = !image && den != 0.0 ? num / den : limit;
        out[i] = Fifth(RectifyCic(r));
    }
}

void CicZoneEvaluator::Zone(int m, ResponseCurve& out) const {
    if (!valid_) {
        out.fill(Fifth(RectifyCic(0.0)));
        return;
    }
    Evaluate(256 * static_cast<int64_t>(m), 1, out);
    // Only zone 0 starts at DC, whose 0/0 tends to N^5; the other zones start
    // at an image that is no 0/0 point and take their neighbour's value.
    out[0] = m == 0 ? Fifth(RectifyCic(n_)) : out[1];
}

void CicZoneEvaluator::Folded(int m, ResponseCurve& out) const {
    if (m % 2 == 0 || !valid_) {
        Zone(m, out);
        return;
    }
    // Counted down from the zone's upper edge, so that column 0 is the image
    // of DC itself; reversing the zone's own columns would be one column off.
    Evaluate(256 * (static_cast<int64_t>(m) + 1), -1, out);
}

void ComputeCicZoneResponse(int N, int R, int m, ResponseCurve& out) { CicZoneEvaluator(N, R).Zone(m, out); }

CicAliasView ComputeCicAliasView(int N, int R) {
    CicAliasView view;
    // N comes from the settings; a damaged lab file must not make the loop run away.
    const int zones = std::clamp(N, 0, kCicDecMax);
    if (zones == 0) return view;
    view.rows.resize(static_cast<size_t>(zones));
    CicZoneEvaluator eval(N, R);
    ResponseCurve v;
    for (int m = 0; m < zones; ++m) {
        eval.Folded(m, v);
        if (m == 0) view.zoneMax = ResponseMaximum(v);
        view.rows[static_cast<size_t>(m)] = RowsOf(v, view.zoneMax);
    }
    return view;
}

CicWindowLabels ComputeCicWindowLabels(const CicWindowInputs& in, const CicWindowState& s) {
    CicWindowLabels l;
    if (s.CicAliasMode == 0) {
        const int a = std::max(1, s.CicWindowStretch);
        l.denominators = GridDenominators(a);
        l.mhzTicks = GridFrequencyTicks(in.systemClock * 1e-6, a);
        l.stretch = std::to_string(a);
        l.axisTitle = "F/Fsinp";
    } else {
        const double fo = in.systemClock * 1e-6 / RateDivisor(in.N);
        l.denominators = GridDenominators(1);
        l.mhzTicks = GridFrequencyTicks(fo, 1);
        l.stretch = std::string("1");
        l.axisTitle = "F/Fsout";
    }
    return l;
}

bool CicCurvesFit(const CicWindowCurves& c, const CicWindowInputs& in, const CicWindowState& s) {
    if (c.aliasMode != s.CicAliasMode || !(c.in == in)) return false;
    return s.CicAliasMode != 0 || c.stretch == std::max(1, s.CicWindowStretch);
}

CicWindowCurves ComputeCicWindowCurves(const CicWindowInputs& in, const CicWindowState& s) {
    CicWindowCurves c;
    c.in = in;
    c.aliasMode = s.CicAliasMode;
    if (s.CicAliasMode == 0) {
        c.stretch = std::max(1, s.CicWindowStretch);
        ComputeCicWindowResponse(in.N, c.stretch, c.response);
        c.max = ResponseMaximum(c.response);
        c.curveY = RowsOf(c.response, c.max);
    } else {
        c.aliasView = ComputeCicAliasView(in.N, in.R);
    }
    return c;
}

CicWindowFrame CicWindowFrameOf(const CicWindowInputs& in, const CicWindowCurves& curves, CicWindowState& s) {
    CicWindowFrame f;
    f.labels = ComputeCicWindowLabels(in, s);
    WindowCursor& cur = s.cursor;
    const bool hasCursor = cur.column >= 0 && cur.column < kResponsePoints;
    if (!hasCursor) cur.column = -1;
    const int c = cur.column;

    if (s.CicAliasMode == 0) {
        const int a = std::max(1, s.CicWindowStretch);
        f.markerColumn = HalfRateColumn(a, in.N);
        if (hasCursor) {
            const float level = static_cast<float>(20.0 * std::log10(curves.response[c] / curves.max));
            cur.lineY = CursorLineRow(level, 1);
            const float mhz = static_cast<float>(ColumnFrequency(in.systemClock * 1e-6, a, c));
            f.xReadout = FormatFixed(static_cast<double>(mhz), 6, 4);
            f.levelReadout = LevelReadout(level);
        }
    } else {
        f.alias = true;
        if (hasCursor) {
            // The level of the pixel row under the mouse, not of a curve.
            const float fo = static_cast<float>(in.systemClock * 1e-6 / RateDivisor(in.N));
            const float mhz = static_cast<float>(ColumnFrequency(static_cast<double>(fo), 1, c));
            f.xReadout = FormatFixed(static_cast<double>(mhz), 6, 4);
            f.levelReadout = FormatFixed(cur.lineY * -1 * 0.5, 5, 2);
        }
    }
    f.cursorColumn = cur.column;
    f.cursorLineY = cur.lineY;
    f.curveY = curves.curveY;
    f.response = curves.response;
    return f;
}

CicWindowFrame ComputeCicWindowFrame(const CicWindowInputs& in, CicWindowState& s) {
    CicWindowCurves c = ComputeCicWindowCurves(in, s);
    CicWindowFrame f = CicWindowFrameOf(in, c, s);
    f.aliasView = std::move(c.aliasView);
    return f;
}

bool CicZoomDouble(CicWindowState& s) {
    if (s.CicWindowStretch >= CicWindowStretchMax) return false;
    s.CicWindowStretch = std::max(1, s.CicWindowStretch) * 2;
    return true;
}

bool CicZoomHalve(CicWindowState& s) {
    if (s.CicWindowStretch <= 1) return false;
    s.CicWindowStretch /= 2;
    return true;
}

bool CicZoomMax(CicWindowState& s) {
    s.CicWindowStretch = CicWindowStretchMax;
    return true;
}

bool CicZoomReset(CicWindowState& s) {
    s.CicWindowStretch = 1;
    return true;
}

}  // namespace gc
