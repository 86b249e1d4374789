// Plot curves as CSV for reports and comparisons: a header line, then one
// line per plot column with its frequency in MHz and, for each curve shown,
// its linear value and its level in dB. The main window's export and the
// batch tool's "response --csv" write the same bytes through this.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/model.h"

namespace gc {

struct CsvCurve {
    std::string name;             // header stem: "name" and "name_dB"
    std::vector<double> linear;   // one value per column
    std::vector<double> levelDb;  // the same columns in dB; NaN where there is none
};

struct CurveTable {
    std::vector<double> frequencyMHz;  // one per column
    std::vector<CsvCurve> curves;
};

// Levels in dB below the curve's maximum, as the plots draw them
// (20 log10(v / max)); NaN everywhere when the curve has no positive maximum.
std::vector<double> LevelsBelowMaximum(std::span<const double> values);

// "frequency_MHz,<name>,<name>_dB,..." then one line per column. Numbers in
// C notation whatever the locale; the linear values keep 17 significant
// digits so they read back exactly. A curve shorter than the frequency column
// leaves its fields empty.
std::string FormatCurvesCsv(const CurveTable& table);

// What the main plot shows: the overall response over its 256 points at the
// zoom xStretch, point i at i * systemClock / (512 * xStretch).
CurveTable MainPlotCurves(std::span<const double, kResponsePoints> overall, int32_t systemClock, int xStretch);

}  // namespace gc
