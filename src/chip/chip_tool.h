// Starting the chip vendor's command-line tool on the command script.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace gc {

// The program file of the chip tool: "cmd5016.exe" on Windows, "cmd5016" elsewhere.
const char* ChipToolProgramName();

// Where the tool is found: the given program folder first, then the folders of
// PATH, then the stand-in installed in ../libexec/gc5016-config beside the
// program folder. nullopt when it is nowhere.
std::optional<std::filesystem::path> FindChipTool(const std::filesystem::path& programDir);

// The folder of the running executable; empty when it cannot be told.
std::filesystem::path RunningProgramDir();

// A tool that has not finished by then is taken to hang.
inline constexpr std::chrono::seconds kDefaultChipToolTimeout{60};

enum class ToolRun { Ran, NotFound, StartFailed, TimedOut, Cancelled };

struct ChipToolRunOptions {
    std::chrono::milliseconds timeout{kDefaultChipToolTimeout};  // 0 or less: no limit
    const std::atomic<bool>* cancel = nullptr;                   // set from another thread to stop the tool
};

struct ChipToolOutcome {
    ToolRun run = ToolRun::NotFound;
    // The exit code when it ran to its end; 128 + the signal number when a
    // signal ended it, as a shell reports it; -1 otherwise.
    int exitStatus = -1;
    int signal = 0;                // the signal that ended it, 0 when it exited
    std::filesystem::path tool;    // the tool found; empty when NotFound
    std::filesystem::path folder;  // where it was to run
    int error = 0;                 // errno when StartFailed
};

// Runs the tool with the argument "workcmd" in folder and waits until it ends,
// the time limit passes or cancel is set; in the last two cases the tool and
// every process it started are stopped (terminated, killed after a short
// grace) before this returns. The tool reads no input, its output is passed on
// to our stderr until it ends (not waiting for whatever else holds that
// output), it dies with the thread that started it, and the caller's working
// folder is the same afterwards.
ChipToolOutcome RunChipTool(const std::filesystem::path& folder, const std::filesystem::path& programDir,
                            const ChipToolRunOptions& options = {});

// Why nothing was taken from the chip tool.
enum class ToolFault {
    None,
    Stopped,      // time limit or cancel
    NotFound,     // no tool to run
    StartFailed,  // it could not be started
    Failed,       // it exited with a status other than 0 or was killed by a signal
    NoOutput,     // it ended well but left no toolFile
    Incomplete,   // toolFile lacks pages the cross-check needs
};

// True when the tool ran to its end and said it succeeded (exit status 0).
bool ChipToolSucceeded(const ChipToolOutcome& o);

// The shortest time limit taken: a shorter one stops even a tool that works
// (0 still means no limit).
inline constexpr std::chrono::milliseconds kMinChipToolTimeout{100};

// An English one-liner for stderr or a status line: "the chip tool was stopped
// after 60 s", "no chip tool found", ... timeout is the limit the run had.
std::string ChipToolRunText(const ChipToolOutcome& o, std::chrono::milliseconds timeout);

}  // namespace gc
