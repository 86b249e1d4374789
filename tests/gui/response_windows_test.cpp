// The CIC and PFIR response windows driven from the main window's real
// controls: opening, following the main window while open, the views, the
// cursor, the length analysis, and the batch tool printing what they show.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <cmath>
#include <memory>
#include <numbers>

#include "core/lab_file.h"
#include "gui/app/app_windows.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/chain_window.h"
#include "gui/plots/cic_response_window.h"
#include "gui/plots/pfir_response_window.h"
#include "gui/widgets/readout_width.h"
#include "ui_test_support.h"

using namespace gc;

namespace {

// A ramp: as asymmetric as a set can be.
std::string RampTaps(int n) {
    std::string text;
    for (int k = 0; k < n; ++k) text += " " + std::to_string(100 + 7 * k) + "\n";
    return text;
}

// A Hann-windowed sinc lowpass of n taps: mirror-symmetric.
std::string LowpassTaps(int n) {
    std::string text;
    for (int k = 0; k < n; ++k) {
        const double x = k - (n - 1) / 2.0;
        const double sinc = x == 0 ? 1.0 : std::sin(std::numbers::pi * x / 4.0) / (std::numbers::pi * x / 4.0);
        const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * (k + 1) / (n + 1));
        text += " " + std::to_string(std::lround(12000 * sinc * hann)) + "\n";
    }
    return text;
}

// Full rate, 100 MHz. Channels A..D: CIC 4, 8, 16, 4; PFIR 1, 2, 1, 1; files of
// 96 asymmetric, 100 asymmetric, 100 asymmetric and 63 symmetric taps.
struct StartedWindows {
    uitest::WorkFolder dir;
    uitest::ModalCatcher modals;
    Session m;
    std::unique_ptr<AppWindows> windows;

    StartedWindows() {
        Settings lab;
        lab.ModeOfInput = 0;
        lab.SystemClock = 100000000;
        const int cic[4] = {4, 8, 16, 4}, fir[4] = {1, 2, 1, 1};
        for (int c = 0; c < kChannels; ++c) {
            lab.CicM0Dec[c] = cic[c];
            lab.FirDec[c] = fir[c];
        }
        lab.NameOfPFIR = {"ramp96.taps", "ramp100.taps", "ramp100.taps", "low63.taps"};
        WriteLab(lab, dir / "CONFIGS/std.lab");
        uitest::WriteText(dir / "FILTERS/ramp96.taps", RampTaps(96));
        uitest::WriteText(dir / "FILTERS/ramp100.taps", RampTaps(100));
        uitest::WriteText(dir / "FILTERS/low63.taps", LowpassTaps(63));
        windows = std::make_unique<AppWindows>(m, dir.workspace());
        windows->gform()->show();
    }
    MainWindow* w() const { return windows->gform(); }
    CicResponseWindow* cic() const { return windows->cicForm(); }
    PfirResponseWindow* pfir() const { return windows->pfirForm(); }
    template <typename T>
    static T* get(QWidget* in, const char* name) {
        T* c = in->findChild<T*>(name);
        if (!c) qFatal("no control %s", name);
        return c;
    }
    void click(QWidget* in, const char* name) const { get<QAbstractButton>(in, name)->click(); }
    QString text(QWidget* in, const char* name) const { return get<QLabel>(in, name)->text(); }
    void channel(int c) const { click(w(), QStringLiteral("channelRadio%1").arg(c).toLatin1()); }
    void typeCic(const QString& v) const {
        QLineEdit* e = get<QLineEdit>(w(), "cicEdit");
        e->clear();
        QTest::keyClicks(e, v);
        QTest::keyClick(e, Qt::Key_Return);
    }
    QString batch(const QString& args) const {
        QProcess p;
        p.setWorkingDirectory(QString::fromStdString(dir.root().string()));
        p.start(QStringLiteral(GC5016_BIN_DIR "/gc5016-batch"), args.split(' '));
        p.waitForFinished();
        if (p.exitCode() != 0) qWarning("%s", p.readAllStandardError().constData());
        return QString::fromUtf8(p.readAllStandardOutput());
    }
};

