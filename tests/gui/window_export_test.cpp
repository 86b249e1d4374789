// "Экспорт…" of the CIC and PFIR windows: the CSV holds the curves the window
// draws (every zone of the aliasing view, the taps of the impulse view), the
// SVG is well-formed with one path per curve shown, the PNG is the panel at
// the screen's pixel ratio, and exporting leaves the drawn picture alone.
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QXmlStreamReader>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>

#include "core/lab_file.h"
#include "filters/plot_scale.h"
#include "gui/app/app_windows.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/cic_response_window.h"
#include "gui/plots/pfir_response_window.h"
#include "ui_test_support.h"

using namespace gc;
namespace fs = std::filesystem;

namespace {

// A Hann-windowed sinc lowpass of n taps, scaled to peak.
std::string LowpassTaps(int n, double peak) {
    std::string text;
    for (int k = 0; k < n; ++k) {
        const double x = k - (n - 1) / 2.0;
        const double sinc = x == 0 ? 1.0 : std::sin(std::numbers::pi * x / 4.0) / (std::numbers::pi * x / 4.0);
        const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * (k + 1) / (n + 1));
        text += " " + std::to_string(std::lround(peak * sinc * hann)) + "\n";
    }
    return text;
}

// Full rate at 100 MHz, channel A: CIC 4, PFIR 1, a 63-tap lowpass.
struct OpenWindows {
    uitest::WorkFolder dir;
    uitest::ModalCatcher modals;
    uitest::ScriptedChooser chooser;
    Session m;
    std::unique_ptr<AppWindows> windows;

    OpenWindows() {
        Settings lab;
        lab.ModeOfInput = 0;
        lab.SystemClock = 100000000;
        for (int c = 0; c < kChannels; ++c) {
            lab.CicM0Dec[c] = 4;
            lab.FirDec[c] = 1;
        }
        lab.NameOfPFIR = {"low63.taps", "low63.taps", "low63.taps", "low63.taps"};
        WriteLab(lab, dir / "CONFIGS/std.lab");
        uitest::WriteText(dir / "FILTERS/low63.taps", LowpassTaps(63, 12000));
        windows = std::make_unique<AppWindows>(m, dir.workspace());
        windows->gform()->show();
        for (ResponseWindow* w : {static_cast<ResponseWindow*>(cic()), static_cast<ResponseWindow*>(pfir())}) {
            w->SetFileChooser(&chooser);
            w->Open();
            w->Redraw();
        }
    }
    CicResponseWindow* cic() const { return windows->cicForm(); }
    PfirResponseWindow* pfir() const { return windows->pfirForm(); }
    static void click(QWidget* in, const char* name) {
        auto* b = in->findChild<QAbstractButton*>(name);
        if (!b) qFatal("no control %s", name);
        b->click();
    }
    // Clicks "Экспорт…" of window w with the dialog answered by file; returns its path.
    fs::path exportTo(QWidget* w, const std::string& file) {
        const fs::path path = dir / file;
        chooser.answers.push_back(QString::fromStdString(path.string()));
        click(w, "exportButton");
        return path;
    }
};

// The CSV as rows of fields; the header line first.
std::vector<QStringList> ReadCsv(const fs::path& path) {
    std::vector<QStringList> rows;
    const QString text = QString::fromStdString(uitest::ReadText(path));
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) rows.push_back(line.split(','));
    return rows;
}

// The elements of the SVG by name, or a failure when it is not well-formed.
std::map<QString, int> SvgElements(const fs::path& path, QString& error) {
    QFile file(QString::fromStdString(path.string()));
    std::map<QString, int> count;
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot open";
        return count;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement) ++count[xml.name().toString()];
    if (xml.hasError()) error = xml.errorString();
    return count;
}

}  // namespace

class WindowExportTest : public QObject {
    Q_OBJECT

private slots:
    // Each curve's linear values give back, column by column, the rows the
    // window drew, and its dB the same rows to within the rounding of the file.
    void cicCsvHoldsTheDrawnCurves_data() {
        QTest::addColumn<bool>("alias");
        QTest::addColumn<int>("doublings");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<double>("mhzAt128");
        QTest::newRow("normal") << false << 0 << QStringList{"cic"} << 25.0;
        QTest::newRow("zoomed") << false << 2 << QStringList{"cic"} << 6.25;
        // The output band of 25 MHz; each of the four zones a curve.
        QTest::newRow("aliasing") << true << 0 << QStringList{"zone0", "zone1", "zone2", "zone3"} << 6.25;
    }
    void cicCsvHoldsTheDrawnCurves() {
        QFETCH(bool, alias);
        QFETCH(int, doublings);
        QFETCH(QStringList, names);
        QFETCH(double, mhzAt128);
        OpenWindows s;
        CicResponseWindow* cic = s.cic();
        if (alias) OpenWindows::click(cic, "aliasBox");
        for (int k = 0; k < doublings; ++k) OpenWindows::click(cic, "zoomDouble");
        QSignalSpy status(cic, &ResponseWindow::statusMessage);
        const std::vector<QStringList> rows = ReadCsv(s.exportTo(cic, "cic.csv"));
        QCOMPARE(status.count(), 1);
        QVERIFY(status.first().first().toString().contains("cic.csv"));

        QStringList header{"frequency_MHz"};
        for (const QString& n : names) header << n << n + "_dB";
        QCOMPARE(rows.size(), size_t(kResponsePoints + 1));
        QCOMPARE(rows[0], header);
        QCOMPARE(rows[1][0], QString("0"));
        QCOMPARE(rows[129][0].toDouble(), mhzAt128);

        const PlotPicture& pic = cic->Area()->Picture();
        QCOMPARE(pic.curves.size(), size_t(names.size()));
        // Levels are below the maximum of the first curve (zone 0 in the aliasing view).
        double max = 0;
        for (int i = 0; i < kResponsePoints; ++i) max = std::max(max, rows[size_t(i + 1)][1].toDouble());
        for (qsizetype c = 0; c < names.size(); ++c) {
            for (int i = 0; i < kResponsePoints; ++i) {
                const QStringList& r = rows[size_t(i + 1)];
                const int drawn = pic.curves[size_t(c)].points[i].y();
                const double linear = r[1 + 2 * c].toDouble();
                QCOMPARE(LevelRow(linear / max, 1), drawn);
                if (drawn < 240) QVERIFY2(std::abs(-2 * r[2 + 2 * c].toDouble() - drawn) <= 1, qPrintable(r.join(',')));
            }
        }
        QVERIFY(s.modals.seen.empty());
    }

