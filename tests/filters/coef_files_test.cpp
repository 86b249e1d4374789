#include "filters/coef_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "core/text_io.h"
#include "session/edit.h"
#include "session/session.h"
#include "test_util.h"

namespace gc {
namespace {

using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

struct Report {
    std::string path;
    bool missing;
};

// Collects the reports instead of showing them.
class RecordingSink : public CoefFileErrorSink {
public:
    void ReportCoefFileError(const std::string& path, bool missing) override { reports.push_back({path, missing}); }
    std::vector<Report> reports;
};

std::vector<int32_t> Taps(const TapBuffer& buf, int n) { return {buf.begin(), buf.begin() + n}; }

TEST(ReadTapFile, LinesAndLineBreaks) {
    TempDir dir;
    TapBuffer buf;
    WriteFileText(dir / "a.taps", "1\n-2\n3\n");
    ASSERT_EQ(ReadTapFile(dir / "a.taps", buf), 3);
    EXPECT_EQ(Taps(buf, 3), (std::vector<int32_t>{1, -2, 3}));
    EXPECT_EQ(buf[3], 0);

    // Text after the last line break is an unfinished line and is not taken.
    WriteFileText(dir / "b.taps", "1\n-2\n3");
    EXPECT_EQ(ReadTapFile(dir / "b.taps", buf), 2);
    EXPECT_EQ(buf[2], 0);

    // Files from the Windows board software, and the blank our writers put in front.
    WriteFileText(dir / "c.taps", " 1\r\n\t-2\r\n 3\r\n");
    ASSERT_EQ(ReadTapFile(dir / "c.taps", buf), 3);
    EXPECT_EQ(Taps(buf, 3), (std::vector<int32_t>{1, -2, 3}));
}

TEST(ReadTapFile, ValuesAreReducedToSixteenBits) {
    TempDir dir;
    TapBuffer buf;
    WriteFileText(dir / "a.taps", "32768\n40000\n65535\n-32769\n32767\n65536\n12abc\n");
    ASSERT_EQ(ReadTapFile(dir / "a.taps", buf), 7);
    EXPECT_EQ(Taps(buf, 7), (std::vector<int32_t>{-32768, -25536, -1, 32767, 32767, 0, 12}));
}

TEST(ReadTapFile, LinesWithoutAnIntegerAreNotTaps) {
    TempDir dir;
    TapBuffer buf;
    WriteFileText(dir / "a.taps", "5\n\n   \ntext\n-\n7\n");
    ASSERT_EQ(ReadTapFile(dir / "a.taps", buf), 2);
    EXPECT_EQ(Taps(buf, 2), (std::vector<int32_t>{5, 7}));
}

TEST(ReadTapFile, AtMost512TapsAndLongLines) {
    TempDir dir;
    TapBuffer buf;
    std::string text;
    for (int i = 1; i <= 600; ++i) text.append(" ").append(std::to_string(i)).append("\n");
    WriteFileText(dir / "a.taps", text);
    ASSERT_EQ(ReadTapFile(dir / "a.taps", buf), 512);
    EXPECT_EQ(buf[511], 512);

    // A line longer than any fixed buffer is still one tap.
    WriteFileText(dir / "b.taps", std::string(200, ' ') + "42" + std::string(300, 'x') + "\n9\n");
    ASSERT_EQ(ReadTapFile(dir / "b.taps", buf), 2);
    EXPECT_EQ(Taps(buf, 2), (std::vector<int32_t>{42, 9}));
}

TEST(ReadTapFile, MissingEmptyAndUnfinished) {
    TempDir dir;
    TapBuffer buf;
    EXPECT_EQ(ReadTapFile(dir / "none.taps", buf), -1);
    EXPECT_EQ(ReadTapFile(dir.path(), buf), -1);  // a folder is not a file
    // Nor is a device that a name in a lab file may lead to.
    if (std::filesystem::exists("/dev/null")) {
        EXPECT_EQ(ReadTapFile("/dev/null", buf), -1);
    }
    WriteFileText(dir / "empty.taps", "");
    EXPECT_EQ(ReadTapFile(dir / "empty.taps", buf), 0);
    WriteFileText(dir / "one.taps", "17");
    EXPECT_EQ(ReadTapFile(dir / "one.taps", buf), 0);
}

TEST(LoadPfirFile, FillsTheStoreAndClearsTheRest) {
    TempDir dir;
    Session m;
    m.workImage.pfir[1].coef.fill(99);
    WriteFileText(dir / "a.taps", "1\n-2\n3\n");
    ASSERT_EQ(LoadPfirFile(m, 1, dir / "a.taps", nullptr), 3);
    const auto& store = m.workImage.pfir[1].coef;
    EXPECT_EQ(store[0], 1);
    EXPECT_EQ(store[1], -2);
    EXPECT_EQ(store[2], 3);
    for (int i = 3; i < kMaxTaps; ++i) ASSERT_EQ(store[static_cast<size_t>(i)], 0) << i;
    // The words after the 512 taps are not the load's.
    EXPECT_EQ(store[kMaxTaps], 99);
    EXPECT_EQ(m.workImage.pfir[0].coef[0], 0);
}

TEST(LoadPfirFile, FailuresAreReportedAndChangeNothing) {
    TempDir dir;
    std::filesystem::create_directories(dir / "FILTERS");
    Session m;
    m.settings.NameOfPFIR = {"good.taps", "missing.taps", "empty.taps", "good.taps"};
    WriteFileText(dir / "FILTERS" / "good.taps", "4\n5\n6\n");
    WriteFileText(dir / "FILTERS" / "empty.taps", "");
    // Channels B and C hold an earlier load and fit.
    for (int c : {1, 2}) {
        m.workImage.pfir[static_cast<size_t>(c)].coef[0] = 11;
        m.workImage.ncoefs[c] = 1;
        m.fittedTaps[static_cast<size_t>(c)][0] = 11;
        m.coefSetInfo[static_cast<size_t>(c)].ntaps = 1;
    }
    RecordingSink sink;
    ReloadAllPfirFiles(m.settings, m, &sink, Workspace{dir.path()});

    // Named as the user knows them, relative to the working folder.
    ASSERT_EQ(sink.reports.size(), 2u);
    EXPECT_EQ(sink.reports[0].path, "FILTERS/missing.taps");
    EXPECT_TRUE(sink.reports[0].missing);
    EXPECT_EQ(sink.reports[1].path, "FILTERS/empty.taps");
    EXPECT_FALSE(sink.reports[1].missing);
    for (int c : {1, 2}) {
        EXPECT_EQ(m.workImage.pfir[static_cast<size_t>(c)].coef[0], 11);
        EXPECT_EQ(m.workImage.ncoefs[c], 1);
        EXPECT_EQ(m.fittedTaps[static_cast<size_t>(c)][0], 11);
        EXPECT_EQ(m.coefSetInfo[static_cast<size_t>(c)].ntaps, 1);
    }
    for (int c : {0, 3}) {
        EXPECT_EQ(m.workImage.ncoefs[c], 3);
        EXPECT_EQ(m.workImage.pfir[static_cast<size_t>(c)].coef[2], 6);
        EXPECT_EQ(m.coefSetInfo[static_cast<size_t>(c)].sumtap, 15);
        EXPECT_GT(m.coefSetInfo[static_cast<size_t>(c)].ntaps, 0);
    }
}

TEST(LoadPfirFile, ReportedPathIsTheOneTried) {
    // Relative to the working folder, as the window and the batch tool give it.
    Session m;
    m.settings.NameOfPFIR[0] = "absent.taps";
    RecordingSink sink;
    EXPECT_EQ(LoadAndFitChannel(m.settings, m, 0, &sink, Workspace{}), 0);
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0].path, "FILTERS/absent.taps");
    const auto lines = CoefFileErrorLines(sink.reports[0].path, sink.reports[0].missing);
    EXPECT_EQ(lines[0], "Файл коэфициентов PFIR");
    EXPECT_EQ(lines[2], "отсутствует!");
    // A name from a lab file that looks absolute still stays below FILTERS/.
    m.settings.NameOfPFIR[0] = "/etc/hostname";
    EXPECT_EQ(PfirFilePath(m.settings, 0, Workspace{}).string(), "FILTERS//etc/hostname");
    EXPECT_EQ(LoadAndFitChannel(m.settings, m, 0, nullptr, Workspace{}), 0);
    EXPECT_EQ(LoadAndFitChannel(m.settings, m, 7, &sink, Workspace{}), 0);
}