// The window's four texts of a label row, joined as the batch tool prints them.
QString Row(QWidget* w, const char* prefix) {
    QStringList t;
    for (int k = 0; k < 4; ++k) t << w->findChild<QLabel*>(QStringLiteral("%1%2").arg(prefix).arg(k))->text();
    return t.join(' ');
}

// The drawn rows of one curve, from the picture the area painted.
QString Rows(const PlotCurve& c) {
    QStringList t;
    for (const QPoint& p : c.points) t << QString::number(p.y());
    return t.join(' ');
}

}  // namespace

class ResponseWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void cicWindowOpensFollowsTheMainWindowAndStopsWhenClosed() {
        StartedWindows s;
        CicResponseWindow* cic = s.cic();
        QVERIFY(!cic->isVisible());
        s.click(s.w(), "cicWindowButton");
        QVERIFY(cic->isVisible() && cic->IsOpen());
        QCOMPARE(cic->windowTitle(), QStringLiteral("CIC Фильтр"));
        // The first curve comes from the 200 ms timer, after the window is painted.
        QCOMPARE(cic->FirstDrawDelay(), 200);
        QCOMPARE(cic->RedrawCount(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(cic->RedrawCount(), 1, 1000);
        QCOMPARE(cic->Area()->Picture().markerColumn, 64);  // N = 4
        // Painted in the buffer: the marker red, the DC point on the top row.
        QCOMPARE(cic->Area()->Buffer().pixelColor(64, 120), QColor(Qt::red));
        QCOMPARE(cic->Area()->Picture().curves.at(0).points.at(0).y(), 0);
        QCOMPARE(s.text(cic, "axisTitle"), QStringLiteral("F/Fsinp"));

        s.channel(1);  // B: N = 8
        QCOMPARE(cic->RedrawCount(), 2);
        QCOMPARE(cic->Area()->Picture().markerColumn, 32);
        s.typeCic("64");
        QCOMPARE(cic->Frame().markerColumn, 4);
        QVERIFY(cic->RedrawCount() > 2);

        // Aliasing view of N = 4: four red zones, no marker, the output-rate captions.
        s.channel(0);
        s.click(cic, "aliasBox");
        const PlotPicture& pic = cic->Area()->Picture();
        QCOMPARE(pic.curves.size(), size_t{4});
        for (const PlotCurve& c : pic.curves) QCOMPARE(c.colour, QColor(Qt::red));
        QCOMPARE(pic.markerColumn, -1);
        QCOMPARE(s.text(cic, "axisTitle"), QStringLiteral("F/Fsout"));
        QCOMPARE(Row(cic, "tick"), QStringLiteral("3.125 6.250 9.375 12.500"));
        QCOMPARE(s.text(cic, "stretchBox"), QStringLiteral("1"));

        cic->close();
        QVERIFY(!cic->IsOpen());
        const int draws = cic->RedrawCount();
        s.channel(2);
        s.typeCic("32");
        QCOMPARE(cic->RedrawCount(), draws);
        // Reopened: the view chosen before is still there.
        s.click(s.w(), "cicWindowButton");
        QTRY_COMPARE_WITH_TIMEOUT(cic->RedrawCount(), draws + 1, 1000);
        QVERIFY(cic->Frame().alias);
        QCOMPARE(cic->Area()->Picture().curves.size(), size_t{32});
    }

    void cicZoomAndCursor() {
        StartedWindows s;
        CicResponseWindow* cic = s.cic();
        s.click(s.w(), "cicWindowButton");
        const int draws = cic->RedrawCount();
        s.click(cic, "zoomHalve");  // at 1: no change, no redraw
        s.click(cic, "zoomDouble");
        QCOMPARE(cic->RedrawCount(), draws + 1);
        QCOMPARE(Row(cic, "denominator"), QStringLiteral("16 8 16 4"));
        s.click(cic, "zoomReset");

        // Right button on column 64: 12.5 MHz, the line snapped to the curve.
        PlotView* area = cic->Area();
        QTest::mousePress(area, Qt::RightButton, {}, QPoint(64, 200));
        QTest::mouseRelease(area, Qt::RightButton, {}, QPoint(64, 200));
        QCOMPARE(s.text(cic, "xReadout"), QStringLiteral("12.5000"));
        const int row = area->Picture().curves.at(0).points.at(64).y();
        QVERIFY(std::abs(area->Picture().cursorLineY - row) <= 1);
        QCOMPARE(s.text(cic, "levelReadout"), QString::fromStdString(cic->Frame().levelReadout));
        // Read-outs hold their widest texts uncut, in both windows.
        for (QWidget* win : {static_cast<QWidget*>(cic), static_cast<QWidget*>(s.pfir())})
            for (const auto& [box, text] : {std::pair{"xReadout", "1073.7418"}, std::pair{"levelReadout", "-178.86"}}) {
                QLabel* l = StartedWindows::get<QLabel>(win, box);
                QVERIFY2(ReadoutTextFits(l, QString::fromLatin1(text)), box);
            }
        s.click(cic, "cursorLeft");
        QCOMPARE(cic->State().cursor.column, 63);
        // Released over the panel beside the area: the cursor goes.
        QWidget* panel = StartedWindows::get<QWidget>(cic, "plotPanel");
        QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(5, 300));
        QCOMPARE(cic->State().cursor.column, -1);
        QCOMPARE(s.text(cic, "xReadout"), QString());
        QCOMPARE(s.text(cic, "levelReadout"), QString());
    }

