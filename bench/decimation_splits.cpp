// The splits table: every split of a total decimation with a PFIR designed at
// each (the default ripple and attenuation) and the chain folded at P.
#include <benchmark/benchmark.h>

#include <vector>

#include "filters/decimation_splits.h"

namespace {

void SplitsOf(benchmark::State& state, int total) {
    const gc::DdcChannel ch = gc::ChannelAt(100000000, 0, total, 1);
    const gc::SplitRequest r;
    const std::vector<gc::DecimationSplit> splits = gc::ListDecimationSplits(ch);
    for (auto _ : state) {
        std::vector<gc::SplitRow> rows;
        for (const gc::DecimationSplit& s : splits) rows.push_back(gc::EvaluateSplit(ch, s, r));
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["rows"] = static_cast<double>(splits.size());
}

// 840 = 8 * 105: every PFIR decimation 1 .. 8 divides it, eight rows.
void BM_SplitsTotal840(benchmark::State& state) { SplitsOf(state, 840); }
// 1024: PFIR decimations 1, 2, 4 and 8, four rows.
void BM_SplitsTotal1024(benchmark::State& state) { SplitsOf(state, 1024); }

}  // namespace

BENCHMARK(BM_SplitsTotal840)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitsTotal1024)->Unit(benchmark::kMillisecond);
