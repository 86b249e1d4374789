#include "batch/batch.h"

#include <atomic>
#include <csignal>
#include <iostream>
#include <memory>
#include <system_error>

#include "batch/help.h"
#include "chip/derivation.h"
#include "core/lab_file.h"
#include "core/text_io.h"
#include "session/command_status.h"
#include "session/edit_rules.h"
#include "session/session.h"

namespace gc::batch {

namespace {

std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}

void PrintUsage(std::ostream& err) { WriteUsage(err); }

}  // namespace

bool RegisterCommand(const Command& cmd) {
    Registry().push_back(cmd);
    return true;
}

const std::vector<Command>& Commands() { return Registry(); }

bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != name) continue;
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return false;
        }
        value = args[i + 1];
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        return true;
    }
    return false;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

int ParseChannel(const std::string& text) {
    if (text.size() != 1) return -1;
    char c = text[0];
    if (c >= 'A' && c <= 'D') return c - 'A';
    if (c >= 'a' && c <= 'd') return c - 'a';
    if (c >= '0' && c <= '3') return c - '0';
    return -1;
}

int UsageError(Context& ctx, const std::string& message) {
    ctx.err << "gc5016-batch: " << message << "\n";
    PrintUsage(ctx.err);
    return kExitUsage;
}

int UnexpectedArgument(Context& ctx, const std::string& arg) {
    return UsageError(ctx, "unexpected argument '" + arg + "'");
}

bool IsBareName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

std::string NameRefusalText(const TapsNameRefusal& r) {
    if (r.cause == TapsNameRefusal::Cause::Empty) return "the file name is empty before '.taps'";
    return "the file name is longer than " + std::to_string(kMaxTapsNameBytes) + " bytes (" + std::to_string(r.bytes) +
           ")";
}

int Report(Context& ctx, const CommandResult& r) {
    for (const std::string& w : r.warnings) ctx.err << "gc5016-batch: warning: " << w << "\n";
    if (!r.reason.empty()) ctx.err << "gc5016-batch: " << r.reason << "\n";
    switch (r.status) {
        case CommandStatus::Done:
            return kExitOk;
        case CommandStatus::WriteFailed:
            return kExitWriteFailed;
        case CommandStatus::Refused:
            return kExitRefused;
        case CommandStatus::InputRefused:
        case CommandStatus::ToolStopped:
        case CommandStatus::ToolFailed:
            break;
    }
    return kExitInputRefused;
}

namespace {

// Set by a signal while the chip tool runs: the tool has its own process group
// and does not see the terminal's Ctrl+C, so we stop it and then end as asked.
std::atomic<bool> toolInterrupted{false};
volatile std::sig_atomic_t interruptSignal = 0;

extern "C" void OnInterrupt(int sig) {
    interruptSignal = sig;
    toolInterrupted.store(true);
}

}  // namespace

ChipToolRunner BlockingToolRunner(const Context& ctx) {
    const std::chrono::milliseconds timeout = ctx.toolTimeout;
    return [timeout](const std::filesystem::path& folder) {
        constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
        struct sigaction on {
        }, old[3]{};
        on.sa_handler = OnInterrupt;
        sigemptyset(&on.sa_mask);
        toolInterrupted.store(false);
        interruptSignal = 0;
        for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &on, &old[i]);
        const ChipToolOutcome o =
            RunChipTool(folder, RunningProgramDir(), ChipToolRunOptions{timeout, &toolInterrupted});
        for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &old[i], nullptr);
        if (interruptSignal != 0) std::raise(interruptSignal);
        return o;
    };
}

std::string Context::Shown(const std::filesystem::path& p) const {
    if (workspace.root.empty()) return p.string();
    const std::filesystem::path rel = p.lexically_relative(workspace.root);
    return rel.empty() || *rel.begin() == ".." ? p.string() : rel.string();
}

void WarnIfCut(Context& ctx, const std::filesystem::path& path) {
    if (CheckTextFile(path) == TextFileState::TooLong)
        ctx.err << "gc5016-batch: warning: " << ctx.Shown(path) << " is longer than "
                << (TextLimits{}.maxTotalBytes >> 20) << " MiB, only its start was read\n";
}

