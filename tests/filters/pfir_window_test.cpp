// The PFIR window's frequency and impulse views.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "filters/pfir_window.h"

namespace gc {
namespace {

TEST(PfirWindowResponse, MatchesTheDirectSumWithoutTheCicFactor) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<int32_t> d(-32768, 32767);
    std::array<int32_t, kMaxTaps> taps{};
    for (auto& t : taps) t = d(rng);
    for (int a : {1, 2}) {
        ResponseCurve fast{};
        ComputePfirWindowResponse(taps.data(), kMaxTaps, a, fast);
        ResponseCurve direct{};
        for (int i = 0; i < kResponsePoints; ++i) {
            double re = 0, im = 0;
            for (int j = 0; j < kMaxTaps; ++j) {
                double phi = (3.141592653589793 / 256) * (static_cast<double>(j) * i / a);
                re += std::cos(phi) * taps[j];
                im += std::sin(phi) * taps[j];
            }
            direct[i] = std::sqrt(re * re + im * im);
        }
        const double max = *std::max_element(direct.begin(), direct.end());
        for (int i = 0; i < kResponsePoints; ++i)
            ASSERT_NEAR(fast[i], direct[i], 1e-9 * max) << "a " << a << " i " << i;
    }
}

TEST(PfirWindowFrame, FrequencyViewCaptionsMarkerAndFlatSingleTap) {
    std::array<int32_t, kMaxTaps> taps{};
    taps[0] = -77;
    PfirWindowInputs in{100000000, 4, 2, taps.data(), 1};
    PfirWindowState s;
    PfirWindowFrame f = ComputePfirWindowFrame(in, s);
    EXPECT_FALSE(f.impulse);
    EXPECT_EQ(f.bottomTicks, (std::array<std::string, 4>{"3.125", "6.250", "9.375", "12.500"}));
    EXPECT_EQ(f.denominators, (std::array<std::string, 4>{"8", "4", "8", "2"}));
    EXPECT_EQ(f.levelLabels[0], "0");
    EXPECT_EQ(f.levelLabels[6], "-120");
    EXPECT_EQ(f.axisTitle, "F/Fsinp");
    EXPECT_EQ(f.markerColumn, 128);
    for (int y : f.curveY) ASSERT_EQ(y, 0);  // one tap: flat at 0 dB

    s.PfirWindowStretch = 2;
    in.firDec = 1;
    f = ComputePfirWindowFrame(in, s);
    EXPECT_EQ(f.denominators, (std::array<std::string, 4>{"16", "8", "16", "4"}));
    EXPECT_EQ(f.bottomTicks[3], "6.250");
    EXPECT_EQ(f.stretch, "2");
    EXPECT_EQ(f.markerColumn, 512);
    s.PfirWindowStretch = 1;
    EXPECT_EQ(ComputePfirWindowFrame(in, s).markerColumn, 256);  // the last column of the area

    CursorPress(s.cursor, 64, 3);
    f = ComputePfirWindowFrame(in, s);
    EXPECT_EQ(f.xReadout, "3.125");
    EXPECT_EQ(f.levelReadout, "0.00");
    EXPECT_EQ(f.cursorLineY, 0);  // snapped to the curve

    // Zero decimations from an imported table: finite captions, no marker.
    in.R = 0;
    in.firDec = 0;
    f = ComputePfirWindowFrame(in, s);
    EXPECT_EQ(f.markerColumn, -1);
    EXPECT_EQ(f.bottomTicks[3], "50.000");
}

TEST(PfirWindowFrame, ImpulseViewScalesTapsInSinglePrecision) {
    std::array<int32_t, kMaxTaps> taps{};
    taps[1] = 5;
    taps[2] = -5;
    PfirWindowInputs in{100000000, 4, 1, taps.data(), 4};
    PfirWindowState s;
    s.impulseView = true;
    PfirWindowFrame f = ComputePfirWindowFrame(in, s);
    ASSERT_TRUE(f.impulse);
    EXPECT_EQ(f.tapPlot.count, 4);
    // 10/240 rounds up in single precision, so the rows stop one short.
    EXPECT_EQ(std::vector<int>(f.tapPlot.rows.begin(), f.tapPlot.rows.begin() + 4),
              (std::vector<int>{119, 0, 239, 119}));
    EXPECT_EQ(f.levelLabels, (std::array<std::string, 7>{"5", "", "", "", "", "", "-5"}));
    EXPECT_EQ(f.bottomTicks, (std::array<std::string, 4>{"64", "128", "192", "256"}));
    EXPECT_EQ(f.denominators[0], "");
    CursorPress(s.cursor, 2, 100);
    f = ComputePfirWindowFrame(in, s);
    EXPECT_EQ(f.xReadout, "2");
    EXPECT_EQ(f.levelReadout, "-5");

    // All taps zero: no scale to divide by, a flat line at the top.
    TapPlot flat = ComputeTapPlot(std::array<int32_t, 3>{0, 0, 0}.data(), 3);
    EXPECT_EQ(flat.hi, 0);
    EXPECT_EQ(flat.lo, 0);
    EXPECT_EQ(flat.rows[0], 0);
    EXPECT_EQ(flat.rows[2], 0);
}

TEST(PfirWindowControls, ZoomStopsAtTwo) {
    PfirWindowState s;
    EXPECT_FALSE(PfirZoomHalve(s));
    EXPECT_TRUE(PfirZoomDouble(s));
    EXPECT_EQ(s.PfirWindowStretch, 2);
    EXPECT_FALSE(PfirZoomDouble(s));
    EXPECT_TRUE(PfirZoomReset(s));
    EXPECT_TRUE(PfirZoomMax(s));
    EXPECT_EQ(s.PfirWindowStretch, 2);
}

}  // namespace
}  // namespace gc
