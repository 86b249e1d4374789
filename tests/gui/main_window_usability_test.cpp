// The main window as an engineer uses it: where typed keys land, refused
// entries, the status line of every command, undo and the "*" of unsaved
// changes, the menu and its shortcuts, tooltips and read-outs that fit.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextBrowser>
#include <QtTest>
#include <memory>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/dialogs/message_dialogs.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/response_plot.h"
#include "gui/widgets/readout_width.h"
#include "started_window.h"

using namespace gc;
namespace fs = std::filesystem;

namespace {

// The main window on lab, in the expert mode when asked.
struct Window : uitest::StartedWindow {
    explicit Window(Settings lab, bool expert = false) : StartedWindow(WithExpertCode(lab, expert)) {}
    static Settings WithExpertCode(Settings lab, bool expert) {
        lab.FullDebug = expert ? 629 : 0;
        return lab;
    }
};

}  // namespace

class MainWindowUsabilityTest : public QObject {
    Q_OBJECT

private slots:
    void typingAfterAClickOnAReadOnlyBoxChangesNothing() {
        Window s(Settings{}, true);
        s.w()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.w()));
        const char* boxes[] = {"xStretchBox", "yStretchBox", "freqReadout", "levelReadout", "cicNorm",
                               "pfirGain",    "totalGain",   "outputRate",  "freqKhz",      "clockKhz",
                               "halfPanel",   "coefFile",    "firShift",    "labName"};
        for (const char* name : boxes) {
            QLineEdit* freq = s.get<QLineEdit>("freqEdit");
            freq->setFocus();
            QVERIFY2(freq->hasFocus(), name);
            const std::string before = s.lab();
            QTest::mouseClick(s.get<QWidget>(name), Qt::LeftButton);
            QWidget* target = QApplication::focusWidget();
            QVERIFY2(target != freq, name);
            QTest::keyClicks(target ? target : s.w(), "4");
            QTest::keyClick(target ? target : s.w(), Qt::Key_Return);
            QVERIFY2(s.lab() == before, name);
            QCOMPARE(freq->text(), QString("10000000"));
        }
    }

    void refusedEntriesSayWhyAndShowTheValueInUse() {
        const struct {
            const char* edit;
            const char* typed;
            const char* says;
            const char* shown;
        } cases[] = {
            {"clockEdit", "0", "больше 0 Гц", "100000000"},
            {"clockEdit", "-100", "больше 0 Гц", "100000000"},
            {"gainEdit", "-0.26", "от 0 до 127.9", "1.00"},
            {"freqEdit", "abc", "не является целым числом", "10000000"},
            {"freqEdit", "", "Поле пусто", "10000000"},
            {"freqEdit", "12345678901234567890", "вне допустимого диапазона", "10000000"},
            {"phaseEdit", "1e40", "вне допустимого диапазона", "0.000"},
        };
        Window s(Settings{});
        const std::string before = s.lab();
        for (const auto& c : cases) {
            s.modals.seen.clear();
            s.type(c.edit, QString::fromUtf8(c.typed));
            QVERIFY2(s.modals.seen.size() == 1, c.typed);
            QVERIFY2(s.modals.seen[0].join(' ').contains(QString::fromUtf8(c.says)), c.typed);
            QCOMPARE(s.get<QLineEdit>(c.edit)->text(), QString(c.shown));
            QVERIFY2(s.lab() == before, c.typed);
        }
        QCOMPARE(s.get<QLabel>("freqKhz")->text(), QString("10000.000 кГц"));
    }

    void labValuesOutsideTheChipAreReadAndNamed() {
        Settings lab;
        lab.Gain[1] = -0.26f;
        lab.SystemClock = 0;
        Window s(lab);
        QCOMPARE(s.m.settings.Gain[1], -0.26f);  // read as it stands, and not in the way
        QVERIFY(s.modals.seen.empty());
        QVERIFY(s.status().contains("усиление канала B -0.26"));
        QVERIFY(s.status().contains("тактовая частота 0 Гц"));
    }

    void aFailedChipToolWritesNothingAndSaysWhy() {
        Window s(Settings{}, true);
        uitest::WriteText(s.dir / "bin/cmd5016", "#!/bin/sh\nexit 1\n");
        fs::permissions(s.dir / "bin/cmd5016", fs::perms(0755));
        s.w()->hooks().chipToolDir = s.dir / "bin";
        s.click("writePrgButton");
        QVERIFY2(s.status().contains("cmd5016 завершился с кодом 1: ничего из его вывода не взято"),
                 qPrintable(s.status()));
        QVERIFY(!fs::exists(s.dir / "CONFIGS/std.prg"));
    }

    void lchmUpdatesBothGainsAtOnce() {
        Settings lab;
        lab.shiftFir = 0;  // far from the shift the fit computes
        Window s(lab, true);
        const QString pfirBefore = s.get<QLabel>("pfirGain")->text();
        const QString totalBefore = s.get<QLabel>("totalGain")->text();
        s.click("lchmBox");
        QVERIFY(s.get<QLabel>("pfirGain")->text() != pfirBefore);
        QVERIFY(s.get<QLabel>("totalGain")->text() != totalBefore);
        QCOMPARE(s.get<QLabel>("pfirGain")->text(),
                 QString::fromStdString(FormatFixed(double(s.m.coefSetInfo[0].pfir_gain), 5, 3)));
    }

    void everyCommandSaysWhatItReadOrWrote() {
        Window s(Settings{}, true);
        uitest::WriteText(s.dir / "Appl/empty.gc101", "nothing here\n");
        uitest::WriteText(s.dir / "FILTERS/odd.taps", "1\nabc\n70000\n2\n");
        uitest::WriteText(s.dir / "FDFDP/lp.flt", "head\n3\n1\n2\n3\n");
        struct Case {
            const char* button;
            fs::path answer;
            const char* says;
        };
        const Case cases[] = {
            {"writeTblButton", {}, "Записана таблица регистров exper.tbl"},
            {"readTblButton", s.dir / "exper.tbl", "Считана таблица регистров exper.tbl"},
            {"writeCmdButton", {}, "Записан FILTERS/workcmd"},
            {"readBeRamButton", {}, "Appl/workcmd.gc101 не найден"},
            {"gc101Button", s.dir / "Appl/empty.gc101", "нет ни одной записи регистра, пропущена 1 строка"},
            {"fltButton", s.dir / "FDFDP/lp.flt", "записан FILTERS/lp.taps: 3 коэффициента"},
            {"coefFileButton", s.dir / "FILTERS/odd.taps",
             "из FILTERS/odd.taps взято 3 коэффициента, пропущена 1 строка без числа, 1 значение урезано"},
            {"writeFilterButton", s.dir / "FILTERS/ramp.taps", "Записаны FILTERS/ramp.taps, Appl/ramp.taps"},
            {"compareButton", {}, "записан ErrTbl; различий:"},
            {"writePrgButton", {}, "Записан CONFIGS/std.prg"},
            {"applyAllButton", {}, "Настройки канала A применены ко всем каналам"},
            {"readLabButton", s.dir / "CONFIGS/std.lab", "Считан CONFIGS/std.lab"},
            {"saveLabButton", s.dir / "CONFIGS/mine.lab", "Записаны CONFIGS/mine.lab и CONFIGS/mine.prg"},
        };
        for (const Case& c : cases) {
            s.w()->statusBar()->clearMessage();
            if (!c.answer.empty()) s.answer(c.answer);
            s.click(c.button);
            QVERIFY2(s.status().contains(QString::fromUtf8(c.says)), qPrintable(c.button + (": " + s.status())));
        }
    }

    void fltAsksBeforeReplacingACoefficientFile() {
        Window s(Settings{}, true);
        uitest::WriteText(s.dir / "FDFDP/cdma.flt", "head\n2\n5\n6\n");
        const std::string before = uitest::ReadText(s.dir / "FILTERS/cdma.taps");
        QStringList asked;
        bool yes = false;
        s.w()->hooks().askReplace = [&](const QString& q) {
            asked << q;
            return yes;
        };
        s.answer(s.dir / "FDFDP/cdma.flt");
        s.click("fltButton");
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked[0].contains("FILTERS/cdma.taps"));
        QCOMPARE(uitest::ReadText(s.dir / "FILTERS/cdma.taps"), before);
        QVERIFY(s.status().contains("оставлен без изменений"));
        yes = true;
        s.answer(s.dir / "FDFDP/cdma.flt");
        s.click("fltButton");
        QCOMPARE(uitest::ReadText(s.dir / "FILTERS/cdma.taps"), std::string(" 5\n 6\n"));
    }

    void undoAfterApplyToAllRestoresEveryChannel() {
        Settings lab;
        for (int c = 0; c < kChannels; ++c) lab.Gain[c] = 1.0f + float(c);
        Window s(lab);
        s.answer(s.dir / "CONFIGS/before.lab");
        s.click("saveLabButton");
        QVERIFY(!s.w()->windowTitle().endsWith('*'));
        const Settings before = s.m.settings;

        s.click("channelRadio2");
        s.click("applyAllButton");
        QCOMPARE(s.m.settings.FreqNCO[0], 30000000);
        QVERIFY(s.w()->windowTitle().endsWith(" *"));
        s.get<QAction>("undoAction")->trigger();
        QCOMPARE(FormatLab(s.m.settings), FormatLab(before));
        QCOMPARE(s.get<QLineEdit>("freqEdit")->text(), QString("30000000"));  // channel C still shown
        QVERIFY(!s.w()->windowTitle().endsWith('*'));                         // back where the last save left it
        s.answer(s.dir / "CONFIGS/after.lab");
        s.click("saveLabButton");
        QCOMPARE(uitest::ReadText(s.dir / "CONFIGS/after.prg"), uitest::ReadText(s.dir / "CONFIGS/before.prg"));

        s.get<QAction>("redoAction")->trigger();
        QCOMPARE(s.m.settings.FreqNCO[3], 30000000);
        QCOMPARE(s.m.settings.Gain[0], 3.0f);

        // The keys reach the settings from an edit box, unless it has typing of its own to undo.
        s.w()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(s.w()));
        QLineEdit* phase = s.get<QLineEdit>("phaseEdit");
        phase->setFocus();
        QTest::keyClicks(phase, "7");
        QTest::keyClick(phase, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(phase->text(), QString("0.000"));  // the typing went
        QCOMPARE(s.m.settings.Gain[0], 3.0f);
        QTest::keyClick(phase, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(s.m.settings.Gain[0], 1.0f);  // then the settings
        QTest::keyClick(phase, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(s.m.settings.Gain[0], 3.0f);
    }

    void titleMarksUnsavedChanges() {
        Window s(Settings{});
        const QString caption = QString::fromUtf8(BoardCaption(kBoardModel));
        QCOMPARE(s.w()->windowTitle(), caption);
        s.type("freqEdit", "5000000");
        QCOMPARE(s.w()->windowTitle(), caption + " *");
        s.answer(s.dir / "CONFIGS/saved.lab");
        s.click("saveLabButton");
        QCOMPARE(s.w()->windowTitle(), caption);
        s.type("gainEdit", "2");
        s.answer(s.dir / "CONFIGS/other.lab");
        s.click("saveLabButton");
        s.answer(s.dir / "CONFIGS/saved.lab");
        s.click("readLabButton");
        QCOMPARE(s.w()->windowTitle(), caption);
        QCOMPARE(s.get<QLabel>("labName")->text(), QString("saved.lab"));
        // "Считать" is undone like an edit, the configuration's name with it;
        // the save before it left no step of its own.
        s.get<QAction>("undoAction")->trigger();
        QCOMPARE(s.m.settings.Gain[0], 2.0f);
        QCOMPARE(s.get<QLabel>("labName")->text(), QString("other.lab"));
        QCOMPARE(s.w()->windowTitle(), caption + " *");
        s.get<QAction>("undoAction")->trigger();
        QCOMPARE(s.m.settings.Gain[0], 1.0f);
    }

    void saveRefusalNamesTheTotalDecimations() {
        Settings lab;
        const int cic[4] = {8, 8, 8, 16};
        for (int c = 0; c < kChannels; ++c) lab.CicM0Dec[c] = cic[c];
        Window s(lab);
        s.click("saveLabButton");
        QVERIFY(s.windows->errDecim()->isVisible());
        QCOMPARE(s.windows->errDecim()->findChild<QLabel*>("totalsLine")->text(),
                 QString("Общие децимации каналов: A 8, B 8, C 8, D 16"));
        QVERIFY(s.status().contains("Не записано"));
    }

    void menuOpensTheGuideAndQuitWritesTheLab() {
        Window s(Settings{});
        s.get<QAction>("readLabAction")->trigger();
        QCOMPARE(s.chooser.asked.size(), size_t(1));  // the "Считать" dialog
        s.get<QAction>("guideAction")->trigger();
        auto* guide = s.w()->findChild<QWidget*>("guideWindow");
        QVERIFY(guide && guide->isVisible());
        QVERIFY(guide->findChild<QTextBrowser*>("guideText")->toPlainText().contains("Ctrl+Shift+Z"));
        s.type("freqEdit", "5000000");
        s.get<QAction>("quitAction")->trigger();
        QVERIFY(!s.w()->isVisible());
        Session back;
        QVERIFY(ReadLab(back.settings, back, s.dir / "CONFIGS/std.lab"));
        QCOMPARE(back.settings.FreqNCO[0], 5000000);
    }

    void everyControlHasATooltip() {
        Window s(Settings{}, true);
        QStringList missing;
        for (QWidget* c : s.w()->findChildren<QWidget*>()) {
            if (c->objectName().startsWith("qt_") || qobject_cast<QComboBox*>(c->parentWidget())) continue;
            auto* label = qobject_cast<QLabel*>(c);
            const bool control = qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) ||
                                 qobject_cast<QComboBox*>(c) || (label && label->frameShape() != QFrame::NoFrame) ||
                                 c->objectName() == "plotArea";
            if (control && c->toolTip().isEmpty()) missing << c->objectName() + "/" + c->metaObject()->className();
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
    }

    void startOnTheExampleShowsNoWarningColour() {
        uitest::WorkFolder dir;
        uitest::CopyExampleInto(dir);
        Session m;
        AppWindows windows(m, dir.workspace());
        uitest::ModalCatcher modals;
        windows.gform()->show();
        QVERIFY(modals.seen.empty());
        for (int c = 0; c < kChannels; ++c) {
            QVERIFY(m.workImage.ncoefs[c] > 0);
            QCOMPARE(int(m.pfirFitColour[c]), int(PfirFitColour::Face));
        }
    }

    // Run again by readOutsFitAtEveryScale in a child process per scale factor.
    void readOutsFitTheirWidestText() {
        Window s(Settings{});
        ResponsePlotPanel* plot = s.w()->plot();
        const struct {
            QLabel* box;
            QString widest;
        } cases[] = {
            {plot->findChild<QLabel*>("freqReadout"), QString("1073741.824")},
            {plot->findChild<QLabel*>("levelReadout"), QString("-113.82")},
            {plot->findChild<QLabel*>("xStretchBox"), QString("4096")},
            {s.get<QLabel>("freqKhz"), QString("-2147483.648 кГц")},
        };
        for (const auto& c : cases) {
            c.box->setText(c.widest);
            QVERIFY2(ReadoutTextFits(c.box, c.widest), qPrintable(c.box->objectName() + ": " + c.widest));
        }
        QCOMPARE(s.w()->width(), MainWindow::kNormalWidth);
    }

    void readOutsFitAtEveryScale() {
        if (qEnvironmentVariableIsSet("GC5016_SCALE_CHILD")) QSKIP("run by the parent");
        for (const char* scale : {"1", "1.5", "2"}) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_SCALE_FACTOR", scale);
            env.insert("GC5016_SCALE_CHILD", "1");
            env.insert("QT_QPA_PLATFORM", "offscreen");
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), {"readOutsFitTheirWidestText"});
            QVERIFY(child.waitForFinished(60000));
            QVERIFY2(child.exitCode() == 0, qPrintable(QString(scale) + "\n" + child.readAllStandardOutput()));
        }
    }
};

QTEST_MAIN(MainWindowUsabilityTest)
#include "main_window_usability_test.moc"
