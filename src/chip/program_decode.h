// Reading a program file back: its header and triples into the register
// words, and the register words into the settings and the fitted taps that
// give them. What the file cannot carry is listed, never guessed; a file
// that is not a program file, or that writes one register twice with
// different values, is refused with the reason.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/model.h"

namespace gc {

// The header lines as the file gives them; `seen` says which were there.
struct ProgramHeader {
    int board = -1;  // from the first line, -1 when it names no known board
    int32_t trvType = 0, clock = 0, mode = 0;
    int64_t maskAdc = 0, maskDdc = 0, chan = 0;
    int32_t decimation[kChannels]{}, freq[kChannels]{}, adc[kChannels]{};
    std::map<std::string, bool> seen;  // key ("Clock", "FreqNCO2", ...) -> present
    bool Has(const std::string& key) const { return seen.count(key) != 0; }
};

enum class DecodeRefusal {
    None,
    Empty,           // no bytes, or only blank lines
    NotProgram,      // the first line is not a program file's
    NoTripleList,    // the "Page    Reg    Value" line is missing
    BadTriple,       // a line of the list is not three hexadecimal numbers in range
    TooManyTriples,  // more triples than a register list holds
    NoTriples,       // the list is empty: nothing to decode
    Contradiction,   // one register written twice with different values
};

enum class DecodeNoteKind {
    NotCarried,       // a setting the file does not carry (name, channel)
    Rounded,          // the registers hold it rounded: the value given reproduces them (name, channel)
    PairFollows,      // paired modes: channel B or D runs A's or C's settings (channel)
    OtherBoard,       // the header names another board model (a = its TrvType)
    HeaderMissing,    // a header line is missing (name)
    HeaderDiffers,    // header against registers (name, channel, a = header, b = registers)
    UnknownRegister,  // a register this program never writes (page, reg, a = value)
    MissingRegister,  // a register this program writes that the file lacks (page, reg)
    Repeated,         // a register written more than once with the same value (page, reg)
    OtherOrder,       // the triples are not in this program's order (as a gc101 import writes them)
    UnfinishedLine,   // the last line has no line break (a cut file): not used
    OverlappingSync,  // phase_sync and dith_sync share a bit: the split taken (channel)
    ManualShift,      // fir_shift does not follow from the taps: "ЛЧМ" (channel, a = shift, b = computed)
    NotReproduced,    // re-deriving from the result gives another word (page, reg, a = file, b = derived)
};

struct DecodeNote {
    DecodeNoteKind kind;
    std::string name;
    int channel = -1;
    unsigned page = 0, reg = 0;
    int64_t a = 0, b = 0;
};

// (page, register) -> the value the file writes there.
using RegisterWords = std::map<std::pair<unsigned, unsigned>, uint16_t>;

struct DecodedProgram {
    ProgramHeader header;
    std::vector<RegisterWrite> triples;  // in file order
    RegisterWords words;
    Settings settings;                                 // defaults where the file says nothing
    std::array<std::vector<int32_t>, kChannels> taps;  // the fitted set each channel runs
    std::optional<int> manualShift;                    // the file was written with "ЛЧМ" checked
    std::vector<DecodeNote> notes;
    // Re-deriving the registers from settings and taps gives every word of the file.
    bool reproduces = false;
};

struct DecodeResult {
    DecodeRefusal refusal = DecodeRefusal::None;
    int line = 0;  // the line a refusal is about (1-based), 0 for the whole file
    unsigned page = 0, reg = 0;
    uint16_t first = 0, second = 0;  // a contradiction's two values
    DecodedProgram program;
    bool ok() const { return refusal == DecodeRefusal::None; }
};

DecodeResult DecodeProgramText(std::string_view text);

// The triples a fresh derivation writes for decoded settings and taps, in this
// program's order: what a save of the decoded configuration replays.
std::vector<RegisterWrite> SynthesizeTriples(const Settings& settings,
                                             const std::array<std::vector<int32_t>, kChannels>& taps,
                                             std::optional<int> manualShift);

}  // namespace gc
