// The windows' places between runs: kept in the user's settings file, put
// back at the next start, and the secondary windows open at close reopen.
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "gui/app/window_state.h"

using namespace gc;

class WindowStateTest : public QObject {
    Q_OBJECT

private slots:
    void placesAndOpenWindowsComeBackAtTheNextRun() {
        QTemporaryDir dir;
        const QString file = dir.filePath("state.ini");
        {
            QSettings settings(file, QSettings::IniFormat);
            WindowStateStore store(settings);
            QWidget main, cic, pfir;
            store.TrackMainWindow(&main);
            store.TrackSecondary(&cic, "cic");
            store.TrackSecondary(&pfir, "pfir");
            main.setGeometry(120, 90, 300, 200);
            cic.setGeometry(400, 60, 150, 100);
            main.show();
            cic.show();
            QVERIFY(QTest::qWaitForWindowExposed(&main));
            main.close();  // the close saves, while cic is still open
            QVERIFY(!store.SavedOpenWindows().isEmpty());
        }
        QSettings settings(file, QSettings::IniFormat);
        WindowStateStore store(settings);
        QCOMPARE(store.SavedOpenWindows(), QStringList{"cic"});
        QWidget main, cic, pfir;
        store.TrackMainWindow(&main);
        store.TrackSecondary(&cic, "cic");
        store.TrackSecondary(&pfir, "pfir");
        QCOMPARE(main.geometry(), QRect(120, 90, 300, 200));
        QCOMPARE(cic.geometry(), QRect(400, 60, 150, 100));
        // Never shown, pfir had no place of its own to keep.
        QVERIFY(!settings.contains("windows/pfir/geometry"));
        store.ReopenSecondaries();
        QVERIFY(cic.isVisible());
        QVERIFY(!pfir.isVisible());
    }

    void firstRunLeavesTheWindowsAsTheyAre() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath("none.ini"), QSettings::IniFormat);
        WindowStateStore store(settings);
        QWidget main, cic;
        main.resize(321, 123);
        store.TrackMainWindow(&main);
        store.TrackSecondary(&cic, "cic");
        store.ReopenSecondaries();
        QCOMPARE(main.size(), QSize(321, 123));
        QVERIFY(!cic.isVisible());
        // Nothing is written before a close.
        QVERIFY(!std::filesystem::exists(dir.filePath("none.ini").toStdString()));
    }
};

QTEST_MAIN(WindowStateTest)
#include "window_state_test.moc"
