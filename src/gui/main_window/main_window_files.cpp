// The main window's file commands. Files are opened by their full paths in the
// working folder; the work itself is done by the core's readers and writers.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <algorithm>
#include <memory>

#include "chip/chip_tool.h"
#include "chip/command_script.h"
#include "chip/compare_report.h"
#include "chip/derivation.h"
#include "chip/page_map.h"
#include "chip/program_file.h"
#include "chip/table_file.h"
#include "core/lab_file.h"
#include "core/text_io.h"
#include "filters/coef_files.h"
#include "filters/test_filter.h"
#include "gui/app/busy_run.h"
#include "gui/app/gc_application.h"
#include "gui/main_window/expert_panel.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/response_plot.h"
#include "session/command_status.h"
#include "session/commands.h"
#include "session/main_view.h"
#include "session/session.h"

namespace gc {

namespace {

namespace fs = std::filesystem;

fs::path ToPath(const QString& s) { return fs::path(s.toStdString()); }

FileDialogRequest Request(bool save, const char* filter, const char* suffix, const fs::path& folder) {
    return {save, QString::fromUtf8(filter), QString::fromUtf8(suffix), QString::fromStdString(folder.string())};
}

}  // namespace

// The handlers of the file commands, with the window's access; each runs
// inside the window's guard.
class FileCommandHandlers {
public:
    explicit FileCommandHandlers(MainWindow& window) : w(window) {}
    void Run(FileCommand command);
    void OnReadLab();
    void OnSaveLab();
    void OnWriteTbl();
    void OnReadTbl();
    void OnWritePrg();
    void OnGc101ToPrg();
    void OnReadBeRam();
    void OnWriteCmdFile();
    void OnCompare();
    void OnChooseCoefFile();
    void OnApplyToAll();
    void OnFltToTaps();
    void OnWriteFilter();
    std::optional<QString> AskFile(const FileDialogRequest& request);
    bool AskYesNo(const QString& title, const QString& question);
    ChipToolRunner ToolRunner();
    fs::path ChipToolDir() const;

private:
    MainWindow& w;
};

void MainWindow::RunCommand(FileCommand command) {
    Guarded([&] { FileCommandHandlers(*this).Run(command); });
}

void FileCommandHandlers::Run(FileCommand command) {
    switch (command) {
        case FileCommand::ReadLab:
            return OnReadLab();
        case FileCommand::SaveLab:
            return OnSaveLab();
        case FileCommand::WriteTbl:
            return OnWriteTbl();
        case FileCommand::ReadTbl:
            return OnReadTbl();
        case FileCommand::WritePrg:
            return OnWritePrg();
        case FileCommand::Gc101ToPrg:
            return OnGc101ToPrg();
        case FileCommand::ReadBeRam:
            return OnReadBeRam();
        case FileCommand::WriteCmdFile:
            return OnWriteCmdFile();
        case FileCommand::Compare:
            return OnCompare();
        case FileCommand::FltToTaps:
            return OnFltToTaps();
        case FileCommand::ApplyToAll:
            return OnApplyToAll();
        case FileCommand::ChooseCoefFile:
            return OnChooseCoefFile();
        case FileCommand::WriteFilter:
            return OnWriteFilter();
        case FileCommand::Info:
            if (w.hooks_.dialogs.showInfo) w.hooks_.dialogs.showInfo();
            return;
    }
}

std::optional<QString> FileCommandHandlers::AskFile(const FileDialogRequest& request) {
    FileDialogRequest s = request;
    s.initialDir = QString::fromStdString(fs::absolute(ToPath(request.initialDir)).string());
    return (w.hooks_.chooser ? w.hooks_.chooser : &w.dialogChooser_)->Choose(&w, s);
}

fs::path FileCommandHandlers::ChipToolDir() const {
    return w.hooks_.chipToolDir.empty() ? ToPath(QCoreApplication::applicationDirPath()) : w.hooks_.chipToolDir;
}

// ---- lab files ----

bool FileCommandHandlers::AskYesNo(const QString& title, const QString& question) {
    if (w.hooks_.askReplace) return w.hooks_.askReplace(question);
    return QMessageBox::question(&w, title, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void FileCommandHandlers::OnReadLab() {
    const auto chosen = AskFile(Request(false, "GC5016Labl(*.lab)", "lab", w.workspace_.Configs()));
    if (!chosen) return;
    const fs::path path = ToPath(*chosen);
    const ReadLabResult r = ReadConfiguration(w.m_, w.workspace_, path, w.hooks_.coefErrors);
    const std::string shown = ShownPath(path, w.workspace_);
    if (!r.read) {
        w.ShowStatus(LabReadStatus(shown, false, w.m_.settings) + UnreadableNote(path));
        return;
    }
    // The open response windows show the configuration just read.
    w.ApplyEffects(r.effects);
    w.history_.MarkSaved(w.m_.settings);
    w.UpdateTitle();
    const std::string notes = LabNotesStatus(shown, r.labNotes);
    w.ShowStatus(notes.empty() ? LabReadStatus(shown, true, w.m_.settings) : notes);
}

void FileCommandHandlers::OnSaveLab() {
    const SaveCheck check = CheckBeforeSave(w.m_);
    if (check.notice == SaveNotice::DecimMismatch) {
        if (w.hooks_.dialogs.showDecimMismatch)
            w.hooks_.dialogs.showDecimMismatch(QString::fromStdString(DecimationTotalsLine(w.m_.settings)));
        w.ShowStatus("Не записано: " + DecimationTotalsLine(w.m_.settings) + " различаются");
        return;
    }
    if (check.notice == SaveNotice::MinDecim) {
        if (w.hooks_.dialogs.showMinDecim) w.hooks_.dialogs.showMinDecim(QString::fromUtf8(check.modeLine));
        w.ShowStatus(std::string("Не записано: общая децимация меньше минимума режима ") + check.modeLine);
        return;
    }
    if (w.hooks_.dialogs.closeDecimNotices) w.hooks_.dialogs.closeDecimNotices();
    FileDialogRequest request = Request(true, "GC5016Lab(*.lab)", "lab", w.workspace_.Configs());
    request.confirmOverwrite = false;  // asked below, naming both files
    const auto chosen = AskFile(request);
    if (!chosen) return;
    const fs::path lab = ToPath(*chosen);
    const SaveTargets targets = InspectSaveTargets(lab);
    const QString labName = QString::fromStdString(BareFileName(targets.lab.string()));
    const QString prgName = QString::fromStdString(BareFileName(targets.program.string()));
    WritePolicy policy;
    if (targets.AnyExists()) {
        const bool both =
            targets.labCheck.state != TargetState::Missing && targets.programCheck.state != TargetState::Missing;
        QString question = both ? QStringLiteral("Заменить %1 и %2?").arg(labName, prgName)
                                : QStringLiteral("Заменить %1?")
                                      .arg(targets.labCheck.state != TargetState::Missing ? labName : prgName);
        if (targets.AnyReadOnly()) {
            question += QStringLiteral(" Файл защищён от записи.");
            policy.replaceReadOnly = true;
        }
        if (const fs::path bad = targets.Unreadable(); !bad.empty())
            question += QStringLiteral(" Файл %1 не читается (%2).")
                            .arg(QString::fromStdString(BareFileName(bad.string())),
                                 QString::fromStdString(CauseText(bad == lab ? targets.labText : targets.programText)));
        if (!AskYesNo(QStringLiteral("Записать"), question)) {
            w.ShowStatus("Не записано: " + ShownPath(lab, w.workspace_) + " оставлен без изменений");
            return;
        }
    }
    // Asked above whenever a target exists.
    const SaveCommandResult r = SaveConfiguration(w.m_, w.workspace_, lab, policy, true);
    const std::string shownLab = ShownPath(lab, w.workspace_);
    const std::string shownPrg = ShownPath(targets.program, w.workspace_);
    if (!r.done()) {
        const bool labWas = targets.labCheck.state != TargetState::Missing;
        const bool prgWas = targets.programCheck.state != TargetState::Missing;
        const std::string line =
            r.failure.ok() ? "Не записано: у " + shownLab + " и его файла программы одно имя; нужно другое расширение"
                           : "Не записано: " + ShownPath(r.failure.path, w.workspace_) + " — " +
                                 CauseText(r.failure.code) + "; " + UnchangedText(shownLab, labWas, shownPrg, prgWas);
        w.ShowStatus(line);
        ShowErrorBox(&w, QString::fromStdString(line));
        return;
    }
    w.history_.NameCurrent(w.m_.currentLabName);
    w.ApplyEffects(r.effects);
    w.history_.MarkSaved(w.m_.settings);
    w.UpdateTitle();
    w.ShowStatus(LabSavedStatus(shownLab, true, shownPrg, true));
}

// ---- register tables ----

void FileCommandHandlers::OnWriteTbl() {
    const TableCommandResult r = WriteTableCommand(w.m_, w.workspace_);
    w.ApplyEffects(r.effects);
    w.ShowStatus(WithCause(TableWrittenStatus(ShownPath(r.path, w.workspace_), r.done()), r.failure));
}

void FileCommandHandlers::OnReadTbl() {
    const auto chosen = AskFile(Request(false, "GraychipTbl(*.tbl)", "tbl", w.workspace_.Filters()));
    if (!chosen) return;
    w.ApplyAndShow(edit::ReadTable{ToPath(*chosen)});
}

// ---- program files and the chip tool ----

ChipToolRunner FileCommandHandlers::ToolRunner() {
    const fs::path programDir = ChipToolDir();
    const std::chrono::milliseconds timeout = w.hooks_.toolTimeout;
    // Only the tool runs off the event loop: the script is written and its
    // output read by the command on this thread, and the window takes no input meanwhile.
    MainWindow* window = &w;
    return [window, programDir, timeout](const fs::path& folder) {
        ChipToolOutcome outcome;
        outcome.run = ToolRun::Cancelled;
        const bool ran =
            BusyRun::Run(window, QStringLiteral("Работает cmd5016…"), [&](const std::atomic<bool>& cancel) {
                outcome = RunChipTool(folder, programDir, ChipToolRunOptions{timeout, &cancel});
            });
        if (!ran) outcome.run = ToolRun::Cancelled;
        return outcome;
    };
}

void FileCommandHandlers::OnWritePrg() {
    const ChipToolRunner runner = ToolRunner();
    const ProgramCommandResult r = WriteProgramCommand(w.m_, w.workspace_, {{}, &runner});
    if (r.toolFault != ToolFault::None) {
        w.ShowStatus(ToolFailedStatus(r.toolFault, r.tool, ShownPath(r.toolFile, w.workspace_),
                                      w.hooks_.toolTimeout.count() / 1000.0));
        return;
    }
    w.ApplyEffects(r.effects);
    w.files_->ShowCount(CountPanel::Page16, r.page16);
    w.files_->ShowCount(CountPanel::Page17, r.page17);
    w.ShowStatus(WithCause(
        ProgramWrittenStatus(ShownPath(r.path, w.workspace_), r.done(), r.writes, r.toolPairs, r.page16, r.page17),
        r.failure));
}

void FileCommandHandlers::OnGc101ToPrg() {
    const auto chosen = AskFile(Request(false, "cmd5016(*.gc101)", "tbl", w.workspace_.Appl()));
    if (!chosen) return;
    const Gc101CommandResult r = ImportGc101Command(w.m_, w.workspace_, ToPath(*chosen));
    // A file that could not be read says why (UTF-16, NUL bytes, permission).
    const std::string cause = r.pairs < 0 ? UnreadableNote(r.in) : std::string();
    w.ShowStatus(WithCause(Gc101Status(ShownPath(r.in, w.workspace_) + cause, r.pairs, r.writes, r.skipped,
                                       ShownPath(r.out, w.workspace_), r.done()),
                           r.failure));
}

void FileCommandHandlers::OnReadBeRam() { w.ApplyAndShow(edit::ReadBeRam{BeRamPath(w.workspace_)}); }

void FileCommandHandlers::OnWriteCmdFile() {
    const ChipToolRunner runner = ToolRunner();
    const ScriptCommandResult r = WriteScriptCommand(w.m_, w.workspace_, &runner);
    if (r.toolFault != ToolFault::None) {
        w.ShowStatus(ToolFailedStatus(r.toolFault, r.tool, ShownPath(r.toolFile, w.workspace_),
                                      w.hooks_.toolTimeout.count() / 1000.0));
        return;
    }
    w.ShowStatus(
        WithCause(CommandScriptStatus(ShownPath(r.script, w.workspace_), r.scriptWritten, r.tool.run == ToolRun::Ran),
                  r.failure));
}

void FileCommandHandlers::OnCompare() {
    const CompareCommandResult r = CompareCommand(w.m_, w.workspace_);
    w.files_->ShowCount(CountPanel::CompareDiffs, r.differences);
    w.ShowStatus(WithCause(CompareStatus(ShownPath(r.table, w.workspace_), r.tableRead,
                                         ShownPath(r.report, w.workspace_), r.done(), r.differences),
                           r.failure));
}

// ---- coefficient files ----

void FileCommandHandlers::OnChooseCoefFile() {
    const auto chosen = AskFile(Request(false, "PFIR5016(*.taps)", "taps", w.workspace_.Filters()));
    if (!chosen) return;
    w.ApplyAndShow(edit::CoefFile{ToPath(*chosen)});
}

void FileCommandHandlers::OnApplyToAll() { w.ApplyAndShow(edit::ApplyToAll{}); }

void FileCommandHandlers::OnFltToTaps() {
    const auto chosen = AskFile(Request(false, "DFDPFilters(*.flt)", "flt", w.workspace_.root / "FDFDP"));
    if (!chosen) return;
    const fs::path in = ToPath(*chosen);
    const fs::path out = FltOutputPath(in, w.workspace_);
    const std::string shownIn = ShownPath(in, w.workspace_);
    const std::string shownOut = ShownPath(out, w.workspace_);
    // A coefficient file that the channels may use is replaced only when the user says so.
    std::error_code ec;
    if (fs::exists(out, ec)) {
        const QString question =
            QStringLiteral("Файл %1 уже есть. Заменить его?").arg(QString::fromStdString(shownOut));
        if (!AskYesNo(QStringLiteral("DFDP->Filter"), question)) {
            w.ShowStatus(FltStatus(shownIn, FltConversion{}, shownOut, true));
            return;
        }
    }
    const FltCommandResult r = ConvertFltCommand(w.workspace_, in);
    std::string line = WithCause(FltStatus(shownIn, r.conversion, shownOut, false), r.failure);
    if (r.conversion.status == FltConversion::InputUnreadable) line += UnreadableNote(in);
    w.ShowStatus(line);
    if (!r.done() && !r.conversion.message.empty()) ShowErrorBox(&w, QString::fromStdString(r.conversion.message));
}

void FileCommandHandlers::OnWriteFilter() {
    const auto chosen = AskFile(Request(true, "GC5016Taps(*.taps)", "taps", w.workspace_.Filters()));
    if (!chosen) return;
    const TestFilterCommandResult result =
        WriteTestFilterCommand(w.m_, w.workspace_, w.m_.CurrentChannel, ToPath(*chosen));
    const TestFilterResult& r = result.filter;
    if (r.chirp && r.ok) w.expert_->ShowChirpSums(r.sums);
    w.ShowStatus(WithCause(TestFilterStatus(r, w.workspace_), r.failure));
    if (!r.ok && !r.message.empty()) ShowErrorBox(&w, QString::fromStdString(r.message));
}

}  // namespace gc
