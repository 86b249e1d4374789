// The program file that the board software replays into the chip, the gc101
// files of the chip tool (read back for pages 16 and 17, or converted whole
// into a program file), and the checks that "Записать" makes before it writes.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model.h"
#include "core/text_io.h"
#include "core/workspace.h"

namespace gc {

// ---- program file ----

// Bit n set when ADC input n feeds a channel in use.
int ComputeAdcMask(const Settings& s, const ChipState& chip);

// The whole file for the settings, the total decimations and the chip's
// registerWriteList, using chip.AdcMask.
std::string FormatProgramFile(const Settings& s, const DecimationState& d, const ChipState& chip);

// Recomputes AdcMask and writes the file; false (and nothing written) when it
// cannot be created.
bool WriteProgramFile(const Settings& s, const DecimationState& d, ChipState& chip, const std::filesystem::path& path);

// FillPage16Tables, FillPage17Tables and BuildRegisterWriteList: what both
// "Write *.prg" and "Записать" do before writing a program file.
void PrepareProgram(const Settings& s, ChipState& chip);

// ---- gc101 files ----

struct Gc101Pair {
    uint16_t address = 0;
    uint16_t value = 0;
};

inline constexpr int kGc101Capacity = 2000;
struct Gc101List {
    std::array<Gc101Pair, kGc101Capacity> pairs{};
    int count = 0;
    int skipped = 0;           // lines read that define no pair, a cut-off last line included
    bool beyondLimit = false;  // lines past the first 2000 were left unread
};

// Fills list with the (address, value) pairs of the first 2000 lines of the
// file. Returns the number read, -1 when the file cannot be opened or is not
// text (NUL bytes, UTF-16): its pieces would be taken as register writes. A line
// defines a pair when, from its seventh character on, it holds two hexadecimal
// numbers; other lines are skipped. A last line without a line break is not used.
int ReadGc101File(const std::filesystem::path& path, Gc101List& list);
int ReadGc101File(LineReader& in, Gc101List& list);

// Replaces registerWriteList by the first n pairs: a write to register 2
// selects the page of the writes that follow it.
void Gc101ToRegisterWrites(ChipState& chip, const Gc101List& list, int n);

// Copies the tool's pages 32c+16 and 32c+17 (the values of the up to 16 pairs
// after the first select of each page among the first n pairs) into the
// channel's tool tables. Words that no pair supplies keep their values.
void TakeToolTables(ChipState& chip, const Gc101List& list, int n);

// The first of the pages TakeToolTables takes (16, 17, 48, ..) that the first
// n pairs do not select with 16 writes after it; -1 when all are there.
int MissingToolPage(const Gc101List& list, int n);

// "Read  BeRam": page 32c+17 of each channel from a gc101 file into
// readBackPage17Table, by the same search. Returns what ReadGc101File returned.
int ReadBackPage17(ChipState& chip, const std::filesystem::path& path);

// "gc101->prg": the program name for a chosen gc101 file: the file's own name
// (after its last '/' or '\') without its last extension.
std::string Gc101ProgramName(std::string_view chosenPath);

// ---- "Записать" ----

enum class SaveNotice { None, DecimMismatch, MinDecim };

struct SaveCheck {
    SaveNotice notice = SaveNotice::None;
    const char* modeLine = "";  // the minimum notice's mode line
};

// The decimation checks, on the CIC decimations stored for the current input
// mode (run SaveModeCicDec first) times FirDec: the totals must agree (all
// four in Full rate, A and C in the paired modes) and channel A's must reach
// MinTotalDec of the mode.
SaveCheck CheckSaveDecimations(const Settings& s, const DecimationState& d);

// The text lines of the notice a failed check shows.
std::vector<std::string> SaveNoticeLines(const SaveCheck& check);

}  // namespace gc
