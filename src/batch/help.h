// What gc5016-batch says about itself: the usage, the whole help, one
// command's help and the version. Kept apart from the commands so that the
// texts can be read (and the manual page generated) in one place.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace gc::batch {

// "gc5016-batch VERSION (board MODEL)".
std::string VersionText();

// The synopsis and the list of commands, for usage errors.
void WriteUsage(std::ostream& out);

// --help: synopsis, global options, commands, exit statuses.
void WriteHelp(std::ostream& out);

// help COMMAND: the command's arguments, what it does and what it writes.
// False when there is no such command.
bool WriteCommandHelp(std::ostream& out, const std::string& name);

// Answers --help, -h, --version, "help [COMMAND]" and "COMMAND --help" (after
// any global options) without starting a session. True when the arguments
// asked for one of them; status is then the exit status.
bool HandleInfoRequest(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err, int& status);

}  // namespace gc::batch
