#include "gui/gc_application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <exception>

namespace gc {

GcApplication::GcApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The toolkit's own dialogs and buttons speak the window's language. Only
    // the texts: numbers keep the '.' of the program's files whatever the locale.
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

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
