// PFIR coefficient files (*.taps): reading, loading into a channel, reloading
// all channels, copying one channel's set-up to all, and converting *.flt
// filter files into coefficient files.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/model.h"
#include "core/safe_write.h"
#include "core/text_io.h"
#include "core/workspace.h"
#include "filters/coef_errors.h"

namespace gc {

using TapBuffer = std::array<int32_t, kMaxTaps>;

// Reads up to 512 taps, one integer per line, each reduced to its low 16 bits
// and sign-extended. Only lines finished by a line break count; a line that
// holds no integer is skipped. Returns the number of taps (0..512) with the
// rest of taps cleared, or -1 when the file cannot be opened.
int ReadTapFile(const std::filesystem::path& path, TapBuffer& taps);
int ReadTapFile(LineReader& in, TapBuffer& taps);

// A coefficient file's text: " %d\n" per tap.
std::string PfirTapsText(const std::vector<int32_t>& taps);

// Loads the file into the channel's coefficient store (words 0..511, zeros
// after the taps). Returns the count (1..512), or 0 after reporting the file
// as missing or damaged to errors (when given, under shownName if that is not
// empty); then the store is untouched.
int LoadPfirFile(ChipState& chip, int channel, const std::filesystem::path& path, CoefFileErrorSink* errors,
                 const std::string& shownName = {});

// "FILTERS/" + the channel's file-name setting: the name the user knows the
// file by, and its path below the working folder.
std::string PfirFileName(const Settings& s, int channel);
std::filesystem::path PfirFilePath(const Settings& s, int channel, const Workspace& workspace);

// Loads the channel's named file from FILTERS/ and, when it yields taps, fits
// them and sets ncoefs. A failed load keeps the channel's taps, fit and ncoefs.
// Returns the count loaded (0 on failure).
int LoadAndFitChannel(const Settings& s, ChipState& chip, int channel, CoefFileErrorSink* errors,
                      const Workspace& workspace);

// LoadAndFitChannel for channels A..D in turn.
void ReloadAllPfirFiles(const Settings& s, ChipState& chip, CoefFileErrorSink* errors, const Workspace& workspace);

// "Файл": the chosen file becomes the channel's coefficient file. Its bare
// name is stored even when the load fails; the file itself is read from where
// it was chosen. Returns the count loaded (0 on failure).
int LoadChosenPfirFile(Settings& s, ChipState& chip, int channel, const std::filesystem::path& chosen,
                       CoefFileErrorSink* errors);

// Copies the source channel's decimations, input, gains, NCO, sync sources and
// coefficient-file name to every channel (the per-mode CIC stores excepted)
// and sets each TotalDec. A source outside 0..3 changes nothing.
void CopyChannelToAll(Settings& s, DecimationState& d, int source);

// Largest tap count a *.flt file may declare: that of the coefficient files.
inline constexpr int kMaxFltTaps = kMaxTaps;

struct FltConversion {
    enum Status { Done, InputUnreadable, BadCount, WriteFailed };
    Status status = Done;
    int count = 0;                  // taps written
    int padded = 0;                 // of those, taps the file lacked (the last one repeated)
    std::string countNotWhole;      // the count line, when more than its number stood there ("1e3" read as 1)
    int saturated = 0;              // taps beyond the 32-bit range, written as its nearest end
    int notWhole = 0;               // tap lines with more than the integer taken ("0.5" read as 0)
    std::optional<long> countRead;  // BadCount: the count line's number, if it held one
    std::filesystem::path output;   // FILTERS/<name>.taps of the working folder
    std::string message;            // for the user, when not Done
    WriteOutcome failure;           // why the output could not be written
};

// "DFDP->Filter": line 1 ignored, line 2 the count N (1..512), then N taps;
// missing taps repeat the last value read (0 when none). Writes " %d\n" per
// tap to FILTERS/<name cut at its last '.'>.taps of the working folder. Nothing is
// written, and an existing output stays as it is, unless the input is usable
// (a file that is not text is not). Numbers read other than written are
// counted, not refused: files converted so far convert the same.
FltConversion ConvertFltToTaps(const std::filesystem::path& fltPath, const Workspace& workspace);
// The conversion's reading: the taps text from the filter text, status Done
// or BadCount (message naming fltPath); nothing is written.
FltConversion ConvertFltText(LineReader& in, const std::filesystem::path& fltPath, std::string& tapsText);

}  // namespace gc
