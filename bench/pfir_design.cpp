// One PFIR design at the longest length the chip runs for a channel: both
// candidates, rounding, the search over the 16-bit taps and the figures of
// the overall response. The counters give the attenuation rounding left and
// what the search added to it.
#include <benchmark/benchmark.h>

#include "filters/pfir_design.h"

namespace {

struct BenchCase {
    int mode, cicDec, firDec;
    double passFraction, stopFraction;  // of the PFIR input rate; 0: the dialog's default request
};

void Design(benchmark::State& state, const BenchCase& c, bool search) {
    const gc::DdcChannel ch = gc::ChannelAt(100000000, c.mode, c.cicDec, c.firDec);
    gc::PfirDesignRequest r = gc::DefaultPfirDesignRequest(ch);
    if (c.passFraction > 0) {
        r.passHz = c.passFraction * gc::PfirInputRateHz(ch);
        r.stopHz = c.stopFraction * gc::PfirInputRateHz(ch);
    }
    gc::PfirDesign d;
    for (auto _ : state) {
        d = search ? gc::DesignPfir(ch, r) : gc::DesignPfirRounded(ch, r);
        benchmark::DoNotOptimize(d.taps.data());
    }
    state.counters["ntaps"] = d.ntaps;
    state.counters["rounded_db"] = d.roundedFigures.stopbandAttenDb;
    state.counters["atten_db"] = d.figures.stopbandAttenDb;
    state.counters["gain_db"] = d.quantisationGainDb;
}

constexpr BenchCase k31{0, 1, 1, 0, 0};
constexpr BenchCase k127{0, 4, 2, 0, 0};
constexpr BenchCase k255{0, 8, 2, 0, 0};
constexpr BenchCase k511{1, 8, 2, 0, 0};
constexpr BenchCase k511Fir4{1, 8, 4, 0, 0};
// A wide transition where the exchange cannot resolve the error and the Kaiser design is kept.
constexpr BenchCase k511Wide{1, 8, 2, 0.1, 0.15};

void BM_PfirDesign31(benchmark::State& s) { Design(s, k31, true); }
void BM_PfirDesign127(benchmark::State& s) { Design(s, k127, true); }
void BM_PfirDesign255(benchmark::State& s) { Design(s, k255, true); }
void BM_PfirDesign511(benchmark::State& s) { Design(s, k511, true); }
void BM_PfirDesign511Fir4(benchmark::State& s) { Design(s, k511Fir4, true); }
void BM_PfirDesign511WideTransition(benchmark::State& s) { Design(s, k511Wide, true); }
// What the window shows at once, before the search.
void BM_PfirDesignRounded511(benchmark::State& s) { Design(s, k511, false); }

}  // namespace

BENCHMARK(BM_PfirDesign31)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PfirDesign127)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PfirDesign255)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PfirDesign511)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PfirDesign511Fir4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PfirDesign511WideTransition)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PfirDesignRounded511)->Unit(benchmark::kMillisecond);
