// Any bytes as the chip tool's table read into the tool image: the reader must neither
// crash nor read out of bounds, and what it stored must print again.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "chip/table_file.h"
#include "fuzz_input.h"
#include "session/session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const gc::fuzz::InputFile input(gc::fuzz::TempPath("input.tbl"));
    if (!input.Write(data, size)) return 0;
    auto m = std::make_unique<gc::Session>();
    gc::ReadToolTableFile(m->toolImage, input.path());
    (void)gc::FormatToolTable(m->toolImage);
    return 0;
}