TEST(LoadChosenPfirFile, StoresTheBareNameEvenWhenTheLoadFails) {
    TempDir dir;
    Session m;
    WriteFileText(dir / "pick.taps", "1\n2\n1\n");
    EXPECT_EQ(LoadChosenPfirFile(m.settings, m, 2, dir / "pick.taps", nullptr), 3);
    EXPECT_EQ(m.settings.NameOfPFIR[2], "pick.taps");
    EXPECT_EQ(m.workImage.ncoefs[2], 3);
    EXPECT_EQ(m.coefSetInfo[2].symtype, 1);

    RecordingSink sink;
    EXPECT_EQ(LoadChosenPfirFile(m.settings, m, 2, dir / "gone.taps", &sink), 0);
    EXPECT_EQ(m.settings.NameOfPFIR[2], "gone.taps");
    EXPECT_EQ(m.workImage.ncoefs[2], 3);
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_TRUE(sink.reports[0].missing);
}

TEST(ApplyToAllChannels, CopiesTheChannelAndReloads) {
    TempDir dir;
    std::filesystem::create_directories(dir / "FILTERS");
    WriteFileText(dir / "FILTERS" / "c.taps", "1\n2\n3\n4\n");
    Session m;
    Settings& s = m.settings;
    m.CurrentChannel = 2;
    s.CicDec[2] = 8;
    s.FirDec[2] = 3;
    s.InpADC[2] = 1;
    s.Gain[2] = 2.5f;
    s.OverallGain[2] = 4.0f;
    s.FreqNCO[2] = 1234567;
    s.PhaseNCO[2] = 0.5f;
    s.freq_sync[2] = 1;
    s.phase_sync[2] = 2;
    s.dith_sync[2] = 3;
    s.nco_sync[2] = 4;
    s.flush_sync[2] = 5;
    s.cic_sync[2] = 6;
    s.fir_sync[2] = 1;
    s.coef_sync[2] = 3;
    s.gain_sync[2] = 4;
    s.pwr_mtr_sync[2] = 5;
    s.sck_sync[2] = 6;
    s.NameOfPFIR[2] = "c.taps";
    s.ReqStopHz[2] = 150000;
    s.CicM1Dec[2] = 40;
    Settings before = s;

    const Workspace ws{dir.path()};
    ApplyEdit(m, edit::ApplyToAll{}, EditContext{&ws, nullptr});
    for (int c = 0; c < kChannels; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(s.CicDec[c], 8);
        EXPECT_EQ(s.FirDec[c], 3);
        EXPECT_EQ(s.InpADC[c], 1);
        EXPECT_EQ(s.Gain[c], 2.5f);
        EXPECT_EQ(s.OverallGain[c], 4.0f);
        EXPECT_EQ(s.FreqNCO[c], 1234567);
        EXPECT_EQ(s.PhaseNCO[c], 0.5f);
        EXPECT_EQ(s.freq_sync[c], 1);
        EXPECT_EQ(s.phase_sync[c], 2);
        EXPECT_EQ(s.dith_sync[c], 3);
        EXPECT_EQ(s.nco_sync[c], 4);
        EXPECT_EQ(s.flush_sync[c], 5);
        EXPECT_EQ(s.cic_sync[c], 6);
        EXPECT_EQ(s.fir_sync[c], 1);
        EXPECT_EQ(s.coef_sync[c], 3);
        EXPECT_EQ(s.gain_sync[c], 4);
        EXPECT_EQ(s.pwr_mtr_sync[c], 5);
        EXPECT_EQ(s.sck_sync[c], 6);
        EXPECT_EQ(s.NameOfPFIR[static_cast<size_t>(c)], "c.taps");
        EXPECT_EQ(s.ReqStopHz[c], 150000.0);
        EXPECT_EQ(m.TotalDec[c], 24);
        // The per-mode CIC stores stay each channel's own.
        EXPECT_EQ(s.CicM1Dec[c], before.CicM1Dec[c]);
        EXPECT_EQ(m.workImage.ncoefs[c], 4);
        EXPECT_EQ(m.coefSetInfo[static_cast<size_t>(c)].sumtap, 10);
        // The registers follow the copied settings.
        EXPECT_EQ(m.workImage.cic_dec[c], 8);
    }
}

