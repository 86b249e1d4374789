#include "chip/chip_tool.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
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

// Where the tool's output goes: a pipe of ours that we drain onto our stderr
// while it runs and stop reading when it ends or its limit passes, so that a
// process it leaves behind (one that left its group with setsid, say) cannot
// hold our own stderr, and with it whoever reads that, past the limit.
class ToolOutput {
public:
    ToolOutput() {
        if (::pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
        if (fds_[0] >= 0) ::fcntl(fds_[0], F_SETFL, O_NONBLOCK);
    }
    ~ToolOutput() {
        CloseWriteEnd();
        if (fds_[0] >= 0) ::close(fds_[0]);
    }
    ToolOutput(const ToolOutput&) = delete;
    ToolOutput& operator=(const ToolOutput&) = delete;
    int writeEnd() const { return fds_[1]; }
    void CloseWriteEnd() {
        if (fds_[1] >= 0) ::close(fds_[1]);
        fds_[1] = -1;
    }
    // Waits up to wait for output and forwards what is there.
    void Pump(std::chrono::milliseconds wait) {
        if (fds_[0] < 0) {
            std::this_thread::sleep_for(wait);
            return;
        }
        pollfd p{fds_[0], POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(wait.count())) <= 0) return;
        char buf[4096];
        // Bounded, so that a tool that floods its output still meets its limit.
        for (int reads = 0; reads < 64; ++reads) {
            const ssize_t n = ::read(fds_[0], buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                // At the end of the output poll would report at once from now on.
                if (n == 0) {
                    ::close(fds_[0]);
                    fds_[0] = -1;
                }
                return;
            }
            for (ssize_t done = 0; done < n;) {
                const ssize_t w = ::write(STDERR_FILENO, buf + done, static_cast<size_t>(n - done));
                if (w < 0 && errno == EINTR) continue;
                if (w <= 0) break;  // no stderr: the output is dropped
                done += w;
            }
        }
    }

private:
    int fds_[2] = {-1, -1};
};

// Starts the tool in its own process group so that it and everything it starts
// can be stopped together, and with a parent-death signal so that it does not
// outlive us when we are killed. Its input is /dev/null: in a background group
// a read from the terminal would stop it instead of failing. Returns errno.
// Only async-signal-safe calls between fork and exec: the window runs the tool
// from a worker thread.
int SpawnTool(const std::string& toolPath, const std::string& dir, int outputFd, pid_t& pid) {
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) return errno;
    char arg0[] = "cmd5016";
    char arg1[] = "workcmd";
    char* argv[] = {arg0, arg1, nullptr};
    const pid_t parent = ::getpid();
    pid = ::fork();
    if (pid < 0) {
        const int e = errno;
        ::close(status[0]);
        ::close(status[1]);
        return e;
    }
    if (pid == 0) {
        int e = 0;
        // The death signal goes with the thread that forked; that thread waits
        // for the tool, so it lives as long as the tool may.
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) e = errno;
        if (::getppid() != parent) ::_exit(127);  // we died before the signal was set
        ::setpgid(0, 0);
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        for (int sig = 1; sig < NSIG; ++sig) ::sigaction(sig, &dfl, nullptr);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (e == 0 && ::chdir(dir.c_str()) != 0) e = errno;
        if (e == 0) {
            const int in = ::open("/dev/null", O_RDONLY);
            if (in < 0 || ::dup2(in, STDIN_FILENO) < 0) e = errno;
        }
        // The tool's chatter goes to the output pipe, never to our stdout.
        const int out = outputFd >= 0 ? outputFd : ::open("/dev/null", O_WRONLY);
        if (e == 0 && (out < 0 || ::dup2(out, STDOUT_FILENO) < 0 || ::dup2(out, STDERR_FILENO) < 0)) e = errno;
        if (e == 0) {
            ::execve(toolPath.c_str(), argv, environ);
            e = errno;
        }
        while (::write(status[1], &e, sizeof e) < 0 && errno == EINTR) {
        }
        ::_exit(127);
    }
    ::close(status[1]);
    // Also here: a signal to the group must not miss a tool that has not yet
    // run its own setpgid.
    ::setpgid(pid, pid);
    // The status pipe closes at the exec, or brings the errno of the step that failed.
    int e = 0;
    ssize_t n;
    while ((n = ::read(status[0], &e, sizeof e)) < 0 && errno == EINTR) {
    }
    ::close(status[0]);
    if (n == static_cast<ssize_t>(sizeof e) && e != 0) {
        int ignored;
        while (::waitpid(pid, &ignored, 0) < 0 && errno == EINTR) {
        }
        return e;
    }
    return 0;
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
    ToolOutput output;
    if (const int rc = SpawnTool(tool->string(), folder.string(), output.writeEnd(), pid); rc != 0) {
        o.run = ToolRun::StartFailed;
        o.error = rc;
        return o;
    }
    output.CloseWriteEnd();
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
        output.Pump(kPollInterval);
    }
    if (stop != ToolRun::Ran) {
        ::kill(-pid, SIGTERM);
        const Clock::time_point termed = Clock::now();
        while ((state = PollChild(pid)) == Child::Running && Clock::now() - termed < kGrace) output.Pump(kPollInterval);
    }
    // What is left of the group goes now: a tool that ignored SIGTERM, or
    // children an ended tool left behind, which could still write into the
    // folder we are about to read.
    if (state != Child::Gone) ::kill(-pid, SIGKILL);
    // What the tool wrote last; whatever still holds the pipe is not waited for.
    output.Pump(std::chrono::milliseconds(0));
    int status = 0;
    pid_t reaped;
    while ((reaped = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    o.run = stop;
    if (stop == ToolRun::Ran && reaped == pid) {
        if (WIFEXITED(status))
            o.exitStatus = WEXITSTATUS(status);
        else if (WIFSIGNALED(status)) {
            o.signal = WTERMSIG(status);
            o.exitStatus = 128 + o.signal;
        }
    }
    return o;
#endif
}

bool ChipToolSucceeded(const ChipToolOutcome& o) { return o.run == ToolRun::Ran && o.exitStatus == 0; }

std::string ChipToolRunText(const ChipToolOutcome& o, std::chrono::milliseconds timeout) {
    switch (o.run) {
        case ToolRun::Ran:
            if (o.exitStatus == 0) return "the chip tool finished";
            if (o.signal != 0) return "the chip tool was killed by signal " + std::to_string(o.signal);
            if (o.exitStatus < 0) return "the chip tool ended, with no exit status to tell how";
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
