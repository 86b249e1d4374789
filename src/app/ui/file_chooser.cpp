#include "app/ui/file_chooser.h"

#include <QDir>
#include <QFileDialog>

namespace gc {

std::optional<QString> DialogFileChooser::Choose(QWidget* parent, const FileDialogSpec& spec) {
    QFileDialog dialog(parent, QString(), QDir(spec.initialDir).absolutePath(), spec.filter);
    dialog.setAcceptMode(spec.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(spec.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!spec.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(spec.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir(dialog.selectedFiles().first()).absolutePath();
}

}  // namespace gc
