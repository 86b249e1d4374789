#include "gui/dialogs/coef_file_error_dialog.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace gc {

CoefFileErrorDialog::CoefFileErrorDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ErrFileCoeff"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setMinimumSize(216, 177);
    resize(216, 177);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(16, 24, 16, 16);
    v->setSpacing(8);
    for (size_t k = 0; k < lines_.size(); ++k) {
        lines_[k] = new QLabel(this);
        lines_[k]->setObjectName(QStringLiteral("line%1").arg(k + 1));
        lines_[k]->setStyleSheet(QStringLiteral("QLabel { color: red; font-weight: bold; }"));
        lines_[k]->setTextFormat(Qt::PlainText);
        // The second and third lines are indented under the first.
        if (k > 0) lines_[k]->setContentsMargins(40, 0, 0, 0);
        v->addWidget(lines_[k]);
    }
    v->addStretch(1);
}

void CoefFileErrorDialog::SetLines(const std::string& path, bool missing) {
    const std::array<std::string, 3> text = CoefFileErrorLines(path, missing);
    lines_[0]->setText(QString::fromStdString(text[0]));
    // A path is shown as the file system spells it, whatever its encoding.
    lines_[1]->setText(QFile::decodeName(QByteArray::fromStdString(text[1])));
    lines_[2]->setText(QString::fromStdString(text[2]));
}

std::array<QString, 3> CoefFileErrorDialog::Lines() const {
    return {lines_[0]->text(), lines_[1]->text(), lines_[2]->text()};
}

void CoefFileErrorDialog::ShowCoefFileError(const std::string& path, bool missing) {
    SetLines(path, missing);
    // A long path widens the window rather than being cut.
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
    exec();
}

}  // namespace gc
