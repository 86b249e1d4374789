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

void MainWindow::RunCommand(FileCommand command) {
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
        case FileCommand::Info:
            if (hooks_.dialogs.showInfo) hooks_.dialogs.showInfo();
            return;
    }
}

std::optional<QString> MainWindow::AskFile(const FileDialogRequest& request) {
    FileDialogRequest s = request;
    s.initialDir = QString::fromStdString(fs::absolute(ToPath(request.initialDir)).string());
    return (hooks_.chooser ? hooks_.chooser : &dialogChooser_)->Choose(this, s);
}

fs::path MainWindow::ChipToolDir() const {
    return hooks_.chipToolDir.empty() ? ToPath(QCoreApplication::applicationDirPath()) : hooks_.chipToolDir;
}

// ---- lab files ----

bool MainWindow::AskYesNo(const QString& title, const QString& question) {
    if (hooks_.askReplace) return hooks_.askReplace(question);
    return QMessageBox::question(this, title, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void MainWindow::OnReadLab() {
    const auto chosen = AskFile(Request(false, "GC5016Labl(*.lab)", "lab", workspace_.Configs()));
    if (!chosen) return;
    const fs::path path = ToPath(*chosen);
    const ReadLabResult r = ReadConfiguration(m_, workspace_, path, hooks_.coefErrors);
    const std::string shown = ShownPath(path, workspace_);
    if (!r.read) {
        ShowStatus(LabReadStatus(shown, false, m_.settings) + UnreadableNote(path));
        return;
    }
    // The open response windows show the configuration just read.
    ApplyEffects(r.effects);
    history_.MarkSaved(m_.settings);
    UpdateTitle();
    const std::string notes = LabNotesStatus(shown, r.labNotes);
    ShowStatus(notes.empty() ? LabReadStatus(shown, true, m_.settings) : notes);
}

void MainWindow::OnSaveLab() {
    const SaveCheck check = CheckBeforeSave(m_);
    if (check.notice == SaveNotice::DecimMismatch) {
        if (hooks_.dialogs.showDecimMismatch)
            hooks_.dialogs.showDecimMismatch(QString::fromStdString(DecimationTotalsLine(m_.settings)));
        ShowStatus("Не записано: " + DecimationTotalsLine(m_.settings) + " различаются");
        return;
    }
    if (check.notice == SaveNotice::MinDecim) {
        if (hooks_.dialogs.showMinDecim) hooks_.dialogs.showMinDecim(QString::fromUtf8(check.modeLine));
        ShowStatus(std::string("Не записано: общая децимация меньше минимума режима ") + check.modeLine);
        return;
    }
    if (hooks_.dialogs.closeDecimNotices) hooks_.dialogs.closeDecimNotices();
    FileDialogRequest request = Request(true, "GC5016Lab(*.lab)", "lab", workspace_.Configs());
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
            ShowStatus("Не записано: " + ShownPath(lab, workspace_) + " оставлен без изменений");
            return;
        }
    }
    // Asked above whenever a target exists.
    const SaveCommandResult r = SaveConfiguration(m_, workspace_, lab, policy, true);
    const std::string shownLab = ShownPath(lab, workspace_);
    const std::string shownPrg = ShownPath(targets.program, workspace_);
    if (!r.done()) {
        const std::string line = "Не записано: " + ShownPath(r.failure.path, workspace_) + " — " +
                                 CauseText(r.failure.code) + "; " + shownLab + " и " + shownPrg + " остались прежними";
        ShowStatus(line);
        ShowErrorBox(this, QString::fromStdString(line));
        return;
    }
    history_.NameCurrent(m_.currentLabName);
    ApplyEffects(r.effects);
    history_.MarkSaved(m_.settings);
    UpdateTitle();
    ShowStatus(LabSavedStatus(shownLab, true, shownPrg, true));
}

// ---- register tables ----

void MainWindow::OnWriteTbl() {
    const TableCommandResult r = WriteTableCommand(m_, workspace_);
    ApplyEffects(r.effects);
    ShowStatus(WithCause(TableWrittenStatus(ShownPath(r.path, workspace_), r.done()), r.failure));
}

void MainWindow::OnReadTbl() {
    const auto chosen = AskFile(Request(false, "GraychipTbl(*.tbl)", "tbl", workspace_.Filters()));
    if (!chosen) return;
    ApplyAndShow(edit::ReadTable{ToPath(*chosen)});
}

// ---- program files and the chip tool ----

ChipToolRunner MainWindow::ToolRunner() {
    const fs::path programDir = ChipToolDir();
    const std::chrono::milliseconds timeout = hooks_.toolTimeout;
    // Only the tool runs off the event loop: the script is written and its
    // output read by the command on this thread, and the window takes no input meanwhile.
    return [this, programDir, timeout](const fs::path& folder) {
        ChipToolOutcome outcome;
        outcome.run = ToolRun::Cancelled;
        const bool ran = BusyRun::Run(this, QStringLiteral("Работает cmd5016…"), [&](const std::atomic<bool>& cancel) {
            outcome = RunChipTool(folder, programDir, ChipToolRunOptions{timeout, &cancel});
        });
        if (!ran) outcome.run = ToolRun::Cancelled;
        return outcome;
    };
}

