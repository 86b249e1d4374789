// The CIC window's curves, aliasing view, captions and read-outs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "filters/cic_window.h"
#include "filters/plot_scale.h"

namespace gc {
namespace {

constexpr double kPi = 3.141592653589793;

// The zone formula evaluated point by point with its own sines.
ResponseCurve DirectZone(int N, int R, int m) {
    ResponseCurve out{};
    const double step = kPi / (R * 2.0 * 256.0);
    for (int i = 1; i < kResponsePoints; ++i) {
        const double c = i + 256.0 * m;
        const double r = RectifyCic(std::sin(c * N * step) / std::sin(c * step));
        out[i] = r * r * r * r * r;
    }
    // Zone 0 starts at DC, the 0/0 point whose limit is N^5.
    out[0] = m == 0 ? std::pow(static_cast<double>(N), 5) : out[1];
    return out;
}

TEST(CicZones, FastZonesMatchTheDirectFormula) {
    struct Case {
        int N, R;
    };
    for (Case c : {Case{4, 4}, Case{5, 5}, Case{100, 100}, Case{1024, 1024}, Case{7, 7}, Case{16, 3}}) {
        ResponseCurve zone0 = DirectZone(c.N, c.R, 0);
        const double max = *std::max_element(zone0.begin(), zone0.end());
        CicZoneEvaluator eval(c.N, c.R);
        for (int m : {0, 1, 2, c.N / 2, c.N - 1}) {
            ResponseCurve fast{};
            eval.Zone(m, fast);
            ResponseCurve direct = DirectZone(c.N, c.R, m);
            double dev = 0;
            for (int i = 0; i < kResponsePoints; ++i) dev = std::max(dev, std::abs(fast[i] - direct[i]));
            EXPECT_LE(dev, 1e-9 * max) << "N " << c.N << " R " << c.R << " zone " << m;
        }
    }
}

TEST(CicZones, AliasViewFoldsOddZonesAndNormalisesToZoneZero) {
    CicAliasView v = ComputeCicAliasView(4, 4);
    ASSERT_EQ(v.rows.size(), 4u);
    EXPECT_EQ(v.rows[0][0], 0);  // the passband peaks at DC
    // Zone 1 is folded: its column k shows the frequency that aliases onto
    // it, 512 - k steps of Fs / (512 R), not the zone's own column 255 - k.
    for (int k = 1; k < kResponsePoints; ++k) {
        const double c = 512 - k, step = 3.141592653589793 / (4 * 512.0);
        const double r = std::abs(std::sin(c * 4 * step) / std::sin(c * step));
        int expected = static_cast<int>(-std::trunc(40.0 * std::log10(std::pow(r, 5) / v.zoneMax)));
        ASSERT_EQ(v.rows[1][k], expected) << k;
    }
    // Column 0 is the image of DC at the CIC output rate: the CIC's null.
    EXPECT_EQ(v.rows[1][0], LevelRow(1e-20 / v.zoneMax, 1));
    // Zone 1 and zone 0 meet at half the output rate: the folded images touch there.
    EXPECT_NEAR(v.rows[1][255], v.rows[0][255], 1);
    for (const auto& zone : v.rows)
        for (int y : zone) ASSERT_GE(y, 0);
}

// Where R < N an odd zone's column 0 can land on a whole multiple of the
// input rate, 256 (m + 1) = 512 R j: sin(N x)/sin(x) is 0/0 there and tends to
// N, so the column stands at the top, not on the floor.
TEST(CicZones, FoldedColumnOnAMultipleOfTheInputRateTakesTheLimit) {
    struct Case {
        int N, R, zone;
    };
    for (Case c : {Case{512, 1, 1}, Case{8, 2, 3}, Case{64, 4, 15}, Case{64, 4, 31}}) {
        const CicAliasView v = ComputeCicAliasView(c.N, c.R);
        ASSERT_GT(v.rows.size(), static_cast<size_t>(c.zone));
        EXPECT_EQ(v.rows[static_cast<size_t>(c.zone)][0], 0) << "N " << c.N << " R " << c.R << " zone " << c.zone;
    }
}

TEST(CicZones, DecimationOneIsFlatAndBadDecimationsStayFinite) {
    ResponseCurve r{};
    ComputeCicWindowResponse(1, 1, r);
    for (double v : r) ASSERT_EQ(v, 1.0);
    CicAliasView one = ComputeCicAliasView(1, 1);
    ASSERT_EQ(one.rows.size(), 1u);
    for (int y : one.rows[0]) ASSERT_EQ(y, 0);

    // A register decimation of 0 from an imported table: floor, no NaN.
    ComputeCicZoneResponse(4, 0, 0, r);
    for (double v : r) ASSERT_DOUBLE_EQ(v, 1e-20);
    // A setting far beyond the chip's range draws at most kCicDecMax zones.
    EXPECT_EQ(ComputeCicAliasView(2000000000, 1024).rows.size(), static_cast<size_t>(kCicDecMax));
    EXPECT_TRUE(ComputeCicAliasView(0, 4).rows.empty());
    // More zones than the register decimation allows hit sin(k pi) = 0 in the denominator.
    CicAliasView odd = ComputeCicAliasView(16, 2);
    for (const auto& zone : odd.rows)
        for (int y : zone) ASSERT_LT(std::abs(y), 100000);
}

TEST(CicWindowFrame, NormalViewCaptionsMarkerAndCursor) {
    CicWindowInputs in{100000000, 4, 4};
    CicWindowState s;
    CicWindowFrame f = ComputeCicWindowFrame(in, s);
    EXPECT_FALSE(f.alias);
    EXPECT_EQ(f.labels.denominators, (std::array<std::string, 4>{"8", "4", "8", "2"}));
    EXPECT_EQ(f.labels.mhzTicks, (std::array<std::string, 4>{"12.500", "25.000", "37.500", "50.000"}));
    EXPECT_EQ(f.labels.axisTitle, "F/Fsinp");
    EXPECT_EQ(f.labels.stretch, "1");
    EXPECT_EQ(f.markerColumn, 64);
    EXPECT_EQ(f.curveY[0], 0);
    EXPECT_EQ(f.xReadout, "");
    EXPECT_EQ(f.levelReadout, "");

    s.CicWindowStretch = 2;
    f = ComputeCicWindowFrame(in, s);
    EXPECT_EQ(f.labels.denominators, (std::array<std::string, 4>{"16", "8", "16", "4"}));
    EXPECT_EQ(f.labels.mhzTicks, (std::array<std::string, 4>{"6.250", "12.500", "18.750", "25.000"}));
    s.CicWindowStretch = 8;
    EXPECT_EQ(ComputeCicWindowFrame(in, s).markerColumn, 512);  // beyond the area: not visible

    // Cursor at column 0: the curve's maximum, so 0 dB and the line at the top.
    s.CicWindowStretch = 1;
    CursorPress(s.cursor, 0, 150);
    f = ComputeCicWindowFrame(in, s);
    EXPECT_EQ(f.levelReadout, "0.00");
    EXPECT_EQ(f.cursorLineY, 0);
    EXPECT_EQ(f.xReadout, "0.0000");
    // Column 128 of a 100 MHz span at stretch 1 is 25 MHz, a CIC null of R = 4.
    CursorPress(s.cursor, 128, 5);
    f = ComputeCicWindowFrame(in, s);
    EXPECT_EQ(f.xReadout, "25.0000");
    EXPECT_EQ(f.levelReadout, "-460.21");  // 20 log10(1e-20 / 4^5)
    EXPECT_EQ(f.cursorLineY, 920);
}

TEST(CicWindowFrame, LargestDecimationsKeepTheirPassbandPoint) {
    // At stretch 1 every column from 1 on is a null of N = 512 or 1024: the
    // curve must still run from 0 dB at DC, and the cursor read deep there.
    CicWindowState s;
    CursorPress(s.cursor, 5, 0);
    for (int N : {512, 1024}) {
        CicWindowFrame f = ComputeCicWindowFrame({100000000, N, N}, s);
        EXPECT_EQ(f.response[0], std::pow(static_cast<double>(N), 5));
        EXPECT_EQ(f.curveY[0], 0);
        EXPECT_GT(f.curveY[5], 1000) << N;
        EXPECT_GT(f.cursorLineY, 1000) << N;
        EXPECT_EQ(ComputeCicAliasView(N, N).rows[0][0], 0);
    }
}

TEST(CicWindowFrame, AliasViewCaptionsAndRowLevel) {
    CicWindowInputs in{100000000, 4, 4};
    CicWindowState s;
    s.CicWindowStretch = 8;
    s.CicAliasMode = 1;
    CursorPress(s.cursor, 64, 41);
    CicWindowFrame f = ComputeCicWindowFrame(in, s);
    EXPECT_TRUE(f.alias);
    EXPECT_EQ(f.markerColumn, -1);
    EXPECT_EQ(f.aliasView.rows.size(), 4u);
    EXPECT_EQ(f.labels.denominators, (std::array<std::string, 4>{"8", "4", "8", "2"}));
    EXPECT_EQ(f.labels.mhzTicks, (std::array<std::string, 4>{"3.125", "6.250", "9.375", "12.500"}));
    EXPECT_EQ(f.labels.stretch, "1");
    EXPECT_EQ(f.labels.axisTitle, "F/Fsout");
    EXPECT_EQ(s.CicWindowStretch, 8);  // kept for the return to the normal view
    EXPECT_EQ(f.cursorLineY, 41);      // not snapped to a curve
    EXPECT_EQ(f.levelReadout, "-20.50");
    EXPECT_EQ(f.xReadout, "3.1250");  // a quarter of half the 25 MHz output rate

    // A CicDec of 0 from a damaged lab file: no division by zero in the captions.
    in.N = 0;
    f = ComputeCicWindowFrame(in, s);
    EXPECT_EQ(f.labels.mhzTicks[3], "50.000");
    EXPECT_TRUE(f.aliasView.rows.empty());
}

TEST(CicWindowControls, ZoomLimitsAndCursorSteps) {
    CicWindowState s;
    EXPECT_FALSE(CicZoomHalve(s));
    EXPECT_TRUE(CicZoomMax(s));
    EXPECT_EQ(s.CicWindowStretch, 512);
    EXPECT_FALSE(CicZoomDouble(s));
    EXPECT_TRUE(CicZoomHalve(s));
    EXPECT_EQ(s.CicWindowStretch, 256);
    EXPECT_TRUE(CicZoomReset(s));
    EXPECT_EQ(s.CicWindowStretch, 1);

    WindowCursor& c = s.cursor;
    EXPECT_FALSE(CursorLeft(c));
    EXPECT_FALSE(CursorRight(c));
    EXPECT_FALSE(CursorMove(c, 10, 10));  // no drag without a press
    CursorPress(c, 400, 20);              // dragged beyond the area
    EXPECT_EQ(c.column, 255);
    EXPECT_FALSE(CursorRight(c));
    EXPECT_TRUE(CursorLeft(c));
    EXPECT_EQ(c.column, 254);
    EXPECT_TRUE(CursorMove(c, -3, 7));
    EXPECT_EQ(c.column, 0);
    EXPECT_FALSE(CursorLeft(c));
    CursorRelease(c);
    EXPECT_FALSE(CursorMove(c, 50, 50));
    CursorRemove(c);
    EXPECT_EQ(c.column, -1);
    EXPECT_EQ(c.lineY, -1);
}

}  // namespace
}  // namespace gc
