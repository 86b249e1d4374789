// The main window driven through its real controls on the offscreen platform:
// the CIC checks, the input-mode switch, "Записать", the expert mode, the
// coefficient-file reports and the file commands.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <clocale>
#include <memory>

#include "chip/compare_report.h"
#include "core/lab_file.h"
#include "filters/pfir_fit.h"
#include "gui/app/app_windows.h"
#include "gui/dialogs/message_dialogs.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/response_plot.h"
#include "started_window.h"
#include "test_util.h"

using namespace gc;
namespace fs = std::filesystem;

namespace {

using uitest::StartedWindow;

Session LabInMode(int mode) {
    Session lab;
    lab.settings.ModeOfInput = mode;
    return lab;
}

// The fit the channel should have after an edit, made on a copy of the model.
CoefSetInfo ExpectedFit(const Session& m, int channel) {
    auto copy = std::make_unique<Session>(m);
    FitPfirToChannel(copy->settings, *copy, channel);
    return copy->coefSetInfo[channel];
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cicBoxRoundsToTheModeStepAndClamps() {
        {
            StartedWindow s(LabInMode(2));  // Double rate: step 2, minimum 2
            s.type("cicEdit", "7");
            QCOMPARE(s.get<QLineEdit>("cicEdit")->text(), QString("6"));
            QCOMPARE(s.m.settings.CicDec[0], 6);
            s.type("cicEdit", "5000");
            QCOMPARE(s.get<QLineEdit>("cicEdit")->text(), QString("1024"));
            QCOMPARE(s.m.settings.CicDec[0], 1024);
        }
        {
            StartedWindow s(LabInMode(1));  // SplitIQ: step 1, minimum 1
            s.type("cicEdit", "0");
            QCOMPARE(s.m.settings.CicDec[0], 1);
            s.type("cicEdit", "1000");
            s.click("cicStep+100");
            QCOMPARE(s.m.settings.CicDec[0], 1024);
            QCOMPARE(s.get<QLineEdit>("cicEdit")->text(), QString("1024"));
        }
        {
            StartedWindow s(LabInMode(0));  // Full rate: minimum 2
            s.type("cicEdit", "50");
            s.click("cicStep-100");
            QCOMPARE(s.m.settings.CicDec[0], 2);
            // The steppers do not round to the step: 2 + 1 stays 3.
            s.click("cicStep+1");
            QCOMPARE(s.m.settings.CicDec[0], 3);
        }
    }

    void fullRateBoundsHoldWithoutALabFile() {
        uitest::WorkFolder dir;
        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher modals;  // no coefficient files either
        windows.gform()->show();
        QLineEdit* cic = windows.gform()->findChild<QLineEdit*>("cicEdit");
        cic->clear();
        QTest::keyClicks(cic, "1");
        QTest::keyClick(cic, Qt::Key_Return);
        QCOMPARE(m.settings.CicDec[0], 2);
    }

    void cicEditRefitsTheChannelAndRedrawsThePlot() {
        StartedWindow s(LabInMode(0));
        const int ntapsAt2 = s.m.coefSetInfo[0].ntaps;
        QCOMPARE(s.w()->plot()->Frame().markerColumn, 128);  // 256 / 2 / 1
        s.type("cicEdit", "64");
        const CoefSetInfo expected = ExpectedFit(s.m, 0);
        QCOMPARE(s.m.coefSetInfo[0].ntaps, expected.ntaps);
        QCOMPARE(s.m.coefSetInfo[0].sumtap, expected.sumtap);
        QVERIFY(s.m.coefSetInfo[0].ntaps != ntapsAt2);  // a longer set fits at 64
        QCOMPARE(s.w()->plot()->Frame().markerColumn, 4);
        // The derivation ran after the refit: the image carries the new set's sum.
        QCOMPARE(s.m.workImage.sumtap[0], expected.sumtap);
        QCOMPARE(s.m.workImage.cic_dec[0], uint16_t(64));
    }

    void splitIqShowsChannelAOfChannelD() {
        StartedWindow s(LabInMode(0));
        if constexpr (kBoardModel == 2) {
            // This board: three input modes, two ADC inputs, register writes always enabled.
            QCOMPARE(s.get<QComboBox>("modeCombo")->count(), 3);
            QVERIFY(s.get<QWidget>("adcRadio1")->isVisible());
            QVERIFY(!s.get<QWidget>("adcRadio2")->isVisible());
            QVERIFY(!s.get<QWidget>("adcRadio3")->isVisible());
            QVERIFY(s.get<QCheckBox>("enbWriteBox")->isChecked());
            QVERIFY(!s.get<QCheckBox>("enbWriteBox")->isEnabled());
        }
        s.click("channelRadio3");
        QCOMPARE(s.m.CurrentChannel, 3);
        s.get<QComboBox>("modeCombo")->setCurrentIndex(1);
        QCOMPARE(s.m.settings.ModeOfInput, 1);
        QCOMPARE(s.m.CurrentChannel, 0);
        QVERIFY(s.get<QRadioButton>("channelRadio0")->isChecked());
        for (const char* name : {"channelBox1", "channelBox3", "channelRadio1", "channelRadio3"})
            QVERIFY2(!s.get<QWidget>(name)->isEnabled(), name);
        QVERIFY(s.get<QWidget>("channelBox2")->isEnabled());
        QVERIFY(s.get<QWidget>("cicStep+1")->isEnabled());
        // Double rate has no odd CIC steps.
        s.get<QComboBox>("modeCombo")->setCurrentIndex(2);
        QVERIFY(!s.get<QWidget>("cicStep+1")->isEnabled());
        QVERIFY(!s.get<QWidget>("cicStep-1")->isEnabled());
        // Double rate pairs the channels too: B, whose own settings reach no
        // register there, is not left on show behind a disabled button.
        s.get<QComboBox>("modeCombo")->setCurrentIndex(0);
        s.click("channelRadio1");
        s.get<QComboBox>("modeCombo")->setCurrentIndex(2);
        QCOMPARE(s.m.CurrentChannel, 0);
        QVERIFY(s.get<QRadioButton>("channelRadio0")->isChecked());
    }

    void readLabTakesTheCicBoundsOfItsMode() {
        StartedWindow s(LabInMode(0));
        Session other = LabInMode(2);
        for (int c = 0; c < kChannels; ++c) other.settings.CicM2Dec[c] = 20;
        other.settings.FullDebug = 629;  // the expert mode is decided at start only
        QVERIFY(WriteLab(other.settings, s.dir / "CONFIGS/double.lab"));
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "CONFIGS/double.lab").string()));
        s.click("readLabButton");
        QCOMPARE(s.get<QComboBox>("modeCombo")->currentIndex(), 2);
        QCOMPARE(s.get<QLabel>("labName")->text(), QString("double.lab"));
        QCOMPARE(s.get<QLineEdit>("cicEdit")->text(), QString("20"));
        s.type("cicEdit", "7");  // Double rate: even values only
        QCOMPARE(s.m.settings.CicDec[0], 6);
        s.type("cicEdit", "1");
        QCOMPARE(s.m.settings.CicDec[0], 2);
        QVERIFY(!s.m.ExpertMode);
        QVERIFY(!s.get<QGroupBox>("expertGroup")->isVisible());
        // Saved again, the file holds FullDebug 0 like every file "Записать" writes.
        s.type("cicEdit", "20");  // A and C agree again
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "CONFIGS/again.lab").string()));
        s.click("saveLabButton");
        Session back;
        QVERIFY(ReadLab(back.settings, back, s.dir / "CONFIGS/again.lab"));
        QCOMPARE(back.settings.FullDebug, 0);
        QCOMPARE(back.settings.ModeOfInput, 2);
    }

    void inputModeKeepsEachModesCicDecimations() {
        Session lab = LabInMode(0);
        for (int c = 0; c < kChannels; ++c) {
            lab.settings.CicM0Dec[c] = 10;
            lab.settings.CicM1Dec[c] = 20;
        }
        StartedWindow s(lab);
        QCOMPARE(s.m.settings.CicDec[0], 10);
        s.type("cicEdit", "12");
        s.get<QComboBox>("modeCombo")->setCurrentIndex(1);
        QCOMPARE(s.m.settings.CicDec[0], 20);
        s.get<QComboBox>("modeCombo")->setCurrentIndex(0);
        QCOMPARE(s.m.settings.CicDec[0], 12);
        QCOMPARE(s.get<QLineEdit>("cicEdit")->text(), QString("12"));
    }

    void channelBoxesSetTheMaskOfTheMode() {
        StartedWindow s(LabInMode(0));
        s.click("channelBox1");
        QCOMPARE(s.m.settings.MaskChan4x, 13);
        s.get<QComboBox>("modeCombo")->setCurrentIndex(1);
        s.click("channelBox2");
        QCOMPARE(s.m.settings.MaskChan2x, 1);
        QVERIFY(!s.get<QCheckBox>("channelBox3")->isChecked());  // D follows C
        QCOMPARE(s.m.settings.MaskChan4x, 13);
    }

    void saveRefusesDisagreeingDecimations() {
        Session lab = LabInMode(0);
        const int cic[4] = {8, 8, 8, 16};
        for (int c = 0; c < kChannels; ++c) {
            lab.settings.CicM0Dec[c] = cic[c];
            lab.settings.FirDec[c] = 2;
        }
        StartedWindow s(lab);
        s.click("saveLabButton");
        QVERIFY(s.windows->errDecim()->isVisible());
        QVERIFY(s.windows->errDecim()->isModal() == false);
        QVERIFY(s.chooser.asked.empty());  // refused before the save dialog
        QCOMPARE(std::distance(fs::directory_iterator(s.dir / "CONFIGS"), fs::directory_iterator()), 1);
    }

    void saveWritesLabAndProgramLikeTheBatchTool() {
        Session lab = LabInMode(1);
        lab.settings.FullDebug = 629;
        const int cic[4] = {8, 16, 8, 16};  // totals 16, 32, 16, 32: only A and C must agree
        for (int c = 0; c < kChannels; ++c) {
            lab.settings.CicM1Dec[c] = cic[c];
            lab.settings.FirDec[c] = 2;
        }
        StartedWindow s(lab);
        const QString before = s.cwd();
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "CONFIGS/mine.lab").string()));
        s.click("saveLabButton");
        QCOMPARE(s.chooser.asked.size(), size_t(1));
        QVERIFY(s.chooser.asked[0].save);
        QCOMPARE(s.chooser.asked[0].filter, QString("GC5016Lab(*.lab)"));
        QCOMPARE(s.chooser.asked[0].defaultSuffix, QString("lab"));
        QCOMPARE(s.chooser.asked[0].initialDir,
                 QDir(QString::fromStdString(s.dir.root().string())).filePath("CONFIGS"));
        QCOMPARE(s.cwd(), before);
        QVERIFY(!s.windows->errDecim()->isVisible());
        QVERIFY(fs::exists(s.dir / "CONFIGS/mine.lab"));
        QVERIFY(fs::exists(s.dir / "CONFIGS/mine.prg"));
        Session back;
        QVERIFY(ReadLab(back.settings, back, s.dir / "CONFIGS/mine.lab"));
        QCOMPARE(back.settings.FullDebug, 0);
        QCOMPARE(s.get<QLabel>("labName")->text(), QString("mine.lab"));

        QProcess batch;
        batch.start(QString(GC5016_BIN_DIR) + "/gc5016-batch",
                    {"-C", QString::fromStdString(s.dir.root().string()), "save", "CONFIGS/batch.lab"});
        QVERIFY(batch.waitForFinished(30000));
        QCOMPARE(batch.exitCode(), 0);
        QCOMPARE(uitest::ReadText(s.dir / "CONFIGS/mine.prg"), uitest::ReadText(s.dir / "CONFIGS/batch.prg"));
        QCOMPARE(uitest::ReadText(s.dir / "CONFIGS/mine.lab"), uitest::ReadText(s.dir / "CONFIGS/batch.lab"));
    }

    void numbersKeepTheirPointWhateverTheDesktopLocale() {
        // The toolkit takes the desktop's locale, whose decimal point may be ','.
        test::CommaLocale comma;
        if (!comma.found()) QSKIP("no locale with a decimal comma installed");
        StartedWindow s(Session{});
        s.type("gainEdit", "2.5");
        s.type("phaseEdit", "0,25");  // a comma typed by habit reads the same
        QCOMPARE(s.m.settings.Gain[0], 2.5f);
        QCOMPARE(s.m.settings.PhaseNCO[0], 0.25f);
        QCOMPARE(s.get<QLineEdit>("gainEdit")->text(), QString("2.50"));
        QCOMPARE(s.get<QLineEdit>("phaseEdit")->text(), QString("0.250"));
        QCOMPARE(s.get<QLabel>("clockKhz")->text(), QString("100000.000 кГц"));
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "CONFIGS/comma.lab").string()));
        s.click("saveLabButton");
        const std::string lab = uitest::ReadText(s.dir / "CONFIGS/comma.lab");
        QVERIFY(lab.find("2.500000    1.000000") != std::string::npos);
        QVERIFY(lab.find(',') == std::string::npos);

        QProcess batch;  // starts in the "C" locale
        batch.start(QString(GC5016_BIN_DIR) + "/gc5016-batch",
                    {"-C", QString::fromStdString(s.dir.root().string()), "--lab", "CONFIGS/comma.lab", "save",
                     "CONFIGS/batch.lab"});
        QVERIFY(batch.waitForFinished(30000));
        QCOMPARE(batch.exitCode(), 0);
        QCOMPARE(lab, uitest::ReadText(s.dir / "CONFIGS/batch.lab"));
        QCOMPARE(uitest::ReadText(s.dir / "CONFIGS/comma.prg"), uitest::ReadText(s.dir / "CONFIGS/batch.prg"));
    }

    void expertModeShowsTheExpertGroup() {
        Session lab;
        lab.settings.FullDebug = 629;
        {
            StartedWindow s(lab);
            QVERIFY(s.get<QGroupBox>("expertGroup")->isVisible());
            QVERIFY(s.get<QLineEdit>("overallGainEdit")->isVisible());
            QVERIFY(s.w()->width() > MainWindow::kNormalWidth);
            s.w()->close();
            Session back;
            QVERIFY(ReadLab(back.settings, back, s.dir / "CONFIGS/std.lab"));
            QCOMPARE(back.settings.FullDebug, 629);
        }
        {
            StartedWindow s(Session{});
            QVERIFY(!s.get<QGroupBox>("expertGroup")->isVisible());
            QVERIFY(!s.get<QLineEdit>("overallGainEdit")->isVisible());
            QCOMPARE(s.w()->width(), MainWindow::kNormalWidth);
            s.click("infoButton");
            QVERIFY(s.windows->info()->isVisible());
            QVERIFY(s.modals.seen.empty());  // the information box does not block
        }
    }

    void unusableCoefficientFilesAreReported() {
        uitest::WorkFolder dir;
        Session lab;
        lab.settings.NameOfPFIR = {"nothere.taps", "empty.taps", "nothere.taps", "empty.taps"};
        WriteLab(lab.settings, dir / "CONFIGS/std.lab");
        uitest::WriteText(dir / "FILTERS/empty.taps", "");
        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher modals;
        windows.gform()->show();
        QCOMPARE(modals.seen.size(), size_t(4));  // one modal report per channel
        QCOMPARE(modals.seen[0], QStringList({"Файл коэфициентов PFIR", "FILTERS/nothere.taps", "отсутствует!"}));
        QCOMPARE(modals.seen[1], QStringList({"Файл коэфициентов PFIR", "FILTERS/empty.taps", "поврежден!"}));
        QCOMPARE(m.workImage.ncoefs[0], uint16_t(0));
    }

    void nonNumberChangesNothing() {
        StartedWindow s(Session{});
        s.get<QLineEdit>("freqEdit")->setText("5000000");  // typed but never left: not an edit
        s.type("gainEdit", "abc");
        QCOMPARE(s.modals.seen.size(), size_t(1));
        QVERIFY(s.modals.seen[0].join(' ').contains("abc"));
        QCOMPARE(s.m.settings.FreqNCO[0], 10000000);
        QCOMPARE(s.m.settings.Gain[0], 1.0f);
        // After the box the controls show the values in use: the refused text is gone.
        QCOMPARE(s.get<QLineEdit>("gainEdit")->text(), QString("1.00"));
        QCOMPARE(s.get<QLineEdit>("freqEdit")->text(), QString("10000000"));
        s.type("gainEdit", "200");
        QCOMPARE(s.m.settings.Gain[0], 127.9f);
        QCOMPARE(s.get<QLineEdit>("gainEdit")->text(), QString("127.90"));
    }

    void manualShiftFollowsTheLchmBox() {
        Session lab;
        lab.settings.FullDebug = 629;
        lab.settings.shiftFir = 3;
        StartedWindow s(lab);
        QCOMPARE(s.get<QLineEdit>("shiftEdit")->text(), QString("3"));
        QVERIFY(!s.get<QLineEdit>("shiftEdit")->isEnabled());
        s.click("lchmBox");
        QCOMPARE(s.m.ManualFirShift, std::optional<int>(3));
        QVERIFY(s.get<QLineEdit>("shiftEdit")->isEnabled());
        s.type("shiftEdit", "9");
        QCOMPARE(s.m.ManualFirShift, std::optional<int>(9));
        QCOMPARE(s.get<QLabel>("firShift")->text(), QString("9"));
        QCOMPARE(s.m.settings.shiftFir, 3);  // never stored back
        s.click("lchmBox");
        QVERIFY(!s.m.ManualFirShift.has_value());
    }

    void fileDialogsAskWithTheirFilterFolderAndExtension() {
        Session lab;
        lab.settings.FullDebug = 629;
        StartedWindow s(lab);
        const QString start = s.cwd();
        struct Case {
            const char* button;
            const char* filter;
            const char* suffix;
            const char* folder;
            bool save;
        };
        const Case cases[] = {
            {"readLabButton", "GC5016Labl(*.lab)", "lab", "CONFIGS", false},
            {"readTblButton", "GraychipTbl(*.tbl)", "tbl", "FILTERS", false},
            {"gc101Button", "cmd5016(*.gc101)", "tbl", "Appl", false},
            {"coefFileButton", "PFIR5016(*.taps)", "taps", "FILTERS", false},
            {"fltButton", "DFDPFilters(*.flt)", "flt", "FDFDP", false},
            {"writeFilterButton", "GC5016Taps(*.taps)", "taps", "FILTERS", true},
        };
        const std::string labBefore = uitest::ReadText(s.dir / "CONFIGS/std.lab");
        for (const Case& c : cases) {
            s.chooser.asked.clear();
            s.click(c.button);  // the chooser cancels
            QVERIFY2(s.chooser.asked.size() == 1, c.button);
            const FileDialogRequest& a = s.chooser.asked[0];
            QCOMPARE(a.filter, QString(c.filter));
            QCOMPARE(a.defaultSuffix, QString(c.suffix));
            QCOMPARE(a.initialDir, QDir(QString::fromStdString(s.dir.root().string())).filePath(c.folder));
            QCOMPARE(a.save, c.save);
            QCOMPARE(s.cwd(), start);
        }
        QCOMPARE(uitest::ReadText(s.dir / "CONFIGS/std.lab"), labBefore);
        QVERIFY(s.modals.seen.empty());
    }

    void tableFileRoundTripThroughTheButtons() {
        Session lab;
        lab.settings.FullDebug = 629;
        lab.settings.FreqNCO[0] = 12345000;
        StartedWindow s(lab);
        s.click("writeTblButton");
        QVERIFY(fs::exists(s.dir / "exper.tbl"));
        s.type("freqEdit", "777000");
        QCOMPARE(s.m.settings.FreqNCO[0], 777000);
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "exper.tbl").string()));
        s.click("readTblButton");
        // The image's frequency is in MHz as a float: the setting comes back to within a hertz.
        QVERIFY(std::abs(s.m.settings.FreqNCO[0] - 12345000) <= 1);
        QCOMPARE(s.get<QLineEdit>("freqEdit")->text(), QString::number(s.m.settings.FreqNCO[0]));
    }

    void writePrgWithTheStandInToolMatchesTheBatchTool() {
        if (!fs::exists(fs::path(GC5016_BIN_DIR) / "cmd5016")) QSKIP("the chip-tool stand-in is not built");
        Session lab;
        lab.settings.FullDebug = 629;
        lab.settings.FreqNCO[1] = 12500000;
        StartedWindow s(lab);
        const QString before = s.cwd();
        s.click("writePrgButton");
        QCOMPARE(s.cwd(), before);
        QVERIFY(fs::exists(s.dir / "FILTERS/workcmd"));
        QVERIFY(fs::exists(s.dir / "FILTERS/workcmd.gc101"));
        const std::string gui = uitest::ReadText(s.dir / "CONFIGS/std.prg");
        QVERIFY(!gui.empty());

        QProcess batch;
        batch.start(QString(GC5016_BIN_DIR) + "/gc5016-batch", {"-C", QString::fromStdString(s.dir.root().string()),
                                                                "prg", "--tool", "--out", "CONFIGS/batch.prg"});
        QVERIFY(batch.waitForFinished(30000));
        QCOMPARE(batch.exitCode(), 0);
        QCOMPARE(gui, uitest::ReadText(s.dir / "CONFIGS/batch.prg"));
        const QString out = QString::fromUtf8(batch.readAllStandardOutput());
        QVERIFY(out.contains("page16 mismatches: " + s.get<QLabel>("Panel8")->text() + "\n"));
        QVERIFY(out.contains("page17 mismatches: " + s.get<QLabel>("Panel9")->text() + "\n"));
        QVERIFY(!s.get<QLabel>("Panel8")->text().isEmpty());
    }

    void compareShowsTheDifferenceCount() {
        Session lab;
        lab.settings.FullDebug = 629;
        StartedWindow s(lab);
        // No tool table: the report compares against the tool image's start values.
        auto copy = std::make_unique<Session>(s.m);
        int expected = 0;
        FormatCompareReport(copy->workImage, copy->toolImage, expected);
        QVERIFY(expected > 0);
        s.click("compareButton");
        QVERIFY(fs::exists(s.dir / "ErrTbl"));
        QLabel* panel = s.get<QLabel>("Panel7");
        QCOMPARE(panel->text(), QString::number(expected));
        QCOMPARE(panel->palette().color(QPalette::Window), QColor(Qt::red));
    }

    void gc101FileBecomesAProgramFileOfItsName() {
        Session lab;
        lab.settings.FullDebug = 629;
        StartedWindow s(lab);
        uitest::WriteText(s.dir / "Appl/lab.old.gc101", "write 2 12\nwrite 10 5\nwrite 11 7\n");
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "Appl/lab.old.gc101").string()));
        s.click("gc101Button");
        const std::string prg = uitest::ReadText(s.dir / "CONFIGS/lab.old.prg");
        QVERIFY(prg.find("Page    Reg    Value \n0x12    0x10   0x5   \n0x12    0x11   0x7   \n") != std::string::npos);
    }

    void writeFilterShowsTheChirpSumsOfTheBatchTool() {
        // A short tapered set, and a full untapered one whose sums of squares
        // run to eleven digits.
        const struct {
            int taps;
            int obkatka;
        } cases[] = {{40, 1}, {512, 0}};
        for (const auto& c : cases) {
            Session lab;
            lab.settings.FullDebug = 629;
            lab.settings.IndexFilter = 3;  // rising chirp
            lab.settings.NumTapsFilter = c.taps;
            lab.settings.Obkatka = c.obkatka;
            StartedWindow s(lab);
            QCOMPARE(s.get<QComboBox>("filterKindCombo")->currentIndex(), 3);
            QCOMPARE(s.get<QCheckBox>("obkatkaBox")->isChecked(), c.obkatka == 1);
            s.chooser.answers.push_back(QString::fromStdString((s.dir / "FILTERS/xxsweep.taps").string()));
            s.click("writeFilterButton");
            QVERIFY(fs::exists(s.dir / "FILTERS/_Isweep.taps"));
            QVERIFY(fs::exists(s.dir / "FILTERS/_Qsweep.taps"));

            QProcess batch;
            batch.start(QString(GC5016_BIN_DIR) + "/gc5016-batch",
                        {"-C", QString::fromStdString(s.dir.root().string()), "testfilter", "FILTERS/yyother.taps"});
            QVERIFY(batch.waitForFinished(30000));
            QCOMPARE(batch.exitCode(), 0);
            const QString expected = QString::fromUtf8(batch.readAllStandardOutput());
            const QString shown =
                QString("I %1\nQ %2\nII %3\nQQ %4\n")
                    .arg(s.get<QLineEdit>("sumIEdit")->text(), s.get<QLineEdit>("sumQEdit")->text(),
                         s.get<QLineEdit>("sumIIEdit")->text(), s.get<QLineEdit>("sumQQEdit")->text());
            QCOMPARE(shown, expected);
            QVERIFY(!shown.contains('E'));
            QCOMPARE(uitest::ReadText(s.dir / "FILTERS/_Isweep.taps"),
                     uitest::ReadText(s.dir / "FILTERS/_Iother.taps"));
        }
    }

    void openWindowsFollowTheEditsThatConcernThem() {
        StartedWindow s(Session{});
        int refreshed = 0, responses = 0;
        uint16_t freqSeen = 0;
        // A register editor sees the image of the derivation that ran in the same refresh.
        s.w()->hooks().refresh.push_back([&] {
            ++refreshed;
            freqSeen = s.m.workImage.cic[0].freq_msb;
        });
        s.w()->hooks().responseWindows.push_back([&] { ++responses; });
        s.type("freqEdit", "10000000");
        QCOMPARE(refreshed, 1);  // pipeline A: one refresh, no response window
        QCOMPARE(responses, 0);
        QCOMPARE(freqSeen, uint16_t(0xE666));
        s.click("channelRadio2");
        QCOMPARE(responses, 1);
        const int64_t derivations = s.m.derivations;
        s.type("cicEdit", "16");  // set, refit, one derivation and one refresh
        QCOMPARE(s.m.derivations - derivations, int64_t(1));
        QCOMPARE(refreshed, 3);
        QCOMPARE(responses, 2);
    }

    void chosenCoefficientFileIsLoadedFromItsFolder() {
        StartedWindow s(Session{});
        const QString before = s.cwd();
        uitest::WriteText(s.dir / "elsewhere/three.taps", "1\n-2\n3\n");
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "elsewhere/three.taps").string()));
        s.click("coefFileButton");
        QCOMPARE(s.cwd(), before);
        QCOMPARE(s.m.settings.NameOfPFIR[0], std::string("three.taps"));
        QCOMPARE(s.m.workImage.ncoefs[0], uint16_t(3));
        QCOMPARE(s.get<QLabel>("coefFile")->text(), QString("three.taps"));
        QVERIFY(s.modals.seen.empty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
