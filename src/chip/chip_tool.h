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

// Runs the tool with the argument "workcmd" in folder and waits until it ends.
// Its exit status is not looked at, and the caller's working folder is the
// same afterwards. A missing tool is not an error: false only says that it
// did not run, and callers go on with whatever files the folder holds.
bool RunChipTool(const std::filesystem::path& folder, const std::filesystem::path& programDir);

enum class ToolRun { Ran, NotFound, StartFailed, TimedOut, Cancelled };
struct ChipToolRunOptions {
    std::chrono::milliseconds timeout{60000};
    const std::atomic<bool>* cancel = nullptr;
};
struct ChipToolOutcome {
    ToolRun run = ToolRun::NotFound;
    int exitStatus = -1;
    std::filesystem::path tool;
};
ChipToolOutcome RunChipTool(const std::filesystem::path& folder, const std::filesystem::path& programDir,
                            const ChipToolRunOptions& options);
std::string ChipToolRunText(const ChipToolOutcome& o, std::chrono::milliseconds timeout);
inline constexpr std::chrono::seconds kDefaultChipToolTimeout{60};

}  // namespace gc
