#include "gui/file_chooser.h"

#include <QDir>
#include <QFileDialog>

namespace gc {

std::optional<QString> DialogFileChooser::Choose(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, QString(), QDir(request.initialDir).absolutePath(), request.filter);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir(dialog.selectedFiles().first()).absolutePath();
}

}  // namespace gc