    // The cursor and the zooms that keep a view's curves redraw from the curves
    // computed before: no evaluation, and the curves are not painted again.
    // An edit in the main window recomputes once.
    void cursorAndZoomDrawFromTheCurvesComputedBefore() {
        const struct {
            const char* window;
            const char* view;  // a box ticked first, or none
            const char* zoom;  // a zoom button that keeps the curves
            const char* cic;   // the main window's CIC decimation typed at the end
        } cases[] = {
            {"cic", "aliasBox", "zoomDouble", "1024"},  // the aliasing view has no zoom of its own
            {"cic", nullptr, "zoomHalve", "16"},        // already at 1
            {"pfir", nullptr, "zoomHalve", "16"},
            {"pfir", "irBox", "zoomMax", "16"},  // the taps do not depend on the zoom
        };
        for (const auto& c : cases) {
            const QByteArray what = QByteArray(c.window) + " " + (c.view ? c.view : "normal");
            StartedWindows s;
            ResponseWindow* win = std::string(c.window) == "cic" ? static_cast<ResponseWindow*>(s.cic())
                                                                 : static_cast<ResponseWindow*>(s.pfir());
            win->Open();
            QTRY_VERIFY_WITH_TIMEOUT(win->RedrawCount() >= 1, 1000);
            if (c.view) s.click(win, c.view);
            const int recomputes = win->RecomputeCount();
            const int paints = win->Area()->BasePaintCount();
            const int draws = win->RedrawCount();

            PlotView* area = win->Area();
            QTest::mousePress(area, Qt::RightButton, {}, QPoint(40, 100));
            QMouseEvent drag(QEvent::MouseMove, QPointF(90, 120), area->mapToGlobal(QPointF(90, 120)), Qt::NoButton,
                             Qt::RightButton, Qt::NoModifier);
            QCoreApplication::sendEvent(area, &drag);
            QTest::mouseRelease(area, Qt::RightButton, {}, QPoint(90, 120));
            s.click(win, "cursorRight");
            s.click(win, c.zoom);
            QVERIFY2(win->RedrawCount() >= draws + 3, what);
            QCOMPARE(area->Picture().cursorColumn, 91);
            QVERIFY2(!s.text(win, "xReadout").isEmpty(), what);
            QVERIFY2(win->RecomputeCount() == recomputes, what);
            QVERIFY2(area->BasePaintCount() == paints, what);
            // The cursor is painted over the kept curves.
            QCOMPARE(area->Buffer().pixelColor(91, 239), area->CursorColor());

            s.typeCic(QLatin1String(c.cic));
            QVERIFY2(win->RecomputeCount() > recomputes, what);
        }
    }

