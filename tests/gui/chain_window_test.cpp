// "Анализ тракта" on the example working folder at CIC 8, PFIR 2: opened from
// its button, the figures and the CSV as the batch tool gives them, more
// points for a wider plot, cursor, zoom and the passband edge without a
// recompute, and following the main window's edits and undo.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "gui/app/app_windows.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/chain_window.h"
#include "gui/plots/plot_export.h"
#include "ui_test_support.h"

using namespace gc;

namespace {

struct Started {
    uitest::WorkFolder dir;
    uitest::ModalCatcher modals;
    Session m;
    std::unique_ptr<AppWindows> windows;

    Started() {
        uitest::CopyExampleInto(dir);
        std::filesystem::copy_file(dir / "CONFIGS/cic8_pfir2.lab", dir / "CONFIGS/std.lab",
                                   std::filesystem::copy_options::overwrite_existing);
        windows = std::make_unique<AppWindows>(m, dir.workspace());
        windows->gform()->show();
    }
    ChainWindow* chain() const { return windows->chainWindow(); }
    QString batch(const QString& args) const {
        QProcess p;
        p.setWorkingDirectory(QString::fromStdString(dir.root().string()));
        p.start(QStringLiteral(GC5016_BIN_DIR "/gc5016-batch"), args.split(' '));
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    }
};

QPoint AreaPoint(const ChainWindow* w, double fx, double fy) {
    const QRect a = w->PlotArea();
    return QPoint(a.left() + static_cast<int>(fx * a.width()), a.top() + static_cast<int>(fy * a.height()));
}

}  // namespace

class ChainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheBatchToolsFiguresAndExports() {
        Started s;
        s.windows->gform()->findChild<QPushButton*>("chainWindowButton")->click();
        ChainWindow* w = s.chain();
        QVERIFY(w->IsOpen() && w->isVisible());
        QCOMPARE(QString::fromStdString(FormatChainSummary(w->Figures())), s.batch("chain"));

