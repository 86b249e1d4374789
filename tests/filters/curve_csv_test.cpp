#include "filters/curve_csv.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "core/text_io.h"

namespace gc {
namespace {

TEST(CurveCsv, LevelsAreBelowTheMaximumAsThePlotDrawsThem) {
    const std::array<double, 4> values = {10.0, 1.0, 0.1, 0.0};
    const std::vector<double> db = LevelsBelowMaximum(values);
    ASSERT_EQ(db.size(), 4u);
    EXPECT_DOUBLE_EQ(db[0], 0.0);
    EXPECT_DOUBLE_EQ(db[1], -20.0);
    EXPECT_DOUBLE_EQ(db[2], -40.0);
    EXPECT_TRUE(std::isnan(db[3]));  // no level for a zero
    // No positive maximum, or one that is not finite: no levels at all.
    for (const std::array<double, 2>& bad : {std::array<double, 2>{0.0, 0.0}, {-1.0, -2.0}, {INFINITY, 1.0}})
        for (double v : LevelsBelowMaximum(bad)) EXPECT_TRUE(std::isnan(v));
}

TEST(CurveCsv, HeaderThenOneLinePerColumnWithEmptyFieldsForMissingValues) {
    CurveTable t;
    t.frequencyMHz = {0.0, 0.5, 1.25};
    t.curves.push_back({"cic", {32.0, 0.1, 1e-20}, {0.0, -50.10299956639812, NAN}});
    t.curves.push_back({"pfir", {1.0, 2.0}, {}});  // shorter than the frequency column
    EXPECT_EQ(FormatCurvesCsv(t),
              "frequency_MHz,cic,cic_dB,pfir,pfir_dB\n"
              "0,32,0.0000,1,\n"
              "0.5,0.10000000000000001,-50.1030,2,\n"
              "1.25,9.9999999999999995e-21,,,\n");
    EXPECT_EQ(FormatCurvesCsv(CurveTable{}), "frequency_MHz\n");
}

TEST(CurveCsv, MainPlotColumnsFollowTheClockAndTheZoom) {
    std::array<double, kResponsePoints> overall{};
    for (int i = 0; i < kResponsePoints; ++i) overall[static_cast<size_t>(i)] = 1000.0 / (1 + i);
    for (int xStretch : {1, 8}) {
        const CurveTable t = MainPlotCurves(overall, 100000000, xStretch);
        ASSERT_EQ(t.frequencyMHz.size(), 256u);
        EXPECT_DOUBLE_EQ(t.frequencyMHz[128], 25.0 / xStretch);  // a quarter of the clock at zoom 1
        ASSERT_EQ(t.curves.size(), 1u);
        EXPECT_EQ(t.curves[0].name, "overall");
        EXPECT_EQ(t.curves[0].linear[9], 100.0);
        EXPECT_DOUBLE_EQ(t.curves[0].levelDb[9], -20.0);
        EXPECT_EQ(SplitLines(FormatCurvesCsv(t)).size(), 257u);
    }
}

}  // namespace
}  // namespace gc
