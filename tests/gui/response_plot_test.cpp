// The response plot panel drawn on the offscreen platform: pixels of the
// grabbed area, the label texts, and the cursor driven with the mouse and the
// step buttons.
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "gui/plots/response_plot.h"

using namespace gc;

namespace {

using Curve = std::array<double, kResponsePoints>;

Curve Flat() {
    Curve c;
    c.fill(5.0);
    return c;
}

// Maximum at `peak`, -40 dB elsewhere.
Curve Peak(int peak) {
    Curve c;
    c.fill(0.01);
    c[static_cast<size_t>(peak)] = 1.0;
    return c;
}

bool IsBlack(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)) == QColor(Qt::black); }
bool IsRed(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)) == QColor(Qt::red); }

int CountInRow(const QImage& img, int y, const QColor& c) {
    int n = 0;
    for (int x = 0; x < img.width(); ++x) n += QColor(img.pixel(x, y)) == c;
    return n;
}

int CountColour(const QImage& img, const QColor& c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) n += CountInRow(img, y, c);
    return n;
}

}  // namespace

class ResponsePlotTest : public QObject {
    Q_OBJECT

private:
    QImage Grab(ResponsePlotPanel& p) { return p.Area()->grab().toImage(); }
    QString Text(ResponsePlotPanel& p, const char* name) { return p.findChild<QLabel*>(QLatin1String(name))->text(); }
    void Click(ResponsePlotPanel& p, const char* name) {
        QPushButton* b = p.findChild<QPushButton*>(QLatin1String(name));
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void SendMove(QWidget* w, QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent e(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }

private slots:
    void gridCurveAndMarkerPixels() {
        ResponsePlotPanel p;
        p.show();
        p.ShowResponse(Flat(), 100000000, 4, 2);
        const QImage img = Grab(p);
        QCOMPARE(img.size(), QSize(kPlotWidth, kPlotHeight));

        // A flat response is its own maximum everywhere: the curve lies on row 0.
        for (int x = 0; x < kResponsePoints; ++x)
            if (x != 32) QVERIFY2(IsBlack(img, x, 0), qPrintable(QString("curve column %1").arg(x)));
        // The red marker at column 32 runs the whole height, over the curve.
        for (int y = 0; y < kPlotHeight; ++y) QVERIFY(IsRed(img, 32, y));
        QCOMPARE(CountColour(img, Qt::red), kPlotHeight);

        // Dotted rows at 40..200, nothing else black between them apart from the dotted columns.
        for (int y = 40; y <= 200; y += 40) {
            const int black = CountInRow(img, y, Qt::black);
            QVERIFY2(black > 50 && black < 240, qPrintable(QString("grid row %1: %2").arg(y).arg(black)));
        }
        for (int y : {1, 20, 39, 41, 220, 239}) QVERIFY(CountInRow(img, y, Qt::black) <= 3);
        for (int x : {64, 128, 192}) {
            int black = 0;
            for (int y = 1; y < kPlotHeight; ++y) black += IsBlack(img, x, y);
            QVERIFY2(black > 40 && black < 230, qPrintable(QString("grid column %1: %2").arg(x).arg(black)));
        }
        QVERIFY(!IsBlack(img, 100, 100));
    }

    void curveFollowsLevelsAndZoom() {
        ResponsePlotPanel p;
        p.show();
        p.ShowResponse(Peak(100), 100000000, 1, 1);
        QImage img = Grab(p);
        QVERIFY(IsBlack(img, 100, 0));  // the maximum on the top edge
        QVERIFY(IsBlack(img, 10, 80));  // -40 dB, 2 pixels per dB
        QVERIFY(!IsBlack(img, 10, 0));
        // Without decimation half the output rate is the right edge.
        QCOMPARE(CountColour(img, Qt::red), kPlotHeight);
        QVERIFY(IsRed(img, 256, 120));

        Click(p, "yDouble");
        QCOMPARE(p.YStretch(), 2);
        img = Grab(p);
        QVERIFY(IsBlack(img, 10, 160));  // twice as steep
        QVERIFY(!IsBlack(img, 10, 81));
        QCOMPARE(Text(p, "yStretchBox"), QString("2"));
        const char* db[6] = {"-10.0", "-20.0", "-30.0", "-40.0", "-50.0", "-60.0"};
        for (int k = 0; k < 6; ++k) QCOMPARE(Text(p, qPrintable(QString("dbTick%1").arg(k))), QString(db[k]));
        const char* mhz[4] = {"12.500", "25.000", "37.500", "50.000"};
        for (int k = 0; k < 4; ++k) QCOMPARE(Text(p, qPrintable(QString("mhzTick%1").arg(k))), QString(mhz[k]));
        QCOMPARE(Text(p, "axisTitle"), QString("F/Fsinp"));
    }

    void markerAtTheRightEdge() {
        ResponsePlotPanel p;
        p.show();
        // The panel recomputes its response on an X zoom; a ready response stays as given.
        p.ShowResponse(Flat(), 100000000, 4, 2);
        const int base = p.RecomputeCount();
        for (int k = 0; k < 3; ++k) Click(p, "xDouble");
        QCOMPARE(p.RecomputeCount() - base, 3);
        QCOMPARE(p.XStretch(), 8);
        const QImage img = Grab(p);
        for (int y = 0; y < kPlotHeight; ++y) QVERIFY(IsRed(img, 256, y));
        QCOMPARE(Text(p, "denominator0"), QString("64"));
        QCOMPARE(Text(p, "denominator3"), QString("16"));
        QCOMPARE(Text(p, "xStretchBox"), QString("8"));
        Click(p, "xReset");
        QCOMPARE(p.RecomputeCount() - base, 4);
        Click(p, "xHalve");  // already 1: no recomputation
        QCOMPARE(p.RecomputeCount() - base, 4);
        QCOMPARE(Text(p, "denominator0"), QString("8"));
    }

    void computesAChannelsResponseOnItsOwnZoom() {
        ResponsePlotPanel p;
        p.show();
        const ResponseChannel ch{4, {1000, 3000, 3000, 1000}};
        p.SetChannel(ch, {100000000, 4, 2});
        Click(p, "xDouble");
        ChannelResponse expected;
        ComputeChannelResponse(ch, 2, expected);
        QCOMPARE(p.Response().OverallResponse, expected.OverallResponse);
        // New axes only redraw, at the next draw.
        const int recomputes = p.RecomputeCount();
        p.SetAxes({100000000, 8, 2});
        p.DrawResponsePlot();
        QCOMPARE(p.Frame().markerColumn, 32);
        QCOMPARE(p.RecomputeCount(), recomputes);
    }

    void rightButtonPlacesDragsAndClearsTheCursor() {
        ResponsePlotPanel p;
        p.show();
        p.ShowResponse(Peak(100), 100000000, 4, 2);
        PlotView* area = p.Area();
        const QColor cursor = area->CursorColor();

        // The left button does not move the cursor.
        QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(50, 120));
        QCOMPARE(p.State().cursorIndex, -1);
        QCOMPARE(CountColour(Grab(p), cursor), 0);

        QTest::mousePress(area, Qt::RightButton, {}, QPoint(100, 120));
        QCOMPARE(p.State().cursorIndex, 100);
        QCOMPARE(Text(p, "levelReadout"), QString("0.00"));
        QCOMPARE(Text(p, "freqReadout"), QString("19531.250"));
        QImage img = Grab(p);
        QCOMPARE(QColor(img.pixel(100, 150)), cursor);  // vertical line
        QCOMPARE(QColor(img.pixel(10, 0)), cursor);     // horizontal line through the maximum

        SendMove(area, QPoint(10, 120), Qt::RightButton);
        QCOMPARE(p.State().cursorIndex, 10);
        QCOMPARE(Text(p, "levelReadout"), QString("-40.00"));
        img = Grab(p);
        QCOMPARE(QColor(img.pixel(200, 80)), cursor);       // the line follows the curve at -40 dB
        SendMove(area, QPoint(400, 120), Qt::RightButton);  // dragged beyond the area
        QCOMPARE(p.State().cursorIndex, 255);
        QTest::mouseRelease(area, Qt::RightButton, {}, QPoint(400, 120));
        SendMove(area, QPoint(30, 120), Qt::NoButton);
        QCOMPARE(p.State().cursorIndex, 255);

        // ">" at the last point and "<" at the first do nothing.
        const QString freq = Text(p, "freqReadout");
        Click(p, "cursorRight");
        QCOMPARE(p.State().cursorIndex, 255);
        QCOMPARE(Text(p, "freqReadout"), freq);
        Click(p, "cursorLeft");
        QCOMPARE(p.State().cursorIndex, 254);
        QTest::mouseClick(area, Qt::RightButton, {}, QPoint(0, 10));
        Click(p, "cursorLeft");
        QCOMPARE(p.State().cursorIndex, 0);
        Click(p, "cursorRight");
        QCOMPARE(p.State().cursorIndex, 1);

        // A right click on the panel beside the area removes the cursor and empties both read-outs.
        QTest::mouseClick(p.PlotFrameWidget(), Qt::RightButton, {}, QPoint(20, 300));
        QCOMPARE(p.State().cursorIndex, -1);
        QCOMPARE(p.State().cursorLineY, -1);
        QCOMPARE(Text(p, "freqReadout"), QString());
        QCOMPARE(Text(p, "levelReadout"), QString());
        QCOMPARE(CountColour(Grab(p), cursor), 0);
        Click(p, "cursorRight");
        QCOMPARE(p.State().cursorIndex, -1);

        // The tick labels are part of the panel beside the area too.
        QTest::mouseClick(area, Qt::RightButton, {}, QPoint(60, 60));
        QCOMPARE(p.State().cursorIndex, 60);
        QTest::mouseClick(p.findChild<QLabel*>("dbTick2"), Qt::RightButton, {}, QPoint(3, 3));
        QCOMPARE(p.State().cursorIndex, -1);
        QCOMPARE(Text(p, "levelReadout"), QString());
    }

    void redrawTimerDrawsOnceAfterAShortWait() {
        ResponsePlotPanel p;
        p.show();
        p.ShowResponse(Peak(100), 100000000, 4, 2);
        const int draws = p.DrawCount();
        QElapsedTimer clock;
        clock.start();
        p.ScheduleRedraw();
        QCOMPARE(p.DrawCount(), draws);
        QTRY_COMPARE_WITH_TIMEOUT(p.DrawCount(), draws + 1, 2000);
        QVERIFY(clock.elapsed() >= 95);
        QTest::qWait(250);
        QCOMPARE(p.DrawCount(), draws + 1);  // one shot only
    }
};

QTEST_MAIN(ResponsePlotTest)
#include "response_plot_test.moc"
