// Any bytes as a *.flt filter file: the converter must neither crash nor read
// out of bounds, and it writes either N lines for a valid count or nothing.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "filters/coef_files.h"
#include "fuzz_input.h"

namespace {

// A working folder with FILTERS/ for the converter's output, removed at exit.
struct WorkFolder {
    std::filesystem::path dir = gc::fuzz::TempPath("flt");
    WorkFolder() { std::filesystem::create_directories(dir / "FILTERS"); }
    ~WorkFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

const std::filesystem::path& WorkDir() {
    static const WorkFolder folder;
    return folder.dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const gc::fuzz::InputFile input(WorkDir() / "input.flt");
    if (!input.Write(data, size)) return 0;
    std::error_code ec;
    std::filesystem::remove(WorkDir() / "FILTERS" / "input.taps", ec);
    gc::FltConversion r = gc::ConvertFltToTaps(input.path(), gc::Workspace{WorkDir()});
    bool written = std::filesystem::exists(r.output, ec);
    if (written != (r.status == gc::FltConversion::Done)) __builtin_trap();
    if (r.status == gc::FltConversion::Done && (r.count < 1 || r.count > gc::kMaxFltTaps)) __builtin_trap();
    return 0;
}
