// How the main window asks the user for a file. Commands go through this
// interface so that tests can answer the dialogs without a native window.
#pragma once

#include <QString>
#include <optional>

class QFileDialog;
class QWidget;

namespace gc {

struct FileDialogRequest {
    bool save = false;      // save dialog, else open dialog
    QString filter;         // e.g. "PFIR5016(*.taps)"
    QString defaultSuffix;  // without the dot; empty for none
    QString initialDir;     // absolute, or relative to the current folder
    // The dialog asks before an existing file is chosen for saving; off where
    // the command asks itself (it replaces more than the one file).
    bool confirmOverwrite = true;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen path (absolute), or nullopt when the user cancelled.
    virtual std::optional<QString> Choose(QWidget* parent, const FileDialogRequest& request) = 0;
};

// Makes a dialog show files without reading them: kind and name alone choose
// icons and type names, so that no folder (/proc, /dev) can hang it.
void ConfigureFileDialog(QFileDialog& dialog);

// The toolkit's own file dialogs, set up by ConfigureFileDialog.
class DialogFileChooser : public FileChooser {
public:
    std::optional<QString> Choose(QWidget* parent, const FileDialogRequest& request) override;
};

}  // namespace gc
