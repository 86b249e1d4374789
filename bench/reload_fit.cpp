// A full reload of the four coefficient files with their fits, as "Считать"
// and "Применить ко всем " run it: four 512-tap files read, loaded and fitted.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include <unistd.h>

#include "core/text_io.h"
#include "filters/coef_files.h"
#include "filters/pfir_fit.h"
#include "session/session.h"

namespace {

class Workspace {
public:
    Workspace() : dir_(std::filesystem::temp_directory_path() / ("gc5016-bench-reload-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(dir_ / "FILTERS");
        std::mt19937 rng(5016);
        std::uniform_int_distribution<int> tap(-32768, 32767);
        for (int c = 0; c < gc::kChannels; ++c) {
            std::string text;
            for (int i = 0; i < gc::kMaxTaps; ++i) text += gc::StrPrintf(" %d\n", tap(rng));
            gc::WriteFileAtomic(dir_ / "FILTERS" / ("set" + std::to_string(c) + ".taps"), text);
        }
    }
    ~Workspace() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::filesystem::path& dir() const { return dir_; }

private:
    std::filesystem::path dir_;
};

void BM_ReloadAndFitFour512TapFiles(benchmark::State& state) {
    Workspace ws;
    gc::Session m;
    m.settings.ModeOfInput = 1;
    for (int c = 0; c < gc::kChannels; ++c) {
        m.settings.NameOfPFIR[static_cast<size_t>(c)] = "set" + std::to_string(c) + ".taps";
        m.settings.CicDec[c] = 16;
        m.settings.FirDec[c] = 2;
    }
    for (auto _ : state) {
        gc::ReloadAllPfirFiles(m.settings, m, nullptr, gc::Workspace{ws.dir()});
        benchmark::DoNotOptimize(m.fittedTaps);
    }
    if (m.workImage.ncoefs[3] != gc::kMaxTaps) state.SkipWithError("the files did not load");
}
BENCHMARK(BM_ReloadAndFitFour512TapFiles)->Unit(benchmark::kMicrosecond);

void BM_FitOnly(benchmark::State& state) {
    gc::Session m;
    for (int i = 0; i < gc::kMaxTaps; ++i) m.workImage.pfir[0].coef[static_cast<size_t>(i)] = static_cast<int16_t>(i);
    m.settings.CicDec[0] = 16;
    for (auto _ : state) {
        gc::FitPfirToChannel(m.settings, m, 0, gc::kMaxTaps);
        benchmark::DoNotOptimize(m.fittedTaps[0]);
    }
}
BENCHMARK(BM_FitOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
