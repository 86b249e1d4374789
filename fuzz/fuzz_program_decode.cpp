// Any bytes as a program file read back: the decoder must neither crash, read
// out of bounds nor hang, and what it recovers must be within the chip's bounds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "chip/page_map.h"
#include "chip/program_decode.h"
#include "session/decode_commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const gc::DecodeResult r = gc::DecodeProgramText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!r.ok()) {
        if (gc::DecodeRefusalText(r).empty()) __builtin_trap();
        return 0;
    }
    const gc::DecodedProgram& d = r.program;
    if (d.triples.empty() || d.triples.size() > static_cast<size_t>(gc::kRegisterWriteCapacity)) __builtin_trap();
    for (const auto& taps : d.taps)
        if (taps.empty() || taps.size() > static_cast<size_t>(gc::kMaxTaps)) __builtin_trap();
    for (const gc::DecodeNote& n : d.notes)
        if (gc::DecodeNoteText(d, n).empty()) __builtin_trap();
    (void)gc::DecodedSettingLines(d);
    return 0;
}
