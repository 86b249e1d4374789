// "Сравнить конфигурации…" from the File menu on the example working folder: a
// program file's differences as a table, its curves over the channel's in
// "Анализ тракта", then "Открыть как конфигурацию" as one undo step, after
// which the file compares equal.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "gui/app/app_windows.h"
#include "gui/dialogs/compare_window.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/chain_window.h"
#include "gui/plots/plot_export.h"
#include "session/commands.h"
#include "ui_test_support.h"

using namespace gc;

class CompareWindowTest : public QObject {
    Q_OBJECT

private slots:
    void comparesAProgramFileAndTakesItAsOneUndoStep() {
        uitest::WorkFolder dir;
        uitest::ModalCatcher modals;
        uitest::CopyExampleInto(dir);
        const Workspace ws = dir.workspace();
        {
            Session other;
            StartSession(other, ws, ws.Configs() / "cic8_pfir2.lab", nullptr);
            QVERIFY(SaveConfiguration(other, ws, ws.Configs() / "other.lab").done());
        }
        Session m;
        AppWindows windows(m, ws);
        windows.gform()->show();
        CompareWindow* w = windows.compareWindow();
        uitest::ScriptedChooser chooser;
        w->SetFileChooser(&chooser);
        w->SetPrefixQuestion([](const QString&) { return std::optional<QString>(QStringLiteral("taken")); });

        chooser.answers.push_back(QString::fromStdString((ws.Configs() / "other.prg").string()));
        windows.gform()->findChild<QAction*>("compareConfigsAction")->trigger();
        QVERIFY(w->isVisible());
        auto* table = w->findChild<QTableWidget*>("compareTable");
        QVERIFY(table->rowCount() > 0);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("CicDec"));
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("A"));
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("2"));
        QCOMPARE(table->item(0, 3)->text(), QStringLiteral("8"));
        QVERIFY(
            windows.gform()->statusBar()->currentMessage().startsWith(QStringLiteral("Прочитан CONFIGS/other.prg")));

        // The other configuration's curves under the channel's in "Анализ тракта",
        // which opens for them: its own output band (CIC 8, PFIR 2 against 2, 1).
        auto* overlay = w->findChild<QPushButton*>("compareOverlayButton");
        overlay->click();
        ChainWindow* chain = windows.chainWindow();
        QVERIFY(chain->IsOpen() && chain->OverlayCurves().has_value());
        QCOMPARE(chain->OverlayCurves()->outputRateHz, 100e6 / 16);
        QVERIFY(chain->Curves().outputRateHz != chain->OverlayCurves()->outputRateHz);
        QVERIFY(chain->ExportSource().notes().join(' ').contains("CONFIGS/other.prg"));
        overlay->click();
        QVERIFY(!chain->OverlayCurves().has_value());

        auto* take = w->findChild<QPushButton*>("compareTakeButton");
        QVERIFY(take->isEnabled());
        take->click();
        QCOMPARE(m.settings.CicDec[0], 8);
        QCOMPARE(m.settings.NameOfPFIR[3], std::string("taken_D.taps"));
        QVERIFY(std::filesystem::exists(ws.Filters() / "taken_A.taps"));
        QVERIFY(windows.gform()->statusBar()->currentMessage().startsWith(QStringLiteral("Открыт как конфигурация")));

        QVERIFY(w->CompareWith(ws.Configs() / "other.prg"));
        QCOMPARE(table->rowCount(), 0);
        QVERIFY(w->findChild<QLabel*>("compareSummary")->text().contains(QStringLiteral("совпадает")));

        windows.gform()->UndoSettings();
        QCOMPARE(m.settings.CicDec[0], 2);
        QCOMPARE(m.settings.NameOfPFIR[0], std::string("cdma31.taps"));

        // A file that is not a configuration: the reason, and nothing to take.
        QVERIFY(!w->CompareWith(ws.Filters() / "cdma.taps"));
        QVERIFY(!take->isEnabled());
    }
};

QTEST_MAIN(CompareWindowTest)
#include "compare_window_test.moc"
