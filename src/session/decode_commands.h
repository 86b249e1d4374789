// Reading a program file back into a configuration, and comparing two
// configurations (lab or program files) in the engineer's terms: the window's
// "Сравнить конфигурации…" and "Открыть как конфигурацию" and the batch tool's
// decode and diff call these.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chip/program_decode.h"
#include "filters/chain_analysis.h"
#include "session/commands.h"

namespace gc {

// ---- decode ----

// The decoder's refusal and notes in words (English, for the batch tool).
std::string DecodeRefusalText(const DecodeResult& r);
std::string DecodeNoteText(const DecodedProgram& d, const DecodeNote& n);

// The recovered settings as "key value" lines ("CicDec.A 8"), leaving out what
// the file does not carry.
std::vector<std::string> DecodedSettingLines(const DecodedProgram& d);

// Reads and decodes a program file; refused (InputRefused) when it is not a
// readable regular text file or the decoder refuses it. text, when given,
// receives the file's text as read.
DecodeResult ReadProgramForDecode(const Workspace& ws, const std::filesystem::path& path, CommandResult& r,
                                  std::string* text);

// Makes the decoded configuration the session's: its settings, the taps of
// each channel loaded and fitted as if read from FILTERS/names[c], the "ЛЧМ"
// shift when the file was written with it, and the registers derived.
void TakeDecodedProgram(Session& m, const DecodedProgram& d, const std::array<std::string, kChannels>& names);
// The same without the derivation, for an edit that derives once at its end.
void PutDecodedProgram(Session& m, const DecodedProgram& d, const std::array<std::string, kChannels>& names);

// NAME_A.taps .. NAME_D.taps.
std::array<std::string, kChannels> DecodedTapsNames(const std::string& prefix);

struct DecodeRequest {
    std::filesystem::path program;
    std::filesystem::path saveLab;  // empty: print only
    std::string tapsPrefix = "decoded";
};
struct DecodeCommandResult : CommandResult {
    DecodeResult decode;
    // The decoded configuration, saved, writes the file read byte for byte.
    bool sameBytes = false;
};
// Decodes into the session (see TakeDecodedProgram) and checks that a save
// would write the same program file; with saveLab, writes the taps files, then
// the lab file and its program file.
DecodeCommandResult DecodeProgramCommand(Session& m, const Workspace& ws, const DecodeRequest& request);

// ---- diff ----

struct SettingDifference {
    std::string name;
    int channel = -1;  // -1 for a single setting
    std::string a, b;
};
struct FieldDifference {
    unsigned page = 0, reg = 0;
    std::string field;
    int64_t a = 0, b = 0;
};
struct ChainDifference {
    int channel = 0;
    ChainFigures a, b;
};
struct DiffCommandResult : CommandResult {
    std::vector<SettingDifference> settings;
    std::vector<FieldDifference> fields;
    std::vector<ChainDifference> chains;
    bool equal() const { return settings.empty() && fields.empty(); }
};
// A configuration from a lab file (its coefficient files from FILTERS/) or a
// program file (decoded, which also says what it does not carry).
struct LoadedConfiguration {
    std::unique_ptr<Session> session = std::make_unique<Session>();
    std::optional<DecodedProgram> decoded;
};
// False, with the reason in r, when the file cannot be used.
bool LoadConfiguration(LoadedConfiguration& into, const Workspace& ws, const std::filesystem::path& path,
                       CommandResult& r);
// The differences of two loaded configurations; settings that either file does
// not carry, or holds only rounded, are compared through their registers.
void DiffConfigurations(LoadedConfiguration& a, LoadedConfiguration& b, DiffCommandResult& r);
DiffCommandResult DiffCommand(const Workspace& ws, const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace gc
