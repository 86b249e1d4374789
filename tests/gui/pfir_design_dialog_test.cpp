// "Расчёт PFIR" opened from the main window and driven through its controls:
// defaults for the channel, refused fields, following the channel, and
// "Сохранить" making the written set the channel's coefficient file. With
// GC5016_SHOT_DIR set it also leaves the picture of the user guide.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>
#include <algorithm>
#include <iterator>
#include <memory>

#include "core/lab_file.h"
#include "filters/chain_analysis.h"
#include "filters/coef_files.h"
#include "filters/decimation_splits.h"
#include "gui/app/app_windows.h"
#include "gui/dialogs/pfir_design_dialog.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/response_plot.h"
#include "gui/widgets/number_text.h"
#include "ui_test_support.h"

using namespace gc;
namespace fs = std::filesystem;

class PfirDesignDialogTest : public QObject {
    Q_OBJECT

private:
    // "Full rate" at 100 MHz, CIC 8, PFIR decimation 2: 255 taps.
    struct Started {
        uitest::WorkFolder dir;
        uitest::ModalCatcher modals;
        uitest::ScriptedChooser chooser;
        Session m;
        std::unique_ptr<AppWindows> windows;

        Started() {
            Settings lab;
            lab.SystemClock = 100000000;
            lab.ModeOfInput = 0;
            for (int c = 0; c < kChannels; ++c) {
                lab.CicM0Dec[c] = lab.CicDec[c] = 8;
                lab.FirDec[c] = 2;
            }
            WriteLab(lab, dir / "CONFIGS/std.lab");
            fs::copy_file(fs::path(GC5016_EXAMPLES) / "workspace/FILTERS/cdma.taps", dir / "FILTERS/cdma.taps");
            windows = std::make_unique<AppWindows>(m, dir.workspace());
            windows->pfirDesign()->SetFileChooser(&chooser);
            windows->gform()->show();
            windows->gform()->findChild<QPushButton*>("designButton")->click();
        }
        PfirDesignDialog* d() const { return windows->pfirDesign(); }
        template <typename T>
        T* get(const char* name) const {
            T* c = d()->findChild<T*>(name);
            if (!c) qFatal("no control %s", name);
            return c;
        }
        QString text(const char* label) const { return get<QLabel>(label)->text(); }
        void type(const char* edit, const QString& text) const {
            QLineEdit* e = get<QLineEdit>(edit);
            // As a user does it, so that every step counts as an edit.
            e->selectAll();
            QTest::keyClick(e, Qt::Key_Backspace);
            QTest::keyClicks(e, text);
        }
    };

private slots:
    void opensWithTheWidestPassbandTheLengthCarries() {
        Started s;
        QVERIFY(s.d()->isVisible());
        QCOMPARE(s.d()->windowTitle(), QString("Расчёт PFIR"));
        // w = 12.5 MHz * 72.05 / (14.36 * 254); stop = (6.25 MHz + w) / 2.
        QCOMPARE(s.get<QLineEdit>("passEdit")->text(), QString("3001.540"));
        QCOMPARE(s.get<QLineEdit>("stopEdit")->text(), QString("3248.460"));
        QCOMPARE(s.get<QLineEdit>("rippleEdit")->text(), QString("0.1"));
        QCOMPARE(s.get<QLineEdit>("attenEdit")->text(), QString("80"));
        QVERIFY(s.text("outputRate").contains("6250.000 кГц"));
        QCOMPARE(s.text("lengthValue"), QString("255"));
        QVERIFY(s.d()->design()->figures.passbandRippleDb <= 0.1);
        // The PFIR's own figures are met; the CIC's images at 12.5 MHz fold in unrejected.
        QVERIFY(s.d()->design()->meetsRequest);
        QVERIFY(s.text("verdict").startsWith("Требования не выполнены: Подавление наложений"));
        QVERIFY(s.text("verdict").contains("< 80 дБ: ограничено CIC"));
        QVERIFY(!s.text("verdict").contains(";"));
        QCOMPARE(s.text("aliasValue"), FixedQ(s.d()->design()->chain.aliasRejectionDb, 12, 3) + " дБ");
        QVERIFY(!s.d()->plot()->Picture().curves.empty());
        QCOMPARE(s.d()->plot()->Picture().markerColumn, 128);
        QVERIFY(s.get<QPushButton>("saveButton")->isEnabled());
    }