    // Each response window says inside it which channel it shows, following
    // the main window's choice; the captions stay the same for all four.
    void windowsNameTheChannelTheyShow() {
        StartedWindows s;
        ChainWindow* chain = s.windows->chainWindow();
        const std::pair<QWidget*, QString> windows[] = {
            {s.cic(), "CIC Фильтр"}, {s.pfir(), "PFIR Фильтр"}, {chain, "Анализ тракта"}};
        s.cic()->Open();
        s.pfir()->Open();
        chain->Open();
        for (const auto& [channel, text] : {std::pair{1, "Канал B"}, {3, "Канал D"}, {0, "Канал A"}}) {
            s.channel(channel);
            for (const auto& [win, caption] : windows) {
                QCOMPARE(s.text(win, "channelLabel"), QString::fromUtf8(text));
                QCOMPARE(win->windowTitle(), caption);
            }
        }
        // The zoom factor is set by the buttons alone: it does not look like
        // the white read-outs (nor like an edit box).
        for (QWidget* win : {static_cast<QWidget*>(s.cic()), static_cast<QWidget*>(s.pfir())}) {
            const QImage stretch = StartedWindows::get<QLabel>(win, "stretchBox")->grab().toImage();
            const QImage readout = StartedWindows::get<QLabel>(win, "xReadout")->grab().toImage();
            QCOMPARE(readout.pixelColor(3, readout.height() / 2), QColor(Qt::white));
            QVERIFY(stretch.pixelColor(3, stretch.height() / 2) != QColor(Qt::white));
        }
        // The main plot's second zoom row has its caption.
        QCOMPARE(s.text(s.w(), "yStretchLabel"), QStringLiteral("по Y"));
    }

    void pfirWindowOpensFromTheFileBoxAndFollowsTheMainWindow() {
        StartedWindows s;
        PfirResponseWindow* pfir = s.pfir();
        QTest::mouseDClick(StartedWindows::get<QLabel>(s.w(), "coefFile"), Qt::LeftButton);
        QVERIFY(pfir->isVisible() && pfir->IsOpen());
        QCOMPARE(pfir->windowTitle(), QStringLiteral("PFIR Фильтр"));
        QCOMPARE(pfir->FirstDrawDelay(), 100);
        QTRY_VERIFY_WITH_TIMEOUT(pfir->RedrawCount() >= 1, 1000);
        QCOMPARE(s.text(pfir, "cicDecValue"), QStringLiteral("4"));
        QCOMPARE(pfir->Area()->Picture().markerColumn, 256);  // FirDec 1: the last column

        s.channel(1);
        QCOMPARE(s.text(pfir, "cicDecValue"), QStringLiteral("8"));
        QCOMPARE(pfir->Area()->Picture().markerColumn, 128);  // FirDec 2
        s.typeCic("10");
        QCOMPARE(s.text(pfir, "cicDecValue"), QStringLiteral("10"));
        QCOMPARE(Row(pfir, "tick"), QStringLiteral("1.250 2.500 3.750 5.000"));  // Fp = 10 MHz

        // The impulse view hides the zoom row and the units and shows the tap range.
        s.click(pfir, "irBox");
        QVERIFY(StartedWindows::get<QWidget>(pfir, "zoomDouble")->isHidden());
        QVERIFY(StartedWindows::get<QWidget>(pfir, "xUnit")->isHidden());
        QCOMPARE(s.text(pfir, "level0"), QStringLiteral("793"));  // the ramp's last tap
        QCOMPARE(s.text(pfir, "level6"), QStringLiteral("0"));
        QCOMPARE(pfir->Area()->Picture().curves.at(0).points.size(), qsizetype{pfir->Frame().tapPlot.count});
        s.click(pfir, "irBox");
        QVERIFY(!StartedWindows::get<QWidget>(pfir, "zoomDouble")->isHidden());
        QCOMPARE(s.text(pfir, "level6"), QStringLiteral("-120"));

        pfir->close();
        const int draws = pfir->RedrawCount();
        s.channel(2);
        QCOMPARE(pfir->RedrawCount(), draws);
        s.click(s.w(), "pfirWindowButton");
        QVERIFY(pfir->IsOpen());
        QTRY_VERIFY_WITH_TIMEOUT(pfir->RedrawCount() > draws, 1000);
        QCOMPARE(s.text(pfir, "cicDecValue"), QStringLiteral("16"));
    }

