// "Экспорт…" of the main plot: the CSV equals what the batch tool prints for
// the same setting, the SVG is well-formed with one path per curve, the PNG
// follows the screen's pixel ratio, and a refused file leaves nothing behind.
#include <QAction>
#include <QDate>
#include <QImage>
#include <QPainterPath>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QXmlStreamReader>
#include <QtTest>
#include <clocale>
#include <filesystem>
#include <memory>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/plot_export.h"
#include "gui/plots/response_plot.h"
#include "test_util.h"
#include "ui_test_support.h"

using namespace gc;
namespace fs = std::filesystem;

namespace {

// The main window on the example working folder, its lab changed to a known
// setting: clock 80 MHz, CIC decimation 16 on channel A.
struct PlotWindow {
    uitest::WorkFolder dir;
    uitest::ModalCatcher modals;
    uitest::ScriptedChooser chooser;
    Session m;
    std::unique_ptr<AppWindows> windows;

    PlotWindow() {
        Settings lab;
        lab.SystemClock = 80000000;
        lab.CicDec[0] = 16;
        lab.CicM0Dec[0] = 16;
        WriteLab(lab, dir / "CONFIGS/std.lab");
        fs::copy_file(fs::path(GC5016_EXAMPLES) / "workspace/FILTERS/cdma.taps", dir / "FILTERS/cdma.taps");
        windows = std::make_unique<AppWindows>(m, dir.workspace());
        windows->gform()->hooks().chooser = &chooser;
        plot()->SetFileChooser(&chooser);
        windows->gform()->show();
    }
    ResponsePlotPanel* plot() const { return windows->gform()->plot(); }
    // Clicks "Экспорт…" with the dialog answered by path.
    void exportTo(const fs::path& path) {
        chooser.answers.push_back(QString::fromStdString(path.string()));
        plot()->findChild<QPushButton*>("exportButton")->click();
    }
    QByteArray batch(const QStringList& args) const {
        QProcess p;
        p.start(QString(GC5016_BIN_DIR) + "/gc5016-batch",
                QStringList{"-C", QString::fromStdString(dir.root().string())} + args);
        if (!p.waitForFinished(30000) || p.exitCode() != 0) qFatal("gc5016-batch failed");
        return p.readAllStandardOutput();
    }
};

}  // namespace

class PlotExportTest : public QObject {
    Q_OBJECT

private slots:
    void csvEqualsTheBatchToolsAtTheSameZoom() {
        PlotWindow s;
        QSignalSpy status(s.plot(), &ResponsePlotPanel::statusMessage);
        s.exportTo(s.dir / "plot.csv");
        const QByteArray csv = QByteArray::fromStdString(uitest::ReadText(s.dir / "plot.csv"));
        QCOMPARE(csv, s.batch({"response", "--csv"}));
        QCOMPARE(csv.count('\n'), 257);
        QVERIFY(csv.startsWith("frequency_MHz,overall,overall_dB\n0,"));
        QCOMPARE(status.count(), 1);
        QVERIFY(status.first().first().toString().contains("plot.csv"));

        // Zoomed in twice: point 256 would be at a quarter of the span; the
        // frequencies and the curve follow, and the file is replaced whole.
        s.plot()->findChild<QPushButton*>("xDouble")->click();
        s.plot()->findChild<QPushButton*>("xDouble")->click();
        s.exportTo(s.dir / "plot.csv");
        const QByteArray zoomed = QByteArray::fromStdString(uitest::ReadText(s.dir / "plot.csv"));
        QCOMPARE(zoomed, s.batch({"response", "--csv", "--xstretch", "4"}));
        QVERIFY(zoomed.contains("\n5,"));  // point 128: 80 MHz * 128 / 2048
        QVERIFY(s.modals.seen.empty());
    }

    void csvKeepsItsPointUnderACommaLocale() {
        test::CommaLocale comma;
        if (!comma.found()) QSKIP("no locale with a decimal comma installed");
        PlotWindow s;
        s.exportTo(s.dir / "comma.csv");
        QCOMPARE(QByteArray::fromStdString(uitest::ReadText(s.dir / "comma.csv")), s.batch({"response", "--csv"}));
    }

