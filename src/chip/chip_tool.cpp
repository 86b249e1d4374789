#include "chip/chip_tool.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace gc {

namespace {

bool IsRunnable(const std::filesystem::path& p) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p, ec)) return false;
#ifdef _WIN32
    return true;
#else
    return ::access(p.c_str(), X_OK) == 0;
#endif
}

}  // namespace

const char* ChipToolProgramName() {
#ifdef _WIN32
    return "cmd5016.exe";
#else
    return "cmd5016";
#endif
}

namespace {

// The tool runs with FILTERS as its working folder: a path relative to ours
// would name another file there, so the found path is made absolute.
std::filesystem::path Absolute(const std::filesystem::path& p) {
    std::error_code ec;
    std::filesystem::path a = std::filesystem::absolute(p, ec);
    return ec ? p : a;
}

}  // namespace

std::optional<std::filesystem::path> FindChipTool(const std::filesystem::path& programDir) {
    const char* name = ChipToolProgramName();
    if (!programDir.empty() && IsRunnable(programDir / name)) return Absolute(programDir / name);
    const char* env = std::getenv("PATH");
    if (!env) return std::nullopt;
#ifdef _WIN32
    const char sep = ';';
#else
    const char sep = ':';
#endif
    std::string path = env;
    size_t start = 0;
    while (start <= path.size()) {
        size_t stop = path.find(sep, start);
        if (stop == std::string::npos) stop = path.size();
        // An empty PATH element would mean the working folder; the tool is
        // never taken from there by accident.
        if (stop > start) {
            std::filesystem::path candidate = std::filesystem::path(path.substr(start, stop - start)) / name;
            if (IsRunnable(candidate)) return Absolute(candidate);
        }
        start = stop + 1;
    }
#ifdef GC5016_STANDIN_FROM_BIN
    // Last the stand-in an installation keeps apart: a real tool always wins.
    if (!programDir.empty() && IsRunnable(programDir / GC5016_STANDIN_FROM_BIN / name))
        return Absolute((programDir / GC5016_STANDIN_FROM_BIN / name).lexically_normal());
#endif
    return std::nullopt;
}

std::filesystem::path RunningProgramDir() {
#ifdef _WIN32
    return {};
#else
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path();
#endif
}

bool RunChipTool(const std::filesystem::path& folder, const std::filesystem::path& programDir) {
    std::optional<std::filesystem::path> tool = FindChipTool(programDir);
    if (!tool) return false;
#ifdef _WIN32
    std::error_code ec;
    const std::filesystem::path saved = std::filesystem::current_path(ec);
    std::filesystem::current_path(folder, ec);
    if (ec) return false;
    const std::string command = "\"" + tool->string() + "\" workcmd";
    (void)std::system(command.c_str());
    std::filesystem::current_path(saved, ec);
    return true;
#else
    // The tool gets the folder as its own working folder; ours never changes,
    // so nothing has to be restored afterwards even if the tool misbehaves.
    const std::string toolPath = tool->string();
    const std::string dir = folder.string();
    char arg0[] = "cmd5016";
    char arg1[] = "workcmd";
    char* argv[] = {arg0, arg1, nullptr};
    pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec. The tool's
        // chatter goes to our stderr so that our stdout stays our own.
        if (::chdir(dir.c_str()) != 0) ::_exit(127);
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        ::execv(toolPath.c_str(), argv);
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
#endif
}

ChipToolOutcome RunChipTool(const std::filesystem::path& folder, const std::filesystem::path& programDir,
                            const ChipToolRunOptions&) {
    return {RunChipTool(folder, programDir) ? ToolRun::Ran : ToolRun::NotFound, 0, {}};
}
std::string ChipToolRunText(const ChipToolOutcome&, std::chrono::milliseconds) { return {}; }

}  // namespace gc
