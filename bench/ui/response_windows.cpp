// Full redraws of the response windows as the main window asks for them after
// an edit: compute the frame and paint it into the window's buffer. The CIC
// window's aliasing view at decimation 1024 (1024 red curves) and the PFIR
// window with 512 taps, with its length analysis. Apart from them, the two
// halves of the aliasing view's redraw: computing the 1024 zones, and painting
// them from the curves kept (what a resize or a new pixel ratio costs).
// Runs on the offscreen platform.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QCheckBox>

#include <memory>
#include <random>

#include "filters/cic_window.h"
#include "filters/length_analysis.h"
#include "filters/plot_model.h"
#include "gui/plots/cic_response_window.h"
#include "gui/plots/pfir_response_window.h"
#include "session/session.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_ui_response_windows";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

std::unique_ptr<gc::Session> LargestChannel() {
    auto m = std::make_unique<gc::Session>();
    m->settings.SystemClock = 100000000;
    m->settings.ModeOfInput = 1;
    m->settings.CicDec[0] = 1024;
    m->settings.FirDec[0] = 1;
    m->workImage.cic_dec[0] = 1024;
    m->workImage.ncoefs[0] = 512;
    std::mt19937 rng(5016);
    std::uniform_int_distribution<int> tap(-32768, 32767);
    for (int& t : m->fittedTaps[0]) t = tap(rng);
    m->coefSetInfo[0].ntaps = 512;
    return m;
}

void BM_CicWindowAliasRedraw1024(benchmark::State& state) {
    App();
    auto m = LargestChannel();
    gc::CicResponseWindow cic;
    cic.SetChannel(0, gc::CicWindowInputsOf(m->settings, m->workImage, 0));
    cic.findChild<QCheckBox*>("aliasBox")->click();
    for (auto _ : state) cic.Redraw();
    if (cic.Area()->Picture().curves.size() != 1024) state.SkipWithError("not 1024 zones");
}
BENCHMARK(BM_CicWindowAliasRedraw1024)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// As in the window: after the toolkit has painted.
void BM_CicAliasCompute1024(benchmark::State& state) {
    App();
    auto m = LargestChannel();
    gc::CicResponseWindow cic;
    cic.SetChannel(0, gc::CicWindowInputsOf(m->settings, m->workImage, 0));
    cic.findChild<QCheckBox*>("aliasBox")->click();
    const gc::CicWindowInputs in = gc::CicWindowInputsOf(m->settings, m->workImage, 0);
    gc::CicWindowState s;
    s.CicAliasMode = 1;
    // Through the plots' recompute point, which readies the processor for it.
    gc::PlotModel model;
    for (auto _ : state) {
        model.InputsChanged();
        model.Refresh([&] { benchmark::DoNotOptimize(gc::ComputeCicWindowCurves(in, s)); }, [](bool) {});
    }
}
BENCHMARK(BM_CicAliasCompute1024)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_CicAliasPaint1024(benchmark::State& state) {
    App();
    auto m = LargestChannel();
    gc::CicResponseWindow cic;
    cic.SetChannel(0, gc::CicWindowInputsOf(m->settings, m->workImage, 0));
    cic.findChild<QCheckBox*>("aliasBox")->click();
    const gc::PlotPicture picture = cic.Area()->Picture();
    for (auto _ : state) cic.Area()->SetPicture(picture);
    if (picture.curves.size() != 1024) state.SkipWithError("not 1024 zones");
}
BENCHMARK(BM_CicAliasPaint1024)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_PfirWindowRedraw512(benchmark::State& state) {
    App();
    auto m = LargestChannel();
    gc::PfirResponseWindow pfir;
    // Fed as after an edit: the length analysis is made for each feed.
    for (auto _ : state) {
        pfir.SetChannel(0, gc::PfirWindowInputsOf(m->settings, *m, 0), gc::AnalyseFilterLength(m->settings, *m, 0));
        pfir.Redraw();
    }
    if (pfir.Lengths().count != 16) state.SkipWithError("length analysis not run");
}
BENCHMARK(BM_PfirWindowRedraw512)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
