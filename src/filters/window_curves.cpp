#include "filters/window_curves.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/text_io.h"
#include "filters/plot_scale.h"

namespace gc {

namespace {

// 20 log10(v / reference); NaN where there is no level to give.
std::vector<double> LevelsBelow(const ResponseCurve& v, double reference) {
    std::vector<double> levels(v.size(), std::numeric_limits<double>::quiet_NaN());
    if (!(reference > 0) || !std::isfinite(reference)) return levels;
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i] > 0) levels[i] = 20.0 * std::log10(v[i] / reference);
    return levels;
}

// Column i at i / 256 of half the rate, divided by the zoom, in MHz.
std::vector<double> ColumnFrequencies(double rateHz, int stretch) {
    std::vector<double> f(kResponsePoints);
    for (int i = 0; i < kResponsePoints; ++i) f[static_cast<size_t>(i)] = ColumnFrequency(rateHz * 1e-6, stretch, i);
    return f;
}

CsvCurve Curve(std::string name, const ResponseCurve& v, std::vector<double> levels) {
    return {std::move(name), std::vector<double>(v.begin(), v.end()), std::move(levels)};
}

}  // namespace

CurveTable CicWindowCurves(const CicWindowInputs& in, const CicWindowState& s) {
    CurveTable t;
    ResponseCurve v;
    if (s.CicAliasMode == 0) {
        const int a = std::max(1, s.CicWindowStretch);
        t.frequencyMHz = ColumnFrequencies(in.systemClock, a);
        ComputeCicWindowResponse(in.N, a, v);
        t.curves.push_back(Curve("cic", v, LevelsBelow(v, ResponseMaximum(v))));
        return t;
    }
    // The output band: half the output rate over the 256 columns.
    t.frequencyMHz = ColumnFrequencies(static_cast<double>(in.systemClock) / std::max(1, in.N), 1);
    const int zones = std::clamp(in.N, 0, kCicDecMax);
    const CicZoneEvaluator eval(in.N, in.R);
    double zoneMax = 0;
    for (int m = 0; m < zones; ++m) {
        eval.Folded(m, v);
        if (m == 0) zoneMax = ResponseMaximum(v);
        t.curves.push_back(Curve("zone" + std::to_string(m), v, LevelsBelow(v, zoneMax)));
    }
    return t;
}

CurveTable PfirWindowCurves(const PfirWindowInputs& in, const PfirWindowState& s) {
    CurveTable t;
    const int a = std::clamp(s.PfirWindowStretch, 1, PfirWindowStretchMax);
    t.frequencyMHz = ColumnFrequencies(static_cast<double>(in.systemClock) / std::max(1, in.R), a);
    ResponseCurve v;
    ComputePfirWindowResponse(in.taps, in.taps ? in.ntaps : 0, a, v);
    t.curves.push_back(Curve("pfir", v, LevelsBelow(v, ResponseMaximum(v))));
    return t;
}

std::string FormatTapsCsv(const int32_t* taps, int count) {
    std::string text = "index,tap\n";
    const int n = taps ? std::clamp(count, 0, kMaxTaps) : 0;
    for (int k = 0; k < n; ++k) text += StrPrintf("%d,%d\n", k, static_cast<int>(taps[k]));
    return text;
}

}  // namespace gc
