// Russian plural forms of the counts in the status lines, and the verbs that
// agree with them.
#include <gtest/gtest.h>

#include "session/command_status.h"

namespace gc {
namespace {

TEST(PluralForms, CountTakesTheFormOfItsLastDigits) {
    const struct {
        long long n;
        const char* text;
    } cases[] = {
        {0, "0 коэффициентов"},      {1, "1 коэффициент"},       {2, "2 коэффициента"},      {4, "4 коэффициента"},
        {5, "5 коэффициентов"},      {11, "11 коэффициентов"},   {12, "12 коэффициентов"},   {14, "14 коэффициентов"},
        {21, "21 коэффициент"},      {22, "22 коэффициента"},    {31, "31 коэффициент"},     {100, "100 коэффициентов"},
        {101, "101 коэффициент"},    {111, "111 коэффициентов"}, {112, "112 коэффициентов"}, {255, "255 коэффициентов"},
        {1024, "1024 коэффициента"}, {-1, "-1 коэффициент"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CountText(c.n, "коэффициент", "коэффициента", "коэффициентов"), c.text) << c.n;
}

TEST(PluralForms, VerbsAgreeWithTheCount) {
    TapFileScan scan{true, 21, 1, 0, {}};
    EXPECT_EQ(CoefFileStatus("f.taps", 0, scan),
              "Канал A: из f.taps взят 21 коэффициент, пропущена 1 строка без числа");
    scan = {true, 255, 12, 0, {}};
    EXPECT_EQ(CoefFileStatus("f.taps", 0, scan),
              "Канал A: из f.taps взято 255 коэффициентов, пропущено 12 строк без числа");
    EXPECT_EQ(BeRamStatus("a.gc101", 1), "Из a.gc101 считана 1 пара адрес/значение для страниц 17");
}

// A failed save names as unchanged only the files that were there.
TEST(PluralForms, AFailedSaveSaysWhatStayedAndWhatWasNotMade) {
    EXPECT_EQ(UnchangedText("a.lab", true, "a.prg", true), "a.lab и a.prg остались прежними");
    EXPECT_EQ(UnchangedText("a.lab", true, "a.prg", false), "a.lab остался прежним, a.prg не создан");
    EXPECT_EQ(UnchangedText("a.lab", false, "a.prg", true), "a.prg остался прежним, a.lab не создан");
    EXPECT_EQ(UnchangedText("a.lab", false, "a.prg", false), "a.lab и a.prg не созданы");
}

}  // namespace
}  // namespace gc
