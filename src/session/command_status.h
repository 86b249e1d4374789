// The one-line reports of the main window's commands: what each read or
// wrote, where, and what it found. Paths are shown below the working folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "chip/chip_tool.h"
#include "core/lab_file.h"
#include "core/model.h"
#include "core/safe_write.h"
#include "core/text_io.h"
#include "core/workspace.h"

namespace gc {

struct FltConversion;
struct TestFilterResult;

// Russian plural forms: the word that goes with the count n (1 коэффициент,
// 2 коэффициента, 5 коэффициентов, 11 коэффициентов, 21 коэффициент), and the
// count followed by it. Verbs before a count agree through PluralWord too.
const char* PluralWord(long long n, const char* one, const char* few, const char* many);
std::string CountText(long long n, const char* one, const char* few, const char* many);

// A path relative to the working folder when it lies below it, else as given.
std::string ShownPath(const std::filesystem::path& path, const Workspace& workspace);

// What reading a coefficient file meets: the taps taken, the lines that hold
// no integer and were skipped, and the values cut to their low 16 bits.
struct TapFileScan {
    bool readable = false;
    int taps = 0;
    int skippedLines = 0;
    int reducedValues = 0;
    int cutValues = 0;    // a number followed by more than blanks ("1.5" is taken as 1)
    TextInspection text;  // what the file is: a NUL or UTF-16 file is read other than it reads
};
TapFileScan ScanTapFile(const std::filesystem::path& path);

// A channel's coefficient file read other than written: not text, values cut
// to 16 bits, lines without a number. A missing file is its reader's to report.
struct CoefFileFinding {
    std::string shown;
    TapFileScan scan;
};
std::vector<CoefFileFinding> CoefFileFindings(const Settings& s, const Workspace& workspace);
// The findings in English, one line each, for stderr.
std::vector<std::string> CoefFileWarnings(const Settings& s, const Workspace& workspace);
// The findings in the window's words, one line each, for the list at start.
std::vector<std::string> CoefFileNoteLines(const std::vector<CoefFileFinding>& findings);

// The values of a lab file not taken as written, for the status line after
// a read (empty when there are none) and one line each for the list at start.
std::string LabNotesStatus(const std::string& shown, const std::vector<LabValueNote>& notes);
std::string LabNoteLine(const LabValueNote& n);
std::string LabReadStatus(const std::string& shown, bool read, const Settings& s);
std::string LabSavedStatus(const std::string& lab, bool labWritten, const std::string& prg, bool prgWritten);
std::string TableWrittenStatus(const std::string& shown, bool written);
std::string TableReadStatus(const std::string& shown, bool read, const Settings& s);
// "Write *.prg": the program file, the tool's output and the mismatch counts.
// toolPairs: what the tool's gc101 output gave, -1 when it left none.
std::string ProgramWrittenStatus(const std::string& shown, bool written, int writes, int toolPairs, int page16,
                                 int page17);
// "gc101->prg": pairs read (-1: unreadable), register writes taken, lines
// skipped, program file (not written when no write was taken).
std::string Gc101Status(const std::string& in, int pairs, int writes, int skipped, const std::string& out,
                        bool written);
// "Read  BeRam": pairs read, -1 when the file cannot be read.
std::string BeRamStatus(const std::string& shown, int pairs);
std::string CommandScriptStatus(const std::string& script, bool written, bool toolRan);
std::string CompareStatus(const std::string& table, bool tableRead, const std::string& report, bool written,
                          int differences);
std::string CoefFileStatus(const std::string& shown, int channel, const TapFileScan& scan);
std::string FltStatus(const std::string& in, const FltConversion& r, const std::string& out, bool declined);
std::string TestFilterStatus(const TestFilterResult& r, const Workspace& workspace);
std::string ApplyToAllStatus(int channel);
// The line added to the refusal of "Записать": the total decimations of the
// channels that are compared (four in Full rate, A and C in the paired modes).
std::string DecimationTotalsLine(const Settings& s);
// Where "DFDP->Filter" writes for a chosen filter file: FILTERS/<name cut at its last '.'>.taps.
std::filesystem::path FltOutputPath(const std::filesystem::path& fltPath, const Workspace& workspace);
std::string HistoryStatus(bool undo, bool done);

// The chip tool ran past its time limit (or was cancelled) and was stopped; nothing was taken from it.
std::string ToolStoppedStatus(bool cancelled, double timeoutSeconds);

// Nothing was taken from the chip tool: why, with the output it left out
// (shownFile) when that is the cause. Stopped gives ToolStoppedStatus.
std::string ToolFailedStatus(ToolFault fault, const ChipToolOutcome& o, const std::string& shownFile,
                             double timeoutSeconds);

// The cause of a failed read or write in the window's words: "нет места на диске".
std::string CauseText(int code);
std::string CauseText(const TextInspection& t);
// " (файл в кодировке UTF-16LE, нужна UTF-8)" for a file a reader could not take, else "".
std::string UnreadableNote(const std::filesystem::path& path);
// What a failed save left of the pair: "a.lab и a.prg остались прежними" for
// files that were there, "не создан(ы)" for those that were not.
std::string UnchangedText(const std::string& lab, bool labExisted, const std::string& prg, bool prgExisted);
// A status line with the cause of the write that failed, when one did.
std::string WithCause(std::string line, const WriteOutcome& failure);

}  // namespace gc
