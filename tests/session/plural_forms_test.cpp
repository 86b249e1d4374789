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

TEST(PluralForms, StatusLinesAgreeWithTheirCounts) {
    TapFileScan scan;
    scan.readable = true;
    const struct {
        int taps, skipped;
        const char* text;
    } files[] = {
        {1, 1, "Канал A: из f.taps взят 1 коэффициент, пропущена 1 строка без числа"},
        {31, 2, "Канал A: из f.taps взят 31 коэффициент, пропущено 2 строки без числа"},
        {255, 11, "Канал A: из f.taps взято 255 коэффициентов, пропущено 11 строк без числа"},
    };
    for (const auto& f : files) {
        scan.taps = f.taps;
        scan.skippedLines = f.skipped;
        EXPECT_EQ(CoefFileStatus("f.taps", 0, scan), f.text);
    }
    EXPECT_EQ(BeRamStatus("a.gc101", 1), "Из a.gc101 считана 1 пара адрес/значение для страниц 17");
    EXPECT_EQ(BeRamStatus("a.gc101", 64), "Из a.gc101 считано 64 пары адрес/значение для страниц 17");
    EXPECT_EQ(Gc101Status("a.gc101", 5, 5, "a.prg", true), "Из a.gc101 взято 5 записей регистров; записан a.prg");
}

}  // namespace
}  // namespace gc
