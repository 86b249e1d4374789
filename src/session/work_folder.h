// Which working folder a start of the configurator uses, and a new working
// folder made from the example. The window asks the user only when nothing
// better is known; the batch tool never does.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace gc {

// Whether path is a working folder: it holds CONFIGS/.
bool IsWorkFolder(const std::filesystem::path& path);

struct WorkFolderStart {
    std::filesystem::path commandLine;  // -C DIR; empty when not given
    std::filesystem::path current;      // the folder the program was started in
    std::filesystem::path remembered;   // the user's last choice; empty when none
    bool desktop = false;               // started from the desktop menu: the current folder is chance
};

enum class WorkFolderSource { CommandLine, Current, Remembered, Ask };

struct WorkFolderDecision {
    WorkFolderSource source = WorkFolderSource::Ask;
    std::filesystem::path folder;  // empty for Ask
};

// -C always wins; then a current folder that is a working folder (unless the
// start came from the desktop), then the remembered one while it still is a
// working folder; otherwise the user is asked.
WorkFolderDecision DecideWorkFolder(const WorkFolderStart& start);

// The folder offered for a new working folder: the remembered one when there
// is one (it may have been moved away), else "gc5016" in the documents folder.
std::filesystem::path ProposedWorkFolder(const std::filesystem::path& remembered,
                                         const std::filesystem::path& documents);

// The example working folder: the first candidate that holds CONFIGS/std.lab;
// empty when none does.
std::filesystem::path FindExampleWorkFolder(const std::vector<std::filesystem::path>& candidates);

struct ExampleCopy {
    std::vector<std::filesystem::path> copied;  // relative to the target
    std::vector<std::filesystem::path> kept;    // already there, left as they were
    std::error_code error;                      // the first failure; the copy stops there
    std::filesystem::path failed;               // what it failed on
    bool done() const { return !error; }
};

// Copies the example's folders and files into target, creating it as needed.
// A file that exists in target is never replaced, and a file whose copy fails
// is removed again, so that a later copy does not keep a torn one.
ExampleCopy CopyExampleWorkFolder(const std::filesystem::path& example, const std::filesystem::path& target);

}  // namespace gc
