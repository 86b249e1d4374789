// The headless tool's command registry and the state a command works on.
#pragma once

#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "core/workspace.h"
#include "session/commands.h"
#include "session/session.h"

namespace gc::batch {

enum ExitStatus : int {
    kExitOk = 0,
    kExitUsage = 1,         // bad usage: message and usage on stderr
    kExitWriteFailed = 2,   // an output file could not be written
    kExitRefused = 3,       // "Записать" refused by the decimation checks
    kExitInputRefused = 4,  // the input or the request was refused; nothing written
    kExitDiffer = 5,        // diff: the two configurations differ
    kExitNotMet = 6,        // plan: no split meets the request
};

struct Context {
    Session session;
    Workspace workspace;            // -C DIR, or the folder the tool was started in
    std::vector<std::string> args;  // the command's own arguments
    std::ostream& out;
    std::ostream& err;
    std::chrono::milliseconds toolTimeout = kDefaultChipToolTimeout;  // --tool-timeout

    // A path named on the command line, relative to the working folder.
    std::filesystem::path Path(const std::filesystem::path& named) const { return workspace.root / named; }
    // A path as the user knows it: relative to the working folder when below it.
    std::string Shown(const std::filesystem::path& p) const;
};

using CommandFn = int (*)(Context&);

struct Command {
    const char* name;
    const char* usage;  // the arguments after the name, for the usage text
    CommandFn run;
};

// Each command's source registers itself at start-up.
bool RegisterCommand(const Command& cmd);
const std::vector<Command>& Commands();

// Helpers for the commands' own options.
// Removes "--name VALUE" from args; true and value set when present, error text when VALUE is missing.
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value, std::string& error);
// Removes "--name" from args; true when it was present.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);
// "A".."D" (or "a".."d", "0".."3") to 0..3; -1 otherwise.
int ParseChannel(const std::string& text);
// A bare file name: no folder, not "." or "..".
bool IsBareName(const std::string& name);
// Why the designer's naming rule refuses a taps file name.
std::string NameRefusalText(const TapsNameRefusal& r);
// A usage error: message and the usage text on err; returns kExitUsage.
int UsageError(Context& ctx, const std::string& message);
// An argument the command does not take: message and usage; returns kExitUsage.
int UnexpectedArgument(Context& ctx, const std::string& arg);
// What a shared command did, as an exit status: its warnings and its reason
// on err, prefixed with the program's name.
int Report(Context& ctx, const CommandResult& r);
// The chip tool run as a script expects: waiting, within the time limit.
ChipToolRunner BlockingToolRunner(const Context& ctx);
// A warning on err when the file is too long to be read whole (readers stop at their bound).
void WarnIfCut(Context& ctx, const std::filesystem::path& path);

// Runs the tool with the given arguments (without the program name).
// The warnings of the session's findings, in the batch tool's words.
std::string CicGainWarning(float norm, int channel);
std::string OutsideChipWarning(const Settings& s);

int RunBatch(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

}  // namespace gc::batch
