// Any bytes as a command script for the chip-tool stand-in: the reader must
// neither crash nor read out of bounds, and the settings it made must derive.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>

#include "chip/derivation.h"
#include "chip/program_file.h"
#include "fuzz_input.h"
#include "script_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gc::Settings s;
    gc::DecimationState d;
    auto chip = std::make_unique<gc::ChipState>();
    gc::LineReader in(gc::fuzz::Text(data, size));
    std::ostringstream warn;
    (void)cmd5016::ApplyScript(s, d, in, warn);
    gc::DeriveRegisters(s, *chip);
    gc::PrepareProgram(s, *chip);
    return 0;
}
