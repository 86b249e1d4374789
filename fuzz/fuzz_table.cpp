// Any bytes as a register table read into the work image: the reader must neither
// crash nor read out of bounds, and what it stored must print again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include <unistd.h>

#include "chip/table_file.h"

namespace {

// One input file per process, removed again when the run ends.
struct InputFile {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("gc5016-fuzz-table-" + std::to_string(::getpid()) + ".tbl");
    ~InputFile() {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
};

const std::filesystem::path& InputPath() {
    static const InputFile file;
    return file.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(InputPath().c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    auto m = std::make_unique<gc::Model>();
    gc::ReadTableFile(*m, InputPath());
    (void)gc::FormatTableFile(*m);
    return 0;
}
