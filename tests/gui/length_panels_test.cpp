// The PFIR window's length panels: every column labelled, and the padding
// to the nearest allowed length (not the longest) explained where it shows.
#include <QLabel>
#include <QtTest>

#include "gui/length_panels.h"

using namespace gc;

class LengthPanelsTest : public QObject {
    Q_OBJECT

private slots:
    void columnsCarryTheirHeadings() {
        AllowedLengthPanel panel;
        panel.Show(AnalyseFilterLength(0, 8, 4, 101, true));
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const struct {
            const char* heading;
            int column;
            const char* first;
        } cases[] = {{"oddHeading", 1, "127"}, {"evenHeading", 2, "128"}};
        for (const auto& c : cases) {
            auto* heading = panel.findChild<QLabel*>(c.heading);
            auto* cell = panel.findChild<QLabel*>(QStringLiteral("allowed1_%1").arg(c.column));
            QVERIFY(heading && cell);
            QCOMPARE(heading->geometry().right(), cell->geometry().right());
            QVERIFY(heading->geometry().bottom() < cell->geometry().top());
            QCOMPARE(panel.findChild<QLabel*>(QStringLiteral("allowed0_%1").arg(c.column))->text(), QString(c.first));
        }
    }

    void paddingGoesToTheNearestLengthOfTheFiltersKind() {
        // CIC 8 / PFIR 4 in Full rate lists 64 and 128 (127/128, 255/256
        // symmetric): a shorter filter is padded to the next length of its own
        // kind, which the tooltip says.
        const struct {
            int n;
            bool symmetric;
            const char* padded;
        } cases[] = {
            {101, true, "127"},  // odd symmetric: 127, though 255 is listed
            {129, true, "255"}, {130, true, "256"}, {100, false, "128"}, {40, false, "64"},
        };
        for (const auto& c : cases) {
            UsedFilterPanel panel;
            panel.Show(AnalyseFilterLength(0, 8, 4, c.n, c.symmetric));
            QCOMPARE(panel.findChild<QLabel*>("warning4Number")->text(), QString(c.padded));
            QVERIFY(panel.toolTip().contains("ближайшей допустимой длины"));
        }
    }
};

QTEST_MAIN(LengthPanelsTest)
#include "length_panels_test.moc"
