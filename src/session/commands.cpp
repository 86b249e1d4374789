#include "session/commands.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>

#include "chip/command_script.h"
#include "chip/compare_report.h"
#include "chip/derivation.h"
#include "chip/page_map.h"
#include "chip/table_file.h"
#include "core/channel_rules.h"
#include "core/lab_file.h"
#include "core/text_io.h"
#include "session/command_result.h"
#include "session/command_status.h"

namespace gc {

namespace fs = std::filesystem;

using command_result::Failed;
using command_result::Refused;
using command_result::WriteInto;

namespace {

constexpr const char* kStdProgram = "std.prg";
constexpr const char* kExperTable = "exper.tbl";
constexpr const char* kToolScript = "workcmd";
constexpr const char* kCompareReport = "ErrTbl";

// What the tool leaves for us: an older copy is moved aside before it starts.
fs::path AsidePath(const fs::path& p) { return fs::path(p) += ".old"; }

// Runs the tool with its earlier outputs moved aside and checks that it ended
// well and left both. False, with r saying why, when nothing may be read: a
// stopped tool may have written half its answer, and a failed one may have
// left nothing but what was there before.
template <typename R>
bool RunToolChecked(R& r, const Workspace& ws, const ChipToolRunner& runner) {
    r.toolUsed = true;
    const fs::path outputs[] = {ToolGc101Path(ws), ToolTablePath(ws)};
    for (const fs::path& out : outputs) {
        std::error_code ec;
        fs::rename(out, AsidePath(out), ec);
        if (ec && ec != std::errc::no_such_file_or_directory) {
            r.status = CommandStatus::WriteFailed;
            r.failure = {ec.value(), out};
            r.reason = "cannot move the chip tool's earlier " + ShownPath(out, ws) + " aside: " + ErrnoText(ec.value());
            return false;
        }
    }
    r.tool = runner(ws.Filters());
    const ChipToolOutcome& o = r.tool;
    if (o.run == ToolRun::TimedOut || o.run == ToolRun::Cancelled) {
        r.status = CommandStatus::ToolStopped;
        r.toolFault = ToolFault::Stopped;
        r.reason = o.run == ToolRun::TimedOut ? "the chip tool did not end within its time limit and was stopped"
                                              : "the chip tool was cancelled";
        return false;
    }
    r.status = CommandStatus::ToolFailed;
    const std::string nothing = ", nothing of its output was read";
    if (!ChipToolSucceeded(o)) {
        r.toolFault = o.run == ToolRun::NotFound      ? ToolFault::NotFound
                      : o.run == ToolRun::StartFailed ? ToolFault::StartFailed
                                                      : ToolFault::Failed;
        r.reason = ChipToolRunText(o, {}) + nothing;
        return false;
    }
    for (const fs::path& out : outputs) {
        std::error_code ec;
        if (!fs::is_regular_file(out, ec)) {
            r.toolFault = ToolFault::NoOutput;
            r.toolFile = out;
            r.reason = "the chip tool finished but left no " + ShownPath(out, ws) + nothing;
            return false;
        }
    }
    r.status = CommandStatus::Done;
    return true;
}

// What a reader found wrong with a file that it could not use, for a refusal.
std::string UnreadableText(const fs::path& path, const Workspace& ws) {
    const TextInspection t = InspectTextFile(path);
    std::string why = t.problem == TextProblem::None ? std::string("not a readable text file") : TextProblemText(t);
    return "cannot read " + ShownPath(path, ws) + ": " + why;
}

}  // namespace

std::string ProgramText(Session& m) {
    m.AdcMask = ComputeAdcMask(m.settings, m);
    return FormatProgramFile(m.settings, m, m);
}

fs::path DefaultProgramPath(const Workspace& ws) { return ws.Configs() / kStdProgram; }
fs::path DefaultTablePath(const Workspace& ws) { return ws.root / kExperTable; }
fs::path ToolScriptPath(const Workspace& ws) { return ws.Filters() / kToolScript; }
fs::path ToolGc101Path(const Workspace& ws) { return ws.Filters() / (std::string(kToolScript) + ".gc101"); }
fs::path ToolTablePath(const Workspace& ws) { return ws.Filters() / (std::string(kToolScript) + ".tbl"); }
fs::path CompareReportPath(const Workspace& ws) { return ws.root / kCompareReport; }
fs::path BeRamPath(const Workspace& ws) { return ws.Appl() / (std::string(kToolScript) + ".gc101"); }
fs::path Gc101ProgramPath(const Workspace& ws, const fs::path& chosen) {
    return ws.Configs() / (Gc101ProgramName(chosen.string()) + ".prg");
}

std::string WriteFailureText(const WriteOutcome& o, const Workspace& ws, const fs::path& target) {
    const fs::path& file = target.empty() ? o.path : target;
    std::error_code ec;
    if (target.empty() && fs::is_directory(file, ec) && !fs::is_symlink(file, ec))
        return "cannot write in " + fs::absolute(file, ec).lexically_normal().generic_string() + ": " +
               ErrnoText(o.code) + ", nothing was replaced";
    std::string text = "cannot write " + ShownPath(file, ws);
    // A path below the working folder is shown short; say which folder that is.
    const fs::path root = fs::absolute(ws.root, ec).lexically_normal();
    if (!ws.root.empty() && ShownPath(file, ws) != file.generic_string()) text += " in " + root.generic_string();
    // Only regular files are replaced: a device or a pipe, or a link to one, is named as what it is.
    const bool special = fs::exists(file, ec) && !fs::is_regular_file(file, ec) && !fs::is_directory(file, ec);
    if (special && fs::is_symlink(file, ec))
        text += ": it is a link to " + fs::read_symlink(file, ec).generic_string() + ", which is not a regular file";
    else if (special)
        text += ": it is not a regular file (a device, a pipe or a socket)";
    else
        text += ": " + ErrnoText(o.code);
    // The cause may lie with the folder rather than the file.
    if (!o.path.empty() && o.path != file) text += " (" + ShownPath(o.path, ws) + ")";
    return text;
}

// ---- "Записать" ----

fs::path ProgramPathOf(const fs::path& labPath) {
    return labPath.parent_path() / (fs::path(BareFileName(labPath.string())).stem().string() + ".prg");
}

SaveCheck CheckBeforeSave(Session& m) {
    SaveModeCicDec(m.settings, m, m.settings.ModeOfInput, m.settings.ModeOfInput);
    return CheckSaveDecimations(m.settings, m);
}

bool SaveTargets::AnyExists() const {
    return labCheck.state != TargetState::Missing || programCheck.state != TargetState::Missing;
}
bool SaveTargets::AnyReadOnly() const {
    return labCheck.state == TargetState::ReadOnly || programCheck.state == TargetState::ReadOnly;
}

namespace {
bool ExistsUnreadable(const TextInspection& t) {
    return t.problem != TextProblem::None && t.problem != TextProblem::Missing && t.problem != TextProblem::NotAFile;
}
}  // namespace

fs::path SaveTargets::Unreadable() const {
    if (ExistsUnreadable(labText)) return lab;
    if (ExistsUnreadable(programText)) return program;
    return {};
}

std::string SaveRefusalText(const Session& m, const SaveCheck& check) {
    const Settings& s = m.settings;
    const int mode = EffectiveInputMode(s);
    static const char* const kModeNames[3] = {"Full rate", "SplitIQ", "Double rate"};
    // The stored decimations of the mode are in CicDec once the check has run.
    auto total = [&](int c) { return static_cast<long long>(s.CicDec[c]) * s.FirDec[c]; };
    if (check.notice == SaveNotice::MinDecim)
        return StrPrintf("not saved: channel A's total decimation %lld is below the minimum %d of %s", total(0),
                         m.MinTotalDec[mode], kModeNames[mode]);
    std::string totals;
    const bool paired = mode == 1 || mode == 2;
    for (int c = 0; c < kChannels; c += paired ? 2 : 1)
        totals += StrPrintf("%s%c %lld", totals.empty() ? "" : ", ", static_cast<char>('A' + c), total(c));
    return "not saved: the channels' total decimations differ (" + totals + ")";
}

SaveTargets InspectSaveTargets(const fs::path& labPath) {
    SaveTargets t;
    t.lab = labPath;
    t.program = ProgramPathOf(labPath);
    t.labCheck = CheckWriteTarget(t.lab);
    t.programCheck = CheckWriteTarget(t.program);
    if (t.labCheck.state != TargetState::Missing) t.labText = InspectTextFile(t.lab);
    if (t.programCheck.state != TargetState::Missing) t.programText = InspectTextFile(t.program);
    return t;
}

SaveCommandResult SaveConfiguration(Session& m, const Workspace& ws, const fs::path& labPath, WritePolicy policy,
                                    bool replaceUnreadable) {
    SaveCommandResult r;
    r.labPath = labPath;
    r.check = CheckBeforeSave(m);
    if (r.check.notice != SaveNotice::None) {
        r.status = CommandStatus::Refused;
        r.reason = SaveRefusalText(m, r.check);
        return r;
    }
    // A name without a file part would write ".prg" beside nothing.
    const std::string bare = BareFileName(labPath.string());
    if (bare.empty() || bare == "." || bare == "..")
        return Refused(r, "cannot save '" + labPath.string() + "': no file name");
    r.programPath = ProgramPathOf(labPath);
    // "x.prg" as the lab name would make both files one.
    if (r.programPath.lexically_normal() == labPath.lexically_normal())
        return Refused(r, "cannot save " + ShownPath(labPath, ws) +
                              ": the lab file and its program file would be the same file; name the lab file "
                              "with another ending, such as .lab");
    if (!replaceUnreadable) {
        const SaveTargets targets = InspectSaveTargets(labPath);
        if (const fs::path bad = targets.Unreadable(); !bad.empty()) {
            r.status = CommandStatus::WriteFailed;
            r.failure.path = bad;
            r.reason = "not replacing " + ShownPath(bad, ws) + ": it cannot be read (" +
                       TextProblemText(bad == labPath ? targets.labText : targets.programText) +
                       ") and may hold what no save wrote; nothing was written";
            return r;
        }
    }
    PrepareProgram(m.settings, m);
    const WriteOutcome o =
        WriteFilesTogether({{labPath, FormatLab(m.settings)}, {r.programPath, ProgramText(m)}}, policy);
    // A cause in the folder (the journal on a full disk, say) is told as the folder's.
    if (!o.ok()) return Failed(r, o, ws, o.path == r.programPath || o.path == labPath ? o.path : fs::path());
    r.written = {labPath, r.programPath};
    m.currentLabName = bare;
    // The name shown, and the image the page map prepared, follow; the
    // history takes the name.
    UpdateDerived(m);
    r.effects.view = r.effects.editors = r.effects.record = true;
    return r;
}

// ---- start and close ----

CommandResult CloseConfiguration(Session& m, const Workspace& ws, const CloseRequest& request) {
    CommandResult r;
    SaveModeCicDec(m.settings, m, m.settings.ModeOfInput, m.settings.ModeOfInput);
    m.settings.FullDebug = m.FullDebugSaved;
    std::error_code ec;
    const bool sameFile =
        fs::weakly_canonical(request.labPath, ec) == fs::weakly_canonical(m.startupLabPath, ec) && !ec;
    if (m.startupLabUnreadable && !request.overwriteUnreadable && sameFile)
        return Refused(r, "not replacing " + ShownPath(request.labPath, ws) + ": it could not be read at start (" +
                              m.startupLabProblem + ")");
    WriteInto(r, ws, request.labPath, FormatLab(m.settings), request.policy);
    return r;
}

// ---- "Считать" ----

ReadLabResult ReadConfiguration(Session& m, const Workspace& ws, const fs::path& labPath, CoefFileErrorSink* errors) {
    ReadLabResult r;
    std::vector<LabValueNote> notes;
    r.read = ReadLab(m.settings, m, labPath, &notes);
    for (const LabValueNote& n : notes) r.warnings.push_back(ShownPath(labPath, ws) + ": " + LabValueNoteText(n));
    r.labNotes = std::move(notes);
    if (!r.read) {
        r.warnings.clear();
        Refused(r, UnreadableText(labPath, ws));
        return r;
    }
    m.settings.TypeOfModule = kBoardModel;
    // The expert mode is decided once, at start: a lab file read later must not
    // carry its code into the next "Записать" (saved files hold FullDebug 0).
    m.settings.FullDebug = 0;
    m.currentLabName = BareFileName(labPath.string());
    r.effects = LoadSessionFilters(m, ws, errors);
    return r;
}

// ---- "Write *.prg" ----

ProgramCommandResult WriteProgramCommand(Session& m, const Workspace& ws, const ProgramRequest& request) {
    ProgramCommandResult r;
    r.path = request.out.empty() ? DefaultProgramPath(ws) : request.out;
    if (request.tool) {
        r.toolUsed = true;
        // A script that cannot be written still lets the tool run on an older one.
        WriteCommandScript(m.settings, m.workImage, ToolScriptPath(ws));
        if (!RunToolChecked(r, ws, *request.tool)) return r;
        auto list = std::make_unique<Gc101List>();
        r.toolPairs = ReadGc101File(ToolGc101Path(ws), *list);
        if (r.toolPairs < 0) return Refused(r, UnreadableText(ToolGc101Path(ws), ws));
        // Half an answer would count the missing words as mismatches.
        if (const int page = MissingToolPage(*list, r.toolPairs); page >= 0) {
            r.status = CommandStatus::ToolFailed;
            r.toolFault = ToolFault::Incomplete;
            r.toolFile = ToolGc101Path(ws);
            r.reason = StrPrintf("the chip tool's %s lacks the 16 writes of page 0x%x, nothing of it was read",
                                 ShownPath(r.toolFile, ws).c_str(), page);
            return r;
        }
        TakeToolTables(m, *list, r.toolPairs);
    }
    FillPage16Tables(m.settings, m);
    FillPage17Tables(m.settings, m);
    r.page16 = CountPage16Mismatches(m.settings, m);
    r.page17 = CountPage17Mismatches(m.settings, m);
    BuildRegisterWriteList(m.settings, m);
    r.writes = m.registerWriteList.count;
    WriteInto(r, ws, r.path, ProgramText(m));
    r.effects.editors = true;  // the write list clears sumin_clr: open editors show it
    return r;
}

// ---- "Write *.tbl" ----

TableCommandResult WriteTableCommand(Session& m, const Workspace& ws, const fs::path& out) {
    TableCommandResult r;
    r.path = out.empty() ? DefaultTablePath(ws) : out;
    UpdateDerived(m);
    WriteInto(r, ws, r.path, FormatTableFile(m.workImage));
    // The derivation may have replaced what an open register editor shows.
    r.effects.view = r.effects.editors = true;
    return r;
}

// ---- "WriteCmdFile" ----

ScriptCommandResult WriteScriptCommand(Session& m, const Workspace& ws, const ChipToolRunner* tool) {
    ScriptCommandResult r;
    r.script = ToolScriptPath(ws);
    r.scriptWritten = WriteInto(r, ws, r.script, FormatCommandScript(m.settings, m.workImage));
    // The tool still runs on an older script when this one could not be
    // written; the command has failed all the same.
    if (tool) {
        const CommandResult written = r;
        if (RunToolChecked(r, ws, *tool) && !written.done()) static_cast<CommandResult&>(r) = written;
    }
    return r;
}

// ---- "Comp" ----

CompareCommandResult CompareCommand(Session& m, const Workspace& ws, const fs::path& report) {
    CompareCommandResult r;
    r.table = ToolTablePath(ws);
    r.report = report.empty() ? CompareReportPath(ws) : report;
    // A table that is there but empty or not text would count every field as
    // a difference: refused, as nothing in it can be compared.
    if (const TextInspection t = InspectTextFile(r.table); t.problem != TextProblem::Missing) {
        const std::optional<std::vector<std::string>> lines = ReadLines(r.table);
        const bool empty = lines && std::all_of(lines->begin(), lines->end(), [](const std::string& l) {
                               return l.find_first_not_of(" \t\r") == std::string::npos;
                           });
        if (t.problem != TextProblem::None || !lines)
            return Refused(r, UnreadableText(r.table, ws) + ", nothing compared");
        if (empty) return Refused(r, ShownPath(r.table, ws) + " holds no register line, nothing compared");
    }
    r.tableRead = ReadToolTableFile(m.toolImage, r.table);
    if (!r.tableRead)
        r.warnings.push_back(UnreadableText(r.table, ws) + ", comparing against the tool image's start values");
    const std::string text = FormatCompareReport(m.workImage, m.toolImage, r.differences);
    WriteInto(r, ws, r.report, text);
    return r;
}

// ---- "gc101->prg" ----

Gc101CommandResult ImportGc101Command(Session& m, const Workspace& ws, const fs::path& chosen) {
    Gc101CommandResult r;
    r.in = chosen;
    r.out = Gc101ProgramPath(ws, chosen);
    auto list = std::make_unique<Gc101List>();
    r.pairs = ReadGc101File(chosen, *list);
    if (r.pairs < 0) return Refused(r, UnreadableText(chosen, ws));
    r.skipped = list->skipped;
    const std::string skipped = std::to_string(r.skipped) + (r.skipped == 1 ? " line" : " lines");
    Gc101ToRegisterWrites(m, *list, r.pairs);
    r.writes = m.registerWriteList.count;
    // A program file without register writes would replace a good one and
    // break its pair with the lab file.
    if (r.writes == 0)
        return Refused(r, "not converting " + ShownPath(chosen, ws) + ": it holds no register write (" + skipped +
                              " without an address and a value), " + ShownPath(r.out, ws) + " is unchanged");
    if (r.skipped > 0)
        r.warnings.push_back(skipped + " of " + ShownPath(chosen, ws) + " held no address and value and " +
                             (r.skipped == 1 ? "was" : "were") + " skipped");
    if (list->beyondLimit || CheckTextFile(chosen) == TextFileState::TooLong)
        r.warnings.push_back(ShownPath(chosen, ws) + " is longer than " + std::to_string(kGc101Capacity) +
                             " lines, only its start was read");
    WriteInto(r, ws, r.out, ProgramText(m));
    return r;
}

// ---- "WriteFilter" ----

fs::path TestFilterPath(const Workspace& ws, const fs::path& named) {
    if (named.is_absolute() || named.has_parent_path()) return named.is_absolute() ? named : ws.root / named;
    return ws.Filters() / named;
}

TestFilterCommandResult WriteTestFilterCommand(Session& m, const Workspace& ws, int channel, const fs::path& chosen) {
    TestFilterCommandResult r;
    r.filter = WriteTestFilter(TestFilterParamsOf(m.settings, m, channel), chosen);
    r.written = r.filter.written;
    if (r.filter.ok) return r;
    if (!r.filter.failure.ok()) return Failed(r, r.filter.failure, ws, r.filter.failed);
    return Refused(r, r.filter.message);
}

// ---- "DFDP->Filter" ----

FltCommandResult ConvertFltCommand(const Workspace& ws, const fs::path& flt) {
    FltCommandResult r;
    r.conversion = ConvertFltToTaps(flt, ws);
    const FltConversion& c = r.conversion;
    switch (c.status) {
        case FltConversion::InputUnreadable:
            return Refused(r, UnreadableText(flt, ws));
        case FltConversion::BadCount:
            return Refused(r, "cannot convert " + ShownPath(flt, ws) +
                                  ": the tap count on its second line must be 1 to " + std::to_string(kMaxFltTaps) +
                                  (c.countRead ? ", not " + std::to_string(*c.countRead) : ", and there is none"));
        case FltConversion::WriteFailed:
            return Failed(r, c.failure, ws, c.output);
        case FltConversion::Done:
            break;
    }
    r.written.push_back(c.output);
    const std::string shown = ShownPath(flt, ws);
    if (c.padded > 0)
        r.warnings.push_back(shown + " names " + std::to_string(c.count) + " taps but holds " +
                             std::to_string(c.count - c.padded) + ": the last tap was repeated");
    if (!c.countNotWhole.empty())
        r.warnings.push_back(shown + ": the tap count line reads '" + c.countNotWhole + "', taken as " +
                             std::to_string(c.count));
    if (c.saturated > 0)
        r.warnings.push_back(shown + ": " + std::to_string(c.saturated) +
                             (c.saturated == 1 ? " tap lies" : " taps lie") +
                             " outside the 32-bit range and was written as its nearest end");
    if (c.notWhole > 0)
        r.warnings.push_back(shown + ": " + std::to_string(c.notWhole) +
                             (c.notWhole == 1 ? " tap line holds" : " tap lines hold") +
                             " more than an integer, only the integer was taken");
    return r;
}

// ---- the designer's "Сохранить" ----

fs::path DesignTapsPath(fs::path chosen) {
    std::string name = chosen.filename().string();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (!name.ends_with(".taps")) chosen += ".taps";
    return chosen;
}

std::optional<TapsNameRefusal> CheckDesignTapsName(const fs::path& path) {
    const std::string name = path.filename().string();
    if (name.size() <= std::string_view(".taps").size()) return TapsNameRefusal{TapsNameRefusal::Cause::Empty};
    if (name.size() > kMaxTapsNameBytes) return TapsNameRefusal{TapsNameRefusal::Cause::TooLong, name.size()};
    return std::nullopt;
}

DesignSaveResult SaveDesignedTaps(const Workspace& ws, const fs::path& chosen, const std::vector<int32_t>& taps) {
    DesignSaveResult r;
    r.path = DesignTapsPath(chosen);
    r.nameRefusal = CheckDesignTapsName(r.path);
    if (r.nameRefusal) {
        r.status = CommandStatus::InputRefused;
        return r;
    }
    WriteInto(r, ws, r.path, PfirTapsText(taps));
    return r;
}

}  // namespace gc
