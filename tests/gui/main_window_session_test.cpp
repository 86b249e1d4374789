// Start and close of the main window: the start-up lab file is read on first
// show and written back at close.
#include <QtTest>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/dialogs/message_dialogs.h"
#include "gui/main_window/main_window.h"
#include "ui_test_support.h"

using namespace gc;
using gc::uitest::WorkFolder;

class MainWindowSessionTest : public QObject {
    Q_OBJECT

private slots:
    void startReadsLabAndCloseWritesItWithFullDebugRestored() {
        WorkFolder dir;
        Session saved;
        saved.settings.FullDebug = 629;
        saved.settings.SystemClock = 80000000;
        saved.settings.FreqNCO[2] = 1234567;
        saved.settings.NameOfPFIR[1] = "missing.taps";
        QVERIFY(WriteLab(saved.settings, dir / "CONFIGS/std.lab"));

        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher catcher;  // the coefficient files are absent
        windows.gform()->show();
        QVERIFY(windows.gform()->started());
        if constexpr (kBoardModel == 2)
            QCOMPARE(windows.gform()->windowTitle(), QString("Конфигуратор DDC GC5016 для TORVIN-C"));
        else
            QCOMPARE(windows.gform()->windowTitle(), QString::fromUtf8(BoardCaption(kBoardModel)));
        QCOMPARE(m.settings.SystemClock, 80000000);
        QCOMPARE(m.settings.FreqNCO[2], 1234567);
        QCOMPARE(m.settings.TypeOfModule, kBoardModel);
        QVERIFY(m.ExpertMode);
        QCOMPARE(m.settings.FullDebug, 0);
        QCOMPARE(m.FullDebugSaved, 629);

        windows.gform()->close();
        Session back;
        QVERIFY(ReadLab(back.settings, back, dir / "CONFIGS/std.lab"));
        QCOMPARE(back.settings.FullDebug, 629);
        QCOMPARE(back.settings.SystemClock, 80000000);
        QCOMPARE(back.settings.FreqNCO[2], 1234567);
        QCOMPARE(back.settings.NameOfPFIR[1], std::string("missing.taps"));
        QCOMPARE(back.settings.TypeOfModule, kBoardModel);
    }

    void folderWithoutLabStartsOnDefaults() {
        WorkFolder dir;
        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher catcher;
        windows.gform()->show();
        const Settings defaults;
        QCOMPARE(m.settings.SystemClock, defaults.SystemClock);
        QCOMPARE(m.settings.FreqNCO[3], defaults.FreqNCO[3]);
        QVERIFY(!m.ExpertMode);
        windows.gform()->close();
        Session back;
        QVERIFY(ReadLab(back.settings, back, dir / "CONFIGS/std.lab"));
        QCOMPARE(back.settings.FullDebug, 0);
        QCOMPARE(back.settings.SystemClock, defaults.SystemClock);
    }

    void windowNeverShownDoesNotOverwriteTheLab() {
        WorkFolder dir;
        Session saved;
        saved.settings.SystemClock = 64000000;
        QVERIFY(WriteLab(saved.settings, dir / "CONFIGS/std.lab"));
        const std::string before = uitest::ReadText(dir / "CONFIGS/std.lab");
        {
            Session m;
            AppWindows windows(m, dir.workspace());
            windows.gform()->close();
        }
        QCOMPARE(uitest::ReadText(dir / "CONFIGS/std.lab"), before);
    }

    // Runs last: it enters the event loop, which the close must end.
    void closingTheMainWindowEndsTheProgramWhileANoticeIsOpen() {
        WorkFolder dir;
        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher catcher;
        windows.gform()->show();
        windows.info()->ShowInfo();
        windows.errDecim()->ShowDecimMismatch();
        QTimer::singleShot(0, windows.gform(), [&] { windows.gform()->close(); });
        // Still running after the close: the timer ends the loop with another code.
        QTimer::singleShot(3000, [] { QCoreApplication::exit(7); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(std::filesystem::exists(dir / "CONFIGS/std.lab"));
    }
};

QTEST_MAIN(MainWindowSessionTest)
#include "main_window_session_test.moc"
