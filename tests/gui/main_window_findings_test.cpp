// The main window after an hour of use by an engineer: a CIC that may clip,
// sync changes that are settings, a status line that says what the last
// command did, values the boxes change on the way, and a notice that goes
// once it no longer holds.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "chip/derivation.h"
#include "core/number_format.h"
#include "gui/app/app_windows.h"
#include "gui/dialogs/message_dialogs.h"
#include "gui/dialogs/register_windows.h"
#include "gui/dialogs/sync_dialog.h"
#include "gui/main_window/main_window.h"
#include "started_window.h"

using namespace gc;

namespace {

struct Window : uitest::StartedWindow {
    explicit Window(Settings lab, const std::vector<std::pair<std::string, std::string>>& files = {})
        : StartedWindow(lab, files) {}
    void undo() const { get<QAction>("undoAction")->trigger(); }
    void redo() const { get<QAction>("redoAction")->trigger(); }
    QString title() const { return w()->windowTitle(); }
};

Settings ExpertLab() {
    Settings lab;
    lab.FullDebug = 629;
    return lab;
}

}  // namespace

class MainWindowFindingsTest : public QObject {
    Q_OBJECT

private slots:
    // Coefficient files read other than written are listed at start, as the
    // batch tool warns about them; the taps stay as read.
    void coefFilesReadOtherThanWrittenAreListedAtStart() {
        Settings lab;
        lab.NameOfPFIR[1] = "wraps.taps";
        lab.NameOfPFIR[2] = "nul.taps";
        Window s(lab, {{"FILTERS/wraps.taps", "1\n40000\n3\n"},
                       {"FILTERS/nul.taps", std::string("\0"
                                                        "1\n2\n3\n",
                                                        7)}});
        auto* box = s.w()->findChild<QMessageBox*>(QStringLiteral("coefFileNotesBox"));
        QVERIFY(box);
        const QString list = box->informativeText();
        QVERIFY2(list.contains(QStringLiteral("FILTERS/wraps.taps: 1 значение вне -32768..32767")), qPrintable(list));
        QVERIFY2(list.contains(QStringLiteral("FILTERS/nul.taps: файл не текстовый")), qPrintable(list));
        QVERIFY(!list.contains(QStringLiteral("cdma.taps")));
    }
    void cicGainAboveOneIsRedAndSaid() {
        const struct {
            const char* typed;
            bool loud;
            const char* factor;
        } cases[] = {{"16", false, ""}, {"300", true, "2.210"}, {"1024", true, "1024.000"}, {"100", false, ""}};
        Window s(Settings{});
        QLabel* norm = s.get<QLabel>("cicNorm");
        const QString plainTip = norm->toolTip();
        for (const auto& c : cases) {
            s.type("cicEdit", c.typed);
            QCOMPARE(norm->palette().color(QPalette::Window) == QColor(Qt::red), c.loud);
            const QString said = QStringLiteral("громче входа в %1 раза").arg(c.factor);
            QCOMPARE(s.status().contains(said), c.loud);
            QCOMPARE(norm->toolTip().contains(said), c.loud);
            QVERIFY(norm->toolTip().startsWith(plainTip));
        }
    }

    void syncChangesAreUndoableSettings() {
        Window s(ExpertLab());
        const QString caption = s.title();
        SyncDialog* sync = s.windows->registerWindows()->syncro();
        s.click("syncroButton");
        auto ncoSyncA = [&] { return sync->findChild<QComboBox*>("nco_sync_A"); };
        QCOMPARE(ncoSyncA()->currentIndex(), 2);

        sync->findChild<QPushButton*>("oneShotButton")->click();
        QCOMPARE(s.m.settings.nco_sync[0], 4);
        QCOMPARE(s.title(), caption + " *");
        QVERIFY2(s.status().contains("nco_sync A 2 → 4"), qPrintable(s.status()));
        s.undo();
        QCOMPARE(s.m.settings.nco_sync[0], 2);
        QCOMPARE(ncoSyncA()->currentIndex(), 2);  // the open dialog follows
        QCOMPARE(s.title(), caption);

        ncoSyncA()->setCurrentIndex(3);  // SIB picked in the grid
        QCOMPARE(s.m.settings.nco_sync[0], 3);
        QCOMPARE(s.title(), caption + " *");
        s.undo();
        QCOMPARE(s.m.settings.nco_sync[0], 2);
        s.redo();
        QCOMPARE(s.m.settings.nco_sync[0], 3);
        QCOMPARE(ncoSyncA()->currentIndex(), 3);
    }

