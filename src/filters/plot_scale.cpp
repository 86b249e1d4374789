#include "filters/plot_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace gc {

namespace {

std::string ZeroText(int digits) {
    std::string s = "0";
    if (digits > 0) s.append(1, '.').append(static_cast<size_t>(digits), '0');
    return s;
}

// Clamps a row computed in floating point; NaN counts as far below the area.
int ClampRow(double y) {
    if (!(y < kPlotRowLimit)) return kPlotRowLimit;
    if (y < -kPlotRowLimit) return -kPlotRowLimit;
    return static_cast<int>(y);
}

}  // namespace

std::string FixedText(double value, int precision, int digits) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    precision = std::clamp(precision, 1, 18);
    digits = std::clamp(digits, 0, 18);
    if (value == 0.0) return ZeroText(digits);

    // Eighteen significant decimal digits, rounded once below to what is kept.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17e", value);
    const bool negative = buf[0] == '-';
    const char* p = buf + (negative ? 1 : 0);
    std::string d;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d += *p;
    int exp = std::atoi(p + 1);

    const int keep = std::min(precision, exp + 1 + digits);
    if (keep < 0) return ZeroText(digits);
    const bool roundUp = keep < static_cast<int>(d.size()) && d[static_cast<size_t>(keep)] >= '5';
    d.resize(static_cast<size_t>(keep));
    if (roundUp) {
        int i = keep - 1;
        for (; i >= 0 && d[static_cast<size_t>(i)] == '9'; --i) d[static_cast<size_t>(i)] = '0';
        if (i >= 0) {
            ++d[static_cast<size_t>(i)];
        } else {
            d.insert(d.begin(), '1');
            ++exp;
        }
    }
    if (d.find_first_not_of('0') == std::string::npos) return ZeroText(digits);

    std::string out = negative ? "-" : "";
    if (exp + 1 > precision) {
        // Too many integer digits for the precision: scientific notation.
        d.resize(static_cast<size_t>(precision), '0');
        out += d[0];
        if (precision > 1) {
            out += '.';
            out.append(d, 1, std::string::npos);
        }
        out += exp < 0 ? "E-" : "E+";
        out += std::to_string(std::abs(exp));
        return out;
    }
    auto digitAt = [&](int pos) {
        return pos >= 0 && pos < static_cast<int>(d.size()) ? d[static_cast<size_t>(pos)] : '0';
    };
    if (exp < 0) {
        out += '0';
    } else {
        for (int pos = 0; pos <= exp; ++pos) out += digitAt(pos);
    }
    if (digits > 0) {
        out += '.';
        for (int k = 1; k <= digits; ++k) out += digitAt(exp + k);
    }
    return out;
}

int PointOfColumn(int x) { return std::clamp(x, 0, ResponsePoints - 1); }

double PointFrequencyHz(int point, int32_t systemClock, int xStretch) {
    return static_cast<double>(point) * systemClock / (2.0 * ResponsePoints * xStretch);
}

int MarkerColumn(int cicDec, int firDec, int xStretch) {
    // A register table from elsewhere may hold a zero decimation: no marker then.
    if (cicDec <= 0 || firDec <= 0) return -1;
    return ((xStretch * ResponsePoints) / cicDec) / firDec;
}

int LevelRow(double ratio, int yStretch) {
    if (!(ratio > 0)) return kPlotRowLimit;
    return ClampRow(-std::trunc(std::log10(ratio) * 40.0 * yStretch));
}

int CursorLineRow(float levelDb, int yStretch) {
    return ClampRow(std::trunc(-2.0 * static_cast<double>(levelDb) * yStretch));
}

double ResponseMaximum(std::span<const double, ResponsePoints> values) {
    double max = 0;
    for (double v : values)
        if (v > max) max = v;
    return max;
}

PlotLabels ComputePlotLabels(const PlotState& s, int32_t systemClock) {
    PlotLabels l;
    const int x = s.XStretch;
    l.denominators = {std::to_string(8 * x), std::to_string(4 * x), std::to_string(8 * x), std::to_string(2 * x)};
    const double mhz = systemClock * 1e-6;
    l.mhzTicks = {FixedText(mhz / (8.0 * x), 5, 3), FixedText(mhz / (4.0 * x), 5, 3),
                  FixedText(mhz * 3 / (8.0 * x), 5, 3), FixedText(mhz / (2.0 * x), 5, 3)};
    for (int k = 0; k < 6; ++k) l.dbTicks[static_cast<size_t>(k)] = FixedText(-20.0 * (k + 1) / s.YStretch, 4, 1);
    l.xStretch = std::to_string(s.XStretch);
    l.yStretch = std::to_string(s.YStretch);
    l.axisTitle = "F/Fsinp";
    return l;
}

std::string FrequencyReadout(int cursor, int32_t systemClock, int xStretch) {
    const float khz = static_cast<float>(systemClock * 0.001 / (2.0 * xStretch) * (cursor / 256.0));
    return FixedText(static_cast<double>(khz), 7, 3);
}

std::string LevelReadout(float levelDb) {
    if (!std::isfinite(levelDb)) return "";
    return FixedText(static_cast<double>(levelDb), 5, 2);
}

PlotFrame ComputePlotFrame(const PlotInputs& in, PlotState& s) {
    PlotFrame f;
    f.markerColumn = MarkerColumn(in.cicDec, in.firDec, s.XStretch);
    f.labels = ComputePlotLabels(s, in.systemClock);

    const double max = ResponseMaximum(in.overall);
    f.hasCurve = max > 0 && std::isfinite(max);
    if (f.hasCurve) {
        for (int i = 0; i < ResponsePoints; ++i)
            f.curveY[static_cast<size_t>(i)] = LevelRow(in.overall[static_cast<size_t>(i)] / max, s.YStretch);
    }

    if (s.cursorIndex < 0 || s.cursorIndex >= ResponsePoints) {
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

PlotAction ZoomXDouble(PlotState& s) {
    if (s.XStretch >= XStretchMax) return PlotAction::None;
    s.XStretch *= 2;
    return PlotAction::Recompute;
}

PlotAction ZoomXHalve(PlotState& s) {
    if (s.XStretch <= 1) return PlotAction::None;
    s.XStretch /= 2;
    return PlotAction::Recompute;
}

PlotAction ZoomXMax(PlotState& s) {
    s.XStretch = XStretchMax;
    return PlotAction::Recompute;
}

PlotAction ZoomXReset(PlotState& s) {
    s.XStretch = 1;
    return PlotAction::Recompute;
}

PlotAction ZoomYDouble(PlotState& s) {
    if (s.YStretch >= YStretchMax) return PlotAction::None;
    s.YStretch *= 2;
    return PlotAction::Redraw;
}

PlotAction ZoomYHalve(PlotState& s) {
    if (s.YStretch <= 1) return PlotAction::None;
    s.YStretch /= 2;
    return PlotAction::Redraw;
}

PlotAction ZoomYMax(PlotState& s) {
    s.YStretch = YStretchMax;
    return PlotAction::Redraw;
}

PlotAction ZoomYReset(PlotState& s) {
    s.YStretch = 1;
    return PlotAction::Redraw;
}

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
    if (s.cursorIndex < 0 || s.cursorIndex >= ResponsePoints - 1) return PlotAction::None;
    ++s.cursorIndex;
    return PlotAction::Redraw;
}

}  // namespace gc
