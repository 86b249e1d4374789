// The synchronisation dialog and the nine register editors, with the main
// window's buttons that open them: created once at start, refreshed by the
// main window's refresh while open, editable while "EnbWrite" is checked.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/model.h"
#include "session/register_editor.h"

class QWidget;

namespace gc {

class RegisterEditorDialog;
class MainWindow;
class SyncDialog;

class RegisterWindows {
public:
    RegisterWindows(Settings& settings, RegisterImage& workImage);
    ~RegisterWindows();

    // Adds the ten buttons to the main window's expert group; every refresh of
    // the main window (and a click on its "EnbWrite") hands all ten windows the
    // state of "EnbWrite", then refreshes the open ones.
    void Attach(MainWindow& form);

    SyncDialog* syncro() const { return syncro_.get(); }
    RegisterEditorDialog* dialog(RegisterDialogId id) const { return dialogs_[static_cast<size_t>(id)].get(); }

    // Refreshes every open window, in the main window's order.
    void RefreshOpen();
    void SetWriteEnable(bool on);
    // The command-line names of these windows: "sync", then the editors in
    // the order of their buttons.
    static std::vector<std::string_view> WindowNames();
    // Opens a window by its command-line name as its button does; false for
    // a name that is none of these windows.
    bool OpenByName(std::string_view name);
    // The windows of this set among `names` (other names are skipped). Like
    // their buttons they are there only in expert mode: outside it none opens,
    // and the names left closed are returned.
    std::vector<std::string> OpenNamed(const std::vector<std::string>& names, bool expertMode);

private:
    std::unique_ptr<SyncDialog> syncro_;
    std::array<std::unique_ptr<RegisterEditorDialog>, kRegisterDialogCount> dialogs_;
};

}  // namespace gc
