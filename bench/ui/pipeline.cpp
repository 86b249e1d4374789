// The CIC decimation edit as the user makes it: the main window reads its
// controls, refreshes, refits a 512-tap set, recomputes the responses and
// redraws the plot. Runs on the offscreen platform.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QLineEdit>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/main_window/main_window.h"
#include "session/session.h"

namespace {

namespace fs = std::filesystem;

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_ui_pipeline";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

// A working folder whose channels run a 512-tap lowpass (a Hann-windowed sinc).
fs::path MakeWorkFolder() {
    const fs::path dir = fs::temp_directory_path() / "gc5016_bench_pipeline";
    fs::remove_all(dir);
    fs::create_directories(dir / "CONFIGS");
    fs::create_directories(dir / "FILTERS");
    std::ofstream taps(dir / "FILTERS/long.taps");
    const int n = 512;
    for (int i = 0; i < n; ++i) {
        const double x = i - (n - 1) / 2.0;
        const double sinc = x == 0 ? 1.0 : std::sin(M_PI * x / 16.0) / (M_PI * x / 16.0);
        const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * i / (n - 1));
        taps << " " << static_cast<int>(std::lround(8000.0 * sinc * hann)) << "\n";
    }
    gc::Session lab;
    lab.settings.NameOfPFIR = {"long.taps", "long.taps", "long.taps", "long.taps"};
    // SplitIQ runs the longest sets: a symmetric set of 512 taps fits whole.
    lab.settings.ModeOfInput = 1;
    for (int c = 0; c < gc::kChannels; ++c) lab.settings.CicM1Dec[c] = 1000;
    gc::WriteLab(lab.settings, dir / "CONFIGS/std.lab");
    return dir;
}

void BM_PipelineC_CicEdit512Taps(benchmark::State& state) {
    App();
    const fs::path dir = MakeWorkFolder();
    {
        gc::Session m;
        gc::AppWindows windows(m, gc::Workspace{dir});
        windows.gform()->show();
        QLineEdit* cic = windows.gform()->findChild<QLineEdit*>("cicEdit");
        int k = 0;
        for (auto _ : state) {
            // Alternate two decimations so every edit changes the fit and the curve.
            cic->setText(k++ % 2 ? "1000" : "1024");
            emit cic->editingFinished();
        }
        state.counters["ntaps"] = m.coefSetInfo[0].ntaps;
        if (m.settings.CicDec[0] != (k % 2 ? 1024 : 1000) || m.coefSetInfo[0].ntaps != 512)
            state.SkipWithError("the edit did not reach the model");
        windows.gform()->hide();
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_PipelineC_CicEdit512Taps)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
