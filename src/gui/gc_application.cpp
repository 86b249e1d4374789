#include "gui/gc_application.h"

#include <QMessageBox>
#include <exception>

namespace gc {

GcApplication::GcApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GcApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowErrorBox(activeWindow(), QString::fromUtf8(e.what()));
    } catch (...) {
        ShowErrorBox(activeWindow(), QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

void ShowErrorBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Ошибка"), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace gc
