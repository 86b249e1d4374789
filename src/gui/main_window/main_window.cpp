#include "gui/main_window/main_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>
#include <exception>

#include "gui/app/busy_run.h"
#include "gui/app/gc_application.h"
#include "gui/main_window/cic_pfir_panel.h"
#include "gui/main_window/clock_mode_panel.h"
#include "gui/main_window/coef_file_panel.h"
#include "gui/main_window/expert_panel.h"
#include "gui/main_window/nco_gain_panel.h"
#include "gui/plots/response_plot.h"
#include "gui/widgets/readout_width.h"
#include "session/command_status.h"
#include "session/commands.h"
#include "session/edit_rules.h"
#include "session/session.h"

namespace gc {

namespace {
// Input modes offered by each board model: the second has no "Double rate".
constexpr int kModesOfBoard[4] = {3, 2, 3, 3};
}  // namespace

MainWindow::MainWindow(Session& m, Workspace workspace, QWidget* parent)
    : QWidget(parent), m_(m), workspace_(std::move(workspace)) {
    setObjectName("GForm");
    // A click on a label or a margin takes the focus from the edit boxes.
    setFocusPolicy(Qt::ClickFocus);
    setWindowTitle(QString::fromUtf8(BoardCaption(kBoardModel)));
    BuildLayout();
    ConnectPanels();
    // Start as a normal user's window; the first show widens it for an expert.
    // Sizing it here also keeps the toolkit from fitting it to its contents on show.
    expert_->group()->hide();
    for (QWidget* w : ncoGain_->expertWidgets()) w->hide();
    resize(kNormalWidth, sizeHint().height());
}

void MainWindow::BuildLayout() {
    // The menu above and the status line below the controls.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(2, 2, 2, 2);
    top->addWidget(BuildNormalPart());
    expert_ = new ExpertPanel(this);
    top->addWidget(expert_->Build(*files_));
    top->addStretch(1);
    outer->addLayout(top, 1);
    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName("statusBar");
    statusBar_->setSizeGripEnabled(false);
    outer->addWidget(statusBar_);
    BuildMenu();
}

QWidget* MainWindow::BuildNormalPart() {
    auto* part = new QWidget(this);
    part->setObjectName("normalPart");
    files_ = new FileCommandsPanel(part);
    clockMode_ = new ClockModePanel(part);
    cicPfir_ = new CicPfirPanel(part);
    coefFile_ = new CoefFilePanel(part);
    ncoGain_ = new NcoGainPanel(part);

    auto* row = new QHBoxLayout(part);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    auto* left = new QVBoxLayout;
    row->addLayout(left);
    left->addLayout(files_->BuildConfigurationRow());
    left->addLayout(clockMode_->BuildClockAndMode());
    auto* channels = new QHBoxLayout;
    channels->setSpacing(2);
    channels->addWidget(clockMode_->BuildEnabledChannels());
    channels->addWidget(clockMode_->BuildChannelChoice());
    channels->addWidget(ncoGain_->BuildAdcGroup());
    left->addLayout(channels);
    left->addWidget(cicPfir_->BuildCicGroup());
    left->addWidget(
        cicPfir_->BuildPfirGroup([this](QWidget* group, QHBoxLayout* r) { coefFile_->BuildFileWidgets(group, r); }));
    left->addWidget(ncoGain_->BuildNcoGroup());
    auto* gainOut = new QHBoxLayout;
    gainOut->addWidget(ncoGain_->BuildGainGroup());
    gainOut->addWidget(coefFile_->BuildOutputGroup());
    left->addLayout(gainOut);
    left->addLayout(files_->BuildHelpRow());
    left->addStretch(1);

    // Read-outs as wide as their widest text (kHz values: eight significant digits and a sign).
    const std::pair<const char*, const char*> readouts[] = {{"clockKhz", "-8888888.888 кГц"},
                                                            {"freqKhz", "-8888888.888 кГц"},
                                                            {"outputRate", "-8888888.888 кГц"},
                                                            {"cicNorm", "8.888"},
                                                            {"pfirGain", "-88.888"},
                                                            {"totalGain", "-8888.88"},
                                                            {"halfPanel", "0.5"}};
    for (const auto& [name, widest] : readouts) {
        auto* panel = part->findChild<QLabel*>(QLatin1String(name));
        FitReadoutToText(panel, QString::fromUtf8(widest), panel->minimumWidth());
    }

    // Tight groups keep the normal part within the width of a normal user's window.
    for (QGroupBox* g : part->findChildren<QGroupBox*>()) {
        g->layout()->setContentsMargins(4, 2, 4, 2);
        g->layout()->setSpacing(4);
    }

    plot_ = new ResponsePlotPanel(part);
    plot_->setObjectName("responsePlot");
    plot_->SetExportFolder(QString::fromStdString(workspace_.root.string()));
    row->addWidget(plot_, 0, Qt::AlignTop);
    return part;
}

void MainWindow::ConnectPanels() {
    ConnectEdits();
    connect(files_, &FileCommandsPanel::commandRequested, this, &MainWindow::RunCommand);
    connect(cicPfir_, &CicPfirPanel::cicWindowRequested, this, &MainWindow::cicWindowRequested);
    connect(cicPfir_, &CicPfirPanel::pfirWindowRequested, this, &MainWindow::pfirWindowRequested);
    connect(cicPfir_, &CicPfirPanel::chainWindowRequested, this, &MainWindow::chainWindowRequested);
    connect(coefFile_, &CoefFilePanel::chooseFileRequested, this, [this] { RunCommand(FileCommand::ChooseCoefFile); });
    connect(coefFile_, &CoefFilePanel::designRequested, this, [this] {
        if (hooks_.dialogs.showPfirDesign) hooks_.dialogs.showPfirDesign();
    });
    connect(coefFile_, &CoefFilePanel::pfirWindowRequested, this, &MainWindow::pfirWindowRequested);

    connect(expert_, &ExpertPanel::writeFilterRequested, this, [this] { RunCommand(FileCommand::WriteFilter); });
}

QPushButton* MainWindow::AddExpertButton(const QString& caption, const QString& objectName) {
    QPushButton* b = expert_->AddWindowButton(caption, objectName);
    SetToolTips();  // the button is added after the window was built
    return b;
}

MainWindow::~MainWindow() {
    // The base class closes the window after the members are gone, and an edit
    // box that loses the focus then would run its handler on them.
    for (QLineEdit* e : findChildren<QLineEdit*>()) {
        e->blockSignals(true);
        e->removeEventFilter(this);
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (started_) return;
    started_ = true;
    Guarded([this] { RunStartup(); });
}

void MainWindow::RunStartup() {
    // Lab file, expert mode, board model; then the window is made complete
    // before a coefficient file can raise its report in front of it.
    BeginSession(m_, workspace_.StartupLab());
    setWindowTitle(QString::fromUtf8(BoardCaption(kBoardModel)));
    if (m_.startupLabUnreadable) {
        // The defaults stand in, but the file is left alone until the user says otherwise.
        ShowErrorBox(this,
                     QStringLiteral("Файл %1 не удалось прочитать: %2.\nОкно открыто с настройками по "
                                    "умолчанию; при закрытии программа спросит, записать ли их поверх этого файла.")
                         .arg(QString::fromStdString(ShownPath(m_.startupLabPath, workspace_)),
                              QString::fromStdString(CauseText(InspectTextFile(m_.startupLabPath)))));
    }

    // Boards 0 and 2 wire only two ADC inputs.
    ncoGain_->SetAdcCount(kBoardModel == 0 || kBoardModel == 2 ? 2 : 4);
    expert_->DisableWriteSwitch();
    clockMode_->SetModeCount(kModesOfBoard[kBoardModel]);

    ApplyEffects(LoadSessionFilters(m_, workspace_, hooks_.coefErrors));
    expert_->SetManualShiftText(QString::number(m_.settings.shiftFir));
    history_.Reset(m_.settings, m_.currentLabName);
    UpdateTitle();
    ShowCoefFileNotes();
    ShowLabNotes();
    // What the chip cannot run at all comes first.
    const std::string outside = OutsideChipStatus(m_.settings);
    if (!outside.empty()) ShowStatus(outside);
}

void MainWindow::ShowLabNotes() {
    const std::vector<LabValueNote>& notes = m_.startupLabNotes;
    if (notes.empty()) return;
    const std::string shown = ShownPath(m_.startupLabPath, workspace_);
    ShowStatus(LabNotesStatus(shown, notes));
    std::vector<std::string> lines;
    for (const LabValueNote& n : notes) lines.push_back(LabNoteLine(n));
    ShowStartList("labNotesBox", "Значения " + shown + ", прочитанные не так, как записаны:", lines);
}

void MainWindow::ShowCoefFileNotes() {
    const std::vector<std::string> lines = CoefFileNoteLines(CoefFileFindings(m_.settings, workspace_));
    if (lines.empty()) return;
    ShowStatus("Файлы коэффициентов прочитаны не так, как записаны: " + lines.front() +
               (lines.size() > 1 ? "; …" : ""));
    ShowStartList("coefFileNotesBox", "Файлы коэффициентов, прочитанные не так, как записаны:", lines);
}

void MainWindow::ShowStartList(const char* objectName, const std::string& heading,
                               const std::vector<std::string>& lines) {
    // The whole list, without stopping the start: the values stay as read.
    QString list;
    for (const std::string& l : lines) list += QString::fromStdString(l) + QLatin1Char('\n');
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Конфигуратор"), QString::fromStdString(heading),
                                QMessageBox::Ok, this);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setInformativeText(list);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A running chip tool is stopped first; the close comes back once its command has ended.
    if (BusyRun::CloseWhenDone(this)) {
        event->ignore();
        return;
    }
    // A window closed before its first show never read the lab file: writing
    // it then would replace the user's file with the defaults.
    if (!started_ || closeAllowed_) {
        event->accept();
        return;
    }
    if (SaveAtClose()) {
        closeAllowed_ = true;
        event->accept();
    } else {
        event->ignore();
    }
}

bool MainWindow::SaveAtClose() {
    const QString shown = QString::fromStdString(ShownPath(workspace_.StartupLab(), workspace_));
    CloseRequest request{workspace_.StartupLab()};
    if (m_.startupLabUnreadable) {
        const int answer =
            AskChoice(QStringLiteral("Закрытие"),
                      QStringLiteral("Файл %1 не удалось прочитать при запуске. Записать текущие "
                                     "настройки поверх него?")
                          .arg(shown),
                      {QStringLiteral("Записать"), QStringLiteral("Закрыть без сохранения"), QStringLiteral("Отмена")});
        if (answer == 1) return true;
        if (answer != 0) return false;
        request.overwriteUnreadable = true;
        request.policy.replaceReadOnly = true;
    }
    for (;;) {
        // The combo box always shows ModeOfInput, so the session's own store of
        // the mode's CIC decimations is the one the window would make.
        const CommandResult r = CloseConfiguration(m_, workspace_, request);
        if (r.done()) return true;
        const int answer = AskChoice(
            QStringLiteral("Закрытие"),
            QStringLiteral("Не удалось записать %1: %2.\nНастройки не сохранены.")
                .arg(shown, QString::fromStdString(CauseText(r.failure.code))),
            {QStringLiteral("Повторить"), QStringLiteral("Закрыть без сохранения"), QStringLiteral("Отмена")});
        if (answer == 1) return true;
        if (answer != 0) {
            ShowStatus("Не записано: " + shown.toStdString() + " — " + CauseText(r.failure.code));
            return false;
        }
    }
}

int MainWindow::AskChoice(const QString& title, const QString& text, const QStringList& choices) {
    if (hooks_.askChoice) return hooks_.askChoice(text, choices);
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, this);
    std::vector<QPushButton*> buttons;
    for (const QString& c : choices) buttons.push_back(box.addButton(c, QMessageBox::AcceptRole));
    // The last choice is the safe one (stay, write nothing): Enter and Escape both take it.
    if (!buttons.empty()) {
        box.setDefaultButton(buttons.back());
        box.setEscapeButton(buttons.back());
    }
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
    return static_cast<int>(choices.size()) - 1;
}

void MainWindow::RecomputeResponse() {
    plot_->SetChannel(ResponseChannelOf(m_, m_.CurrentChannel),
                      PlotAxesOf(m_.settings, m_.workImage, m_.CurrentChannel));
}

void MainWindow::RefreshResponseWindows() {
    for (const auto& hook : hooks_.responseWindows) hook();
}

void MainWindow::Guarded(const std::function<void()>& handler) {
    // An error box takes the focus from the edit box that raised it, which
    // would run that box's handler again; ignore events until it is closed.
    if (inHandler_) return;
    inHandler_ = true;
    QString error;
    try {
        handler();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    } catch (...) {
        error = QStringLiteral("Неизвестная ошибка");
    }
    if (!error.isNull()) {
        refreshing_ = false;
        ShowStatus(error.toStdString());
        ShowErrorBox(this, error);
        // The refused text gives way to the value in use.
        if (started_) {
            try {
                ShowView();
                RefreshEditors();
            } catch (const std::exception&) {
            }
        }
    }
    inHandler_ = false;
}

}  // namespace gc
