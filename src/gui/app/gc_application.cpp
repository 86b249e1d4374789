#include "gui/app/gc_application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <clocale>
#include <cstring>
#include <exception>

namespace gc {

namespace {

// The file dialogs' type words, which the toolkit's Russian translation lacks.
class FileTypeWords : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
        if (!context || !source || std::strcmp(context, "QAbstractFileIconProvider") != 0) return {};
        static constexpr const char* kWords[][2] = {{"Folder", "Папка"},
                                                    {"File", "Файл"},
                                                    {"Drive", "Диск"},
                                                    {"Shortcut", "Ссылка"},
                                                    {"Unknown", "Неизвестно"}};
        for (const auto& w : kWords)
            if (std::strcmp(source, w[0]) == 0) return QString::fromUtf8(w[1]);
        return {};
    }
};

// The file dialogs write dates in the system locale's time format, read
// from the environment when the application starts. Only the time category
// is set: numbers keep the '.' of the program's files. A user's LC_ALL wins.
int& WithRussianDates(int& argc) {
    if (qEnvironmentVariableIsEmpty("LC_ALL")) qputenv("LC_TIME", "ru_RU.UTF-8");
    return argc;
}

// Without the Russian locale in the C library the toolkit's setlocale(LC_ALL, "")
// fails whole and leaves even the character set at "C": take the other
// categories from the environment one by one (the toolkit's dates need none).
void KeepTheOtherCategories() {
    for (int category : {LC_CTYPE, LC_NUMERIC, LC_COLLATE, LC_MONETARY, LC_MESSAGES}) std::setlocale(category, "");
}

// Read-only boxes show the window's colour, so they do not invite typing.
constexpr const char* kLook = "QLineEdit[readOnly=\"true\"] { background-color: palette(window); }";

}  // namespace

GcApplication::GcApplication(int& argc, char** argv) : QApplication(WithRussianDates(argc), argv) {
    // Dialogs of the toolkit speak the window's language: their texts, the
    // names of file types and the month names. Numbers in the program's own
    // boxes and files are written without the locale and keep their '.'.
    KeepTheOtherCategories();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    auto* translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    installTranslator(new FileTypeWords(this));
    setStyleSheet(QString::fromLatin1(kLook));
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