    void svgIsWellFormedWithOnePathPerCurve() {
        PlotWindow s;
        s.exportTo(s.dir / "plot.SVG");  // the suffix in any case
        QFile file(QString::fromStdString((s.dir / "plot.SVG").string()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        int paths = 0, texts = 0;
        QString root;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            if (root.isEmpty()) root = xml.name().toString();
            if (xml.name() == QLatin1String("path")) ++paths;
            if (xml.name() == QLatin1String("text")) ++texts;
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(root, QString("svg"));
        QCOMPARE(paths, 1);
        QVERIFY(texts >= 10);  // the axis labels stay text
    }

    // The SVG writer does not clip: the curve is cut at the area's edge itself.
    void curvePathsStopAtTheEdgeOfTheArea() {
        const QRectF area(0, 0, 10, 10);
        const QPolygon dip({QPoint(0, 2), QPoint(1, 30), QPoint(2, 30), QPoint(3, 4), QPoint(4, 5)});
        const QPainterPath path = ClippedCurvePath(dip, area);
        // Down to the edge, then back up from it to the end: two subpaths in one path.
        QCOMPARE(path.elementCount(), 5);
        QCOMPARE(QPointF(path.elementAt(0)), QPointF(0, 2));
        QVERIFY(path.elementAt(0).isMoveTo());
        QCOMPARE(path.elementAt(1).y, 10.0);
        QVERIFY(path.elementAt(2).isMoveTo());
        QCOMPARE(path.elementAt(2).y, 10.0);
        QCOMPARE(QPointF(path.elementAt(4)), QPointF(4, 5));
        QVERIFY(area.contains(path.boundingRect()));
        // Wholly inside: the polyline itself, one subpath.
        const QPolygon flat({QPoint(0, 1), QPoint(1, 2), QPoint(2, 3)});
        QCOMPARE(ClippedCurvePath(flat, area).elementCount(), 3);
        QVERIFY(ClippedCurvePath(QPolygon({QPoint(0, 20), QPoint(1, 30)}), area).isEmpty());
    }

    void pngHasThePanelsSizeAtTheScreensPixelRatio() {
        PlotWindow s;
        s.exportTo(s.dir / "plot.png");
        QImage png(QString::fromStdString((s.dir / "plot.png").string()));
        QVERIFY(!png.isNull());
        QWidget* panel = s.plot()->PlotFrameWidget();
        const qreal dpr = panel->devicePixelRatioF();
        // The panel, with the caption line under it (on by default).
        const QSize shown = (QSizeF(panel->size()) * dpr).toSize();
        QCOMPARE(png.width(), shown.width());
        QVERIFY(png.height() > shown.height());
        // Somewhere on it the curve is drawn in black.
        bool black = false;
        for (int y = 0; y < png.height() && !black; ++y)
            for (int x = 0; x < png.width() && !black; ++x) black = png.pixelColor(x, y) == Qt::black;
        QVERIFY(black);
    }

    // PNG and SVG carry the caption line under the panel unless it is switched
    // off in the button's menu; a CSV never does.
    void captionLineUnderThePictureWhenAsked() {
        const struct {
            const char* file;
            bool on;
        } cases[] = {{"on.png", true}, {"off.png", false}, {"on.svg", true}, {"off.svg", false}, {"on.csv", true}};
        PlotWindow s;
        QAction* caption = s.plot()->findChild<QAction*>("exportCaption");
        QVERIFY(caption && caption->isChecked());
        const QStringList expected{QStringLiteral("std.lab · "), QStringLiteral("Канал "),
                                   QStringLiteral("A · ") + QDate::currentDate().toString("dd.MM.yyyy")};
        QWidget* panel = s.plot()->PlotFrameWidget();
        const QImage grabbed = panel->grab().toImage();
        for (const auto& c : cases) {
            caption->setChecked(c.on);
            const fs::path path = s.dir / c.file;
            s.exportTo(path);
            const QString text = QString::fromStdString(uitest::ReadText(path));
            if (path.extension() == ".png") {
                const QImage png(QString::fromStdString(path.string()));
                QCOMPARE(png.width(), grabbed.width());
                QCOMPARE(png.height() > grabbed.height(), c.on);
                // The panel itself is as the screen shows it, the strip under it carries text.
                QCOMPARE(png.copy(grabbed.rect()).convertToFormat(QImage::Format_RGB32),
                         grabbed.convertToFormat(QImage::Format_RGB32));
                if (c.on) {
                    int dark = 0;
                    for (int y = grabbed.height(); y < png.height(); ++y)
                        for (int x = 0; x < png.width(); ++x) dark += qGray(png.pixel(x, y)) < 128;
                    QVERIFY2(dark > 20, c.file);
                }
            } else {
                // The SVG keeps the line as text, in runs by script.
                for (const QString& part : expected)
                    QVERIFY2(text.contains(part) == (c.on && path.extension() == ".svg"), qPrintable(part));
            }
        }
    }

    void refusedFilesAreReportedAndLeaveNothingBehind() {
        PlotWindow s;
        QSignalSpy status(s.plot(), &ResponsePlotPanel::statusMessage);
        uitest::WriteText(s.dir / "old.csv", "keep me\n");
        // An unknown type, and a folder that does not exist: an error box each.
        s.exportTo(s.dir / "plot.txt");
        s.exportTo(s.dir / "nofolder/plot.csv");
        QVERIFY(!fs::exists(s.dir / "plot.txt"));
        QVERIFY(!fs::exists(s.dir / "nofolder"));
        QCOMPARE(s.modals.seen.size(), size_t(2));
        QCOMPARE(status.count(), 2);
        // Cancelling the dialog does nothing at all.
        s.plot()->findChild<QPushButton*>("exportButton")->click();
        QCOMPARE(status.count(), 2);
        QCOMPARE(uitest::ReadText(s.dir / "old.csv"), std::string("keep me\n"));
        QCOMPARE(s.chooser.asked.back().filter, QString("PNG (*.png);;SVG (*.svg);;CSV (*.csv)"));
        QCOMPARE(s.chooser.asked.back().initialDir, QString::fromStdString(s.dir.root().string()));
        QVERIFY(s.chooser.asked.back().save);
    }
};

QTEST_MAIN(PlotExportTest)
#include "plot_export_test.moc"
