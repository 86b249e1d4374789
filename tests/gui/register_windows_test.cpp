// The synchronisation dialog and the register editors driven from the main
// window's buttons on the offscreen platform: titles, refreshes while open and
// none once closed, "EnbWrite", the presets and the 16-bit store.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/dialogs/register_editor_dialog.h"
#include "gui/dialogs/register_windows.h"
#include "gui/dialogs/sync_dialog.h"
#include "gui/main_window/main_window.h"
#include "ui_test_support.h"

using namespace gc;
namespace fs = std::filesystem;

namespace {

// The main window started in expert mode on the given lab settings.
struct StartedWindows {
    uitest::WorkFolder dir;
    uitest::ModalCatcher modals;
    Session m;
    std::unique_ptr<AppWindows> windows;

    explicit StartedWindows(Session lab = Session{}, bool expert = true) {
        lab.settings.FullDebug = expert ? 629 : 0;
        WriteLab(lab.settings, dir / "CONFIGS/std.lab");
        fs::copy_file(fs::path(GC5016_EXAMPLES) / "workspace/FILTERS/cdma.taps", dir / "FILTERS/cdma.taps");
        windows = std::make_unique<AppWindows>(m, dir.workspace());
        w()->show();
    }
    MainWindow* w() const { return windows->gform(); }
    RegisterWindows* rw() const { return windows->registerWindows(); }
    RegisterEditorDialog* dialog(RegisterDialogId id) const { return rw()->dialog(id); }
    template <typename T>
    static T* child(QWidget* in, const QString& name) {
        T* c = in->findChild<T*>(name);
        if (!c) qFatal("no control %s", qPrintable(name));
        return c;
    }
    static void type(QLineEdit* e, const QString& text) {
        e->clear();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }
    void typeMain(const char* edit, const QString& text) const { type(child<QLineEdit>(w(), edit), text); }
    void click(const QString& button) const { child<QAbstractButton>(w(), button)->click(); }
};

}  // namespace

class RegisterWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void eachWindowOpensFromItsButtonWithItsTitle() {
        StartedWindows s;
        const struct {
            const char* button;
            const char* caption;
            QWidget* window;
            QString title;
        } cases[] = {
            {"syncroButton", "Syncro", s.rw()->syncro(), "Синхронизация"},
            {"globalButton", "Global", s.dialog(RegisterDialogId::Global), "Глобальные регистры"},
            {"addrgenButton", "AddrGenPFIR", s.dialog(RegisterDialogId::AddrGen),
             "Установка адресных генераторов PFIR"},
            {"agcButton", "AGC", s.dialog(RegisterDialogId::Agc), "AGC"},
            {"fircontButton", "FirCont", s.dialog(RegisterDialogId::FirCont), "FirCont"},
            {"cicmixButton", "CicAndMix", s.dialog(RegisterDialogId::CicMix), "CIC и Mixer"},
            {"outputButton", "Output", s.dialog(RegisterDialogId::Output), "Выходной формат"},
            {"transmitButton", "Transmit", s.dialog(RegisterDialogId::Transmit), "Transmit"},
            {"timerButton", "Timer && PM", s.dialog(RegisterDialogId::Timer), "Timer and Power Meter"},
            {"pseudoButton", "Pseudo", s.dialog(RegisterDialogId::Pseudo), "Pseudo Registers"},
        };
        for (const auto& c : cases) {
            QPushButton* b = StartedWindows::child<QPushButton>(s.w(), c.button);
            QVERIFY(b->isVisible());  // expert mode
            QCOMPARE(b->text(), QString(c.caption));
            QVERIFY(!c.window->isVisible());
            b->click();
            QVERIFY(c.window->isVisible());
            QCOMPARE(c.window->windowTitle(), c.title);
        }
        // The editors show the image as the derivation left it.
        QCOMPARE(StartedWindows::child<QLineEdit>(s.dialog(RegisterDialogId::CicMix), "ncic_B")->text(),
                 QString::number(s.m.workImage.cic[1].ncic));
        QVERIFY(StartedWindows::child<QLineEdit>(s.dialog(RegisterDialogId::Pseudo), "cic_dec_A")->isReadOnly());
    }

    void openEditorsFollowEditsAndChannelsUntilClosed() {
        StartedWindows s;
        s.click("cicmixButton");
        RegisterEditorDialog* d = s.dialog(RegisterDialogId::CicMix);
        QLineEdit* freqC = StartedWindows::child<QLineEdit>(d, "freq_msb_C");
        QLineEdit* ncicA = StartedWindows::child<QLineEdit>(d, "ncic_A");
        const QString ncicBefore = ncicA->text();
        s.typeMain("cicEdit", "64");
        QVERIFY(ncicA->text() != ncicBefore);
        QCOMPARE(ncicA->text(), QString::number(s.m.workImage.cic[0].ncic));
        s.child<QRadioButton>(s.w(), "channelRadio2")->click();
        s.typeMain("freqEdit", "12345678");
        QCOMPARE(s.m.settings.FreqNCO[2], 12345678);
        QCOMPARE(freqC->text(), QString::number(s.m.workImage.cic[2].freq_msb));
        const QString shownC = freqC->text();

        d->close();
        QVERIFY(!d->flags().open);
        s.typeMain("freqEdit", "30000000");
        QVERIFY(QString::number(s.m.workImage.cic[2].freq_msb) != shownC);
        QCOMPARE(freqC->text(), shownC);  // no refresh once closed
        s.click("cicmixButton");
        QCOMPARE(freqC->text(), QString::number(s.m.workImage.cic[2].freq_msb));  // reloaded on show
    }

    void typedValueIsStoredReducedInItsChannelOnly() {
        StartedWindows s;
        s.click("addrgenButton");
        RegisterEditorDialog* d = s.dialog(RegisterDialogId::AddrGen);
        const RegisterImage before = s.m.workImage;
        QLineEdit* box = StartedWindows::child<QLineEdit>(d, "coef_sym_C");
        StartedWindows::type(box, "70000");
        QCOMPARE(s.m.workImage.pfir[2].coef_sym, uint16_t(4464));
        QCOMPARE(box->text(), QString("4464"));
        for (int c : {0, 1, 3}) QCOMPARE(s.m.workImage.pfir[c].coef_sym, before.pfir[c].coef_sym);
        StartedWindows::type(box, "-1");
        QCOMPARE(box->text(), QString("65535"));
        QVERIFY(s.modals.seen.empty());

        // Not an integer: an error box names the field and the text, then the
        // box shows the value in use; the next edit stores without a second error.
        StartedWindows::type(box, "abc");
        QCOMPARE(s.modals.seen.size(), size_t(1));
        QVERIFY(s.modals.seen[0].join(' ').contains("coef_sym, канал C: «abc»"));
        QCOMPARE(s.m.workImage.pfir[2].coef_sym, uint16_t(65535));
        QCOMPARE(box->text(), QString("65535"));
        StartedWindows::type(StartedWindows::child<QLineEdit>(d, "coef_sym_A"), "7");
        QCOMPARE(s.m.workImage.pfir[0].coef_sym, uint16_t(7));
        QCOMPARE(s.modals.seen.size(), size_t(1));
    }

    void openEditorsShowTheImageAfterEveryCommand() {
        // A field typed in an editor, then a command that changes it: the
        // table file derives first, the program file's write list clears sumin_clr.
        const struct {
            RegisterDialogId dialog;
            const char* box;
            const char* command;
            const char* shown;
        } cases[] = {{RegisterDialogId::CicMix, "cic_shift_A", "writeTblButton", "34"},
                     {RegisterDialogId::Global, "sumin_clr", "writePrgButton", "0"}};
        for (const auto& c : cases) {
            StartedWindows s;
            s.w()->hooks().chipToolDir = GC5016_BIN_DIR;  // the stand-in: a failed tool writes nothing
            s.dialog(c.dialog)->Open();
            QLineEdit* box = StartedWindows::child<QLineEdit>(s.dialog(c.dialog), c.box);
            StartedWindows::type(box, "70001");
            s.click(c.command);
            QCOMPARE(box->text(), QString(c.shown));
        }
    }

    void enbWriteEnablesEveryBoxOfTheOpenWindows() {
        StartedWindows s;
        s.click("globalButton");
        s.click("syncroButton");
        QCheckBox* enb = StartedWindows::child<QCheckBox>(s.w(), "enbWriteBox");
        QVERIFY(enb->isChecked());
        QVERIFY(!enb->isEnabled());  // checked and disabled at start on every board
        QLineEdit* box = StartedWindows::child<QLineEdit>(s.dialog(RegisterDialogId::Global), "soB_sync");
        QComboBox* combo = StartedWindows::child<QComboBox>(s.rw()->syncro(), "cic_sync_D");
        QVERIFY(box->isEnabled());
        QVERIFY(combo->isEnabled());
        enb->setEnabled(true);
        enb->click();
        QVERIFY(!box->isEnabled());
        QVERIFY(!combo->isEnabled());
        // A window opened later takes the state too.
        s.click("pseudoButton");
        QVERIFY(!StartedWindows::child<QLineEdit>(s.dialog(RegisterDialogId::Pseudo), "fck")->isEnabled());
        enb->click();
        QVERIFY(box->isEnabled());
        QVERIFY(combo->isEnabled());
    }

    void syncPresetsAndBoxesWriteSettingsAndFields() {
        StartedWindows s;
        s.click("syncroButton");
        SyncDialog* sync = s.rw()->syncro();
        const Settings before = s.m.settings;
        StartedWindows::child<QPushButton>(sync, "oneShotButton")->click();
        QCOMPARE(s.m.settings.soB_sync, 4);
        QCOMPARE(StartedWindows::child<QComboBox>(sync, "soB_sync")->currentIndex(), 4);
        // The four sources of every channel, in the settings and the image; the rest stay.
        for (int c = 0; c < kChannels; ++c) {
            for (auto setting : {&Settings::nco_sync, &Settings::cic_sync, &Settings::fir_sync, &Settings::sck_sync})
                QCOMPARE((s.m.settings.*setting)[c], 4);
            for (auto setting :
                 {&Settings::freq_sync, &Settings::phase_sync, &Settings::dith_sync, &Settings::flush_sync,
                  &Settings::coef_sync, &Settings::gain_sync, &Settings::pwr_mtr_sync})
                QCOMPARE((s.m.settings.*setting)[c], (before.*setting)[c]);
            QCOMPARE(s.m.workImage.cic[c].nco_sync, uint16_t(4));
            QCOMPARE(s.m.workImage.pfir[c].sck_sync, uint16_t(4));
        }
        QCOMPARE(StartedWindows::child<QComboBox>(sync, "fir_sync_B")->currentIndex(), 4);

        StartedWindows::child<QPushButton>(sync, "siaButton")->click();
        QCOMPARE(s.m.settings.cic_sync[3], 2);
        StartedWindows::child<QComboBox>(sync, "pwr_mtr_sync_D")->setCurrentIndex(3);
        QCOMPARE(s.m.settings.pwr_mtr_sync[3], 3);
        QCOMPARE(s.m.workImage.pfir[3].pwr_sync, uint16_t(3));
        QCOMPARE(s.m.settings.pwr_mtr_sync[2], before.pwr_mtr_sync[2]);
    }

    void pairedChannelsCarryTheirOwnSyncOnlyWhileTheDialogIsOpen() {
        Session lab;
        lab.settings.ModeOfInput = 1;  // SplitIQ: the derivation gives B the sync of A
        lab.settings.dith_sync[0] = 1;
        lab.settings.dith_sync[1] = 5;
        lab.settings.soB_sync = 7;  // no item in its list
        StartedWindows s(lab);
        QCOMPARE(s.m.workImage.cic[1].dith_sync, uint16_t(1));
        s.click("syncroButton");
        SyncDialog* sync = s.rw()->syncro();
        QCOMPARE(StartedWindows::child<QComboBox>(sync, "soB_sync")->currentIndex(), -1);
        QCOMPARE(StartedWindows::child<QComboBox>(sync, "dith_sync_B")->currentIndex(), 5);
        QCOMPARE(s.m.workImage.cic[1].dith_sync, uint16_t(5));
        s.typeMain("freqEdit", "1000000");  // a refresh of the main window
        QCOMPARE(s.m.workImage.cic[1].dith_sync, uint16_t(5));
        // Another box changed: soB_sync without selection keeps its 7.
        StartedWindows::child<QComboBox>(sync, "gain_sync_A")->setCurrentIndex(1);
        QCOMPARE(s.m.settings.soB_sync, 7);
        QCOMPARE(s.m.workImage.soB_sync, uint16_t(7));
        sync->close();
        QVERIFY(!sync->flags().open);
        s.typeMain("freqEdit", "2000000");
        QCOMPARE(s.m.workImage.cic[1].dith_sync, uint16_t(1));
    }

    void commandLineOpensTheNamedWindowsInExpertModeOnly() {
        {
            StartedWindows s;
            const std::vector<std::string> names = {"cicmix", "sync", "elsewhere"};
            QVERIFY(s.rw()->OpenNamed(names, s.m.ExpertMode).empty());
            QVERIFY(s.dialog(RegisterDialogId::CicMix)->isVisible());
            QVERIFY(s.dialog(RegisterDialogId::CicMix)->flags().open);
            QVERIFY(s.rw()->syncro()->isVisible());
            QVERIFY(!s.dialog(RegisterDialogId::Global)->isVisible());
        }
        Session lab;
        StartedWindows s(lab, false);
        const std::vector<std::string> names = {"global", "sync"};
        QCOMPARE(s.rw()->OpenNamed(names, s.m.ExpertMode), names);
        QVERIFY(!s.dialog(RegisterDialogId::Global)->isVisible());
        QVERIFY(!s.rw()->syncro()->isVisible());
    }

    void unknownWindowNameIsAUsageError() {
        uitest::WorkFolder dir;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QString::fromStdString(dir.root().string()));
        p.start(QString(GC5016_BIN_DIR) + "/gc5016-config", {"--open", "sync,bogus"});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(err.contains("unknown window 'bogus'"), qPrintable(err));
        QVERIFY(err.contains("usage: gc5016-config [--open NAME[,NAME...]]"));
        // It stopped before the start-up, which would have written the lab file at close.
        QVERIFY(!fs::exists(dir / "CONFIGS/std.lab"));
    }
};

QTEST_MAIN(RegisterWindowsTest)
#include "register_windows_test.moc"
