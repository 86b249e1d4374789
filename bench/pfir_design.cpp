// One PFIR design at the longest length the chip runs (511 taps): both
// candidates, quantisation and the figures of the overall response.
#include <benchmark/benchmark.h>

#include "filters/pfir_design.h"

namespace {

void DesignAt511(benchmark::State& state, double passFraction, double stopFraction) {
    const gc::PfirDesignChannel ch{100000000, 1, 8, 2};
    gc::PfirDesignRequest r = gc::DefaultPfirDesignRequest(ch);
    if (passFraction > 0) {
        r.passHz = passFraction * gc::PfirInputRateHz(ch);
        r.stopHz = stopFraction * gc::PfirInputRateHz(ch);
    }
    for (auto _ : state) {
        gc::PfirDesign d = gc::DesignPfir(ch, r);
        benchmark::DoNotOptimize(d.taps.data());
    }
}

// The dialog's default request.
void BM_PfirDesignDefault511(benchmark::State& state) { DesignAt511(state, 0, 0); }
// A wide transition where the exchange fails and the Kaiser design is kept.
void BM_PfirDesignWideTransition511(benchmark::State& state) { DesignAt511(state, 0.1, 0.15); }

}  // namespace

BENCHMARK(BM_PfirDesignDefault511)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PfirDesignWideTransition511)->Unit(benchmark::kMillisecond);
