#include "app/ui/tgform.h"

#include <QCloseEvent>
#include <QShowEvent>

#include "app/session.h"

namespace gc {

TGForm::TGForm(Model& m, QWidget* parent) : QWidget(parent), m_(m) {
    setObjectName("GForm");
    setWindowTitle(QString::fromUtf8(BoardCaption(BoardModel)));
    plotTimer_.setSingleShot(true);
    plotTimer_.setInterval(100);
}

TGForm::~TGForm() = default;

void TGForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (started_) return;
    started_ = true;
    RunStartup();
}

void TGForm::RunStartup() {
    StartSession(m_, StartupLabPath(), coefErrors_);
    setWindowTitle(QString::fromUtf8(BoardCaption(BoardModel)));
    plotTimer_.start();
}

void TGForm::closeEvent(QCloseEvent* event) {
    // A window closed before its first show never read the lab file: writing
    // it then would replace the user's file with the defaults.
    if (started_) CloseSession(m_, StartupLabPath());
    event->accept();
}

}  // namespace gc
