#include "filters/curve_csv.h"

#include <cmath>
#include <limits>

#include "core/text_io.h"
#include "filters/plot_scale.h"

namespace gc {

std::vector<double> LevelsBelowMaximum(std::span<const double> values) {
    double max = 0;
    for (double v : values)
        if (v > max) max = v;
    std::vector<double> levels(values.size(), std::numeric_limits<double>::quiet_NaN());
    if (!(max > 0) || !std::isfinite(max)) return levels;
    for (size_t i = 0; i < values.size(); ++i)
        if (values[i] > 0) levels[i] = 20.0 * std::log10(values[i] / max);
    return levels;
}

namespace {

void AppendField(std::string& line, const std::vector<double>& column, size_t row, const char* format) {
    line += ',';
    if (row < column.size() && std::isfinite(column[row])) line += StrPrintf(format, column[row]);
}

}  // namespace

std::string FormatCurvesCsv(const CurveTable& table) {
    std::string text = "frequency_MHz";
    for (const CsvCurve& c : table.curves) text += "," + c.name + "," + c.name + "_dB";
    text += '\n';
    for (size_t row = 0; row < table.frequencyMHz.size(); ++row) {
        std::string line = StrPrintf("%.9g", table.frequencyMHz[row]);
        for (const CsvCurve& c : table.curves) {
            AppendField(line, c.linear, row, "%.17g");
            AppendField(line, c.levelDb, row, "%.4f");
        }
        text += line + '\n';
    }
    return text;
}

CurveTable MainPlotCurves(std::span<const double, kResponsePoints> overall, int32_t systemClock, int xStretch) {
    CurveTable t;
    t.frequencyMHz.reserve(kResponsePoints);
    for (int i = 0; i < kResponsePoints; ++i)
        t.frequencyMHz.push_back(PointFrequencyHz(i, systemClock, xStretch) * 1e-6);
    CsvCurve c;
    c.name = "overall";
    c.linear.assign(overall.begin(), overall.end());
    c.levelDb = LevelsBelowMaximum(overall);
    t.curves.push_back(std::move(c));
    return t;
}

}  // namespace gc