int RunBatch(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    if (int status = 0; HandleInfoRequest(argv, out, err, status)) return status;
    std::string dir;
    std::string lab;  // empty: the working folder's start-up lab file
    bool labGiven = false;
    bool lchm = false;
    std::chrono::milliseconds toolTimeout = kDefaultChipToolTimeout;
    size_t i = 0;
    for (; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if ((a == "-C" || a == "--lab" || a == "--tool-timeout") && i + 1 >= argv.size()) {
            err << "gc5016-batch: " << a << " needs a value\n";
            PrintUsage(err);
            return kExitUsage;
        }
        if (a == "-C") {
            dir = argv[++i];
        } else if (a == "--lab") {
            lab = argv[++i];
            labGiven = true;
        } else if (a == "--tool-timeout") {
            const std::string& text = argv[++i];
            const char* end = nullptr;
            const double seconds = CToDouble(text.c_str(), &end);
            // 0 lifts the limit; a day is more than any real run needs, and
            // below the minimum even a working tool would be stopped (and a
            // value that rounds to 0 would lift the limit instead).
            const double minimum = kMinChipToolTimeout.count() / 1000.0;
            if (end == text.c_str() || *end != '\0' || !(seconds == 0 || (seconds >= minimum && seconds <= 86400))) {
                err << "gc5016-batch: --tool-timeout needs 0 (no limit) or seconds from " << minimum
                    << " to 86400, not '" << text << "'\n";
                PrintUsage(err);
                return kExitUsage;
            }
            toolTimeout = std::chrono::milliseconds(static_cast<long long>(seconds * 1000.0 + 0.5));
        } else if (a == "--lchm") {
            lchm = true;
        } else {
            break;
        }
    }
    if (i >= argv.size()) {
        err << "gc5016-batch: no command given\n";
        PrintUsage(err);
        return kExitUsage;
    }
    const Command* cmd = nullptr;
    for (const Command& c : Commands())
        if (argv[i] == c.name) cmd = &c;
    if (!cmd) {
        err << "gc5016-batch: unknown command '" << argv[i] << "'\n";
        PrintUsage(err);
        return kExitUsage;
    }
    if (!dir.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(dir, ec)) {
            err << "gc5016-batch: cannot use folder " << dir << ": "
                << (ec ? ec.message() : std::string("not a folder")) << "\n";
            return kExitUsage;
        }
    }

    // Only the default lab file may be missing (the defaults stand in); one
    // named on purpose must be there.
    if (labGiven) {
        if (const TextInspection t = InspectTextFile(Workspace{dir}.root / lab); t.problem != TextProblem::None) {
            err << "gc5016-batch: cannot read " << lab << ": " << TextProblemText(t) << "\n";
            return kExitInputRefused;
        }
    }

    // The session is large (two register images and the fits): keep it off the stack.
    std::unique_ptr<Context> ctx(new Context{
        {}, Workspace{dir}, std::vector<std::string>(argv.begin() + static_cast<long>(i) + 1, argv.end()), out, err});
    ctx->toolTimeout = toolTimeout;
    Session& m = ctx->session;
    StreamCoefFileErrors sink(err, "gc5016-batch: warning: ", ctx->workspace.root);
    const std::filesystem::path labPath = labGiven ? ctx->Path(lab) : ctx->workspace.StartupLab();
    if (!labGiven) lab = ctx->Shown(labPath);
    const bool read = StartSession(m, ctx->workspace, labPath, &sink);
    if (m.startupLabUnreadable)
        err << "gc5016-batch: warning: cannot read " << lab << " (" << m.startupLabProblem
            << "), using the defaults; it will not be replaced\n";
    else if (!read)
        err << "gc5016-batch: warning: cannot read " << lab << " (no such file), using the defaults\n";
    else
        WarnIfCut(*ctx, labPath);
    for (const LabValueNote& n : m.startupLabNotes)
        err << "gc5016-batch: warning: " << lab << ": " << LabValueNoteText(n) << "\n";
    for (const std::string& w : CoefFileWarnings(m.settings, ctx->workspace))
        err << "gc5016-batch: warning: " << w << "\n";
    if (const std::string outside = OutsideChipWarning(m.settings); !outside.empty())
        err << "gc5016-batch: warning: " << outside << "\n";
    if (lchm) {
        // As checking the box does: the derivation takes the manual shift; the fits stay.
        m.ManualFirShift = m.settings.shiftFir;
        DeriveRegisters(m.settings, m);
    }
    return cmd->run(*ctx);
}

}  // namespace gc::batch
