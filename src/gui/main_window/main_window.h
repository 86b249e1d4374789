// The main window: one channel at a time. Its panels say what the user
// changed; the window sets that one setting, brings the derived state up to
// date once, shows the view of the session and keeps the other windows and
// the response current.
#pragma once

#include <QStringList>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "core/workspace.h"
#include "gui/app/file_chooser.h"
#include "gui/main_window/file_commands_panel.h"
#include "gui/main_window/main_window_hooks.h"
#include "session/commands.h"
#include "session/edit.h"
#include "session/settings_history.h"

class QAction;
class QMenuBar;
class QPushButton;
class QStatusBar;

namespace gc {

class CicPfirPanel;
class ClockModePanel;
class CoefFilePanel;
class ExpertPanel;
class NcoGainPanel;
class ResponsePlotPanel;

class MainWindow : public QWidget {
    Q_OBJECT

public:
    MainWindow(Session& m, Workspace workspace, QWidget* parent = nullptr);
    ~MainWindow() override;

    Session& model() { return m_; }
    const Workspace& workspace() const { return workspace_; }
    // "EnbWrite": whether the register editors and the synchronisation dialog may write.
    bool writeEnabled() const { return writeEnabled_; }

    // What the owner hands the window; set before the first show.
    MainWindowHooks& hooks() { return hooks_; }
    // A button of the expert group that opens another window; the caption is
    // shown as it stands ("Timer & PM"). Buttons line up in the order added.
    QPushButton* AddExpertButton(const QString& caption, const QString& objectName);

    // Width of the window without the expert area.
    static constexpr int kNormalWidth = 870;

    bool started() const { return started_; }
    ResponsePlotPanel* plot() const { return plot_; }

    // An edit from this window or another (the designer, the register editors,
    // the synchronisation dialog): applied to the session and followed here.
    void ApplyUserEdit(const Edit& e);
    // The same for a window that words a refusal itself: a refused edit
    // changes nothing here, and its Effects say why.
    Effects ApplyOtherWindowEdit(const Edit& e);

    // The status line: what the last command read or wrote.
    QStatusBar* statusBar() const { return statusBar_; }
    void ShowStatus(const std::string& line);
    // Undo and redo of the settings (Ctrl+Z, Ctrl+Shift+Z).
    const SettingsHistory& history() const { return history_; }
    void UndoSettings();
    void RedoSettings();

signals:
    // The two "АЧХ" buttons; the PFIR one also by a double-click on the file,
    // PFIR gain, CIC norm, total gain or output rate panel.
    void cicWindowRequested();
    void pfirWindowRequested();
    void chainWindowRequested();
    void compareWindowRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The panels and their wiring (main_window.cpp); the menu, shortcuts, status
    // line, undo and guide (main_window_menu.cpp); the tooltips (main_window_tooltips.cpp).
    void BuildLayout();
    QWidget* BuildNormalPart();
    void ConnectPanels();
    void BuildMenu();
    void SetToolTips();
    void ShowGuide();
    void RecordSettings();
    void UpdateTitle();
    // The start-up lab file's values and the coefficient files not taken as
    // written: status line and a list each.
    void ShowLabNotes();
    void ShowCoefFileNotes();
    void ShowStartList(const char* objectName, const std::string& heading, const std::vector<std::string>& lines);
    void RestoreFromHistory(const std::optional<Settings>& s, bool undo);

    // Start and the edits (main_window.cpp, main_window_edits.cpp).
    void RunStartup();
    void ConnectEdits();
    // ApplyUserEdit inside a handler that is already guarded.
    void ApplyAndShow(const Edit& e);
    // What an edit or a command asks to follow, in one place.
    void ApplyEffects(const Effects& fx);
    void RecomputeResponse();
    void RefreshResponseWindows();
    void RefreshEditors();
    // The view of the session written into the panels; changes nothing.
    void ShowView();

    // File commands (main_window_files.cpp), run by their own handler class.
    friend class FileCommandHandlers;
    // A file command, run guarded.
    void RunCommand(FileCommand command);
    int AskChoice(const QString& title, const QString& text, const QStringList& choices);
    bool SaveAtClose();  // false when the user chose to stay
    // Runs a handler; an error it raises is shown in the error box, and events
    // that the box itself causes (an edit box losing focus) run no handler.
    void Guarded(const std::function<void()>& handler);

    Session& m_;
    const Workspace workspace_;
    bool refreshing_ = false;  // controls written from the model: handlers stay quiet
    bool writeEnabled_ = true;
    MainWindowHooks hooks_;
    bool closeAllowed_ = false;  // the close was decided: a second close event just closes
    void AskToolTimeout();
    DialogFileChooser dialogChooser_;
    bool started_ = false;
    bool inHandler_ = false;
    SettingsHistory history_;
    QMenuBar* menuBar_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;

    FileCommandsPanel* files_ = nullptr;
    ClockModePanel* clockMode_ = nullptr;
    CicPfirPanel* cicPfir_ = nullptr;
    CoefFilePanel* coefFile_ = nullptr;
    NcoGainPanel* ncoGain_ = nullptr;
    ExpertPanel* expert_ = nullptr;
    ResponsePlotPanel* plot_ = nullptr;
};

}  // namespace gc
