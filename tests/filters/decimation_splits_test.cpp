// The splits table's order: rows that meet the request by their smallest
// attenuation margin, largest first (not by the ripple's, which the designer
// spends); then the others by shortfall; rows without a design last.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "filters/decimation_splits.h"

namespace gc {
namespace {

TEST(SplitRows, RankedMetFirstByMarginThenByShortfall) {
    struct Case {
        int firDec;
        bool designed;
        double ripple, alias;
        std::optional<double> stop;
    };
    const Case rows[] = {
        {1, true, 0.05, -20, 9},   // short by 20 dB
        {2, true, 0.01, 12, 8},    // met, 8 dB to spare (its ripple nearly spent)
        {3, false, 0, 0, {}},      // no design
        {4, true, -0.06, 12, 12},  // short by 0.06 dB
        {5, true, 0.09, 30, 1},    // met, 1 dB to spare
        {6, true, 0.099, 12, {}},  // met, no stopband left: 12 dB to spare
        {7, true, 0.05, 5, -4.5},  // short by 4.5 dB
    };
    std::vector<SplitRow> table;
    for (const Case& c : rows) {
        SplitRow r;
        r.split.firDec = c.firDec;
        r.designed = c.designed;
        r.margins = {c.ripple, c.alias, c.stop};
        r.margins.met = c.designed && r.margins.Smallest() >= 0;
        table.push_back(r);
    }
    RankSplitRows(table);
    std::vector<int> order;
    for (const SplitRow& r : table) order.push_back(r.split.firDec);
    EXPECT_EQ(order, (std::vector<int>{6, 2, 5, 4, 7, 1, 3}));
}

}  // namespace
}  // namespace gc
