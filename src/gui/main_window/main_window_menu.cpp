// The main window's menu and shortcuts, its status line, undo and redo of the
// settings, the "*" of unsaved changes in the title, and the user guide.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include "gui/app/guide.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/response_plot.h"
#include "session/command_status.h"

namespace gc {

void MainWindow::BuildMenu() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName("menuBar");
    layout()->setMenuBar(menuBar_);

    auto add = [this](QMenu* menu, const QString& text, const QKeySequence& keys, const char* name, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = menuBar_->addMenu(QStringLiteral("Файл"));
    add(file, QStringLiteral("Считать…"), QKeySequence::Open, "readLabAction",
        [this] { RunCommand(FileCommand::ReadLab); });
    add(file, QStringLiteral("Записать…"), QKeySequence::Save, "saveLabAction",
        [this] { RunCommand(FileCommand::SaveLab); });
    add(file, QStringLiteral("Сравнить конфигурации…"), QKeySequence(), "compareConfigsAction",
        [this] { emit compareWindowRequested(); });
    file->addSeparator();
    add(file, QStringLiteral("Рабочая папка…"), QKeySequence(), "workFolderAction", [this] {
        if (hooks_.changeWorkFolder) hooks_.changeWorkFolder();
    });
    add(file, QStringLiteral("Время работы cmd5016…"), QKeySequence(), "toolTimeoutAction",
        [this] { AskToolTimeout(); });
    file->addSeparator();
    add(file, QStringLiteral("Выход"), QKeySequence(Qt::CTRL | Qt::Key_Q), "quitAction", [this] { close(); });

    QMenu* edit = menuBar_->addMenu(QStringLiteral("Правка"));
    undoAction_ = add(edit, QStringLiteral("Отменить"), QKeySequence(Qt::CTRL | Qt::Key_Z), "undoAction",
                      [this] { UndoSettings(); });
    redoAction_ = add(edit, QStringLiteral("Повторить"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "redoAction",
                      [this] { RedoSettings(); });
    undoAction_->setEnabled(false);
    redoAction_->setEnabled(false);

    QMenu* help = menuBar_->addMenu(QStringLiteral("Справка"));
    add(help, QStringLiteral("Руководство пользователя"), QKeySequence(Qt::Key_F1), "guideAction",
        [this] { ShowGuide(); });
    add(help, QStringLiteral("О программе"), QKeySequence(), "aboutAction", [this] {
        if (hooks_.dialogs.showInfo) hooks_.dialogs.showInfo();
    });
    // Which working folder is in use stays in sight beside the command reports.
    auto* folder = new QLabel(QDir::toNativeSeparators(QFile::decodeName(workspace_.root.string().c_str())), this);
    folder->setObjectName("workFolderLabel");
    folder->setToolTip(QStringLiteral("Рабочая папка"));
    statusBar_->addPermanentWidget(folder);
    SetToolTips();
    for (QLineEdit* e : findChildren<QLineEdit*>()) e->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // An edit box takes Ctrl+Z for its own typing even when it has nothing to
    // undo (its text was just written from the settings): leave the keys to
    // the undo of the settings then.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (edit && ((key->matches(QKeySequence::Undo) && !edit->isUndoAvailable()) ||
                     (key->matches(QKeySequence::Redo) && !edit->isRedoAvailable()))) {
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::AskToolTimeout() {
    bool ok = false;
    const int seconds = QInputDialog::getInt(
        this, QStringLiteral("cmd5016"),
        QStringLiteral("Сколько секунд ждать cmd5016, прежде чем остановить его (0 — без ограничения):"),
        static_cast<int>(hooks_.toolTimeout.count() / 1000), 0, 86400, 1, &ok);
    if (!ok) return;
    hooks_.toolTimeout = std::chrono::seconds(seconds);
    if (hooks_.toolTimeoutChanged) hooks_.toolTimeoutChanged(hooks_.toolTimeout);
    ShowStatus(seconds == 0 ? std::string("cmd5016 работает без ограничения времени")
                            : "cmd5016 останавливается через " + std::to_string(seconds) + " с");
}

void MainWindow::ShowStatus(const std::string& line) {
    // Kept until the next command: a report must not vanish before it is read.
    statusBar_->showMessage(QString::fromStdString(line));
}

// ---- undo, redo, title ----

void MainWindow::RecordSettings() {
    if (!started_) return;
    history_.Commit(m_.settings, m_.currentLabName);
    UpdateTitle();
}

void MainWindow::UpdateTitle() {
    QString title = QString::fromUtf8(BoardCaption(kBoardModel));
    if (started_ && history_.Modified(m_.settings)) title += QStringLiteral(" *");
    setWindowTitle(title);
    if (undoAction_) undoAction_->setEnabled(history_.CanUndo());
    if (redoAction_) redoAction_->setEnabled(history_.CanRedo());
}

void MainWindow::UndoSettings() {
    if (!started_ || inHandler_) return;
    Guarded([this] { RestoreFromHistory(history_.Undo(), true); });
}

void MainWindow::RedoSettings() {
    if (!started_ || inHandler_) return;
    Guarded([this] { RestoreFromHistory(history_.Redo(), false); });
}

void MainWindow::RestoreFromHistory(const std::optional<Settings>& s, bool undo) {
    std::string change;
    if (s) {
        Effects fx = ApplyEdit(m_, edit::Restore{*s}, EditContext{&workspace_, hooks_.coefErrors});
        m_.currentLabName = history_.LabName();
        change = fx.status.value_or(std::string());
        fx.status.reset();
        ApplyEffects(fx);
    }
    UpdateTitle();
    // Which setting went back, and from what to what.
    ShowStatus(change.empty() ? HistoryStatus(undo, s.has_value()) : (undo ? "Отменено: " : "Повторено: ") + change);
}

// ---- user guide ----

void MainWindow::ShowGuide() { gc::ShowGuide(this, GuideSection::Start); }

}  // namespace gc
