// Any bytes as a *.flt filter file: the converter must neither crash nor read
// out of bounds, and it writes either N lines for a valid count or nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "filters/coef_files.h"

namespace {

const std::filesystem::path& WorkDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("gc5016-fuzz-flt-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d / "FILTERS");
        return d;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path input = WorkDir() / "input.flt";
    FILE* f = std::fopen(input.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    std::error_code ec;
    std::filesystem::remove(WorkDir() / "FILTERS" / "input.taps", ec);
    gc::FltConversion r = gc::ConvertFltToTaps(input, WorkDir());
    bool written = std::filesystem::exists(r.output, ec);
    if (written != (r.status == gc::FltConversion::Done)) __builtin_trap();
    if (r.status == gc::FltConversion::Done && (r.count < 1 || r.count > gc::kMaxFltTaps)) __builtin_trap();
    return 0;
}
