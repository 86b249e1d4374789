#include "core/lab_file.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>

#include "core/param_table.h"
#include "core/text_io.h"
#include "session/commands.h"
#include "session/session.h"
#include "test_util.h"

namespace gc {
namespace {

using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

TEST(LabFile, DefaultsMatchGoldenFile) {
    Session m;
    TempDir dir;
    ASSERT_TRUE(WriteLab(m.settings, dir / "std.lab"));
    const std::string text = ReadFileText(dir / "std.lab");
    EXPECT_EQ(text, ReadFileText(std::filesystem::path(GC5016_TEST_DATA) / "default.lab"));
    // Spot checks of the columns, independent of the golden file.
    EXPECT_NE(text.find("\nSystemClock            100000000\n"), std::string::npos);
    EXPECT_NE(text.find("\nscaleFir               0.500000\n"), std::string::npos);
    EXPECT_NE(text.find("\nGain                     1.000000    1.000000    1.000000    1.000000    \n"),
              std::string::npos);
    EXPECT_NE(text.find("\nNameOfPFIR3: cdma.taps\n"), std::string::npos);
    EXPECT_EQ(text.rfind("*** LabFile DDC GC5016 for TORVIN-C ***\n", 0), 0u);
}

TEST(LabFile, EverySettingRoundTrips) {
    Session a;
    Settings& s = a.settings;
    s.FullDebug = 629;
    s.SystemClock = 122880000;
    s.ModeOfInput = 1;
    s.EnableTDM = 1;
    s.MaskChan4x = 5;
    s.MaskChan2x = 2;
    for (int c = 0; c < kChannels; ++c) {
        s.CicM1Dec[c] = 10 + c;
        s.CicDec[c] = 10 + c;  // mode 1: taken from CicM1Dec on reading
        s.CicM0Dec[c] = 20 + c;
        s.CicM2Dec[c] = 30 + 2 * c;
        s.FirDec[c] = 1 + c;
        s.InpADC[c] = 3 - c;
        s.FreqNCO[c] = -12345678 + c;
        s.Gain[c] = 0.25f * static_cast<float>(c + 1);
        s.OverallGain[c] = 2.5f;
        s.PhaseNCO[c] = -1.5f;
        s.freq_sync[c] = c;
        s.sck_sync[c] = 5;
    }
    s.sync_mode = 9;
    s.soB_sync = 3;
    s.IndexFilter = 4;
    s.NumTapsFilter = 256;
    s.Deviation = -5;
    s.Obkatka = 1;
    s.sck_div = 7;
    s.shiftFir = 11;
    s.scaleFir = 0.125f;
    s.NameOfPFIR[0] = std::string(150, 'x') + ".taps";
    s.NameOfPFIR[1] = "with blanks and : colon.taps";
    s.NameOfPFIR[2] = "";
    s.NameOfPFIR[3] = "кириллица.taps";

    TempDir dir;
    ASSERT_TRUE(WriteLab(a.settings, dir / "a.lab"));
    Session b;
    ASSERT_TRUE(ReadLab(b.settings, b, dir / "a.lab"));
    // Every setting through the table, so that a new one cannot be missed.
    for (const SettingParam& e : SettingParams()) {
        for (int k = 0; k < e.values(); ++k) {
            if (e.type == ParamType::String)
                EXPECT_EQ(ParamGetText(a.settings, e, k), ParamGetText(b.settings, e, k)) << e.name;
            else
                EXPECT_EQ(ParamGetNumber(a.settings, e, k), ParamGetNumber(b.settings, e, k))
                    << e.name << "[" << k << "]";
        }
    }
    EXPECT_EQ(b.TotalDec[3], 13 * 4);
    EXPECT_EQ(b.CicDecMin, 1);
    EXPECT_EQ(b.CicDecStep, 1);
}

// Values too wide for their 12-character field stay apart: each channel reads
// back its own, while values that fit keep the byte-exact layout.
TEST(LabFile, WideChannelValuesReadBackApart) {
    Settings a;
    const float gains[kChannels] = {12846000128.0f, 38799204.0f, -123456.5f, 3.0f};
    for (int c = 0; c < kChannels; ++c) {
        a.OverallGain[c] = gains[c];
        a.FreqNCO[c] = c % 2 ? -2147483647 - 1 : 2147483647;
    }
    TempDir dir;
    ASSERT_TRUE(WriteLab(a, dir / "wide.lab"));
    Settings b;
    DecimationState d;
    ASSERT_TRUE(ReadLab(b, d, dir / "wide.lab"));
    for (int c = 0; c < kChannels; ++c) {
        EXPECT_EQ(b.OverallGain[c], gains[c]) << c;
        EXPECT_EQ(b.FreqNCO[c], a.FreqNCO[c]) << c;
    }
    EXPECT_NE(ReadFileText(dir / "wide.lab")
                  .find("OverallGain              12846000128.000000 38799204.000000 "
                        "-123456.500000 3.000000    \n"),
              std::string::npos);
}

TEST(LabFile, ReaderRules) {
    TempDir dir;
    // CR LF lines, the header, an unknown key, a key that merely starts with a
    // known name, hex, a short array line and a CicDec line that the mode overrides.
    WriteFileText(dir / "x.lab",
                  "*** LabFile DDC GC5016 for TORVIN-A ***\r\n"
                  "NoSuchKey 5\r\n"
                  "ModeOfInput 1\r\n"
                  "SystemClock123\r\n"  // merely begins with a known name
                  "Deviation 0x10\r\n"
                  "sck_div 0X1f\r\n"
                  "CicDec 100 100 100 100\r\n"
                  "CicM1Dec 7 9\r\n"
                  "FirDec 3 3 3 3\r\n"
                  "Gain 2.5 junk\r\n"
                  "shiftFir nonsense\r\n"
                  "NameOfPFIR2: last.taps");  // no line break at the end
    Session m;
    ASSERT_TRUE(ReadLab(m.settings, m, dir / "x.lab"));
    const Settings& s = m.settings;
    EXPECT_EQ(s.SystemClock, 123);
    EXPECT_EQ(s.Deviation, 16);
    EXPECT_EQ(s.sck_div, 31);
    EXPECT_EQ(s.ModeOfInput, 1);
    EXPECT_EQ(s.CicM1Dec[0], 7);
    EXPECT_EQ(s.CicM1Dec[1], 9);
    EXPECT_EQ(s.CicM1Dec[2], 2);  // not in the line: kept
    EXPECT_EQ(s.CicDec[0], 7);    // the mode's store wins over the CicDec line
    EXPECT_EQ(s.CicDec[3], 2);
    EXPECT_EQ(m.TotalDec[0], 21);
    EXPECT_EQ(m.TotalDec[3], 6);
    EXPECT_EQ(s.Gain[0], 2.5f);
    EXPECT_EQ(s.Gain[1], 1.0f);
    EXPECT_EQ(s.shiftFir, 0);  // no number reads as 0
    EXPECT_EQ(s.NameOfPFIR[2], "last.taps");
    EXPECT_EQ(s.NameOfPFIR[1], "cdma.taps");
}

TEST(LabFile, MissingEmptyAndOddFiles) {
    TempDir dir;
    Session m;
    m.settings.CicDec[0] = 64;  // differs from the mode store on purpose
    EXPECT_FALSE(ReadLab(m.settings, m, dir / "none.lab"));
    EXPECT_FALSE(ReadLab(m.settings, m, dir.path()));  // a folder is no lab file
    WriteFileText(dir / "empty.lab", "");
    EXPECT_TRUE(ReadLab(m.settings, m, dir / "empty.lab"));
    EXPECT_EQ(m.settings.CicDec[0], 64);
    EXPECT_EQ(m.TotalDec[1], 4);

    // An input mode outside 0..2 leaves CicDec and the bounds alone.
    WriteFileText(dir / "mode.lab", "ModeOfInput 7\nCicDec 5 5 5 5\n");
    EXPECT_TRUE(ReadLab(m.settings, m, dir / "mode.lab"));
    EXPECT_EQ(m.settings.CicDec[0], 5);
    EXPECT_EQ(m.CicDecMin, 1);

    // Huge numbers keep their low bits and floats saturate instead of misbehaving.
    WriteFileText(dir / "big.lab", "SystemClock 99999999999999999999\nGain 1e300 -1e300 nan 3\n");
    EXPECT_TRUE(ReadLab(m.settings, m, dir / "big.lab"));
    EXPECT_TRUE(std::isinf(m.settings.Gain[0]));
    EXPECT_TRUE(std::isnan(m.settings.Gain[2]));
    EXPECT_EQ(m.settings.Gain[3], 3.0f);
}

// Values are stored as they always were read, and each one not taken as
// written is noted with its key, its text and what was stored.
TEST(LabFile, ValuesNotTakenAsWrittenAreNoted) {
    using Kind = LabValueNote::Kind;
    struct Case {
        const char* line;  // replaces the default line of its key
        Kind kind;
        const char* taken;
        long min, max;  // the range, for OutOfRange
    };
    const Case cases[] = {
        {"SystemClock            1e8", Kind::NotWhole, "1", 0, 0},
        {"SystemClock            99999999999", Kind::NotWhole, "1215752191", 0, 0},  // wrapped
        {"SystemClock            0x", Kind::NotWhole, "0", 0, 0},
        {"FreqNCO                  1.5e7 2 3 4", Kind::NotWhole, "1 20000000 30000000 40000000", 0, 0},
        {"Gain                     1.0 2.0", Kind::NotWhole, "1.000000 2.000000 1.000000 1.000000", 0, 0},
        {"ModeOfInput            99", Kind::OutOfRange, "99", 0, 2},
        {"FirDec                   9 1 1 1", Kind::OutOfRange, "9 1 1 1", 1, 8},
        {"InpADC                   0 0 -1 0", Kind::OutOfRange, "0 0 -1 0", 0, 3},
        {"PhaseNCO                 inf 0 0 0", Kind::OutOfRange, "inf 0.000000 0.000000 0.000000", 0, 0},
        {"scaleFir               nan", Kind::OutOfRange, "nan", 0, 0},
    };
    Session defaults;
    const std::vector<std::string> lines = SplitLines(FormatLab(defaults.settings));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string key = std::string(c.line).substr(0, std::string(c.line).find(' '));
        std::string text;
        for (const std::string& l : lines) text += (l.rfind(key + " ", 0) == 0 ? std::string(c.line) : l) + "\n";
        TempDir dir;
        WriteFileText(dir / "x.lab", text);
        Session m;
        std::vector<LabValueNote> notes;
        ASSERT_TRUE(ReadLab(m.settings, m, dir / "x.lab", &notes));
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].kind, c.kind);
        EXPECT_EQ(notes[0].key, key);
        EXPECT_EQ(notes[0].taken, c.taken);
        if (c.kind == Kind::OutOfRange) {
            EXPECT_EQ(notes[0].min, c.min);
            EXPECT_EQ(notes[0].max, c.max);
        }
        EXPECT_NE(LabValueNoteText(notes[0]).find("\"" + notes[0].text + "\" read as " + c.taken), std::string::npos);
    }
    // A clean file has nothing to say; a cut one names every setting it lacks.
    for (size_t keep : {lines.size(), size_t{5}, size_t{0}}) {
        std::string text;
        for (size_t i = 0; i < keep; ++i) text += lines[i] + "\n";
        TempDir dir;
        WriteFileText(dir / "x.lab", text);
        Session m;
        std::vector<LabValueNote> notes;
        ASSERT_TRUE(ReadLab(m.settings, m, dir / "x.lab", &notes));
        // The four request lines at the end are optional: their absence is no cut.
        const size_t missing = keep == 0 ? 41u : keep == lines.size() ? 0u : lines.size() - keep - 4;
        EXPECT_EQ(notes.size(), missing) << keep;
        for (const LabValueNote& n : notes) EXPECT_EQ(n.kind, Kind::Missing);
    }
}

