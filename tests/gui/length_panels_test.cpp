// The used-filter panel: padding to the nearest allowed length of the
// filter's kind (not the longest), explained where it shows.
#include <QLabel>
#include <QtTest>

#include "gui/length_panels.h"

using namespace gc;

class LengthPanelsTest : public QObject {
    Q_OBJECT

private slots:
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
