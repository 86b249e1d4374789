// What the chain analysis window shows, apart from the painting: the visible
// range and its zoom steps, the transforms between frequency, level and
// pixel, the axis ticks and the texts of the figures and the cursor.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "filters/chain_analysis.h"

namespace gc {

struct ChainViewRange {
    double f0 = 0, f1 = 1;               // Hz
    double dbTop = 10, dbBottom = -160;  // relative to W's maximum
};

// The whole output band, 0 .. Fout / 2, from +10 down to -160 dB.
ChainViewRange FullChainView(const ChainAnalysis& a);

// Zoom about a frequency (the mouse wheel): factor below 1 narrows. The range
// stays inside the output band and keeps at least a millionth of it.
ChainViewRange ZoomChainView(const ChainViewRange& v, const ChainAnalysis& a, double aboutHz, double factor);
// The rubber band's rectangle, corners in any order; nullopt when it is too
// small to mean a zoom (under a thousandth of the range either way).
std::optional<ChainViewRange> ChainViewOfBand(const ChainViewRange& v, double fA, double fB, double dbA, double dbB);

// Pixel transforms for a plot area of width x height pixels.
double ChainViewX(const ChainViewRange& v, double hz, int width);
double ChainViewHz(const ChainViewRange& v, double x, int width);
double ChainViewY(const ChainViewRange& v, double db, int height);
double ChainViewDb(const ChainViewRange& v, double y, int height);

// Round-valued ticks (1, 2 or 5 times a power of ten) inside lo .. hi, at
// most about maxTicks of them.
std::vector<double> ChainTicks(double lo, double hi, int maxTicks);
// A frequency tick's caption in kHz, with as many decimals as the step needs.
std::string ChainFrequencyTick(double hz, double stepHz);

// The figures as the window lists them, one caption and value per line.
std::vector<std::pair<std::string, std::string>> ChainFigureLines(const ChainAnalysis& a);

// The cursor at the grid point nearest hz: its frequency and the three
// levels (dB below W's maximum), with the source of the strongest image.
struct ChainCursorText {
    int point = -1;
    std::string freq, wanted, image, cicImage, source;
};
ChainCursorText ChainCursorAt(const ChainAnalysis& a, const ChainLevels& l, double hz);

}  // namespace gc
