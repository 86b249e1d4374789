// Cost of one register derivation, which runs on every edit of the main window.
#include <benchmark/benchmark.h>

#include "chip/derivation.h"
#include "session/main_view.h"

namespace {

gc::Session FittedModel(int mode) {
    gc::Session m;
    m.settings.ModeOfInput = mode;
    for (int ch = 0; ch < gc::kChannels; ++ch) {
        m.settings.CicDec[ch] = 16;
        m.settings.FirDec[ch] = 2;
        gc::CoefSetInfo& info = m.coefSetInfo[ch];
        info.nblocks = mode == 0 ? 8 : 16;
        info.symmetric = 1;
        info.even = 1;
        info.symtype = 2;
        info.sumtap = 300000;
        info.ntaps = static_cast<uint16_t>(info.nblocks * 32);
        for (int k = 0; k < gc::kMaxTaps; ++k) m.fittedTaps[ch][k] = (k * 37) % 2000 - 1000;
    }
    return m;
}

void BM_DeriveRegisters(benchmark::State& state) {
    gc::Session m = FittedModel(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        gc::DeriveRegisters(m.settings, m);
        benchmark::DoNotOptimize(m.workImage.pfir[3].fwa_strobe);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DeriveRegisters)->Arg(0)->Arg(1)->Arg(2);

// The model side of one main-window refresh (which includes a derivation).
void BM_RefreshModel(benchmark::State& state) {
    gc::Session m = FittedModel(0);
    for (auto _ : state) {
        gc::UpdateDerived(m);
        gc::MainViewState v = gc::ComputeMainView(m);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_RefreshModel);

}  // namespace