TEST(ApplyToAllChannels, TotalDecOfDamagedDecimationsSaturates) {
    Session m;
    m.settings.CicDec[0] = 2000000000;
    m.settings.FirDec[0] = 8;
    CopyChannelToAll(m.settings, m, 0);
    EXPECT_EQ(m.TotalDec[3], INT32_MAX);
    Settings before = m.settings;
    CopyChannelToAll(m.settings, m, 9);
    EXPECT_EQ(m.settings.CicDec[1], before.CicDec[1]);
}

class FltConversionTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(dir / "FILTERS"); }
    FltConversion Convert(const std::string& name, const std::string& text) {
        WriteFileText(dir / name, text);
        return ConvertFltToTaps(dir / name, Workspace{dir.path()});
    }
    std::string Output(const std::string& name) { return ReadFileText(dir / "FILTERS" / name); }
    TempDir dir;
};

TEST_F(FltConversionTest, WritesTheTapsWithALeadingBlank) {
    auto r = Convert("lowpass.flt", "DFDP filter\r\n3\r\n10\r\n-20\r\n30\r\n");
    ASSERT_EQ(r.status, FltConversion::Done) << r.message;
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.output, dir / "FILTERS" / "lowpass.taps");
    EXPECT_EQ(Output("lowpass.taps"), " 10\n -20\n 30\n");
    // The written file reads back as the same taps.
    TapBuffer buf;
    ASSERT_EQ(ReadTapFile(r.output, buf), 3);
    EXPECT_EQ(buf[1], -20);
}

