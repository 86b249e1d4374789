#include "gui/file_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>

namespace gc {

std::optional<QString> DialogFileChooser::Choose(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, QString(), QDir(request.initialDir).absolutePath(), request.filter);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    // With several file types, a name typed without a suffix takes the one of the type chosen.
    if (request.filter.contains(QLatin1String(";;"))) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
            static const QRegularExpression kSuffix(QStringLiteral("\\*\\.(\\w+)"));
            const QRegularExpressionMatch match = kSuffix.match(filter);
            if (match.hasMatch()) dialog.setDefaultSuffix(match.captured(1));
        });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir(dialog.selectedFiles().first()).absolutePath();
}

}  // namespace gc
