// Any bytes as a gc101 file: the reader must neither crash nor read out of
// bounds, and what it took must convert and fill the tool tables within bounds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "chip/page_map.h"
#include "chip/program_file.h"

namespace {

const std::filesystem::path& InputPath() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("gc5016-fuzz-gc101-" + std::to_string(::getpid()) + ".gc101");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(InputPath().c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    auto list = std::make_unique<gc::Gc101List>();
    int n = gc::ReadGc101File(InputPath(), *list);
    if (n < 0 || n > gc::kGc101Capacity || n != list->count) __builtin_trap();
    auto m = std::make_unique<gc::Model>();
    gc::Gc101ToRegisterWrites(*m, *list, n);
    if (m->registerWriteList.count > n) __builtin_trap();
    gc::TakeToolTables(*m, *list, n);
    (void)gc::CountPage16Mismatches(*m);
    (void)gc::CountPage17Mismatches(*m);
    (void)gc::FormatProgramFile(*m);
    return 0;
}