    void lengthAnalysisPanels() {
        StartedWindows s;
        PfirResponseWindow* pfir = s.pfir();
        s.click(s.w(), "pfirWindowButton");
        auto cell = [&](int r, int c) { return s.text(pfir, QStringLiteral("allowed%1_%2").arg(r).arg(c).toLatin1()); };
        auto lines = [&] {
            return QStringList{s.text(pfir, "warning1"),       s.text(pfir, "warning2"),
                               s.text(pfir, "warning3"),       s.text(pfir, "warning4Phrase"),
                               s.text(pfir, "warning4Number"), s.text(pfir, "warning4End")};
        };
        auto red = [&](const char* name) {
            return StartedWindows::get<QLabel>(pfir, name)->palette().color(QPalette::WindowText) == QColor(Qt::red);
        };

        // C: CIC 16, PFIR 1, 100 asymmetric taps: 16..128 / 31..255 / 32..256, padded to 112.
        s.channel(2);
        for (int r = 0; r < 8; ++r) {
            QCOMPARE(cell(r, 0), QString::number(16 * (r + 1)));
            QCOMPARE(cell(r, 1), QString::number(32 * (r + 1) - 1));
            QCOMPARE(cell(r, 2), QString::number(32 * (r + 1)));
        }
        for (int r = 8; r < 16; ++r) QCOMPARE(cell(r, 0) + cell(r, 1) + cell(r, 2), QString());
        QCOMPARE(s.text(pfir, "filterKind"), QStringLiteral("несимметричный фильтр"));
        QCOMPARE(s.text(pfir, "filterLength"), QStringLiteral("100"));
        QCOMPARE(lines(), (QStringList{"Возможно использование", "фильтра большей длины !", "Фильтр будет дополнен 0 ",
                                       " до длины", "112", "!"}));
        QVERIFY(red("warning1") && red("warning2") && red("warning3"));

        // A: 96 asymmetric taps at CIC 16 (longest 128): 96 is itself allowed, so only two lines.
        s.channel(0);
        s.typeCic("16");
        QCOMPARE(lines(), (QStringList{"Возможно использование", "фильтра большей длины !", "", "", "", ""}));

        // D: 63 symmetric taps with K = 2: exactly the longest odd length, no warning, black lines.
        s.channel(3);
        QCOMPARE(s.text(pfir, "filterKind"), QStringLiteral("симметричный фильтр"));
        QCOMPARE(lines(), (QStringList{"", "", "", "", "", ""}));
        QVERIFY(!red("warning1") && !red("warning2"));
    }