    void refusedFieldsSayWhyAndSaveNothing() {
        Started s;
        struct Case {
            const char* edit;
            const char* text;
        };
        const Case cases[] = {{"passEdit", "0"},   {"passEdit", "abc"}, {"stopEdit", "3000"}, {"stopEdit", "6250.001"},
                              {"rippleEdit", "0"}, {"rippleEdit", "x"}, {"attenEdit", "-1"},  {"attenEdit", ""}};
        for (const Case& c : cases) {
            const QString before = s.get<QLineEdit>(c.edit)->text();
            s.type(c.edit, c.text);
            const QString error = s.text((std::string(c.edit) + "Error").c_str());
            QVERIFY2(!error.isEmpty(), c.text);
            QVERIFY2(!s.get<QPushButton>("saveButton")->isEnabled(), c.text);
            s.type(c.edit, before);
            QVERIFY2(s.text((std::string(c.edit) + "Error").c_str()).isEmpty(), c.text);
            QVERIFY2(s.get<QPushButton>("saveButton")->isEnabled(), c.text);
        }
        QVERIFY(s.chooser.asked.empty());
        QCOMPARE(std::distance(fs::directory_iterator(s.dir / "FILTERS"), fs::directory_iterator()), 1L);
    }

    void defaultsRestoreEveryField() {
        Started s;
        const QString texts[] = {s.get<QLineEdit>("passEdit")->text(), s.get<QLineEdit>("stopEdit")->text(), "0.1",
                                 "80"};
        s.type("passEdit", "1000");
        s.type("stopEdit", "2000");
        s.type("rippleEdit", "0.5");
        s.type("attenEdit", "60");
        s.get<QRadioButton>("evenLength")->click();
        s.get<QCheckBox>("compensateCic")->click();
        s.get<QPushButton>("defaultsButton")->click();
        const char* edits[] = {"passEdit", "stopEdit", "rippleEdit", "attenEdit"};
        for (int i = 0; i < 4; ++i) QCOMPARE(s.get<QLineEdit>(edits[i])->text(), texts[i]);
        QVERIFY(s.get<QRadioButton>("oddLength")->isChecked());
        QVERIFY(s.get<QCheckBox>("compensateCic")->isChecked());
        QCOMPARE(s.text("lengthValue"), QString("255"));
    }