TEST_F(FltConversionTest, MissingTapsRepeatTheLastValue) {
    ASSERT_EQ(Convert("short.flt", "x\n5\n10\n-20").status, FltConversion::Done);
    EXPECT_EQ(Output("short.taps"), " 10\n -20\n -20\n -20\n -20\n");
    ASSERT_EQ(Convert("none.flt", "x\n2\n").status, FltConversion::Done);
    EXPECT_EQ(Output("none.taps"), " 0\n 0\n");
    // A line without a number is not a tap; extra lines after N taps are ignored.
    ASSERT_EQ(Convert("gaps.flt", "x\n2\n\n7\nnote\n8\n9\n").status, FltConversion::Done);
    EXPECT_EQ(Output("gaps.taps"), " 7\n 8\n");
}

TEST_F(FltConversionTest, AcceptsCountsUpTo512) {
    std::string text = "x\n512\n";
    for (int i = 0; i < 300; ++i) text += std::to_string(i) + "\n";
    ASSERT_EQ(Convert("big.flt", text).status, FltConversion::Done);
    auto lines = SplitLines(Output("big.taps"));
    ASSERT_EQ(lines.size(), 512u);
    EXPECT_EQ(lines[299], " 299");
    EXPECT_EQ(lines[511], " 299");
}

