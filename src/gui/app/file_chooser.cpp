#include "gui/app/file_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>

namespace gc {

namespace {

// Icons and type names from the entry's kind and name only. The toolkit's own
// provider guesses a type from a file's first bytes, and reading a file can
// block for good (/proc/kmsg, a FIFO, a hung network share), so a dialog
// opened on such a folder would freeze the window with the unsaved settings.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    NameOnlyIconProvider() { setOptions(DontUseCustomDirectoryIcons); }
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override {
        if (info.isRoot()) return QFileIconProvider::icon(Drive);
        return QFileIconProvider::icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo& info) const override {
        // MatchExtension looks at the name (and, for devices, the inode type) only.
        return mimes_.mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
    }

private:
    QMimeDatabase mimes_;
};

}  // namespace

void ConfigureFileDialog(QFileDialog& dialog) {
    static NameOnlyIconProvider provider;
    // The platform's native dialog would guess types its own way.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons);
    dialog.setIconProvider(&provider);
}

std::optional<QString> DialogFileChooser::Choose(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, QString(), QDir(request.initialDir).absolutePath(), request.filter);
    ConfigureFileDialog(dialog);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
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