    // The table's rows come from a worker, best first and selected; the row
    // applied leaves the channel with the row's figures and the request it was
    // designed for, and the designer shows that request and the channel's file
    // through undo and redo.
    void appliedSplitKeepsTheRequestThroughUndoAndRedo() {
        Started s;
        s.type("passEdit", "1000");
        s.type("stopEdit", "1500");
        QTRY_COMPARE_WITH_TIMEOUT(s.m.settings.ReqStopHz[0], 1500000.0, 30000);  // the typed request is the channel's
        auto* table = s.get<QTableWidget>("splitsTable");
        s.get<QPushButton>("splitsButton")->click();
        QVERIFY(s.d()->SplitsRunning());
        QCOMPARE(table->rowCount(), 0);                             // nothing designed on the window's thread
        QTRY_VERIFY_WITH_TIMEOUT(!s.d()->SplitsRunning(), 180000);  // minutes under the sanitizers
        QCOMPARE(table->rowCount(), 4);                             // 16 = 1 x 16, 2 x 8, 4 x 4, 8 x 2
        QCOMPARE(s.get<QProgressBar>("splitsProgress")->value(), 4);
        QCOMPARE(table->currentRow(), 0);
        QVERIFY(s.get<QPushButton>("applySplitButton")->isEnabled());

        const auto& rows = s.d()->splitRows();
        const int r = static_cast<int>(
            std::find_if(rows.begin(), rows.end(), [](const SplitRow& x) { return x.split.firDec == 4; }) -
            rows.begin());
        table->selectRow(r);
        QTRY_VERIFY_WITH_TIMEOUT(!s.d()->SearchRunning(), 60000);  // the picture shows the searched figures
        if (const QString shots = qEnvironmentVariable("GC5016_SHOT_DIR"); !shots.isEmpty())
            s.d()->grab().save(QDir(shots).filePath("pfir_design.png"));
        const SplitRow row = rows[static_cast<size_t>(r)];
        QCOMPARE(table->item(r, 4)->text(), FixedQ(row.aliasRejectionDb, 12, 3));
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "FILTERS/split").string()));
        s.get<QPushButton>("applySplitButton")->click();
        QCOMPARE(s.m.settings.CicDec[0], 4);
        QCOMPARE(s.m.settings.FirDec[0], 4);
        QCOMPARE(s.m.settings.NameOfPFIR[0], std::string("split.taps"));
        const ChainFigures f =
            AnalyseChain(ChainChannelOf(s.m.settings, s.m, 0), {row.request.passHz, kChainDefaultPoints}).figures;
        QCOMPARE(f.aliasRejectionDb, row.aliasRejectionDb);
        QCOMPARE(f.cicAliasRejectionDb, row.cicAliasRejectionDb);
        QCOMPARE(f.passbandRippleDb, row.passbandRippleDb);
        QCOMPARE(table->rowCount(), 4);  // the total is the same: the rows stand

        // Each time: the request in the fields, the channel's file named, and
        // the design shown the one the channel runs.
        const auto showsTheChannel = [&](const char* file) {
            QCOMPARE(s.get<QLineEdit>("passEdit")->text(), QString("1000.000"));
            QCOMPARE(s.get<QLineEdit>("stopEdit")->text(), QString("1500.000"));
            QVERIFY(s.text("channelLine").endsWith(QString("файл ") + file));
        };
        showsTheChannel("split.taps");
        QTRY_VERIFY_WITH_TIMEOUT(!s.d()->SearchRunning(), 60000);
        QVERIFY(s.d()->design()->taps == row.taps);
        s.windows->gform()->UndoSettings();
        QCOMPARE(s.m.settings.CicDec[0], 8);
        QCOMPARE(s.m.settings.FirDec[0], 2);
        showsTheChannel("cdma.taps");
        s.windows->gform()->RedoSettings();
        QCOMPARE(s.m.settings.FirDec[0], 4);
        showsTheChannel("split.taps");
    }

    // "Подобрать": the best row applied as one step to undo.
    void pickAppliesTheBestRowAsOneStep() {
        Started s;
        s.type("passEdit", "1000");
        s.type("stopEdit", "1500");
        s.type("attenEdit", "60");
        QTRY_COMPARE_WITH_TIMEOUT(s.m.settings.ReqAttenDb[0], 60.0, 30000);
        const Settings before = s.m.settings;
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "FILTERS/picked").string()));
        s.get<QPushButton>("pickButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!s.d()->SplitsRunning(), 180000);  // minutes under the sanitizers
        const SplitRow best = s.d()->splitRows().front();
        QVERIFY(best.margins.met);
        QCOMPARE(s.m.settings.FirDec[0], best.split.firDec);
        QCOMPARE(s.m.settings.NameOfPFIR[0], std::string("picked.taps"));
        s.windows->gform()->UndoSettings();
        QCOMPARE(FormatLab(s.m.settings), FormatLab(before));
    }

    void followsTheChannelWhileOpen() {
        Started s;
        s.windows->gform()->findChild<QComboBox*>("firDecCombo")->setCurrentIndex(3);  // FirDec 4: 255 taps still
        QVERIFY(s.text("outputRate").contains("3125.000 кГц"));
        QCOMPARE(s.get<QLineEdit>("stopEdit")->text(), QString("1685.960"));
        QCOMPARE(s.d()->plot()->Picture().markerColumn, 64);
    }

    // The rounded set shows at once; the search's set replaces it with a note
    // of its gain, and "Сохранить" writes the searched set.
    void searchedTapsReplaceTheRoundedOnes() {
        Started s;
        const DdcChannel ch = ChannelAt(100000000, 0, 8, 2);
        const PfirDesignRequest r = DefaultPfirDesignRequest(ch);
        const PfirDesign rounded = DesignPfirRounded(ch, r);
        const PfirDesign searched = DesignPfir(ch, r);
        QVERIFY(searched.quantisationGainDb > 0.5);
        QVERIFY(s.d()->SearchRunning());
        QVERIFY(s.d()->design()->taps == rounded.taps);
        QTRY_VERIFY_WITH_TIMEOUT(!s.d()->SearchRunning(), 60000);
        QVERIFY(s.d()->design()->taps == searched.taps);
        QCOMPARE(s.text("searchNote"),
                 QString("Поиск по 16-битным коэффициентам: +%1 дБ").arg(FixedQ(searched.quantisationGainDb, 12, 1)));
        QCOMPARE(s.text("attenValue"), FixedQ(searched.figures.stopbandAttenDb, 12, 3) + " дБ");
        QCOMPARE(s.text("tradeValue"), QString("неравномерность %1 из 0.100 дБ, подавление выше заданного на %2 дБ")
                                           .arg(FixedQ(searched.figures.passbandRippleDb, 12, 3),
                                                FixedQ(searched.figures.stopbandAttenDb - 80.0, 12, 1)));
        QVERIFY(s.text("defaultNote").isEmpty());  // 80 dB is met at 255 taps

        // An edit designs again; "Сохранить" at once still writes the searched set.
        s.type("rippleEdit", "0.2");
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "FILTERS/edited").string()));
        s.get<QPushButton>("saveButton")->click();
        PfirDesignRequest edited = r;
        edited.rippleDb = 0.2;
        edited.passHz = 3001540;
        edited.stopHz = 3248460;
        QVERIFY(!s.d()->SearchRunning());
        QCOMPARE(uitest::ReadText(s.dir / "FILTERS/edited.taps"), PfirTapsText(DesignPfir(ch, edited).taps));
    }

    // Names the designer will not write: said why, nothing written.
    void refusesNamesWithNothingBeforeTapsOrTooLong() {
        Started s;
        auto filters = [&] {
            std::vector<std::string> names;
            for (const auto& e : fs::directory_iterator(s.dir / "FILTERS"))
                names.push_back(e.path().filename().string());
            std::sort(names.begin(), names.end());
            return names;
        };
        const auto before = filters();
        const std::pair<std::string, QString> names[] = {{".taps", "Имя файла пусто"},
                                                         {std::string(300, 'n'), "Имя файла длиннее 255 байт"}};
        for (const auto& [name, reason] : names) {
            s.chooser.answers.push_back(QString::fromStdString((s.dir / "FILTERS" / name).string()));
            s.get<QPushButton>("saveButton")->click();
            QVERIFY2(s.text("status").startsWith("Не записано: " + reason), qPrintable(s.text("status")));
        }
        QVERIFY(filters() == before);
        QCOMPARE(s.m.settings.NameOfPFIR[0], std::string("cdma.taps"));
    }

    void saveMakesItTheChannelsCoefficientFile() {
        Started s;
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "FILTERS/designed").string()));
        s.get<QPushButton>("saveButton")->click();
        QCOMPARE(s.chooser.asked.size(), size_t(1));
        QVERIFY(s.chooser.asked[0].save);
        QCOMPARE(s.chooser.asked[0].defaultSuffix, QString("taps"));
        QCOMPARE(s.chooser.asked[0].initialDir, QString::fromStdString((s.dir / "FILTERS").string()));

        const std::string text = uitest::ReadText(s.dir / "FILTERS/designed.taps");
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), 255L);
        QCOMPARE(text.substr(0, 1), std::string(" "));
        QCOMPARE(s.m.settings.NameOfPFIR[0], std::string("designed.taps"));
        QCOMPARE(s.m.workImage.ncoefs[0], uint16_t(255));
        QCOMPARE(s.m.coefSetInfo[0].ntaps, uint16_t(255));
        QCOMPARE(s.m.pfirFitColour[0], PfirFitColour::Face);
        QCOMPARE(s.windows->gform()->findChild<QLabel*>("coefFile")->text(), QString("designed.taps"));
        QVERIFY(s.text("status").contains("FILTERS/designed.taps: 255 коэффициентов, файл"));
        QVERIFY(s.modals.seen.empty());

        // A folder that cannot be written: said so, nothing changes.
        s.chooser.answers.push_back(QString::fromStdString((s.dir / "missing/other.taps").string()));
        s.get<QPushButton>("saveButton")->click();
        QVERIFY(s.text("status").startsWith("Не удалось записать"));
        QCOMPARE(s.m.settings.NameOfPFIR[0], std::string("designed.taps"));
    }
};

QTEST_MAIN(PfirDesignDialogTest)
#include "pfir_design_dialog_test.moc"
