#include "filters/plot_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace gc {
namespace {

using Curve = std::array<double, kResponsePoints>;

// A curve with its maximum at `peak` and every other point at `rest` times it.
Curve PeakCurve(int peak, double rest) {
    Curve c;
    c.fill(1000.0 * rest);
    c[static_cast<size_t>(peak)] = 1000.0;
    return c;
}

TEST(PlotScale, FixedRoundsToPrecisionThenPadsDecimals) {
    EXPECT_EQ(FormatFixed(12.5, 5, 3), "12.500");
    EXPECT_EQ(FormatFixed(-20.0, 4, 1), "-20.0");
    EXPECT_EQ(FormatFixed(12.345678, 4, 3), "12.350");  // 4 significant digits, then padded
    EXPECT_EQ(FormatFixed(195.3125, 7, 3), "195.313");  // an exact tie rounds away from zero
    EXPECT_EQ(FormatFixed(-195.3125, 7, 3), "-195.313");
    EXPECT_EQ(FormatFixed(9.99996, 4, 3), "10.000");  // the carry adds an integer digit
    EXPECT_EQ(FormatFixed(1234.5, 4, 1), "1235.0");
    EXPECT_EQ(FormatFixed(0.0030517578125, 5, 3), "0.003");
    EXPECT_EQ(FormatFixed(0.0, 5, 2), "0.00");
    EXPECT_EQ(FormatFixed(-0.01, 4, 1), "0.0");  // no "-0.0"
    EXPECT_EQ(FormatFixed(-0.05, 4, 1), "-0.1");
    EXPECT_EQ(FormatFixed(0.96, 4, 0), "1");
    EXPECT_EQ(FormatFixed(123456.7, 5, 2), "1.2346E+05");  // more integer digits than the precision
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 5, 2), "NAN");
}

TEST(PlotScale, AxisLabelsFollowBothZoomFactors) {
    PlotState s;
    PlotLabels l = ComputePlotLabels(s, 100000000);
    EXPECT_EQ(l.mhzTicks, (std::array<std::string, 4>{"12.500", "25.000", "37.500", "50.000"}));
    EXPECT_EQ(l.denominators, (std::array<std::string, 4>{"8", "4", "8", "2"}));
    EXPECT_EQ(l.dbTicks, (std::array<std::string, 6>{"-20.0", "-40.0", "-60.0", "-80.0", "-100.0", "-120.0"}));
    EXPECT_EQ(l.axisTitle, "F/Fsinp");
    EXPECT_EQ(l.xStretch, "1");
    EXPECT_EQ(l.yStretch, "1");

    s.YStretch = 2;
    l = ComputePlotLabels(s, 100000000);
    EXPECT_EQ(l.dbTicks, (std::array<std::string, 6>{"-10.0", "-20.0", "-30.0", "-40.0", "-50.0", "-60.0"}));

    s.XStretch = 4096;
    s.YStretch = 512;
    l = ComputePlotLabels(s, 100000000);
    EXPECT_EQ(l.denominators, (std::array<std::string, 4>{"32768", "16384", "32768", "8192"}));
    EXPECT_EQ(l.mhzTicks, (std::array<std::string, 4>{"0.003", "0.006", "0.009", "0.012"}));
    EXPECT_EQ(l.dbTicks, (std::array<std::string, 6>{"0.0", "-0.1", "-0.1", "-0.2", "-0.2", "-0.2"}));
    EXPECT_EQ(l.xStretch, "4096");
    EXPECT_EQ(l.yStretch, "512");

    s = PlotState{};
    l = ComputePlotLabels(s, 122880000);
    EXPECT_EQ(l.mhzTicks, (std::array<std::string, 4>{"15.360", "30.720", "46.080", "61.440"}));
}

TEST(PlotScale, MarkerColumnIsHalfTheOutputRate) {
    EXPECT_EQ(MarkerColumn(4, 2, 1), 32);
    EXPECT_EQ(MarkerColumn(4, 2, 8), 256);  // the right edge of the 257-column area
    EXPECT_EQ(MarkerColumn(3, 1, 1), 85);   // truncating division
    EXPECT_EQ(MarkerColumn(1, 1, 4096), 1048576);
    // A zero decimation from a foreign register table draws no marker rather than dividing by zero.
    EXPECT_EQ(MarkerColumn(0, 2, 1), -1);
    EXPECT_EQ(MarkerColumn(4, 0, 1), -1);
}

