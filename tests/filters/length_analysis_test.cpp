// The allowed-length table and the used-filter panel.
#include <gtest/gtest.h>

#include "filters/length_analysis.h"
#include "session/session.h"

namespace gc {
namespace {

using Row = std::array<std::string, 3>;

TEST(FilterLengthTable, RowsFollowModeAndDecimations) {
    FilterLengthAnalysis a = AnalyseFilterLength(0, 16, 1, 128, false);
    EXPECT_EQ(a.cicDecText, "16");
    EXPECT_EQ(a.firDecText, "1");
    ASSERT_EQ(a.count, 8);
    EXPECT_EQ(a.rows[0], (Row{"16", "31", "32"}));
    EXPECT_EQ(a.rows[7], (Row{"128", "255", "256"}));
    for (int r = 8; r < 16; ++r) EXPECT_EQ(a.rows[r], (Row{"", "", ""})) << r;

    a = AnalyseFilterLength(1, 16, 1, 128, false);  // SplitIQ: cap 256
    ASSERT_EQ(a.count, 16);
    EXPECT_EQ(a.rows[15], (Row{"256", "511", "512"}));

    a = AnalyseFilterLength(0, 1, 2, 32, false);  // limit 0, still one row
    ASSERT_EQ(a.count, 1);
    EXPECT_EQ(a.rows[0], (Row{"32", "63", "64"}));
    EXPECT_EQ(a.rows[1], (Row{"", "", ""}));

    a = AnalyseFilterLength(0, 20, 3, 96, false);  // 144 would exceed the cap of 128
    ASSERT_EQ(a.count, 2);
    EXPECT_EQ(a.rows[0][0], "48");
    EXPECT_EQ(a.rows[1][0], "96");
}

TEST(FilterLengthPanel, TooLongIsCut) {
    FilterLengthAnalysis a = AnalyseFilterLength(0, 16, 1, 150, false);
    EXPECT_EQ(a.kind, "несимметричный фильтр");
    EXPECT_EQ(a.length, "150");
    EXPECT_EQ(a.line1Colour, PanelTextColour::Red);
    EXPECT_EQ(a.line2Colour, PanelTextColour::Red);
    EXPECT_EQ(a.line1, "      Длина фильтра");
    EXPECT_EQ(a.line2, "     слишком велика !");
    EXPECT_EQ(a.line3, "    Фильтр будет усечен");
    EXPECT_EQ(a.line4Phrase, "до длины");
    EXPECT_EQ(a.line4Number, "128");
    EXPECT_EQ(a.line4End, "!");
}

TEST(FilterLengthPanel, ShorterIsPaddedToTheNextAllowedLength) {
    FilterLengthAnalysis a = AnalyseFilterLength(0, 16, 1, 100, false);
    EXPECT_EQ(a.line1Colour, PanelTextColour::Red);
    EXPECT_EQ(a.line1, "Возможно использование");
    EXPECT_EQ(a.line2, "фильтра большей длины !");
    EXPECT_EQ(a.line3, "Фильтр будет дополнен 0 ");
    EXPECT_EQ(a.line4Phrase, " до длины");
    EXPECT_EQ(a.line4Number, "112");
    EXPECT_EQ(a.line4End, "!");
    EXPECT_EQ(a.nextFilterLength, 112);

    // 96 is itself allowed: only the hint that a longer filter is possible.
    a = AnalyseFilterLength(0, 16, 1, 96, false);
    EXPECT_EQ(a.line1, "Возможно использование");
    EXPECT_EQ(a.line3, "");
    EXPECT_EQ(a.line4Phrase, "");
    EXPECT_EQ(a.line4Number, "");
    EXPECT_EQ(a.line4End, "");

    // Below the first allowed length of a symmetric odd set: padded to 31.
    a = AnalyseFilterLength(0, 8, 1, 21, true);
    EXPECT_EQ(a.maxFilterLength, 127);
    EXPECT_EQ(a.line4Number, "31");
}

TEST(FilterLengthPanel, SymmetricSetsOfExactlyTheLongestLengthShowNoWarning) {
    for (int n : {63, 64}) {
        FilterLengthAnalysis a = AnalyseFilterLength(0, 4, 1, n, true);  // K = 2, step 16
        EXPECT_EQ(a.kind, "симметричный фильтр");
        EXPECT_EQ(a.maxFilterLength, n);
        EXPECT_EQ(a.line1Colour, PanelTextColour::Black);
        EXPECT_EQ(a.line1 + a.line2 + a.line3 + a.line4Phrase + a.line4Number + a.line4End, "") << n;
    }
}

TEST(FilterLengthPanel, ReadsTheSelectedChannel) {
    Session m;
    m.CurrentChannel = 3;
    m.settings.ModeOfInput = 0;
    m.settings.CicDec[3] = 16;
    m.settings.FirDec[3] = 1;
    m.workImage.ncoefs[3] = 150;
    FilterLengthAnalysis a = AnalyseFilterLength(m.settings, m, m.CurrentChannel);
    EXPECT_EQ(a.line4Number, "128");
    m.coefSetInfo[3].symmetric = 1;
    m.workImage.ncoefs[3] = 256;
    a = AnalyseFilterLength(m.settings, m, m.CurrentChannel);
    EXPECT_EQ(a.kind, "симметричный фильтр");
    EXPECT_EQ(a.line1, "");
}

}  // namespace
}  // namespace gc
