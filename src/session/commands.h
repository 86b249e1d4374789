// The user's file commands, each one function shared by the main window and
// the batch tool: the window asks for the choices and shows the result, the
// batch tool takes them from its arguments and prints it. Every file name and
// every step of a command is written here once.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "chip/chip_tool.h"
#include "chip/program_file.h"
#include "core/safe_write.h"
#include "core/workspace.h"
#include "filters/coef_files.h"
#include "filters/test_filter.h"
#include "session/effects.h"
#include "session/session.h"

namespace gc {

// The fixed files of the commands, below the working folder.
std::filesystem::path DefaultProgramPath(const Workspace& ws);  // CONFIGS/std.prg
std::filesystem::path DefaultTablePath(const Workspace& ws);    // exper.tbl
std::filesystem::path ToolScriptPath(const Workspace& ws);      // FILTERS/workcmd
std::filesystem::path ToolGc101Path(const Workspace& ws);       // FILTERS/workcmd.gc101
std::filesystem::path ToolTablePath(const Workspace& ws);       // FILTERS/workcmd.tbl
std::filesystem::path CompareReportPath(const Workspace& ws);   // ErrTbl
std::filesystem::path BeRamPath(const Workspace& ws);           // Appl/workcmd.gc101
std::filesystem::path Gc101ProgramPath(const Workspace& ws, const std::filesystem::path& chosen);

enum class CommandStatus {
    Done,
    Refused,       // the configuration's own checks said no (decimations)
    InputRefused,  // an input or the request could not be used; nothing written
    WriteFailed,   // a file could not be written; what was there is unchanged
    ToolStopped,   // the chip tool ran past its time limit or was cancelled
    ToolFailed,    // the chip tool was missing, failed or left incomplete output
};

// What every command reports: the files written, warnings, and when it did not
// finish, the reason (English, for the batch tool; the window words its own).
struct CommandResult {
    CommandStatus status = CommandStatus::Done;
    std::vector<std::filesystem::path> written;
    std::vector<std::string> warnings;
    std::string reason;
    WriteOutcome failure;  // the write that failed, with its cause
    Effects effects;       // what the windows must follow when the command changed the model
    bool done() const { return status == CommandStatus::Done; }
};

// "cannot write CONFIGS/a.lab in /home/u/ws: No space left on device", naming
// the folder when the cause lies there; without a target, a cause in a folder
// is told as the folder's ("cannot write in /home/u/ws/CONFIGS: ...").
std::string WriteFailureText(const WriteOutcome& o, const Workspace& ws, const std::filesystem::path& target = {});

// The chip tool's outputs of an earlier run are moved aside (to NAME.old)
// before it starts, so that what a failed run leaves out is never taken from
// another configuration; a failed, stopped or missing tool fails the command.
// Runs the chip tool in a folder; the window runs it off its event loop, the
// batch tool waits with its time limit.
using ChipToolRunner = std::function<ChipToolOutcome(const std::filesystem::path& folder)>;

// ---- "Записать" ----

// The program file's text for the register write list as it stands (AdcMask
// recomputed): what a save writes after PrepareProgram.
std::string ProgramText(Session& m);

// The program file beside a lab file: its last extension replaced by ".prg".
std::filesystem::path ProgramPathOf(const std::filesystem::path& labPath);

struct SaveCommandResult : CommandResult {
    SaveCheck check;  // a refusal by the decimation checks: nothing written
    std::filesystem::path labPath, programPath;
};
// The checks before a save (CIC store, decimation totals, minimum); the
// window runs them before it asks for a name.
SaveCheck CheckBeforeSave(Session& m);
// A refusal of the checks in English, with the totals that decided it.
std::string SaveRefusalText(const Session& m, const SaveCheck& check);
// The two files that a save would replace, for the window's question.
struct SaveTargets {
    std::filesystem::path lab, program;
    TargetCheck labCheck, programCheck;
    TextInspection labText, programText;  // an existing file that is no text we can read
    bool AnyExists() const;
    bool AnyReadOnly() const;
    // The first target that exists but cannot be read as text; empty when none.
    std::filesystem::path Unreadable() const;
};
SaveTargets InspectSaveTargets(const std::filesystem::path& labPath);
// Checks, then writes the lab file and its program file together: both or
// neither. The lab name becomes the file's once both are written. A target
// that exists but cannot be read (UTF-16, binary, no read permission) may be
// someone's data: it is replaced only with replaceUnreadable, as a
// write-protected one only with the policy's replaceReadOnly.
SaveCommandResult SaveConfiguration(Session& m, const Workspace& ws, const std::filesystem::path& labPath,
                                    WritePolicy policy = {}, bool replaceUnreadable = false);

// ---- start and close ----

// Closing: keeps the CIC store and FullDebug, then writes the lab file.
// Refused (InputRefused) when the lab file read at start was unreadable,
// unless overwriteUnreadable.
struct CloseRequest {
    explicit CloseRequest(std::filesystem::path lab) : labPath(std::move(lab)) {}
    std::filesystem::path labPath;
    bool overwriteUnreadable = false;
    WritePolicy policy;
};
CommandResult CloseConfiguration(Session& m, const Workspace& ws, const CloseRequest& request);

// ---- "Считать" ----

// Reads a lab file and brings the whole session to it: coefficient files
// reloaded and fitted, registers derived. A file that cannot be read changes nothing.
struct ReadLabResult : CommandResult {
    bool read = false;
    std::vector<LabValueNote> labNotes;  // values not taken as written (also in warnings)
};
ReadLabResult ReadConfiguration(Session& m, const Workspace& ws, const std::filesystem::path& labPath,
                                CoefFileErrorSink* errors);

// ---- "Write *.prg" ----

struct ProgramRequest {
    std::filesystem::path out;             // empty: CONFIGS/std.prg
    const ChipToolRunner* tool = nullptr;  // cross-check with the chip tool first when given
};
struct ProgramCommandResult : CommandResult {
    std::filesystem::path path;
    int writes = 0;
    bool toolUsed = false;
    ChipToolOutcome tool;
    ToolFault toolFault = ToolFault::None;
    std::filesystem::path toolFile;  // the output it left out or left incomplete
    int toolPairs = -1;              // pairs of the tool's gc101 output, -1 when it left none
    int page16 = 0, page17 = 0;
};
ProgramCommandResult WriteProgramCommand(Session& m, const Workspace& ws, const ProgramRequest& request);

// ---- "Write *.tbl", "Read *tbl" ----

struct TableCommandResult : CommandResult {
    std::filesystem::path path;
};
TableCommandResult WriteTableCommand(Session& m, const Workspace& ws, const std::filesystem::path& out = {});

// ---- "WriteCmdFile" ----

struct ScriptCommandResult : CommandResult {
    std::filesystem::path script;
    bool scriptWritten = false;
    bool toolUsed = false;
    ChipToolOutcome tool;
    ToolFault toolFault = ToolFault::None;
    std::filesystem::path toolFile;
};
// Writes FILTERS/workcmd and, with a runner, runs the tool on it; the tool runs
// even when the script could not be written (it then finds an older one).
ScriptCommandResult WriteScriptCommand(Session& m, const Workspace& ws, const ChipToolRunner* tool);

// ---- "Comp" ----

struct CompareCommandResult : CommandResult {
    std::filesystem::path table, report;
    bool tableRead = false;
    int differences = 0;
};
CompareCommandResult CompareCommand(Session& m, const Workspace& ws, const std::filesystem::path& report = {});

// ---- "gc101->prg" ----

struct Gc101CommandResult : CommandResult {
    std::filesystem::path in, out;
    int pairs = -1;   // pairs read, -1 when the file could not be read
    int skipped = 0;  // lines that held no pair
    int writes = 0;
};
Gc101CommandResult ImportGc101Command(Session& m, const Workspace& ws, const std::filesystem::path& chosen);

// ---- "WriteFilter" ----

// A bare name goes to FILTERS/, as the window's dialog starts there.
std::filesystem::path TestFilterPath(const Workspace& ws, const std::filesystem::path& named);
struct TestFilterCommandResult : CommandResult {
    TestFilterResult filter;
};
TestFilterCommandResult WriteTestFilterCommand(Session& m, const Workspace& ws, int channel,
                                               const std::filesystem::path& chosen);

// ---- "DFDP->Filter" ----

struct FltCommandResult : CommandResult {
    FltConversion conversion;
};
FltCommandResult ConvertFltCommand(const Workspace& ws, const std::filesystem::path& flt);

// ---- the designer's "Сохранить" ----

// NAME.taps: ".taps" added unless the name already ends in it (in any case),
// so that every designed set is found as a coefficient file.
std::filesystem::path DesignTapsPath(std::filesystem::path chosen);

// A coefficient file's name (the last component, extension included) that
// the designer will not write: nothing before ".taps" (a hidden file with no
// name), or longer than a file system takes.
inline constexpr size_t kMaxTapsNameBytes = 255;  // NAME_MAX of the common file systems
struct TapsNameRefusal {
    enum class Cause { Empty, TooLong } cause;
    size_t bytes = 0;  // TooLong: the name's length
};
std::optional<TapsNameRefusal> CheckDesignTapsName(const std::filesystem::path& path);

struct DesignSaveResult : CommandResult {
    std::filesystem::path path;                  // the chosen name as DesignTapsPath makes it
    std::optional<TapsNameRefusal> nameRefusal;  // set with InputRefused: nothing written
};
// Names the file by the rule above, refuses a name no file should have, then
// writes the taps as a coefficient file.
DesignSaveResult SaveDesignedTaps(const Workspace& ws, const std::filesystem::path& chosen,
                                  const std::vector<int32_t>& taps);

}  // namespace gc