TEST(PlotScale, FrequencyGridHalvesWithEachZoomStep) {
    EXPECT_DOUBLE_EQ(PointFrequencyHz(128, 100000000, 1), 25e6);
    for (int i : {1, 37, 127})
        EXPECT_DOUBLE_EQ(PointFrequencyHz(2 * i, 100000000, 2), PointFrequencyHz(i, 100000000, 1));
    EXPECT_EQ(PointOfColumn(-3), 0);
    EXPECT_EQ(PointOfColumn(256), 255);  // the area's extra column still names a point
    EXPECT_EQ(PointOfColumn(17), 17);
}

TEST(PlotScale, LevelRowsAreTwoPixelsPerDbTimesZoomTruncated) {
    EXPECT_EQ(LevelRow(1.0, 1), 0);
    EXPECT_EQ(LevelRow(0.01, 1), 80);  // -40 dB
    EXPECT_EQ(LevelRow(0.01, 2), 160);
    EXPECT_EQ(LevelRow(1e-6, 1), 240);                         // -120 dB: the bottom edge
    EXPECT_EQ(LevelRow(std::pow(10.0, -41.9 / 40.0), 1), 41);  // toward zero, not to nearest
    EXPECT_EQ(LevelRow(std::pow(10.0, -0.9 / 40.0), 1), 0);
    // Far below the area, zero and NaN stay finite rows outside it.
    EXPECT_EQ(LevelRow(1e-300, 512), kPlotRowLimit);
    EXPECT_EQ(LevelRow(0.0, 1), kPlotRowLimit);
    EXPECT_EQ(LevelRow(std::nan(""), 1), kPlotRowLimit);
    EXPECT_EQ(CursorLineRow(-3.5f, 1), 7);
    EXPECT_EQ(CursorLineRow(-3.5f, 4), 28);
    EXPECT_EQ(CursorLineRow(-1e30f, 512), kPlotRowLimit);
}

TEST(PlotScale, FrameNormalisesToTheMaximumAndPlacesTheCursor) {
    Curve c = PeakCurve(100, 0.01);
    PlotState s;
    PlotFrame f = ComputePlotFrame({c, 100000000, 4, 2}, s);
    ASSERT_TRUE(f.hasCurve);
    EXPECT_EQ(f.curveY[100], 0);
    EXPECT_EQ(f.curveY[0], 80);
    EXPECT_EQ(f.curveY[255], 80);
    EXPECT_EQ(f.markerColumn, 32);
    EXPECT_EQ(f.cursorColumn, -1);
    EXPECT_EQ(f.freqReadout, "");
    EXPECT_EQ(f.levelReadout, "");

    // Cursor on the maximum: 0 dB and the horizontal line on the top edge.
    CursorRightPress(s, 100);
    f = ComputePlotFrame({c, 100000000, 4, 2}, s);
    EXPECT_EQ(f.cursorColumn, 100);
    EXPECT_EQ(f.levelReadout, "0.00");
    EXPECT_EQ(f.cursorLineY, 0);
    EXPECT_EQ(f.freqReadout, "19531.250");

    // Off the maximum the line passes through the curve.
    CursorRightPress(s, 1);
    s.YStretch = 2;
    f = ComputePlotFrame({c, 100000000, 4, 2}, s);
    EXPECT_EQ(f.levelReadout, "-40.00");
    EXPECT_EQ(f.cursorLineY, 160);
    EXPECT_EQ(f.cursorLineY, f.curveY[1]);
    EXPECT_EQ(f.freqReadout, "195.313");

    // The index stays when the horizontal zoom changes, so it names another frequency.
    s.XStretch = 4;
    f = ComputePlotFrame({c, 100000000, 4, 2}, s);
    EXPECT_EQ(f.cursorColumn, 1);
    EXPECT_EQ(f.freqReadout, "48.828");
    EXPECT_EQ(f.markerColumn, 128);
}