TEST(LabFile, WriterNeverLeavesAPartialFile) {
    TempDir dir;
    Session m;
    std::filesystem::create_directories(dir / "sub");
    EXPECT_FALSE(WriteLab(m.settings, dir / "sub"));                // a folder in the way
    EXPECT_FALSE(WriteLab(m.settings, dir / "missing" / "x.lab"));  // no such folder
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    ASSERT_TRUE(WriteLab(m.settings, dir / "ok.lab"));
    // No temporary file stays behind.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(Session, StartAndCloseKeepTheExpertCode) {
    TempDir dir;
    WriteFileText(dir / "std.lab", "FullDebug 629\nTypeOfModule 0\nModeOfInput 2\nCicM2Dec 4 6 8 10\n");
    Session m;
    EXPECT_TRUE(ReadStartupLab(m, dir / "std.lab"));
    EXPECT_TRUE(m.ExpertMode);
    EXPECT_EQ(m.settings.FullDebug, 0);
    EXPECT_EQ(m.FullDebugSaved, 629);
    EXPECT_EQ(m.settings.TypeOfModule, kBoardModel);
    EXPECT_EQ(m.CicDecMin, 2);
    EXPECT_EQ(m.CicDecStep, 2);

    m.settings.CicDec[1] = 12;  // an edit in the running program
    ASSERT_TRUE(CloseConfiguration(m, Workspace{dir.path()}, CloseRequest(dir / "std.lab")).done());
    Session again;
    ReadStartupLab(again, dir / "std.lab");
    EXPECT_TRUE(again.ExpertMode);
    EXPECT_EQ(again.settings.CicM2Dec[1], 12);
    EXPECT_EQ(again.settings.CicDec[1], 12);
}

