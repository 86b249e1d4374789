#include "chip/program_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chip/page_map.h"
#include "core/text_io.h"
#include "session/commands.h"
#include "test_util.h"

namespace gc {
namespace {

using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

std::unique_ptr<Session> NewModel() { return std::make_unique<Session>(); }

TEST(ProgramFile, HeaderChannelLinesAndTripleFormat) {
    auto m = NewModel();
    Settings& s = m->settings;
    s.SystemClock = 80000000;
    s.FreqNCO[0] = 1000;
    s.FreqNCO[1] = -2000;
    s.FreqNCO[2] = 3000;
    s.FreqNCO[3] = 4000;
    s.InpADC[0] = 1;
    s.InpADC[1] = 2;
    s.InpADC[2] = 3;
    s.InpADC[3] = 0;
    m->ChannelMask = 0xB;
    m->TotalDec[0] = 8;
    m->TotalDec[1] = 16;
    m->TotalDec[2] = 32;
    m->TotalDec[3] = 64;
    m->registerWriteList.count = 3;
    m->registerWriteList.writes[0] = MakeRegisterWrite(0, 0, 0xFFF0);
    m->registerWriteList.writes[1] = MakeRegisterWrite(0x12, 0x1A, 5);
    m->registerWriteList.writes[2] = MakeRegisterWrite(0xA1, 0x15, 0x1234);

    TempDir dir;
    ASSERT_TRUE(WriteProgramFile(m->settings, *m, *m, dir / "x.prg"));
    EXPECT_EQ(m->AdcMask, 0x7);  // ADC 1 (A), 2 (B), 0 (D, and always); C is not in the mask
    EXPECT_EQ(ReadFileText(dir / "x.prg"),
              "*** ProgFile DDC GC5016 for TORVIN-C ***\n"
              "TrvType= 2\n"
              "Clock= 80000000\n"
              "ModeOfDdc= 0\n"
              "MaskADC= 0x7\n"
              "MaskDDC= 0xb\n"
              "CHAN= 0xb\n"
              "Decimation Ch0= 8\n"
              "Decimation Ch1= 16\n"
              "Decimation Ch2= 32\n"
              "Decimation Ch3= 64\n"
              "FreqNCO0= 1000\n"
              "FreqNCO1= -2000\n"
              "FreqNCO2= 3000\n"
              "FreqNCO3= 4000\n"
              "ADC Ch0= 1\n"
              "ADC Ch1= 2\n"
              "ADC Ch2= 3\n"
              "ADC Ch3= 0\n"
              "Page    Reg    Value \n"
              "0x0     0x0    0xfff0\n"
              "0x12    0x1a   0x5   \n"
              "0xa1    0x15   0x1234\n");
}

TEST(ProgramFile, AdcMaskByMode) {
    auto m = NewModel();
    m->settings.ModeOfInput = 2;
    m->ChannelMask = 1;
    m->settings.InpADC[0] = 2;
    EXPECT_EQ(ComputeAdcMask(m->settings, *m), 0x4);
    m->settings.ModeOfInput = 1;
    EXPECT_EQ(ComputeAdcMask(m->settings, *m), 0x5);
    m->settings.ModeOfInput = 2;
    m->ChannelMask = 0;
    EXPECT_EQ(ComputeAdcMask(m->settings, *m), 0x0);
    m->ChannelMask = 2;  // pair C+D: its first channel's input
    m->settings.InpADC[2] = 3;
    EXPECT_EQ(ComputeAdcMask(m->settings, *m), 0x8);

    // Full rate: inputs outside 0..3 add nothing, and ADC 0 is always in.
    m->settings.ModeOfInput = 0;
    m->ChannelMask = 0xF;
    m->settings.InpADC[0] = 7;
    m->settings.InpADC[1] = -1;
    m->settings.InpADC[2] = 3;
    m->settings.InpADC[3] = 100000;
    EXPECT_EQ(ComputeAdcMask(m->settings, *m), 0x9);
}

TEST(ProgramFile, UnwritableTargetLeavesTheOldFile) {
    auto m = NewModel();
    TempDir dir;
    EXPECT_FALSE(WriteProgramFile(m->settings, *m, *m, dir / "missing" / "std.prg"));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    std::filesystem::create_directory(dir / "std.prg");  // a folder in the way
    EXPECT_FALSE(WriteProgramFile(m->settings, *m, *m, dir / "std.prg"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "std.prg"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary left behind";
}

TEST(Gc101File, ExamplePairsBecomeTriplesOnTheSelectedPage) {
    TempDir dir;
    WriteFileText(dir / "a.gc101", "write 2 12\nwrite 10 5\nwrite 11 7\n");
    Gc101List list;
    ASSERT_EQ(ReadGc101File(dir / "a.gc101", list), 3);
    EXPECT_EQ(list.pairs[0].address, 2);
    EXPECT_EQ(list.pairs[0].value, 0x12);
    auto m = NewModel();
    Gc101ToRegisterWrites(*m, list, 3);
    ASSERT_EQ(m->registerWriteList.count, 2);
    EXPECT_EQ(m->registerWriteList.writes[0], MakeRegisterWrite(0x12, 0x10, 5));
    EXPECT_EQ(m->registerWriteList.writes[1], MakeRegisterWrite(0x12, 0x11, 7));

    // Before any select the page is 0; a page value above 255 keeps its low byte;
    // hexadecimal in either case, with or without 0x, CR LF line ends.
    WriteFileText(dir / "b.gc101", "xxxxxx0001 ABCD\r\nxxxxxx0x2 0x1A3\r\n      1f\t0Xff\r\n");
    ASSERT_EQ(ReadGc101File(dir / "b.gc101", list), 3);
    Gc101ToRegisterWrites(*m, list, 3);
    ASSERT_EQ(m->registerWriteList.count, 2);
    EXPECT_EQ(m->registerWriteList.writes[0], MakeRegisterWrite(0, 1, 0xABCD));
    EXPECT_EQ(m->registerWriteList.writes[1], MakeRegisterWrite(0xA3, 0x1F, 0xFF));

    // Only the first n pairs count.
    Gc101ToRegisterWrites(*m, list, 1);
    EXPECT_EQ(m->registerWriteList.count, 1);
    Gc101ToRegisterWrites(*m, list, 99);
    EXPECT_EQ(m->registerWriteList.count, 2);
}

TEST(Gc101File, MalformedLinesDefineNoPair) {
    TempDir dir;
    WriteFileText(dir / "m.gc101",
                  "write 2 12\n"
                  "short\n"
                  "\n"
                  "write 10\n"
                  "write zz 5\n"
                  "write 11,7\n"
                  "write 13 -1\n"
                  "write 14 123456789\n"
                  "write 15 6");  // cut off at the end: not used
    Gc101List list;
    ASSERT_EQ(ReadGc101File(dir / "m.gc101", list), 3);
    EXPECT_EQ(list.pairs[1].address, 0x13);
    EXPECT_EQ(list.pairs[1].value, 0xFFFF);
    EXPECT_EQ(list.pairs[2].address, 0x14);
    EXPECT_EQ(list.pairs[2].value, 0x6789);  // the low 16 bits of a long number

    EXPECT_EQ(ReadGc101File(dir / "none.gc101", list), -1);
    EXPECT_EQ(ReadGc101File(dir.path(), list), -1);
    WriteFileText(dir / "empty.gc101", "");
    EXPECT_EQ(ReadGc101File(dir / "empty.gc101", list), 0);
    WriteFileText(dir / "one.gc101", "write 2 12");
    EXPECT_EQ(ReadGc101File(dir / "one.gc101", list), 0);
}

TEST(Gc101File, AtMost2000PairsAreRead) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 2500; ++i) text += StrPrintf("write %x %x\n", 0x10 + i % 16, i);
    WriteFileText(dir / "big.gc101", text);
    Gc101List list;
    ASSERT_EQ(ReadGc101File(dir / "big.gc101", list), 2000);
    EXPECT_EQ(list.pairs[1999].value, 1999);
    auto m = NewModel();
    Gc101ToRegisterWrites(*m, list, 2000);
    EXPECT_EQ(m->registerWriteList.count, 2000);

    // The limit is on lines: a skipped line does not let line 2001 in.
    text = "header line\n";
    for (int i = 0; i < 2100; ++i) text += StrPrintf("write %x %x\n", 0x10 + i % 16, i);
    WriteFileText(dir / "big.gc101", text);
    ASSERT_EQ(ReadGc101File(dir / "big.gc101", list), 1999);
    EXPECT_EQ(list.pairs[1998].value, 1998);
}

TEST(ToolTables, TakenFromTheSixteenPairsAfterTheFirstSelect) {
    std::vector<Gc101Pair> v;
    auto page = [&](uint16_t p, uint16_t base, int count) {
        v.push_back({2, p});
        for (int k = 0; k < count; ++k) v.push_back({static_cast<uint16_t>(0x10 + k), static_cast<uint16_t>(base + k)});
    };
    page(17, 100, 16);       // channel A page 17
    page(16 + 32, 200, 16);  // channel B page 16
    page(17, 900, 16);       // a second select of the same page is not used
    page(17 + 96, 300, 5);   // channel D page 17: only five words follow
    Gc101List list;
    for (const Gc101Pair& p : v) list.pairs[static_cast<size_t>(list.count++)] = p;

    auto m = NewModel();
    for (int c = 0; c < 4; ++c)
        for (size_t j = 0; j < 16; ++j) {
            ToolPage16Table(*m, c)[j] = -7;
            ToolPage17Table(*m, c)[j] = -7;
        }
    TakeToolTables(*m, list, list.count);
    for (size_t j = 0; j < 16; ++j) {
        EXPECT_EQ(ToolPage17Table(*m, 0)[j], static_cast<int16_t>(100 + j));
        EXPECT_EQ(ToolPage16Table(*m, 1)[j], static_cast<int16_t>(200 + j));
        EXPECT_EQ(ToolPage16Table(*m, 0)[j], -7) << "no select: unchanged";
        EXPECT_EQ(ToolPage17Table(*m, 2)[j], -7);
        EXPECT_EQ(ToolPage17Table(*m, 3)[j], j < 5 ? static_cast<int16_t>(300 + j) : -7);
    }

    // n limits the search: the page-16 select of B lies beyond the first 10 pairs.
    auto m2 = NewModel();
    TakeToolTables(*m2, list, 10);
    EXPECT_EQ(ToolPage17Table(*m2, 0)[8], 108);
    EXPECT_EQ(ToolPage17Table(*m2, 0)[9], 0);
    EXPECT_EQ(ToolPage16Table(*m2, 1)[0], 0);
    TakeToolTables(*m2, list, -1);  // a file that could not be opened
    EXPECT_EQ(ToolPage17Table(*m2, 0)[8], 108);
}

TEST(ToolTables, ReadBackOfPage17FromAFile) {
    TempDir dir;
    std::string text = "write 2 31\n";  // channel B page 17 lies at 0x31
    for (int k = 0; k < 16; ++k) text += StrPrintf("write %x %x\n", 16 + k, 0x6000 + k);
    text += "write 2 71\nwrite 10 abcd\n";
    WriteFileText(dir / "workcmd.gc101", text);
    auto m = NewModel();
    m->readBackPage17Table[3][1] = 55;
    EXPECT_EQ(ReadBackPage17(*m, dir / "workcmd.gc101"), 19);
    for (size_t j = 0; j < 16; ++j) EXPECT_EQ(m->readBackPage17Table[1][j], 0x6000 + j);
    EXPECT_EQ(m->readBackPage17Table[3][0], 0xABCD);
    EXPECT_EQ(m->readBackPage17Table[3][1], 55);
    EXPECT_EQ(m->readBackPage17Table[0][0], 0);
    EXPECT_EQ(ReadBackPage17(*m, dir / "missing.gc101"), -1);
    EXPECT_EQ(m->readBackPage17Table[3][0], 0xABCD);
}

TEST(Naming, Gc101ProgramNameAndSavedProgramPath) {
    EXPECT_EQ(Gc101ProgramName("Appl/lab.old.gc101"), "lab.old");
    EXPECT_EQ(Gc101ProgramName("C:\\work\\Appl\\lab.old.gc101"), "lab.old");
    EXPECT_EQ(Gc101ProgramName("/tmp/dir.v2/plain"), "plain");
    EXPECT_EQ(Gc101ProgramName("dir.v2\\plain"), "plain");
    EXPECT_EQ(Gc101ProgramName("workcmd.gc101"), "workcmd");

    // Only the last extension goes: rx.v2.lab must never share rx.prg with rx.lab.
    EXPECT_EQ(ProgramPathOf("CONFIGS/my.cfg.lab"), std::filesystem::path("CONFIGS/my.cfg.prg"));
    EXPECT_EQ(ProgramPathOf("/a.b/std.lab"), std::filesystem::path("/a.b/std.prg"));
    EXPECT_EQ(ProgramPathOf("noext"), std::filesystem::path("noext.prg"));
}

TEST(SaveChecks, AgreementThenMinimum) {
    auto m = NewModel();
    Settings& s = m->settings;
    for (int c = 0; c < 4; ++c) s.FirDec[c] = 2;
    s.CicM0Dec[0] = s.CicM0Dec[1] = s.CicM0Dec[2] = 8;
    s.CicM0Dec[3] = 16;
    SaveCheck r = CheckSaveDecimations(m->settings, *m);
    EXPECT_EQ(r.notice, SaveNotice::DecimMismatch);
    EXPECT_EQ(SaveNoticeLines(r), (std::vector<std::string>{"Значения коэффициентов децимации каналов",
                                                            " различаются !", "Файл не может быть записан !"}));
    s.CicM0Dec[3] = 8;
    EXPECT_EQ(CheckSaveDecimations(m->settings, *m).notice, SaveNotice::None);
    EXPECT_TRUE(SaveNoticeLines(CheckSaveDecimations(m->settings, *m)).empty());

    // SplitIQ compares A with C only.
    s.ModeOfInput = 1;
    s.FirDec[0] = s.FirDec[1] = s.FirDec[2] = s.FirDec[3] = 1;
    s.CicM1Dec[0] = 16;
    s.CicM1Dec[1] = 32;
    s.CicM1Dec[2] = 16;
    s.CicM1Dec[3] = 32;
    EXPECT_EQ(CheckSaveDecimations(m->settings, *m).notice, SaveNotice::None);
    s.CicM1Dec[2] = 8;
    EXPECT_EQ(CheckSaveDecimations(m->settings, *m).notice, SaveNotice::DecimMismatch);

    // The first board model's minimums; the texts name them whatever the model.
    m->MinTotalDec[0] = 8;
    m->MinTotalDec[1] = 4;
    m->MinTotalDec[2] = 8;
    s.ModeOfInput = 0;
    for (int c = 0; c < 4; ++c) {
        s.CicM0Dec[c] = 2;
        s.FirDec[c] = 2;
    }
    r = CheckSaveDecimations(m->settings, *m);
    EXPECT_EQ(r.notice, SaveNotice::MinDecim);
    EXPECT_STREQ(r.modeLine, "Full rate равно 8 !");
    EXPECT_EQ(SaveNoticeLines(r),
              (std::vector<std::string>{"Минимальное значение коэффициента децимации", "в режиме Full rate равно 8 !",
                                        "Файл не может быть записан !"}));
    s.ModeOfInput = 1;
    s.CicM1Dec[0] = s.CicM1Dec[2] = 1;
    EXPECT_STREQ(CheckSaveDecimations(m->settings, *m).modeLine, "SplitIQ rate равно 4 !");
    s.ModeOfInput = 2;
    s.CicM2Dec[0] = s.CicM2Dec[2] = 2;
    EXPECT_STREQ(CheckSaveDecimations(m->settings, *m).modeLine, "Double rate равно 8 !");
    s.CicM2Dec[0] = s.CicM2Dec[2] = 4;
    EXPECT_EQ(CheckSaveDecimations(m->settings, *m).notice, SaveNotice::None);

    // Products beyond 32 bits compare exactly.
    s.ModeOfInput = 0;
    for (int c = 0; c < 4; ++c) s.CicM0Dec[c] = 2000000000;
    s.FirDec[3] = 3;
    EXPECT_EQ(CheckSaveDecimations(m->settings, *m).notice, SaveNotice::DecimMismatch);
}

}  // namespace
}  // namespace gc