void MainWindow::OnWritePrg() {
    const ChipToolRunner runner = ToolRunner();
    const ProgramCommandResult r = WriteProgramCommand(m_, workspace_, {{}, &runner});
    if (r.toolFault != ToolFault::None) {
        ShowStatus(ToolFailedStatus(r.toolFault, r.tool, ShownPath(r.toolFile, workspace_),
                                    hooks_.toolTimeout.count() / 1000.0));
        return;
    }
    ApplyEffects(r.effects);
    files_->ShowCount(CountPanel::Page16, r.page16);
    files_->ShowCount(CountPanel::Page17, r.page17);
    ShowStatus(WithCause(
        ProgramWrittenStatus(ShownPath(r.path, workspace_), r.done(), r.writes, r.toolPairs, r.page16, r.page17),
        r.failure));
}

void MainWindow::OnGc101ToPrg() {
    const auto chosen = AskFile(Request(false, "cmd5016(*.gc101)", "tbl", workspace_.Appl()));
    if (!chosen) return;
    const Gc101CommandResult r = ImportGc101Command(m_, workspace_, ToPath(*chosen));
    ShowStatus(WithCause(
        Gc101Status(ShownPath(r.in, workspace_), r.pairs, r.writes, r.skipped, ShownPath(r.out, workspace_), r.done()),
        r.failure));
}

void MainWindow::OnReadBeRam() { ApplyAndShow(edit::ReadBeRam{BeRamPath(workspace_)}); }

void MainWindow::OnWriteCmdFile() {
    const ChipToolRunner runner = ToolRunner();
    const ScriptCommandResult r = WriteScriptCommand(m_, workspace_, &runner);
    if (r.toolFault != ToolFault::None) {
        ShowStatus(ToolFailedStatus(r.toolFault, r.tool, ShownPath(r.toolFile, workspace_),
                                    hooks_.toolTimeout.count() / 1000.0));
        return;
    }
    ShowStatus(WithCause(
        CommandScriptStatus(ShownPath(r.script, workspace_), r.scriptWritten, r.tool.run == ToolRun::Ran), r.failure));
}

void MainWindow::OnCompare() {
    const CompareCommandResult r = CompareCommand(m_, workspace_);
    files_->ShowCount(CountPanel::CompareDiffs, r.differences);
    ShowStatus(WithCause(CompareStatus(ShownPath(r.table, workspace_), r.tableRead, ShownPath(r.report, workspace_),
                                       r.done(), r.differences),
                         r.failure));
}

// ---- coefficient files ----

void MainWindow::OnChooseCoefFile() {
    const auto chosen = AskFile(Request(false, "PFIR5016(*.taps)", "taps", workspace_.Filters()));
    if (!chosen) return;
    ApplyAndShow(edit::CoefFile{ToPath(*chosen)});
}

void MainWindow::OnApplyToAll() { ApplyAndShow(edit::ApplyToAll{}); }

void MainWindow::OnFltToTaps() {
    const auto chosen = AskFile(Request(false, "DFDPFilters(*.flt)", "flt", workspace_.root / "FDFDP"));
    if (!chosen) return;
    const fs::path in = ToPath(*chosen);
    const fs::path out = FltOutputPath(in, workspace_);
    const std::string shownIn = ShownPath(in, workspace_);
    const std::string shownOut = ShownPath(out, workspace_);
    // A coefficient file that the channels may use is replaced only when the user says so.
    std::error_code ec;
    if (fs::exists(out, ec)) {
        const QString question =
            QStringLiteral("Файл %1 уже есть. Заменить его?").arg(QString::fromStdString(shownOut));
        if (!AskYesNo(QStringLiteral("DFDP->Filter"), question)) {
            ShowStatus(FltStatus(shownIn, FltConversion{}, shownOut, true));
            return;
        }
    }
    const FltCommandResult r = ConvertFltCommand(workspace_, in);
    std::string line = WithCause(FltStatus(shownIn, r.conversion, shownOut, false), r.failure);
    if (!r.warnings.empty() && r.done())
        line += "; в файле меньше коэффициентов, чем указано: последний повторён " +
                CountText(r.conversion.padded, "раз", "раза", "раз");
    ShowStatus(line);
    if (!r.done() && !r.conversion.message.empty()) ShowErrorBox(this, QString::fromStdString(r.conversion.message));
}

void MainWindow::OnWriteFilter() {
    const auto chosen = AskFile(Request(true, "GC5016Taps(*.taps)", "taps", workspace_.Filters()));
    if (!chosen) return;
    const TestFilterCommandResult result = WriteTestFilterCommand(m_, workspace_, m_.CurrentChannel, ToPath(*chosen));
    const TestFilterResult& r = result.filter;
    if (r.chirp && r.ok) expert_->ShowChirpSums(r.sums);
    ShowStatus(WithCause(TestFilterStatus(r, workspace_), r.failure));
    if (!r.ok && !r.message.empty()) ShowErrorBox(this, QString::fromStdString(r.message));
}

}  // namespace gc