TEST_F(FltConversionTest, BadCountsWriteNothingAndKeepTheOldFile) {
    WriteFileText(dir / "FILTERS" / "f.taps", " 1\n 2\n");
    for (const char* text : {"x\n0\n1\n", "x\n-3\n1\n", "x\n513\n1\n", "x\n99999999999999999999\n", "x\nabc\n1\n",
                             "only one line\n", ""}) {
        SCOPED_TRACE(text);
        auto r = Convert("f.flt", text);
        EXPECT_EQ(r.status, FltConversion::BadCount);
        EXPECT_FALSE(r.message.empty());
        EXPECT_EQ(Output("f.taps"), " 1\n 2\n");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "FILTERS"), {}), 1);
}

TEST_F(FltConversionTest, UnreadableInputLeavesTheOutputAlone) {
    WriteFileText(dir / "FILTERS" / "gone.taps", " 5\n");
    auto r = ConvertFltToTaps(dir / "gone.flt", Workspace{dir.path()});
    EXPECT_EQ(r.status, FltConversion::InputUnreadable);
    EXPECT_FALSE(r.message.empty());
    EXPECT_EQ(Output("gone.taps"), " 5\n");
    if (std::filesystem::exists("/dev/null")) {
        EXPECT_EQ(ConvertFltToTaps("/dev/null", Workspace{dir.path()}).status, FltConversion::InputUnreadable);
        EXPECT_FALSE(std::filesystem::exists(dir / "FILTERS" / "null.taps"));
    }
}

TEST_F(FltConversionTest, OutputNames) {
    ASSERT_EQ(Convert("plain", "x\n1\n4\n").status, FltConversion::Done);
    EXPECT_EQ(Output("plain.taps"), " 4\n");
    ASSERT_EQ(Convert("a.b.flt", "x\n1\n4\n").status, FltConversion::Done);
    EXPECT_EQ(Output("a.b.taps"), " 4\n");
    // Taps beyond the 32-bit range are written as its limit, not wrapped.
    ASSERT_EQ(Convert("huge.flt", "x\n2\n99999999999\n-99999999999\n").status, FltConversion::Done);
    EXPECT_EQ(Output("huge.taps"), " 2147483647\n -2147483648\n");
}

// Numbers read other than written still convert as before, and are counted
// for the warnings; a file that is not text converts to nothing.
TEST_F(FltConversionTest, NumbersReadOtherThanWrittenAreCounted) {
    const struct {
        std::string text;
        const char* countNotWhole;
        int saturated, notWhole;
        const char* out;
    } cases[] = {
        {"x\n1e3\n5\n6\n", "1e3", 0, 0, " 5\n"},
        {"x\n3\n99999999999\n-99999999999999999999999\n7\n", "", 2, 0, " 2147483647\n -2147483648\n 7\n"},
        {"x\n2 \n0.5\n12abc\n", "", 0, 2, " 0\n 12\n"},
        {"x\n2\r\n1 \t\r\n2\r\n", "", 0, 0, " 1\n 2\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const FltConversion r = Convert("f.flt", c.text);
        ASSERT_EQ(r.status, FltConversion::Done);
        EXPECT_EQ(r.countNotWhole, c.countNotWhole);
        EXPECT_EQ(r.saturated, c.saturated);
        EXPECT_EQ(r.notWhole, c.notWhole);
        EXPECT_EQ(Output("f.taps"), c.out);
    }
    WriteFileText(dir / "FILTERS" / "n.taps", " 1\n");
    EXPECT_EQ(Convert("n.flt", std::string("x\n2\n\0"
                                           "1\n2\n",
                                           9))
                  .status,
              FltConversion::InputUnreadable);
    EXPECT_EQ(Output("n.taps"), " 1\n");
}

TEST(FltConversion, MissingFiltersFolderIsAWriteFailure) {
    TempDir dir;
    WriteFileText(dir / "a.flt", "x\n1\n4\n");
    auto r = ConvertFltToTaps(dir / "a.flt", Workspace{dir.path()});
    EXPECT_EQ(r.status, FltConversion::WriteFailed);
    EXPECT_EQ(r.output, dir / "FILTERS" / "a.taps");
    EXPECT_FALSE(std::filesystem::exists(dir / "FILTERS"));
}

}  // namespace
}  // namespace gc
