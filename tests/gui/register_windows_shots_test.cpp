// Pictures of the synchronisation dialog and the nine register editors, opened
// from their buttons in expert mode on the example working folder.
// scripts/screenshots.sh runs this with GC5016_SHOT_DIR set to remake the
// pictures of the user guide; without it they go to a temporary folder and
// only the window sizes are checked.
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/dialogs/register_editor_dialog.h"
#include "gui/dialogs/register_windows.h"
#include "gui/dialogs/sync_dialog.h"
#include "gui/main_window/main_window.h"
#include "ui_test_support.h"

using namespace gc;
namespace fs = std::filesystem;

class RegisterWindowsShotsTest : public QObject {
    Q_OBJECT

private:
    QString shotDir_;
    QTemporaryDir tmp_;

private slots:
    void initTestCase() {
        shotDir_ = qEnvironmentVariable("GC5016_SHOT_DIR");
        if (shotDir_.isEmpty()) shotDir_ = tmp_.path();
        QDir().mkpath(shotDir_);
    }

    void everyWindowFitsAScreen() {
        uitest::WorkFolder dir;
        uitest::CopyExampleInto(dir);
        Session lab;
        ReadLab(lab.settings, lab, dir / "CONFIGS/std.lab");
        lab.settings.FullDebug = 629;
        WriteLab(lab.settings, dir / "CONFIGS/std.lab");

        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher catcher;
        windows.gform()->show();
        RegisterWindows* rw = windows.registerWindows();
        struct Shot {
            QWidget* window;
            QString button;
            QString file;
        };
        std::vector<Shot> shots = {{rw->syncro(), "syncroButton", "sync_window.png"}};
        for (int k = 0; k < kRegisterDialogCount; ++k) {
            RegisterEditorDialog* d = rw->dialog(static_cast<RegisterDialogId>(k));
            shots.push_back({d, d->objectName() + "Button", "register_" + d->objectName() + ".png"});
        }
        for (const Shot& shot : shots) {
            auto* button = windows.gform()->findChild<QPushButton*>(shot.button);
            QVERIFY(button);
            button->click();
            QVERIFY(shot.window->isVisible());
            const QImage img = shot.window->grab().toImage();
            QVERIFY(img.save(QDir(shotDir_).filePath(shot.file)));
            // The tallest editor still fits a laptop's screen.
            QVERIFY2(img.height() <= 1000 && img.width() <= 1000, qPrintable(shot.file));
        }
    }
};

QTEST_MAIN(RegisterWindowsShotsTest)
#include "register_windows_shots_test.moc"
