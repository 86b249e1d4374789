// The main window's file commands. Files are opened by their full paths in the
// working folder; the work itself is done by the core's readers and writers.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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
#include "gui/gc_application.h"
#include "gui/number_text.h"
#include "gui/response_plot.h"
#include "gui/tgform.h"
#include "session/command_status.h"
#include "session/session.h"

namespace gc {

namespace {

namespace fs = std::filesystem;

fs::path ToPath(const QString& s) { return fs::path(s.toStdString()); }

// The chip tool blocks the window until it ends; say so with the cursor.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

FileDialogRequest Request(bool save, const char* filter, const char* suffix, const fs::path& folder) {
    return {save, QString::fromUtf8(filter), QString::fromUtf8(suffix), QString::fromStdString(folder.string())};
}

}  // namespace

std::optional<QString> TGForm::AskFile(const FileDialogRequest& request) {
    FileDialogRequest s = request;
    s.initialDir = QString::fromStdString(fs::absolute(ToPath(request.initialDir)).string());
    return chooser_->Choose(this, s);
}

void TGForm::ShowMismatchPanel(QLabel* panel, int count) {
    panel->setText(QString::number(count));
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, count != 0 ? QColor(Qt::red) : palette().color(QPalette::Button));
    panel->setPalette(p);
}

fs::path TGForm::ChipToolDir() const {
    return chipToolDir_.empty() ? ToPath(QCoreApplication::applicationDirPath()) : chipToolDir_;
}

// ---- lab files ----

void TGForm::OnReadLab() {
    const auto chosen = AskFile(Request(false, "GC5016Labl(*.lab)", "lab", workspace_.Configs()));
    if (!chosen) return;
    const bool read = ReadLab(m_.settings, m_, ToPath(*chosen));
    m_.settings.TypeOfModule = BoardModel;
    // The expert mode is decided once, at start: a lab file read later must not
    // carry its code into the next "Записать" (saved files hold FullDebug 0).
    m_.settings.FullDebug = 0;
    m_.currentLabName = BareFileName(chosen->toStdString());
    ReloadAllPfirFiles(m_.settings, m_, coefErrors_, workspace_);
    CopySckDiv(m_.settings, m_.workImage);
    DeriveRegisters(m_.settings, m_);
    RecomputeResponse();
    UpdateControls();
    plot_->ScheduleRedraw();
    // The open response windows show the configuration just read.
    RefreshResponseWindows();
    if (read) history_.MarkSaved(m_.settings);
    UpdateTitle();
    ShowStatus(LabReadStatus(ShownPath(ToPath(*chosen), workspace_), read, m_.settings));
}

void TGForm::OnSaveLab() {
    SaveModeCicDec(m_.settings, m_, m_.settings.ModeOfInput, m_.settings.ModeOfInput);
    const SaveCheck check = CheckSaveDecimations(m_.settings, m_);
    if (check.notice == SaveNotice::DecimMismatch) {
        if (dialogs_.showDecimMismatch)
            dialogs_.showDecimMismatch(QString::fromStdString(DecimationTotalsLine(m_.settings)));
        ShowStatus("Не записано: " + DecimationTotalsLine(m_.settings) + " различаются");
        return;
    }
    if (check.notice == SaveNotice::MinDecim) {
        if (dialogs_.showMinDecim) dialogs_.showMinDecim(QString::fromUtf8(check.modeLine));
        ShowStatus(std::string("Не записано: общая децимация меньше минимума режима ") + check.modeLine);
        return;
    }
    PrepareProgram(m_.settings, m_);
    const auto chosen = AskFile(Request(true, "GC5016Lab(*.lab)", "lab", workspace_.Configs()));
    if (!chosen) return;
    const SaveResult r = SaveLabAndProgram(m_, ToPath(*chosen));
    history_.NameCurrent(m_.currentLabName);
    UpdateControls();
    if (r.labWritten) history_.MarkSaved(m_.settings);
    UpdateTitle();
    ShowStatus(LabSavedStatus(ShownPath(ToPath(*chosen), workspace_), r.labWritten,
                              ShownPath(r.programPath, workspace_), r.programWritten));
}

// ---- register tables ----

void TGForm::OnWriteTbl() {
    DeriveRegisters(m_.settings, m_);
    const fs::path path = workspace_.root / "exper.tbl";
    ShowStatus(TableWrittenStatus(ShownPath(path, workspace_), WriteTableFile(m_.workImage, path)));
}

void TGForm::OnReadTbl() {
    const auto chosen = AskFile(Request(false, "GraychipTbl(*.tbl)", "tbl", workspace_.Filters()));
    if (!chosen) return;
    const bool read = ReadTableFile(m_.workImage, ToPath(*chosen));
    SettingsFromImage(m_.workImage, m_.settings);
    UpdateControls();  // refreshes the open register editors and the synchronisation dialog too
    // The table brings its own decimations: the open response windows follow them.
    RefreshResponseWindows();
    ShowStatus(TableReadStatus(ShownPath(ToPath(*chosen), workspace_), read, m_.settings));
}

// ---- program files and the chip tool ----

void TGForm::OnWritePrg() {
    int toolPairs = -1;
    {
        BusyCursor busy;
        toolPairs = CrossCheckWithTool(m_.settings, m_, workspace_, ChipToolDir()).pairs;
    }
    FillPage16Tables(m_.settings, m_);
    FillPage17Tables(m_.settings, m_);
    const int page16 = CountPage16Mismatches(m_.settings, m_);
    const int page17 = CountPage17Mismatches(m_.settings, m_);
    ShowMismatchPanel(page16MismatchPanel_, page16);
    ShowMismatchPanel(page17MismatchPanel_, page17);
    BuildRegisterWriteList(m_.settings, m_);
    const fs::path path = workspace_.Configs() / "std.prg";
    const bool written = WriteProgramFile(m_.settings, m_, m_, path);
    ShowStatus(ProgramWrittenStatus(ShownPath(path, workspace_), written, m_.registerWriteList.count, toolPairs, page16,
                                    page17));
}

