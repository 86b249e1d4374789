// Response recomputation speed: the fast evaluation against the direct
// sine/cosine sum it replaces, the CIC aliasing view at the largest
// decimation, and the PFIR window's curve.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "core/model.h"
#include "filters/cic_window.h"
#include "filters/pfir_window.h"
#include "filters/responses.h"
#include "session/session.h"

namespace {

gc::Session ModelWith512Taps() {
    gc::Session m;
    std::mt19937 rng(5016);
    std::uniform_int_distribution<int> tap(-32768, 32767);
    for (int& t : m.fittedTaps[0]) t = tap(rng);
    m.coefSetInfo[0].ntaps = 512;
    m.workImage.cic_dec[0] = 8;
    return m;
}

// The direct evaluation: one sine and one cosine per tap and point.
void DirectPfir(const int32_t* taps, int count, int R, int x, gc::ResponseCurve& out) {
    const double base = R * 3.141592653589793 / 256.0;
    for (int i = 0; i < gc::kResponsePoints; ++i) {
        double re = 0, im = 0;
        for (int j = 0; j < count; ++j) {
            double phi = base * (static_cast<double>(j) * i / x);
            re += std::cos(phi) * taps[j];
            im += std::sin(phi) * taps[j];
        }
        double m = std::sqrt(re * re + im * im);
        out[i] = m > 0 ? m : 1e-300;
    }
}

void BM_RecomputeResponse512(benchmark::State& state) {
    gc::Session m = ModelWith512Taps();
    gc::ChannelResponse r;
    for (auto _ : state) {
        gc::RecomputeResponse(m, m.CurrentChannel, 1, r);
        benchmark::DoNotOptimize(r.OverallResponse.data());
    }
}
BENCHMARK(BM_RecomputeResponse512)->Unit(benchmark::kMicrosecond);

void BM_RecomputeResponse512Direct(benchmark::State& state) {
    gc::Session m = ModelWith512Taps();
    gc::ChannelResponse r;
    for (auto _ : state) {
        gc::ComputeCicResponse(8, 1, r.CicResponse);
        DirectPfir(m.fittedTaps[0].data(), 512, 8, 1, r.PfirResponse);
        for (int i = 0; i < gc::kResponsePoints; ++i) r.OverallResponse[i] = r.CicResponse[i] * r.PfirResponse[i];
        benchmark::DoNotOptimize(r.OverallResponse.data());
    }
}
BENCHMARK(BM_RecomputeResponse512Direct)->Unit(benchmark::kMicrosecond);

void BM_CicAliasView1024(benchmark::State& state) {
    for (auto _ : state) {
        gc::CicAliasView v = gc::ComputeCicAliasView(1024, 1024);
        benchmark::DoNotOptimize(v.rows.data());
    }
}
BENCHMARK(BM_CicAliasView1024)->Unit(benchmark::kMillisecond);

void BM_PfirWindowResponse512(benchmark::State& state) {
    gc::Session m = ModelWith512Taps();
    gc::ResponseCurve out;
    for (auto _ : state) {
        gc::ComputePfirWindowResponse(m.fittedTaps[0].data(), 512, 1, out);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_PfirWindowResponse512)->Unit(benchmark::kMicrosecond);

}  // namespace