    // One path per curve shown, whichever view: the labels stay text.
    void svgIsWellFormedWithOnePathPerCurve_data() {
        QTest::addColumn<bool>("cicWindow");
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("paths");
        QTest::newRow("cic normal") << true << QString() << 1;
        QTest::newRow("cic aliasing") << true << QString("aliasBox") << 4;
        QTest::newRow("pfir frequency") << false << QString() << 1;
        QTest::newRow("pfir taps") << false << QString("irBox") << 1;
    }
    void svgIsWellFormedWithOnePathPerCurve() {
        QFETCH(bool, cicWindow);
        QFETCH(QString, view);
        QFETCH(int, paths);
        OpenWindows s;
        ResponseWindow* w = cicWindow ? static_cast<ResponseWindow*>(s.cic()) : s.pfir();
        if (!view.isEmpty()) OpenWindows::click(w, qPrintable(view));
        // Every curve has a part inside the area, so every one is shown.
        for (const PlotCurve& c : w->Area()->Picture().curves)
            QVERIFY(std::any_of(c.points.begin(), c.points.end(), [](const QPoint& p) { return p.y() < 240; }));
        QCOMPARE(int(w->Area()->Picture().curves.size()), paths);
        const QImage before = w->Area()->Buffer();

        QString error;
        const std::map<QString, int> elements = SvgElements(s.exportTo(w, "plot.svg"), error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        auto n = [&](const char* name) { return elements.count(name) ? elements.at(name) : 0; };
        QCOMPARE(n("svg"), 1);
        QCOMPARE(n("path"), paths);
        QVERIFY(n("text") >= 5);
        QCOMPARE(w->Area()->Buffer(), before);
    }

    // The impulse view exports its taps: as many as drawn, the extremes those
    // the level axis names. The PNG is the panel as the screen shows it.
    void pfirTapsAsCsvAndThePanelAsPng() {
        OpenWindows s;
        PfirResponseWindow* pfir = s.pfir();
        OpenWindows::click(pfir, "irBox");
        const std::vector<QStringList> rows = ReadCsv(s.exportTo(pfir, "taps.csv"));
        QCOMPARE(rows.at(0), (QStringList{"index", "tap"}));
        const PlotCurve& drawn = pfir->Area()->Picture().curves.at(0);
        QCOMPARE(qsizetype(rows.size() - 1), drawn.points.size());
        QVERIFY(rows.size() > 16);
        int hi = 0, lo = 0;
        for (size_t k = 1; k < rows.size(); ++k) {
            QCOMPARE(rows[k].size(), qsizetype(2));
            QCOMPARE(rows[k][0].toInt(), int(k - 1));
            hi = std::max(hi, rows[k][1].toInt());
            lo = std::min(lo, rows[k][1].toInt());
        }
        QCOMPARE(QString::number(hi), pfir->findChild<QLabel*>("level0")->text());
        QCOMPARE(QString::number(lo), pfir->findChild<QLabel*>("level6")->text());

        // Back in the frequency view the same button writes the curve again.
        OpenWindows::click(pfir, "irBox");
        QCOMPARE(ReadCsv(s.exportTo(pfir, "taps.csv")).at(0), (QStringList{"frequency_MHz", "pfir", "pfir_dB"}));

        const QImage png(QString::fromStdString(s.exportTo(pfir, "pfir.png").string()));
        QWidget* panel = pfir->findChild<QWidget*>("plotPanel");
        // The panel, with the caption line under it (on by default).
        const QSize shown = (QSizeF(panel->size()) * panel->devicePixelRatioF()).toSize();
        QCOMPARE(png.width(), shown.width());
        QVERIFY(png.height() > shown.height());
        QCOMPARE(s.chooser.asked.back().initialDir, QString::fromStdString(s.dir.root().string()));
        QVERIFY(s.modals.seen.empty());
    }
};

QTEST_MAIN(WindowExportTest)
#include "window_export_test.moc"
