#include "chip/chip_tool.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
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

namespace {

bool Requested(const std::atomic<bool>* cancel) { return cancel && cancel->load(); }

#ifndef _WIN32

// Short enough that a cancel feels immediate, long enough not to load the CPU.
constexpr std::chrono::milliseconds kPollInterval{5};
// What a tool gets to tidy up after SIGTERM before the group is killed.
constexpr std::chrono::milliseconds kGrace{200};

enum class Child { Running, Ended, Gone };

// Looks without reaping: an ended tool stays a zombie, so its pid, which is
// also its group's id, cannot be reused while we may still signal the group.
Child PollChild(pid_t pid) {
    for (;;) {
        siginfo_t info{};
        if (::waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0)
            return info.si_pid == pid ? Child::Ended : Child::Running;
        // ECHILD: reaped behind our back (SIGCHLD ignored); nothing to signal.
        if (errno != EINTR) return Child::Gone;
    }
}

// Starts the tool in its own process group so that it and everything it starts
// can be stopped together. Its input is /dev/null: in a background group a
// read from the terminal would stop it instead of failing. Returns errno.
int SpawnTool(const std::string& toolPath, const std::string& dir, pid_t& pid) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attr);
    ::posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // The tool's chatter goes to our stderr so that our stdout stays our own.
    if (::fcntl(STDERR_FILENO, F_GETFD) != -1)
        ::posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
    else
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    ::posix_spawnattr_setsigmask(&attr, &none);
    ::posix_spawnattr_setsigdefault(&attr, &all);
    ::posix_spawnattr_setpgroup(&attr, 0);
    ::posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    char arg0[] = "cmd5016";
    char arg1[] = "workcmd";
    char* argv[] = {arg0, arg1, nullptr};
    // The group exists before the tool's first instruction: posix_spawn returns
    // after the exec, so no signal to the group can miss it.
    const int rc = ::posix_spawn(&pid, toolPath.c_str(), &actions, &attr, argv, environ);
    ::posix_spawnattr_destroy(&attr);
    ::posix_spawn_file_actions_destroy(&actions);
    return rc;
}

#endif

std::string DurationText(std::chrono::milliseconds t) {
    if (t.count() % 1000 == 0) return std::to_string(t.count() / 1000) + " s";
    return std::to_string(t.count()) + " ms";
}

}  // namespace

ChipToolOutcome RunChipTool(const std::filesystem::path& folder, const std::filesystem::path& programDir,
                            const ChipToolRunOptions& options) {
    ChipToolOutcome o;
    o.folder = folder;
    std::optional<std::filesystem::path> tool = FindChipTool(programDir);
    if (!tool) return o;
    o.tool = *tool;
    if (Requested(options.cancel)) {
        o.run = ToolRun::Cancelled;
        return o;
    }
#ifdef _WIN32
    // No time limit here: the Windows build only keeps the tool usable.
    std::error_code ec;
    const std::filesystem::path saved = std::filesystem::current_path(ec);
    std::filesystem::current_path(folder, ec);
    if (ec) {
        o.run = ToolRun::StartFailed;
        o.error = ec.value();
        return o;
    }
    const std::string command = "\"" + tool->string() + "\" workcmd";
    o.exitStatus = std::system(command.c_str());
    o.run = ToolRun::Ran;
    std::filesystem::current_path(saved, ec);
    return o;
#else
    // The tool gets the folder as its own working folder; ours never changes,
    // so nothing has to be restored afterwards even if the tool misbehaves.
    pid_t pid = -1;
    if (const int rc = SpawnTool(tool->string(), folder.string(), pid); rc != 0) {
        o.run = ToolRun::StartFailed;
        o.error = rc;
        return o;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = Clock::now();
    ToolRun stop = ToolRun::Ran;
    Child state;
    while ((state = PollChild(pid)) == Child::Running) {
        if (Requested(options.cancel)) {
            stop = ToolRun::Cancelled;
            break;
        }
        if (options.timeout.count() > 0 && Clock::now() - started >= options.timeout) {
            stop = ToolRun::TimedOut;
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    if (stop != ToolRun::Ran) {
        ::kill(-pid, SIGTERM);
        const Clock::time_point termed = Clock::now();
        while ((state = PollChild(pid)) == Child::Running && Clock::now() - termed < kGrace)
            std::this_thread::sleep_for(kPollInterval);
    }
    // What is left of the group goes now: a tool that ignored SIGTERM, or
    // children an ended tool left behind, which could still write into the
    // folder we are about to read.
    if (state != Child::Gone) ::kill(-pid, SIGKILL);
    int status = 0;
    pid_t reaped;
    while ((reaped = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    o.run = stop;
    if (stop == ToolRun::Ran && reaped == pid) {
        if (WIFEXITED(status))
            o.exitStatus = WEXITSTATUS(status);
        else if (WIFSIGNALED(status))
            o.exitStatus = 128 + WTERMSIG(status);
    }
    return o;
#endif
}

std::string ChipToolRunText(const ChipToolOutcome& o, std::chrono::milliseconds timeout) {
    switch (o.run) {
        case ToolRun::Ran:
            if (o.exitStatus == 0) return "the chip tool finished";
            return "the chip tool ended with exit status " + std::to_string(o.exitStatus);
        case ToolRun::NotFound:
            return "no chip tool found";
        case ToolRun::StartFailed:
            return "cannot start the chip tool " + o.tool.string() + " in " + o.folder.string() + ": " +
                   std::generic_category().message(o.error);
        case ToolRun::TimedOut:
            return "the chip tool was stopped after " + DurationText(timeout);
        case ToolRun::Cancelled:
            return "the chip tool was cancelled";
    }
    return {};
}

}  // namespace gc
