// A full recompute of the folded chain at the default 4096 output-band
// points: the wanted response, the strongest image and the strongest CIC
// image at each point, and the figures.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "filters/chain_analysis.h"

namespace {

void AnalyseAt(benchmark::State& state, int R, int D, int ntaps) {
    std::mt19937 rng(5);
    std::uniform_int_distribution<int32_t> dist(-32767, 32767);
    gc::DdcChannel ch = gc::ChannelAt(100000000, 0, R, D);
    for (int j = 0; j < ntaps; ++j) ch.taps.push_back(dist(rng));
    const gc::ChainRequest r{0, gc::kChainDefaultPoints};
    for (auto _ : state) {
        gc::ChainAnalysis a = gc::AnalyseChain(ch, r);
        benchmark::DoNotOptimize(a.figures.aliasRejectionDb);
    }
}

// The largest decimations with the longest tap set.
void BM_ChainR1024D8Taps512(benchmark::State& state) { AnalyseAt(state, 1024, 8, 512); }
// The largest PFIR decimation at the upper end of the fast range.
void BM_ChainR64D8Taps512(benchmark::State& state) { AnalyseAt(state, 64, 8, 512); }
// The README's example: CIC 8, PFIR 2, 255 taps.
void BM_ChainR8D2Taps255(benchmark::State& state) { AnalyseAt(state, 8, 2, 255); }

}  // namespace

BENCHMARK(BM_ChainR1024D8Taps512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainR64D8Taps512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainR8D2Taps255)->Unit(benchmark::kMillisecond);
