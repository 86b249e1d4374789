#include "filters/plot_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace gc {
namespace {

// What a plot asked for since its last refresh, and whether that refresh
// computes its curves; every refresh draws.
TEST(PlotModel, RecomputesOnlyWhatTheChangesAsked) {
    using Step = std::function<void(PlotModel&)>;
    const Step draw = [](PlotModel& m) { m.Need(PlotNeed::Draw); };
    const Step inputs = [](PlotModel& m) { m.InputsChanged(); };
    const Step viewKeepsCurves = [](PlotModel& m) { m.ViewChanged(true); };
    const Step viewNeedsCurves = [](PlotModel& m) { m.ViewChanged(false); };
    const struct {
        const char* what;
        std::vector<Step> steps;
        bool calc;
    } cases[] = {
        {"a cursor move", {draw}, false},
        {"nothing asked", {}, false},
        {"a zoom the curves still serve", {viewKeepsCurves}, false},
        {"a zoom that needs other curves", {viewNeedsCurves}, true},
        {"new inputs", {inputs}, true},
        {"a redraw does not cancel new inputs", {inputs, draw, viewKeepsCurves}, true},
    };
    for (const auto& c : cases) {
        PlotModel m;
        EXPECT_EQ(m.Pending(), PlotNeed::Calc) << "nothing computed yet";
        m.Refresh([] {}, [](bool) {});
        for (const Step& step : c.steps) step(m);
        int calcs = 0;
        bool drawnRecomputed = false;
        const bool recomputed = m.Refresh([&] { ++calcs; }, [&](bool r) { drawnRecomputed = r; });
        EXPECT_EQ(recomputed, c.calc) << c.what;
        EXPECT_EQ(calcs, c.calc ? 1 : 0) << c.what;
        EXPECT_EQ(drawnRecomputed, c.calc) << c.what;
        EXPECT_EQ(m.Pending(), PlotNeed::None) << c.what;
        EXPECT_EQ(m.CalcCount(), c.calc ? 2 : 1) << c.what;
        EXPECT_EQ(m.DrawCount(), 2) << c.what;
    }
}

}  // namespace
}  // namespace gc
