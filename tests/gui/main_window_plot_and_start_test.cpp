// The main window after commands that change the settings behind the plot's
// back, the order of its start-up, and what "Считать" carries into the next
// program file.
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "chip/derivation.h"
#include "chip/table_file.h"
#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/response_plot.h"
#include "ui_test_support.h"

using namespace gc;
namespace fs = std::filesystem;

class MainWindowPlotAndStartTest : public QObject {
    Q_OBJECT

private slots:
    void plotFollowsATableReadWithoutARecomputation() {
        uitest::WorkFolder dir;
        Session lab;
        lab.settings.FullDebug = 629;
        QVERIFY(WriteLab(lab.settings, dir / "CONFIGS/std.lab"));
        fs::copy_file(fs::path(GC5016_EXAMPLES) / "workspace/FILTERS/cdma.taps", dir / "FILTERS/cdma.taps");

        // A table of an 80 MHz clock with R = 8, F = 1.
        auto other = std::make_unique<Session>();
        other->settings.SystemClock = 80000000;
        for (int c = 0; c < kChannels; ++c) other->settings.CicDec[c] = 8;
        DeriveRegisters(other->settings, *other);
        QVERIFY(WriteTableFile(other->workImage, dir / "FILTERS/slow.tbl"));

        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher modals;
        uitest::ScriptedChooser chooser;
        MainWindow* w = windows.gform();
        w->hooks().chooser = &chooser;
        w->show();
        ResponsePlotPanel* plot = w->plot();
        QCOMPARE(plot->findChild<QLabel*>("mhzTick3")->text(), QString("50.000"));

        chooser.answers.push_back(QString::fromStdString((dir / "FILTERS/slow.tbl").string()));
        w->findChild<QPushButton*>("readTblButton")->click();
        QCOMPARE(m.settings.SystemClock, 80000000);
        // The level zoom only redraws: it must draw with the table's clock and decimation.
        for (const char* zoom : {"yDouble", "yHalve"}) {
            QTest::mouseClick(plot->findChild<QPushButton*>(zoom), Qt::LeftButton);
            QCOMPARE(plot->findChild<QLabel*>("mhzTick3")->text(), QString("40.000"));
            QCOMPARE(plot->Frame().markerColumn, 32);  // 256 / 8 / 1
        }
        // The cursor read-out in kHz too: column 128 is a quarter of 80 MHz.
        QTest::mouseClick(plot->Area(), Qt::RightButton, {}, QPoint(128, 10));
        QCOMPARE(plot->findChild<QLabel*>("freqReadout")->text(), QString("20000.000"));
    }

    void coefficientReportShowsInFrontOfACompleteWindow() {
        uitest::WorkFolder dir;
        Session lab;
        lab.settings.NameOfPFIR = {"gone.taps", "gone.taps", "gone.taps", "gone.taps"};
        QVERIFY(WriteLab(lab.settings, dir / "CONFIGS/std.lab"));
        Session m;
        AppWindows windows(m, dir.workspace());
        MainWindow* w = windows.gform();
        auto* modes = w->findChild<QComboBox*>("modeCombo");
        // What the window showed behind each report, taken while the report is open.
        QStringList seen;
        QTimer poll;
        poll.setInterval(5);
        connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!box) return;
            seen << QString("%1|%2|%3|%4")
                        .arg(modes->count())
                        .arg(modes->currentText(), w->windowTitle())
                        .arg(w->findChild<QWidget*>("adcRadio2")->isHidden());
            box->done(0);
        });
        poll.start();
        w->show();
        QCOMPARE(seen.size(), 4);
        const int items = kBoardModel == 1 ? 2 : 3;
        const bool twoAdcs = kBoardModel == 0 || kBoardModel == 2;
        const QString expected =
            QString("%1|Full rate|%2|%3").arg(items).arg(QString::fromUtf8(BoardCaption(kBoardModel))).arg(twoAdcs);
        for (const QString& s : seen) QCOMPARE(s, expected);
    }

    void readLabCarriesItsSckDivIntoTheNextProgramFile() {
        uitest::WorkFolder dir;
        QVERIFY(WriteLab(Settings{}, dir / "CONFIGS/std.lab"));
        fs::copy_file(fs::path(GC5016_EXAMPLES) / "workspace/FILTERS/cdma.taps", dir / "FILTERS/cdma.taps");
        Settings other;
        other.sck_div = 5;
        QVERIFY(WriteLab(other, dir / "CONFIGS/other.lab"));

        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher modals;
        uitest::ScriptedChooser chooser;
        MainWindow* w = windows.gform();
        w->hooks().chooser = &chooser;
        w->show();
        chooser.answers.push_back(QString::fromStdString((dir / "CONFIGS/other.lab").string()));
        w->findChild<QPushButton*>("readLabButton")->click();
        for (int c = 0; c < kChannels; ++c) QCOMPARE(m.workImage.pfir[c].sck_div, uint16_t(5));
        chooser.answers.push_back(QString::fromStdString((dir / "CONFIGS/mine.lab").string()));
        w->findChild<QPushButton*>("saveLabButton")->click();

        // The batch tool starts on the same lab file: its program file must be the window's.
        QProcess batch;
        batch.start(QString(GC5016_BIN_DIR) + "/gc5016-batch",
                    {"-C", QString::fromStdString(dir.root().string()), "--lab", "CONFIGS/other.lab", "save",
                     "CONFIGS/batch.lab"});
        QVERIFY(batch.waitForFinished(30000));
        QCOMPARE(batch.exitCode(), 0);
        const std::string prg = uitest::ReadText(dir / "CONFIGS/mine.prg");
        QVERIFY(!prg.empty());
        QCOMPARE(prg, uitest::ReadText(dir / "CONFIGS/batch.prg"));
    }
};

QTEST_MAIN(MainWindowPlotAndStartTest)
#include "main_window_plot_and_start_test.moc"
