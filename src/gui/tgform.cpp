#include "gui/tgform.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <exception>

#include "gui/busy_run.h"
#include "gui/gc_application.h"
#include "gui/response_plot.h"
#include "session/command_status.h"
#include "session/commands.h"
#include "session/edit_rules.h"
#include "session/session.h"

namespace gc {

namespace {
const char* const kModeNames[3] = {"Full rate", "SplitIQ", "Double rate"};
// Input modes offered by each board model: the second has no "Double rate".
constexpr int kModesOfBoard[4] = {3, 2, 3, 3};
}  // namespace

TGForm::TGForm(Session& m, Workspace workspace, QWidget* parent)
    : QWidget(parent), m_(m), workspace_(std::move(workspace)) {
    setObjectName("GForm");
    // A click on a label or a margin takes the focus from the edit boxes.
    setFocusPolicy(Qt::ClickFocus);
    setWindowTitle(QString::fromUtf8(BoardCaption(BoardModel)));
    BuildLayout();
    ConnectControls();
    // Start as a normal user's window; the first show widens it for an expert.
    // Sizing it here also keeps the toolkit from fitting it to its contents on show.
    expertGroup_->hide();
    for (QWidget* w : expertWidgets_) w->hide();
    resize(kNormalWidth, sizeHint().height());
}

TGForm::~TGForm() {
    // The base class closes the window after the members are gone, and an edit
    // box that loses the focus then would run its handler on them.
    for (QLineEdit* e : findChildren<QLineEdit*>()) {
        e->blockSignals(true);
        e->removeEventFilter(this);
    }
}

void TGForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (started_) return;
    started_ = true;
    Guarded([this] { RunStartup(); });
}

void TGForm::RunStartup() {
    // Lab file, expert mode, board model; then the window is made complete
    // before a coefficient file can raise its report in front of it.
    BeginSession(m_, workspace_.StartupLab());
    setWindowTitle(QString::fromUtf8(BoardCaption(BoardModel)));
    if (m_.startupLabUnreadable) {
        // The defaults stand in, but the file is left alone until the user says otherwise.
        ShowErrorBox(this,
                     QStringLiteral("Файл %1 не удалось прочитать: %2.\nОкно открыто с настройками по "
                                    "умолчанию; при закрытии программа спросит, записать ли их поверх этого файла.")
                         .arg(QString::fromStdString(ShownPath(m_.startupLabPath, workspace_)),
                              QString::fromStdString(CauseText(InspectTextFile(m_.startupLabPath)))));
    }

    // Boards 0 and 2 wire only two ADC inputs.
    const bool twoAdcs = BoardModel == 0 || BoardModel == 2;
    adcRadios_[2]->setVisible(!twoAdcs);
    adcRadios_[3]->setVisible(!twoAdcs);
    enbWriteBox_->setEnabled(false);
    {
        QSignalBlocker block(modeCombo_);
        modeCombo_->clear();
        for (int k = 0; k < kModesOfBoard[BoardModel]; ++k) modeCombo_->addItem(QString::fromUtf8(kModeNames[k]));
    }

    LoadSessionFilters(m_, workspace_, coefErrors_);
    RecomputeResponse();
    UpdateControls();
    plot_->ScheduleRedraw();
    shiftEdit_->setText(QString::number(m_.settings.shiftFir));
    history_.Reset(m_.settings, m_.currentLabName);
    UpdateTitle();
    const std::string outside = OutsideChipStatus(m_.settings);
    if (!outside.empty()) ShowStatus(outside);
}

void TGForm::closeEvent(QCloseEvent* event) {
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

bool TGForm::SaveAtClose() {
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

int TGForm::AskChoice(const QString& title, const QString& text, const QStringList& choices) {
    if (askChoice_) return askChoice_(text, choices);
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, this);
    std::vector<QAbstractButton*> buttons;
    for (const QString& c : choices) buttons.push_back(box.addButton(c, QMessageBox::AcceptRole));
    if (!buttons.empty()) box.setEscapeButton(buttons.back());
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
    return static_cast<int>(choices.size()) - 1;
}

void TGForm::RecomputeResponse() {
    gc::RecomputeResponse(m_, m_.CurrentChannel, plot_->XStretch(), response_);
    plot_->ShowResponse(response_.OverallResponse, m_);
}

void TGForm::RefreshResponseWindows() {
    for (const auto& hook : responseWindowHooks_) hook();
}

void TGForm::Guarded(const std::function<void()>& handler) {
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
        ShowErrorBox(this, error);
        // The refused text gives way to the value in use.
        if (started_) {
            try {
                UpdateControls();
            } catch (const std::exception&) {
            }
        }
    }
    inHandler_ = false;
}

}  // namespace gc
