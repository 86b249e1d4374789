#include "session/sync_view.h"

#include <gtest/gtest.h>

#include "chip/derivation.h"

namespace gc {
namespace {

TEST(SyncView, ValuesWithoutAnItemShowNoSelectionAndAreNeverReadBack) {
    const struct {
        int32_t value;
        int items;
        int index;
    } cases[] = {{0, kSyncCodes, 0},   {7, kSyncCodes, 7},  {7, kSoBSyncItems, -1}, {6, kSoBSyncItems, 6},
                 {-1, kSyncCodes, -1}, {8, kSyncCodes, -1}, {65535, kSyncCodes, -1}};
    for (const auto& c : cases) EXPECT_EQ(SyncItemIndex(c.value, c.items), c.index) << c.value;

    Settings s;
    s.soB_sync = 7;
    s.coef_sync[2] = 99;
    SyncSelection sel = SyncSelectionOf(s);
    EXPECT_EQ(sel.soB, -1);
    EXPECT_EQ(sel.grid[7][2], -1);
    EXPECT_EQ(sel.grid[7][1], 7);
    sel.grid[0][3] = 5;  // freq_sync of channel D
    ReadSyncSelection(s, sel);
    EXPECT_EQ(s.soB_sync, 7);
    EXPECT_EQ(s.coef_sync[2], 99);
    EXPECT_EQ(s.freq_sync[3], 5);
    EXPECT_EQ(s.freq_sync[2], 7);
}

TEST(SyncView, OwnSyncFieldsTakeEachChannelsSettingsWhereTheDerivationPairsThem) {
    Settings st;
    st.ModeOfInput = 1;  // SplitIQ: B and D follow A and C
    for (int c = 0; c < kChannels; ++c) {
        st.dith_sync[c] = c;
        st.pwr_mtr_sync[c] = 4 + c;
    }
    st.soB_sync = 5;
    ChipState chip;
    DeriveRegisters(st, chip);
    RegisterImage& w = chip.workImage;
    EXPECT_EQ(w.cic[1].dith_sync, 0);
    EXPECT_EQ(w.pfir[3].pwr_sync, 6);
    WriteOwnSyncFields(st, w);
    for (int c = 0; c < kChannels; ++c) {
        EXPECT_EQ(w.cic[c].dith_sync, c);
        EXPECT_EQ(w.pfir[c].pwr_sync, 4 + c);
    }
    EXPECT_EQ(w.soB_sync, 5);
    ASSERT_EQ(SyncRows().size(), 11u);
    EXPECT_EQ(SyncRows()[9].label, "pwr_mtr_sync");
    EXPECT_EQ(SyncCodeTexts()[4], "one_shot");
}

}  // namespace
}  // namespace gc
