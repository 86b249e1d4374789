// Building the register write list and writing the program file, as
// "Write *.prg" and "Записать" do after every confirmation.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "chip/derivation.h"
#include "chip/page_map.h"
#include "chip/program_file.h"
#include "session/session.h"

namespace {

std::unique_ptr<gc::Session> DerivedModel() {
    auto m = std::make_unique<gc::Session>();
    for (int c = 0; c < gc::kChannels; ++c) {
        m->coefSetInfo[static_cast<size_t>(c)].nblocks = 16;
        m->coefSetInfo[static_cast<size_t>(c)].symtype = 0;
        for (int k = 0; k < 256; ++k) m->fittedTaps[static_cast<size_t>(c)][static_cast<size_t>(k)] = 100 * k - 9000;
    }
    gc::DeriveRegisters(m->settings, *m);
    return m;
}

void BM_BuildRegisterWriteList(benchmark::State& state) {
    auto m = DerivedModel();
    for (auto _ : state) {
        gc::PrepareProgram(m->settings, *m);
        benchmark::DoNotOptimize(m->registerWriteList.count);
    }
}
BENCHMARK(BM_BuildRegisterWriteList);

void BM_FormatProgramFile(benchmark::State& state) {
    auto m = DerivedModel();
    gc::PrepareProgram(m->settings, *m);
    for (auto _ : state) {
        std::string text = gc::FormatProgramFile(m->settings, *m, *m);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_FormatProgramFile);

void BM_WriteProgramFile(benchmark::State& state) {
    auto m = DerivedModel();
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("gc5016-bench-" + std::to_string(::getpid()) + ".prg");
    for (auto _ : state) {
        gc::PrepareProgram(m->settings, *m);
        benchmark::DoNotOptimize(gc::WriteProgramFile(m->settings, *m, *m, path));
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_WriteProgramFile);

}  // namespace
