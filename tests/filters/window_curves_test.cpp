#include "filters/window_curves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace gc {
namespace {

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// Counts and taps as a damaged file or an empty channel may give them: never
// read past the taps, never more than the chip holds.
TEST(WindowCurves, TapsCsvKeepsToTheTapsInUse) {
    std::array<int32_t, kMaxTaps + 8> taps{};
    taps[0] = -7;
    taps[1] = 2147483647;
    struct Case {
        const int32_t* taps;
        int count;
        size_t lines;
    };
    for (const Case& c : {Case{taps.data(), 2, 3}, Case{taps.data(), 0, 1}, Case{taps.data(), -5, 1},
                          Case{nullptr, 40, 1}, Case{taps.data(), kMaxTaps + 8, kMaxTaps + 1}}) {
        const std::string csv = FormatTapsCsv(c.taps, c.count);
        EXPECT_EQ(Lines(csv), c.lines) << c.count;
        EXPECT_EQ(csv.rfind("index,tap\n", 0), 0u);
    }
    EXPECT_EQ(FormatTapsCsv(taps.data(), 2), "index,tap\n0,-7\n1,2147483647\n");
}

// The aliasing view of a decimation from a damaged lab file: at most as many
// zones as the chip decimates, and no division by a zero decimation.
TEST(WindowCurves, AliasZonesFollowTheDecimationWithinItsRange) {
    CicWindowState alias;
    alias.CicAliasMode = 1;
    struct Case {
        int N, R;
        size_t zones;
        double lastMHz;  // column 255 of half the output rate
    };
    for (const Case& c :
         {Case{4, 4, 4, 12.451171875}, Case{0, 0, 0, 49.8046875}, Case{5000, 1024, kCicDecMax, 0.00996}}) {
        const CurveTable t = CicWindowCurves({100000000, c.N, c.R}, alias);
        EXPECT_EQ(t.curves.size(), c.zones) << c.N;
        ASSERT_EQ(t.frequencyMHz.size(), size_t(kResponsePoints));
        EXPECT_NEAR(t.frequencyMHz.back(), c.lastMHz, 1e-5) << c.N;
        for (const CsvCurve& z : t.curves) ASSERT_EQ(z.linear.size(), size_t(kResponsePoints));
    }
    // Zone 0 starts at DC at 0 dB; the first odd zone is folded: its column 0
    // is the image of DC at the CIC output rate, the CIC's null.
    const CurveTable t = CicWindowCurves({100000000, 4, 4}, alias);
    EXPECT_DOUBLE_EQ(t.curves[0].levelDb[0], 0.0);
    EXPECT_EQ(t.curves[1].name, "zone1");
    EXPECT_DOUBLE_EQ(t.curves[1].linear[0], 1e-20);
}

}  // namespace
}  // namespace gc
