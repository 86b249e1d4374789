// Any bytes as the chip tool's table read into the tool image: the reader must
// neither crash nor read out of bounds. (Printing the tables is left to the unit
// tests: it takes no input bytes and would take most of each run.)
#include <cstddef>
#include <cstdint>
#include <memory>

#include "chip/table_file.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One image, reset for every input: a fresh allocation per run costs more than the reading.
    static const auto image = std::make_unique<gc::RegisterImage>();
    *image = gc::RegisterImage{};
    gc::LineReader in(gc::fuzz::Text(data, size));
    gc::ReadToolTableFile(*image, in);
    return 0;
}