    void everyEditReplacesTheStatusLine() {
        Window s(Settings{});
        const struct {
            std::function<void(Window&)> act;
            const char* status;
        } steps[] = {
            {[](Window& w) { w.click("applyAllButton"); }, nullptr},  // a command's own report
            {[](Window& w) { w.type("cicEdit", "16"); }, "CIC A 2 → 16"},
            {[](Window& w) { w.type("gainEdit", "2"); }, "Усиление A 1 → 2"},
            {[](Window& w) { w.undo(); }, "Отменено: Усиление A 2 → 1"},
            {[](Window& w) { w.undo(); }, "Отменено: CIC A 16 → 2"},
            {[](Window& w) { w.redo(); }, "Повторено: CIC A 2 → 16"},
            {[](Window& w) { w.type("freqEdit", "10000000"); }, ""},  // nothing changed: nothing stale stays
            {[](Window& w) { w.type("phaseEdit", "x"); }, "Фаза NCO: «x» не является числом"},
        };
        for (const auto& step : steps) {
            step.act(s);
            if (!step.status) continue;
            // What the edit changed comes first; a refit may add the length it left.
            const QString expected = QString::fromUtf8(step.status);
            QVERIFY2(expected.isEmpty() ? s.status().isEmpty() : s.status().startsWith(expected),
                     qPrintable(s.status()));
        }
    }

    void aRefitSaysTheLengthItLeft() {
        Window s(Settings{});
        QComboBox* firDec = s.get<QComboBox>("firDecCombo");
        int changes = 0;
        for (int index : {0, 7, 3, 0}) {
            const int before = s.m.coefSetInfo[0].ntaps;
            firDec->setCurrentIndex(index);
            const int after = s.m.coefSetInfo[0].ntaps;
            const QString said = QStringLiteral("PFIR A: длина %1 → %2").arg(before).arg(after);
            QCOMPARE(s.status().contains(said), before != after);
            changes += before != after;
        }
        QVERIFY(changes > 0);
    }

    void aDesignersSplitShowsItsOwnNorm() {
        // The split's CIC decimation is shown with the norm of that decimation,
        // not the one the previous derivation left.
        Window s(Settings{});
        s.w()->ApplyUserEdit(edit::DecimationSplit{16, 2, s.dir / "FILTERS/cdma.taps"});
        QCOMPARE(s.m.settings.CicDec[0], 16);
        QCOMPARE(s.get<QLabel>("cicNorm")->text(),
                 QString::fromStdString(FormatFixed(double(CicShift(16).norm), 5, 3)));
    }

    void typedValuesSayWhatTheyBecame() {
        const struct {
            const char* edit;
            const char* typed;
            std::function<bool(const Settings&)> taken;
            const char* says;  // in the status line, or in the error box when nothing was taken
        } cases[] = {
            {"cicEdit", "99999", [](const Settings& st) { return st.CicDec[0] == 1024; },
             "CIC A: 99999 → 1024 (от 2 до 1024)"},
            {"cicEdit", "-5", [](const Settings& st) { return st.CicDec[0] == 2; }, "CIC A: -5 → 2"},
            {"freqEdit", "130000000", [](const Settings& st) { return st.FreqNCO[0] == 130000000; },
             "NCO A: 130000000 Гц вне ±50000000 Гц, слово частоты переполняется: NCO работает на 30000000 Гц"},
            {"freqEdit", "1.5e3", [](const Settings& st) { return st.FreqNCO[0] == 1500; }, "NCO A 130000000 → 1500"},
            {"freqEdit", "1.5e0", nullptr, "Частота NCO: «1.5e0» не является целым числом"},
            {"cicEdit", "abc", nullptr, "Децимация CIC: «abc» не является целым числом"},
            {"clockEdit", "3000000000", nullptr,
             "Тактовая частота: «3000000000» вне допустимого диапазона (от 1 до 2147483647)"},
            {"clockEdit", "8E7", [](const Settings& st) { return st.SystemClock == 80000000; }, "80000000"},
        };
        Window s(Settings{});
        for (const auto& c : cases) {
            s.modals.seen.clear();
            const Settings before = s.m.settings;
            s.type(c.edit, c.typed);
            const QString says = QString::fromUtf8(c.says);
            if (c.taken) {
                QVERIFY2(s.modals.seen.empty(), c.typed);
                QVERIFY2(c.taken(s.m.settings), c.typed);
                QVERIFY2(s.status().contains(says), qPrintable(s.status()));
            } else {
                QCOMPARE(FormatLab(s.m.settings), FormatLab(before));
                QVERIFY2(s.modals.seen.size() == 1 && s.modals.seen[0].join(' ').contains(says), c.typed);
            }
        }
    }

    void decimationNoticeClosesOnceASavePassesTheCheck() {
        Settings lab;
        const int cic[4] = {8, 8, 8, 16};
        for (int c = 0; c < kChannels; ++c) lab.CicDec[c] = lab.CicM0Dec[c] = cic[c];
        Window s(lab);
        s.click("saveLabButton");
        QVERIFY(s.windows->errDecim()->isVisible());
        s.click("channelRadio3");
        s.type("cicEdit", "8");
        QVERIFY(s.windows->errDecim()->isVisible());  // shown until the next save
        s.answer(s.dir / "CONFIGS/fixed.lab");
        s.click("saveLabButton");
        QVERIFY(!s.windows->errDecim()->isVisible());
        QVERIFY(std::filesystem::exists(s.dir / "CONFIGS/fixed.lab"));
    }
};

QTEST_MAIN(MainWindowFindingsTest)
#include "main_window_findings_test.moc"
