// Any bytes as a coefficient file: the reader must neither crash nor read out
// of bounds, and a load and fit of what it took must stay inside the fitted set.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "filters/coef_files.h"
#include "filters/pfir_fit.h"

namespace {

const std::filesystem::path& InputPath() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("gc5016-fuzz-taps-" + std::to_string(::getpid()) + ".taps");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(InputPath().c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    gc::TapBuffer taps;
    int n = gc::ReadTapFile(InputPath(), taps);
    if (n < -1 || n > gc::kMaxTaps) __builtin_trap();
    auto m = std::make_unique<gc::Model>();
    // The first bytes pick the decimations, as a damaged lab file might.
    if (size >= 3) {
        m->settings.ModeOfInput = static_cast<int8_t>(data[0]);
        m->settings.CicDec[0] = static_cast<int8_t>(data[1]) * 16;
        m->settings.FirDec[0] = static_cast<int8_t>(data[2]);
    }
    n = gc::LoadPfirFile(*m, 0, InputPath(), nullptr);
    gc::FitPfirToChannel(*m, 0, n);
    if (m->coefSetInfo[0].ntaps > gc::kMaxTaps) __builtin_trap();
    return 0;
}
