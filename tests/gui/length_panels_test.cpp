// The used-filter panel pads to the nearest allowed length of the filter's
// kind, not to the longest, and says why where it shows.
#include <QLabel>
#include <QtTest>

#include "gui/plots/length_panels.h"

class LengthPanelsTest : public QObject {
    Q_OBJECT

private slots:
    void paddingStopsAtTheNearestLengthAndTheTooltipSaysWhy() {
        // CIC 8 / PFIR 4 in Full rate lists 127 and 255 for odd symmetric filters.
        gc::UsedFilterPanel panel;
        panel.Show(gc::AnalyseFilterLength(0, 8, 4, 101, true));
        QCOMPARE(panel.findChild<QLabel*>("warning4Number")->text(), QString("127"));
        QVERIFY(panel.toolTip().contains("ближайшей допустимой длины"));
    }
};

QTEST_MAIN(LengthPanelsTest)
#include "length_panels_test.moc"
