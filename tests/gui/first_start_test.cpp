// The first start without a working folder: the question "Рабочая папка", the
// folder made from the example in the documents folder, and the next start
// that goes there without asking. HOME is a fresh folder for the whole run.
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "gui/app/app_windows.h"
#include "gui/app/work_folder_dialog.h"
#include "gui/main_window/main_window.h"
#include "ui_test_support.h"

using namespace gc;
namespace fs = std::filesystem;

namespace {

// Answers the work-folder questions, one button each, and counts them.
class FolderAnswers {
public:
    explicit FolderAnswers(std::vector<QDialogButtonBox::StandardButton> answers) : answers_(std::move(answers)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* d = qobject_cast<WorkFolderDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            // A question nobody expected is closed, so that the test fails rather than hangs.
            const auto answer = asked < answers_.size() ? answers_[asked] : QDialogButtonBox::Cancel;
            ++asked;
            d->findChild<QDialogButtonBox*>("workFolderButtons")->button(answer)->click();
        });
        timer_.start();
    }
    size_t asked = 0;

private:
    std::vector<QDialogButtonBox::StandardButton> answers_;
    QTimer timer_;
};

QSettings UserSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "gc5016-config", "gc5016-config");
}

}  // namespace

class FirstStartTest : public QObject {
    Q_OBJECT

private slots:
    void emptyHomeGetsTheExampleInDocumentsAndKeepsIt() {
        const fs::path documents = ToFsPath(QDir::homePath()) / "Documents";
        const fs::path made = documents / "gc5016";
        QTemporaryDir elsewhere;  // the desktop's current folder, without CONFIGS/
        WorkFolderStart start;
        start.current = ToFsPath(elsewhere.path());
        QSettings settings = UserSettings();
        {
            FolderAnswers closed({QDialogButtonBox::Cancel});
            QCOMPARE(StartWorkFolder(start, settings, ExampleWorkFolder()), std::nullopt);
            QCOMPARE(closed.asked, size_t(1));
            QVERIFY(!fs::exists(made));  // giving up touches nothing
        }
        {
            FolderAnswers accept({QDialogButtonBox::Ok});
            QCOMPARE(StartWorkFolder(start, settings, ExampleWorkFolder()), std::optional<fs::path>(made));
            QCOMPARE(accept.asked, size_t(1));
        }
        QVERIFY(fs::is_regular_file(made / "CONFIGS/std.lab"));
        QVERIFY(fs::is_regular_file(made / "FILTERS/cdma.taps"));

        // The window starts there on the example's files: no error window.
        Session m;
        AppWindows windows(m, Workspace{made});
        uitest::ModalCatcher errors;
        windows.gform()->show();
        QVERIFY(windows.gform()->started());
        QCOMPARE(errors.seen.size(), size_t(0));
        QCOMPARE(windows.gform()->findChild<QLabel*>("workFolderLabel")->text(), FromFsPath(made));
        for (const CoefSetInfo& c : m.coefSetInfo) QVERIFY(c.ntaps > 0);
        windows.gform()->close();

        // The next start goes there without asking, from the desktop or a terminal.
        for (const bool desktop : {true, false}) {
            QSettings again = UserSettings();
            FolderAnswers none({});
            const WorkFolderStart next{{}, start.current, {}, desktop};
            QCOMPARE(StartWorkFolder(next, again, ExampleWorkFolder()), std::optional<fs::path>(made));
            QCOMPARE(none.asked, size_t(0));
        }
    }
};

int main(int argc, char** argv) {
    // Before the application exists: the settings' folder is fixed at its first use.
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    QApplication app(argc, argv);
    FirstStartTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "first_start_test.moc"
