// The main window: one channel at a time. Its panels say what the user
// changed; the window sets that one setting, brings the derived state up to
// date once, shows the view of the session and keeps the other windows and
// the response current.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <vector>

#include "core/workspace.h"
#include "filters/responses.h"
#include "gui/file_chooser.h"
#include "gui/file_commands_panel.h"
#include "session/commands.h"
#include "session/edit_rules.h"
#include "session/main_view.h"
#include "session/session.h"
#include "session/settings_history.h"

class QAction;
class QMenuBar;
class QPushButton;
class QStatusBar;

namespace gc {

class CicPfirPanel;
class ClockModePanel;
class CoefFileErrorSink;
class CoefFilePanel;
class ExpertPanel;
class NcoGainPanel;
class ResponsePlotPanel;

// The message windows the main window shows; owned by the program's window set.
struct MainDialogs {
    std::function<void(const QString& totals)> showDecimMismatch;
    std::function<void(const QString& modeLine)> showMinDecim;
    std::function<void()> showInfo;
    std::function<void()> showPfirDesign;
    // A save passed the decimation checks: a notice still open is out of date.
    std::function<void()> closeDecimNotices;
};

class TGForm : public QWidget {
    Q_OBJECT

public:
    TGForm(Session& m, Workspace workspace, QWidget* parent = nullptr);
    ~TGForm() override;

    Session& model() { return m_; }
    const Workspace& workspace() const { return workspace_; }
    // "EnbWrite": whether the register editors and the synchronisation dialog may write.
    bool writeEnabled() const { return writeEnabled_; }

    // Where the coefficient-file reader reports an unusable file.
    void SetCoefErrorSink(CoefFileErrorSink* sink) { coefErrors_ = sink; }
    void SetDialogs(MainDialogs dialogs) { dialogs_ = std::move(dialogs); }
    // Asks whether to replace an existing file; a question box by default, tests answer themselves.
    void SetReplaceQuestion(std::function<bool(const QString& question)> ask) { askReplace_ = std::move(ask); }
    // Asks for one of several choices (its index; the last one when dismissed);
    // a message box by default, tests answer themselves.
    void SetChoiceQuestion(std::function<int(const QString& text, const QStringList& choices)> ask) {
        askChoice_ = std::move(ask);
    }
    // How long the chip tool may run before it is stopped; the menu changes it
    // and tells the owner, who keeps it in the user's settings.
    void SetToolTimeout(std::chrono::milliseconds timeout) { toolTimeout_ = timeout; }
    std::chrono::milliseconds toolTimeout() const { return toolTimeout_; }
    void SetToolTimeoutChanged(std::function<void(std::chrono::milliseconds)> changed) {
        toolTimeoutChanged_ = std::move(changed);
    }
    // "Файл → Рабочая папка…": the owner asks and starts the program anew in the chosen folder.
    void SetWorkFolderChange(std::function<void()> change) { changeWorkFolder_ = std::move(change); }
    // Tests answer the file dialogs through their own chooser.
    void SetFileChooser(FileChooser* chooser) { chooser_ = chooser ? chooser : &dialogChooser_; }
    // Where the chip tool is looked for first (then PATH); the program's own folder by default.
    void SetChipToolDir(std::filesystem::path dir) { chipToolDir_ = std::move(dir); }
    // Other windows that must follow every refresh (register editors, the
    // synchronisation dialog, the response windows) register here in the
    // order in which they are refreshed; each checks its own open flag.
    void AddRefreshHook(std::function<void()> hook) { refreshHooks_.push_back(std::move(hook)); }
    void AddResponseWindowHook(std::function<void()> hook) { responseWindowHooks_.push_back(std::move(hook)); }
    // A button of the expert group that opens another window; the caption is
    // shown as it stands ("Timer & PM"). Buttons line up in the order added.
    QPushButton* AddExpertButton(const QString& caption, const QString& objectName);

    // Width of the window without the expert area.
    static constexpr int kNormalWidth = 870;

    bool started() const { return started_; }
    ResponsePlotPanel* plot() const { return plot_; }
    const ChannelResponse& response() const { return response_; }

    // The derived state brought up to date, the view shown, the open windows
    // refreshed and the settings recorded for undo.
    void UpdateControls();
    // "Файл" after its dialog: the file becomes the selected channel's
    // coefficient file (load, fit, derive, redraw).
    void UseCoefFile(const std::filesystem::path& chosen);
    // A split of the designer's table: the selected channel's CIC and PFIR
    // decimations and its coefficient file at once, one step to undo.
    void ApplyDecimationSplit(int cicDec, int firDec, const std::filesystem::path& file);