void TGForm::OnGc101ToPrg() {
    const auto chosen = AskFile(Request(false, "cmd5016(*.gc101)", "tbl", workspace_.Appl()));
    if (!chosen) return;
    auto list = std::make_unique<Gc101List>();
    // A file that cannot be read gives a program file without triples.
    const int n = ReadGc101File(ToPath(*chosen), *list);
    Gc101ToRegisterWrites(m_, *list, n > 0 ? n : 0);
    const fs::path out = workspace_.Configs() / (Gc101ProgramName(chosen->toStdString()) + ".prg");
    const bool written = WriteProgramFile(m_.settings, m_, m_, out);
    ShowStatus(Gc101Status(ShownPath(ToPath(*chosen), workspace_), n, m_.registerWriteList.count,
                           ShownPath(out, workspace_), written));
}

void TGForm::OnReadBeRam() {
    const fs::path path = workspace_.Appl() / "workcmd.gc101";
    ShowStatus(BeRamStatus(ShownPath(path, workspace_), ReadBackPage17(m_, path)));
}

void TGForm::OnWriteCmdFile() {
    const fs::path filters = workspace_.Filters();
    // A script that cannot be written still lets the tool run on an older one.
    const bool written = WriteCommandScript(m_.settings, m_.workImage, filters / "workcmd") > 0;
    bool ran = false;
    {
        BusyCursor busy;
        ran = RunChipTool(filters, ChipToolDir()).run == ToolRun::Ran;
    }
    ShowStatus(CommandScriptStatus(ShownPath(filters / "workcmd", workspace_), written, ran));
}

void TGForm::OnCompare() {
    const fs::path table = workspace_.Filters() / "workcmd.tbl";
    const bool read = ReadToolTableFile(m_.toolImage, table);
    const CompareResult r = WriteCompareReport(m_.workImage, m_.toolImage, workspace_.root / "ErrTbl");
    ShowMismatchPanel(compareDiffPanel_, r.differences);
    ShowStatus(CompareStatus(ShownPath(table, workspace_), read, ShownPath(workspace_.root / "ErrTbl", workspace_),
                             r.written, r.differences));
}

// ---- coefficient files ----

void TGForm::OnChooseCoefFile() {
    const auto chosen = AskFile(Request(false, "PFIR5016(*.taps)", "taps", workspace_.Filters()));
    if (!chosen) return;
    UseCoefFile(ToPath(*chosen));
}

void TGForm::UseCoefFile(const std::filesystem::path& chosen) {
    LoadChosenPfirFile(m_.settings, m_, m_.CurrentChannel, chosen, coefErrors_);
    RecomputeResponse();
    plot_->ScheduleRedraw();
    UpdateControls();
    RefreshResponseWindows();
    ShowStatus(CoefFileStatus(ShownPath(chosen, workspace_), m_.CurrentChannel, ScanTapFile(chosen)));
}

void TGForm::OnApplyToAll() {
    ApplyToAllChannels(m_, coefErrors_, workspace_);
    // The derivation runs inside the refresh; the plot keeps its curve.
    UpdateControls();
    ShowStatus(ApplyToAllStatus(m_.CurrentChannel));
}

void TGForm::OnFltToTaps() {
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
        const bool yes = askReplace_ ? askReplace_(question)
                                     : QMessageBox::question(this, QStringLiteral("DFDP->Filter"), question,
                                                             QMessageBox::Yes | QMessageBox::No,
                                                             QMessageBox::No) == QMessageBox::Yes;
        if (!yes) {
            ShowStatus(FltStatus(shownIn, FltConversion{}, shownOut, true));
            return;
        }
    }
    const FltConversion r = ConvertFltToTaps(in, workspace_);
    ShowStatus(FltStatus(shownIn, r, shownOut, false));
    if (r.status != FltConversion::Done && !r.message.empty()) ShowErrorBox(this, QString::fromStdString(r.message));
}

void TGForm::OnWriteFilter() {
    const auto chosen = AskFile(Request(true, "GC5016Taps(*.taps)", "taps", workspace_.Filters()));
    if (!chosen) return;
    const TestFilterResult r = WriteTestFilter(TestFilterParamsOf(m_.settings, m_, m_.CurrentChannel), ToPath(*chosen));
    if (r.chirp && r.ok) {
        // Sums of squares of a long set reach eleven digits; keep them in plain
        // fixed-point notation, as the batch tool prints them.
        constexpr int kSumDigits = 15;
        sumIEdit_->setText(FixedQ(static_cast<double>(r.sums.I), kSumDigits, 3));
        sumQEdit_->setText(FixedQ(static_cast<double>(r.sums.Q), kSumDigits, 3));
        sumIIEdit_->setText(FixedQ(static_cast<double>(r.sums.II), kSumDigits, 3));
        sumQQEdit_->setText(FixedQ(static_cast<double>(r.sums.QQ), kSumDigits, 3));
    }
    UpdateControls();
    ShowStatus(TestFilterStatus(r, workspace_));
    if (!r.ok && !r.message.empty()) ShowErrorBox(this, QString::fromStdString(r.message));
}

}  // namespace gc