TEST(PlotScale, ResponseWithoutPositiveMaximumDrawsNoCurve) {
    Curve zero{};  // as before the first recomputation
    PlotState s;
    CursorRightPress(s, 10);
    PlotFrame f = ComputePlotFrame({zero, 100000000, 1, 1}, s);
    EXPECT_FALSE(f.hasCurve);
    EXPECT_EQ(f.levelReadout, "");
    EXPECT_EQ(f.cursorLineY, -1);
    EXPECT_FALSE(f.freqReadout.empty());

    // A single zero point among positive ones sinks below the area.
    Curve c = PeakCurve(0, 0.5);
    c[7] = 0.0;
    f = ComputePlotFrame({c, 100000000, 1, 1}, s);
    EXPECT_EQ(f.curveY[7], kPlotRowLimit);
    EXPECT_EQ(f.curveY[8], 12);  // -6.02 dB
}

TEST(PlotScale, ZoomButtonsStopAtTheirLimits) {
    PlotState s;
    EXPECT_EQ(ZoomXHalve(s), PlotAction::None);
    EXPECT_EQ(ZoomYHalve(s), PlotAction::None);
    EXPECT_EQ(ZoomXDouble(s), PlotAction::Recompute);
    EXPECT_EQ(s.XStretch, 2);
    EXPECT_EQ(ZoomYDouble(s), PlotAction::Redraw);
    EXPECT_EQ(s.YStretch, 2);
    EXPECT_EQ(ZoomXMax(s), PlotAction::Recompute);
    EXPECT_EQ(ZoomYMax(s), PlotAction::Redraw);
    EXPECT_EQ(s.XStretch, 4096);
    EXPECT_EQ(s.YStretch, 512);
    EXPECT_EQ(ZoomXDouble(s), PlotAction::None);
    EXPECT_EQ(ZoomYDouble(s), PlotAction::None);
    EXPECT_EQ(s.XStretch, 4096);
    EXPECT_EQ(s.YStretch, 512);
    EXPECT_EQ(ZoomXHalve(s), PlotAction::Recompute);
    EXPECT_EQ(s.XStretch, 2048);
    EXPECT_EQ(ZoomXReset(s), PlotAction::Recompute);
    EXPECT_EQ(ZoomYReset(s), PlotAction::Redraw);
    EXPECT_EQ(s.XStretch, 1);
    EXPECT_EQ(s.YStretch, 1);
}

TEST(PlotScale, CursorStepsDragAndRemoval) {
    PlotState s;
    // No cursor: the step buttons do nothing.
    EXPECT_EQ(CursorStepLeft(s), PlotAction::None);
    EXPECT_EQ(CursorStepRight(s), PlotAction::None);
    EXPECT_EQ(s.cursorIndex, -1);
    // A move without the right button held does nothing.
    EXPECT_EQ(CursorDrag(s, 50), PlotAction::None);
    EXPECT_EQ(s.cursorIndex, -1);

    EXPECT_EQ(CursorRightPress(s, 300), PlotAction::Redraw);  // beyond the area: the last point
    EXPECT_EQ(s.cursorIndex, 255);
    EXPECT_TRUE(s.rightDrag);
    EXPECT_EQ(CursorStepRight(s), PlotAction::None);
    EXPECT_EQ(s.cursorIndex, 255);
    EXPECT_EQ(CursorDrag(s, -20), PlotAction::Redraw);
    EXPECT_EQ(s.cursorIndex, 0);
    CursorRightRelease(s);
    EXPECT_FALSE(s.rightDrag);
    EXPECT_EQ(CursorDrag(s, 40), PlotAction::None);
    EXPECT_EQ(CursorStepLeft(s), PlotAction::None);
    EXPECT_EQ(s.cursorIndex, 0);
    EXPECT_EQ(CursorStepRight(s), PlotAction::Redraw);
    EXPECT_EQ(s.cursorIndex, 1);
    EXPECT_EQ(CursorStepLeft(s), PlotAction::Redraw);
    EXPECT_EQ(s.cursorIndex, 0);

    s.cursorLineY = 33;
    EXPECT_EQ(CursorRemove(s), PlotAction::Redraw);
    EXPECT_EQ(s.cursorIndex, -1);
    EXPECT_EQ(s.cursorLineY, -1);
    EXPECT_FALSE(s.rightDrag);
    Curve c = PeakCurve(3, 0.1);
    PlotFrame f = ComputePlotFrame({c, 100000000, 1, 1}, s);
    EXPECT_EQ(f.freqReadout, "");
    EXPECT_EQ(f.levelReadout, "");
    EXPECT_EQ(f.cursorColumn, -1);
}

}  // namespace
}  // namespace gc
