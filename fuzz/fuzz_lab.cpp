// Any bytes as a lab file: the reader must neither crash nor read out of bounds.
#include <cstddef>
#include <cstdint>

#include "core/lab_file.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gc::Settings s;
    gc::DecimationState d;
    gc::LineReader in(gc::fuzz::Text(data, size));
    gc::ReadLab(s, d, in);
    return 0;
}