TEST(Session, StartWithoutLabFileTakesTheFullRateBounds) {
    TempDir dir;
    Session m;
    EXPECT_FALSE(ReadStartupLab(m, dir / "none.lab"));
    EXPECT_EQ(m.CicDecMin, 2);
    EXPECT_EQ(m.CicDecStep, 1);
}

TEST(Session, SaveModeCicDecSwapsStores) {
    Session m;
    for (int c = 0; c < kChannels; ++c) m.settings.CicM1Dec[c] = 3 + c;
    m.settings.CicDec[0] = 40;
    SaveModeCicDec(m.settings, m, 0, 1);
    EXPECT_EQ(m.settings.CicM0Dec[0], 40);
    EXPECT_EQ(m.settings.CicDec[2], 5);
    EXPECT_EQ(m.CicDecMin, 1);
    SaveModeCicDec(m.settings, m, 1, 5);  // unknown new mode: stored, nothing taken
    EXPECT_EQ(m.settings.CicDec[2], 5);
    SaveModeCicDec(m.settings, m, -1, 2);
    EXPECT_EQ(m.settings.CicDec[0], 2);
    EXPECT_EQ(m.CicDecStep, 2);
}

TEST(TextIo, NumbersIgnoreTheProcessLocale) {
    // A desktop session may run with a locale whose decimal point is ','.
    test::CommaLocale comma;
    if (!comma.found()) GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string text = StrPrintf("%f", 0.5);
    const double read = CToDouble("2.25");
    EXPECT_EQ(text, "0.500000");
    EXPECT_EQ(read, 2.25);
}

TEST(TextIo, LinesOfAnyLengthAndEnding) {
    auto lines = SplitLines("a\r\n" + std::string(300, 'b') + "\n\nlast");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1].size(), 300u);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "last");
    EXPECT_EQ(SplitLines("x\n").size(), 1u);
    EXPECT_EQ(BareFileName("C:\\a.b\\dir/file.gc101"), "file.gc101");
    EXPECT_EQ(CToLongHexOrDec("  0x1F"), 31);
    EXPECT_EQ(CToLongHexOrDec("-12abc"), -12);
}

}  // namespace
}  // namespace gc
