// Any bytes as a command script for the chip-tool stand-in: the reader must
// neither crash nor read out of bounds. (What settings it can make are
// derived by fuzz_derive, from lab files, which set every one of them.)
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "fuzz_input.h"
#include "script_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gc::Settings s;
    gc::DecimationState d;
    gc::LineReader in(gc::fuzz::Text(data, size));
    std::ostringstream warn;
    (void)cmd5016::ApplyScript(s, d, in, warn);
    return 0;
}