        // CSV as the batch tool writes it; PNG and SVG of the plot.
        PlotExportSource src = w->ExportSource();
        const QString base = QString::fromStdString((s.dir / "chain").string());
        QVERIFY(ExportPlot(src, base + ".csv").ok);
        QCOMPARE(QString::fromStdString(uitest::ReadText(s.dir / "chain.csv")), s.batch("chain --csv"));
        for (const char* ext : {".png", ".svg"}) {
            QVERIFY(ExportPlot(src, base + ext).ok);
            QVERIFY(std::filesystem::file_size(s.dir / (std::string("chain") + ext)) > 1000);
        }
    }

    void resizeCursorZoomAndPassEdge() {
        Started s;
        s.windows->gform()->findChild<QPushButton*>("chainWindowButton")->click();
        ChainWindow* w = s.chain();
        PlotView* plot = w->Plot();
        w->resize(700, 480);
        QCoreApplication::processEvents();
        const size_t narrow = w->Curves().freqHz.size();
        w->resize(1400, 600);
        QCoreApplication::processEvents();
        QVERIFY(w->Curves().freqHz.size() > narrow);
        QCOMPARE(static_cast<int>(w->Curves().freqHz.size()), w->WantedPoints());

        // The view changes below only repaint.
        const int recomputes = w->RecomputeCount();
        QTest::mousePress(plot, Qt::RightButton, {}, AreaPoint(w, 0.25, 0.5));
        QTest::mouseRelease(plot, Qt::RightButton, {}, AreaPoint(w, 0.25, 0.5));
        const ChainCursorText at = ChainCursorAt(w->Curves(), ChainLevelsDb(w->Curves()), *w->CursorHz());
        QCOMPARE(w->findChild<QLabel*>("cursor0")->text(), QString::fromStdString(at.freq));
        QCOMPARE(w->findChild<QLabel*>("cursor2")->text(), QString::fromStdString(at.image));
        QVERIFY(std::abs(*w->CursorHz() - 0.25 * 3125000) < 3125000 / 500.0);

        const double span = w->View().f1 - w->View().f0;
        const QPoint mid = AreaPoint(w, 0.5, 0.5);
        QWheelEvent wheel(mid, plot->mapToGlobal(mid), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(plot, &wheel);
        QVERIFY(w->View().f1 - w->View().f0 < 0.7 * span);
        w->ResetView();
        // A rubber band over the left half, from 0 to -80 dB.
        QTest::mousePress(plot, Qt::LeftButton, {}, AreaPoint(w, 0.05, 0.05));
        QTest::mouseMove(plot, AreaPoint(w, 0.5, 0.5));
        QTest::mouseRelease(plot, Qt::LeftButton, {}, AreaPoint(w, 0.5, 0.5));
        QVERIFY(w->View().f1 < 0.6 * 3125000 && w->View().f0 > 0);
        QCOMPARE(w->RecomputeCount(), recomputes);

        // The passband edge dragged to half its place: the figures follow.
        w->ResetView();
        const double pass = w->Figures().passHz;
        QPoint edge = AreaPoint(w, pass / 3125000, 0.5);
        QTest::mousePress(plot, Qt::LeftButton, {}, edge);
        QTest::mouseMove(plot, AreaPoint(w, pass / 2 / 3125000, 0.5));
        QTest::mouseRelease(plot, Qt::LeftButton, {}, AreaPoint(w, pass / 2 / 3125000, 0.5));
        QVERIFY(std::abs(w->Figures().passHz - pass / 2) < 3125000 / 300.0);
        QVERIFY(w->Figures().figures.aliasRejectionDb > 59.534);
        QCOMPARE(w->RecomputeCount(), recomputes);
    }

    // A dragged edge is the channel's request, one step to undo; the box
    // with the focus follows it, and leaving that box keeps the new edge.
    void draggedEdgeIsTheRequestAndSurvivesTheFocusedBox() {
        Started s;
        MainWindow* g = s.windows->gform();
        g->findChild<QPushButton*>("chainWindowButton")->click();
        ChainWindow* w = s.chain();
        w->activateWindow();
        QLineEdit* pass = w->findChild<QLineEdit*>("passEdit");
        pass->setFocus();
        const double p0 = w->Figures().passHz;
        const QPoint from = AreaPoint(w, p0 / 3125000, 0.5), to = AreaPoint(w, p0 / 2 / 3125000, 0.5);
        QTest::mousePress(w->Plot(), Qt::LeftButton, {}, from);
        QTest::mouseMove(w->Plot(), to);
        QTest::mouseRelease(w->Plot(), Qt::LeftButton, {}, to);
        const double dragged = w->Figures().passHz;
        QVERIFY(std::abs(dragged - p0 / 2) < 3125000 / 300.0);
        QCOMPARE(s.m.settings.ReqPassHz[0], dragged);
        QCOMPARE(pass->text(), QString::number(dragged / 1000.0, 'f', 3));
        // A click elsewhere takes the focus from the box: the edge stays.
        w->findChild<QLineEdit*>("attenEdit")->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(w->Figures().passHz, dragged);
        QCOMPARE(s.m.settings.ReqPassHz[0], dragged);
        // Typed: the attenuation asked changes the judgement, not the curves.
        QLineEdit* atten = w->findChild<QLineEdit*>("attenEdit");
        atten->selectAll();
        QTest::keyClicks(atten, "40");
        QTest::keyClick(atten, Qt::Key_Return);
        QCOMPARE(s.m.settings.ReqAttenDb[0], 40.0);
        QVERIFY(g->windowTitle().endsWith(" *"));
        QVERIFY(w->ExportSource().notes().join('\n').contains(QString::fromUtf8("подавление ≥ 40 дБ")));
        g->UndoSettings();
        QCOMPARE(s.m.settings.ReqAttenDb[0], 80.0);
        QCOMPARE(atten->text(), QString("80"));
        g->UndoSettings();
        QCOMPARE(s.m.settings.ReqPassHz[0], 0.0);
        QCOMPARE(w->Figures().passHz, p0);
    }

    void followsEditsAndUndo() {
        Started s;
        MainWindow* g = s.windows->gform();
        g->findChild<QPushButton*>("chainWindowButton")->click();
        ChainWindow* w = s.chain();
        QLineEdit* cic = g->findChild<QLineEdit*>("cicEdit");
        cic->clear();
        QTest::keyClicks(cic, "16");
        QTest::keyClick(cic, Qt::Key_Return);
        QCOMPARE(w->Figures().cicDec, 16);
        QCOMPARE(w->Figures().outputRateHz, 3125000.0);
        // The new output band is shown whole.
        QCOMPARE(w->View().f1, 3125000.0 / 2);
        g->findChild<QAction*>("undoAction")->trigger();
        QCOMPARE(w->Figures().cicDec, 8);
        // Closed, it stops following.
        w->close();
        const int recomputes = w->RecomputeCount();
        cic->clear();
        QTest::keyClicks(cic, "4");
        QTest::keyClick(cic, Qt::Key_Return);
        QCOMPARE(w->RecomputeCount(), recomputes);
    }
};

QTEST_MAIN(ChainWindowTest)
#include "chain_window_test.moc"
