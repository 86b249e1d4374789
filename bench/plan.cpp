// plan's search: every split of the total designed and folded at the request
// on the machine's threads, ranked (the taps file it then writes is small).
#include <benchmark/benchmark.h>

#include <vector>

#include "session/plan.h"

namespace {

void PlanOf(benchmark::State& state, int total) {
    const gc::DdcChannel ch = gc::ChannelAt(100000000, 0, total, 1);
    gc::SplitRequest r;
    r.passHz = 0.3 * gc::SplitOutputRateHz(ch);
    r.stopHz = 0.5 * gc::SplitOutputRateHz(ch);
    size_t rows = 0;
    for (auto _ : state) {
        const std::vector<gc::SplitRow> ranked = gc::RankedSplitRows(ch, r);
        rows = ranked.size();
        benchmark::DoNotOptimize(ranked.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// 1024: PFIR decimations 1, 2, 4 and 8, four rows; 840 = 8 * 105, eight rows.
void BM_PlanTotal1024(benchmark::State& state) { PlanOf(state, 1024); }
void BM_PlanTotal840(benchmark::State& state) { PlanOf(state, 840); }

}  // namespace

BENCHMARK(BM_PlanTotal1024)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlanTotal840)->Unit(benchmark::kMillisecond)->UseRealTime();
