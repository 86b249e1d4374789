// The secondary windows open when the main window closes are open again at
// the next start with the same settings file: reopened as their buttons open
// them, so they are flagged open and follow the main window's edits; the
// register windows only in expert mode.
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/app/tracked_windows.h"
#include "gui/app/window_state.h"
#include "gui/dialogs/register_editor_dialog.h"
#include "gui/dialogs/register_windows.h"
#include "gui/dialogs/sync_dialog.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/cic_response_window.h"
#include "gui/plots/pfir_response_window.h"
#include "ui_test_support.h"

using namespace gc;

namespace {

void WriteStartLab(const uitest::WorkFolder& dir, bool expert) {
    Settings lab;
    lab.SystemClock = 100000000;
    lab.FullDebug = expert ? kExpertCode : 0;
    WriteLab(lab, dir / "CONFIGS/std.lab");
    std::filesystem::copy_file(std::filesystem::path(GC5016_EXAMPLES) / "workspace/FILTERS/cdma.taps",
                               dir / "FILTERS/cdma.taps", std::filesystem::copy_options::overwrite_existing);
}

// One run of the program as main() wires it: the windows, the store on the
// settings file, the main window shown, then the windows of the last close.
struct Run {
    QSettings settings;
    WindowStateStore store;
    Session m;
    AppWindows windows;

    Run(const QString& settingsFile, const uitest::WorkFolder& dir)
        : settings(settingsFile, QSettings::IniFormat), store(settings), windows(m, dir.workspace()) {
        store.TrackMainWindow(windows.gform());
        TrackSecondaryWindows(store, windows, m);
        windows.gform()->show();
        store.ReopenSecondaries();
    }
    RegisterWindows* registers() const { return windows.registerWindows(); }
};

}  // namespace

class TrackedWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void windowsOpenAtCloseReopenAtTheNextStart_data() {
        QTest::addColumn<bool>("expertAtNextStart");
        QTest::newRow("expert") << true;
        QTest::newRow("normal") << false;
    }
    void windowsOpenAtCloseReopenAtTheNextStart() {
        QFETCH(bool, expertAtNextStart);
        uitest::WorkFolder dir;
        uitest::ModalCatcher modals;
        QTemporaryDir home;
        const QString settingsFile = home.filePath("gc5016-config.ini");
        WriteStartLab(dir, true);
        {
            Run first(settingsFile, dir);
            QVERIFY(!first.windows.cicForm()->IsOpen());  // nothing saved yet
            first.windows.gform()->findChild<QPushButton*>("cicWindowButton")->click();
            first.windows.gform()->findChild<QPushButton*>("syncroButton")->click();
            QVERIFY(first.registers()->OpenByName("agc"));
            // Opened and closed again: not open at the close.
            first.windows.pfirForm()->Open();
            first.windows.pfirForm()->close();
            first.windows.gform()->close();
        }
        WriteStartLab(dir, expertAtNextStart);

        Run next(settingsFile, dir);
        CicResponseWindow* cic = next.windows.cicForm();
        QVERIFY(cic->isVisible() && cic->IsOpen());
        QVERIFY(!next.windows.pfirForm()->isVisible() && !next.windows.pfirForm()->IsOpen());
        // Flagged open, it follows an edit in the main window.
        QTRY_VERIFY_WITH_TIMEOUT(cic->RedrawCount() >= 1, 1000);
        const int draws = cic->RedrawCount();
        next.windows.gform()->findChild<QAbstractButton*>("channelRadio1")->click();
        QVERIFY(cic->RedrawCount() > draws);

        SyncDialog* sync = next.registers()->syncro();
        RegisterEditorDialog* agc = next.registers()->dialog(RegisterDialogId::Agc);
        QCOMPARE(sync->flags().open, expertAtNextStart);
        QCOMPARE(sync->isVisible(), expertAtNextStart);
        QCOMPARE(agc->flags().open, expertAtNextStart);
        QCOMPARE(agc->isVisible(), expertAtNextStart);
        QVERIFY(!next.registers()->dialog(RegisterDialogId::Global)->isVisible());
        QVERIFY(modals.seen.empty());
    }
};

QTEST_MAIN(TrackedWindowsTest)
#include "tracked_windows_test.moc"
