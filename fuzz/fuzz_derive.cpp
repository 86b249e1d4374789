// Any bytes as a lab file, then what "Записать" does with the settings read:
// derive every register and format the program file. Derivation must take
// any settings a file can hold without crashing or reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "chip/derivation.h"
#include "chip/program_file.h"
#include "core/lab_file.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Reset in place: fresh pages for a 40 KB state on each input cost more
    // than the derivation.
    static const auto chip = std::make_unique<gc::ChipState>();
    *chip = gc::ChipState{};
    gc::Settings s;
    gc::DecimationState d;
    gc::LineReader in(gc::fuzz::Text(data, size));
    gc::ReadLab(s, d, in);
    gc::DeriveRegisters(s, *chip);
    gc::PrepareProgram(s, *chip);
    (void)gc::FormatProgramFile(s, d, *chip);
    return 0;
}