    // The status line: what the last command read or wrote.
    QStatusBar* statusBar() const { return statusBar_; }
    void ShowStatus(const std::string& line);
    // Undo and redo of the settings (Ctrl+Z, Ctrl+Shift+Z).
    const SettingsHistory& history() const { return history_; }
    void UndoSettings();
    void RedoSettings();
    // Another window (the synchronisation dialog) changed settings itself:
    // record them for undo, mark the title and say what changed.
    void OnSettingsEditedElsewhere();

signals:
    // The two "АЧХ" buttons; the PFIR one also by a double-click on the file,
    // PFIR gain, CIC norm, total gain or output rate panel.
    void cicWindowRequested();
    void pfirWindowRequested();
    void chainWindowRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The panels and their wiring (tgform.cpp); the menu, shortcuts, status
    // line, undo and guide (tgform_menu.cpp); the tooltips (tgform_tooltips.cpp).
    void BuildLayout();
    QWidget* BuildNormalPart();
    void ConnectPanels();
    void BuildMenu();
    void SetToolTips();
    void ShowGuide();
    void RecordSettings();
    void UpdateTitle();
    // The start-up lab file's values not taken as written: status line and a list.
    void ShowLabNotes();
    void RestoreFromHistory(const std::optional<Settings>& s, bool undo);

    // Start and the edits (tgform.cpp, tgform_edits.cpp).
    void RunStartup();
    void RecomputeResponse();
    void RefreshResponseWindows();
    // The view of the session written into the panels; changes nothing.
    void ShowView();
    void OnTextEdited(ControlField field, const QString& text);
    void OnCicStep(int step);
    void OnFirDecChosen(int index);
    void OnInputModeChosen(int index);
    void OnEnabledChannelsEdited();
    void OnChannelChosen(int channel);
    void OnAdcChosen(int adc);
    void OnManualShift();
    void OnManualShiftClicked();
    void OnTdmClicked(bool on);
    void OnObkatkaClicked(bool on);
    void OnFilterKindChosen(int index);
    void OnSyncModeChosen(int index);
    void OnWriteSwitchClicked(bool on);
    void ApplyManualShift();

    // File commands (tgform_files.cpp).
    void RunCommand(FileCommand command);
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
    // A yes/no question; the replace-question hook answers it in tests.
    bool AskYesNo(const QString& title, const QString& question);
    int AskChoice(const QString& title, const QString& text, const QStringList& choices);
    // Writes std.lab at close; false when the user chose to stay.
    bool SaveAtClose();
    // How the commands run the chip tool from the window.
    ChipToolRunner ToolRunner();
    std::filesystem::path ChipToolDir() const;

    // Runs a handler; an error it raises is shown in the error box, and events
    // that the box itself causes (an edit box losing focus) run no handler.
    void Guarded(const std::function<void()>& handler);
    // The handler of a panel's signal, run guarded.
    template <typename... Args>
    auto Handle(void (TGForm::*handler)(Args...)) {
        return [this, handler](Args... args) { Guarded([&] { (this->*handler)(args...); }); };
    }
    // The same for an edit, whose status line then says what it changed.
    template <typename... Args>
    auto HandleEdit(void (TGForm::*handler)(Args...)) {
        return [this, handler](Args... args) {
            Guarded([&] {
                const EditBefore before = BeforeEdit(m_);
                editNote_.clear();
                (this->*handler)(args...);
                ShowStatus(EditStatus(before, m_, editNote_));
            });
        };
    }

    Session& m_;
    const Workspace workspace_;
    // Set while the controls are written from the model: their change
    // handlers must not feed them back.
    bool refreshing_ = false;
    bool writeEnabled_ = true;
    CoefFileErrorSink* coefErrors_ = nullptr;
    MainDialogs dialogs_;
    std::function<bool(const QString& question)> askReplace_;
    std::function<int(const QString& text, const QStringList& choices)> askChoice_;
    bool closeAllowed_ = false;  // the close was decided: a second close event just closes
    std::chrono::milliseconds toolTimeout_ = kDefaultChipToolTimeout;
    std::function<void(std::chrono::milliseconds)> toolTimeoutChanged_;
    std::function<void()> changeWorkFolder_;
    void AskToolTimeout();
    DialogFileChooser dialogChooser_;
    FileChooser* chooser_ = &dialogChooser_;
    std::vector<std::function<void()>> refreshHooks_;
    std::vector<std::function<void()>> responseWindowHooks_;
    ChannelResponse response_;
    std::filesystem::path chipToolDir_;
    bool started_ = false;
    bool inHandler_ = false;
    std::string editNote_;  // what the edit made of the value typed, for the status line
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