    void batchPrintsWhatTheWindowsShow() {
        StartedWindows s;
        CicResponseWindow* cic = s.cic();
        PfirResponseWindow* pfir = s.pfir();
        s.click(s.w(), "cicWindowButton");
        s.click(s.w(), "pfirWindowButton");

        // CIC, normal view: channel C at stretch 4, then the aliasing view of A.
        s.channel(2);
        s.click(cic, "zoomDouble");
        s.click(cic, "zoomDouble");
        for (bool alias : {false, true}) {
            if (alias) {
                s.channel(0);
                s.click(cic, "aliasBox");
            }
            const QStringList out =
                s.batch(alias ? "cicwindow --channel A --alias" : "cicwindow --channel C --stretch 4").split('\n');
            const PlotPicture& pic = cic->Area()->Picture();
            QCOMPARE(out.at(0), "title " + s.text(cic, "axisTitle"));
            QCOMPARE(out.at(1), "fractions " + Row(cic, "denominator"));
            QCOMPARE(out.at(2), "ticks " + Row(cic, "tick"));
            QCOMPARE(out.at(3), "stretch " + s.text(cic, "stretchBox"));
            QCOMPARE(out.at(4), pic.markerColumn < 0 ? QStringLiteral("marker none")
                                                     : QStringLiteral("marker %1").arg(pic.markerColumn));
            if (!alias) {
                QCOMPARE(out.size(), qsizetype{5 + 256 + 1});
                for (int i = 0; i < 256; ++i)
                    QCOMPARE(out.at(5 + i).section(' ', 2), QString::number(pic.curves.at(0).points.at(i).y()));
            } else {
                QCOMPARE(out.size(), qsizetype{5 + 4 + 1});
                for (int m = 0; m < 4; ++m)
                    QCOMPARE(out.at(5 + m), QStringLiteral("zone %1 ").arg(m) + Rows(pic.curves.at(size_t(m))));
            }
        }

        // PFIR: channel B at stretch 2, then its impulse view.
        s.channel(1);
        s.click(pfir, "zoomMax");
        QStringList out = s.batch("pfirwindow --channel B --stretch 2").split('\n');
        QCOMPARE(out.at(0), "title " + s.text(pfir, "axisTitle"));
        QCOMPARE(out.at(1), "fractions " + Row(pfir, "denominator"));
        QCOMPARE(out.at(2), "ticks " + Row(pfir, "tick"));
        QCOMPARE(out.at(3), "stretch " + s.text(pfir, "stretchBox"));
        QCOMPARE(out.at(4), QStringLiteral("marker %1").arg(pfir->Area()->Picture().markerColumn));
        for (int i = 0; i < 256; ++i)
            QCOMPARE(out.at(5 + i).section(' ', 2),
                     QString::number(pfir->Area()->Picture().curves.at(0).points.at(i).y()));
        s.click(pfir, "irBox");
        out = s.batch("pfirwindow --channel B --ir").split('\n');
        QCOMPARE(out.at(0), "ticks " + Row(pfir, "tick"));
        QCOMPARE(out.at(1), "levels " + s.text(pfir, "level0") + " " + s.text(pfir, "level6"));
        const QPolygon& taps = pfir->Area()->Picture().curves.at(0).points;
        QCOMPARE(out.size(), 2 + taps.size() + 1);
        for (int k = 0; k < taps.size(); ++k) QCOMPARE(out.at(2 + k).section(' ', 2), QString::number(taps.at(k).y()));

        // Lengths: every label of both panels, channel B.
        out = s.batch("lengths --channel B").split('\n');
        QCOMPARE(out.at(0), "cic_dec\t" + s.text(pfir, "cicDecValue"));
        QCOMPARE(out.at(1), "fir_dec\t" + s.text(pfir, "firDecValue"));
        for (int r = 0; r < 16; ++r) {
            QStringList cells;
            for (int c = 0; c < 3; ++c) cells << s.text(pfir, QStringLiteral("allowed%1_%2").arg(r).arg(c).toLatin1());
            QCOMPARE(out.at(2 + r), QStringLiteral("row%1\t").arg(r + 1) + cells.join('\t'));
        }
        QCOMPARE(out.at(18), "kind\t" + s.text(pfir, "filterKind"));
        QCOMPARE(out.at(19), "length\t" + s.text(pfir, "filterLength"));
        QCOMPARE(out.at(20), "line1\tred\t" + s.text(pfir, "warning1"));
        QCOMPARE(out.at(22), "line3\t" + s.text(pfir, "warning3"));
        QCOMPARE(out.at(23), "line4\t" + s.text(pfir, "warning4Phrase") + "\t" + s.text(pfir, "warning4Number") + "\t" +
                                 s.text(pfir, "warning4End"));
    }
};

QTEST_MAIN(ResponseWindowsTest)
#include "response_windows_test.moc"
