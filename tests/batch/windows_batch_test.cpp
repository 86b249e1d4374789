// cicwindow, pfirwindow and lengths: their options, and what they print for
// hand-made labs (the window comparison itself is a GUI test).
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "test_util.h"

namespace gc {
namespace {

using test::BatchRun;
using test::CopyExampleWorkspace;
using test::RunBatchTool;
using test::TempDir;
using test::WriteFileText;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The example workspace with a lab of its own and a 100-tap ramp as every channel's file.
void MakeWorkspace(const TempDir& ws, const std::string& lab) {
    CopyExampleWorkspace(ws.path());
    std::string ramp;
    for (int k = 0; k < 100; ++k) ramp += std::to_string(50 + 3 * k) + "\n";
    WriteFileText(ws / "FILTERS/ramp.taps", ramp);
    WriteFileText(ws / "CONFIGS/std.lab", lab +
                                              "NameOfPFIR0: ramp.taps\nNameOfPFIR1: ramp.taps\n"
                                              "NameOfPFIR2: ramp.taps\nNameOfPFIR3: ramp.taps\n");
}

TEST(WindowsBatch, OptionsOutsideWhatTheWindowsOfferAreBadUsage) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    for (const char* args : {"cicwindow --stretch 3", "cicwindow --stretch 1024", "cicwindow --stretch",
                             "cicwindow --ir", "pfirwindow --stretch 4", "pfirwindow --alias", "cicwindow --channel E",
                             "lengths --stretch 2", "lengths extra"}) {
        BatchRun r = RunBatchTool(ws.path(), args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_NE(r.err.find("usage"), std::string::npos) << args;
    }
    EXPECT_EQ(RunBatchTool(ws.path(), "cicwindow --stretch 512").status, 0);
    EXPECT_EQ(RunBatchTool(ws.path(), "pfirwindow --stretch 2 --ir").status, 0);
}

TEST(WindowsBatch, LengthsPrintsBothPanelsLabelByLabel) {
    TempDir ws;
    MakeWorkspace(ws, "ModeOfInput 0\nCicM0Dec 16 16 16 16\nFirDec 1 1 1 1\n");
    BatchRun r = RunBatchTool(ws.path(), "lengths --channel C");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string expected = "cic_dec\t16\nfir_dec\t1\n";
    for (int k = 1; k <= 16; ++k)
        expected += "row" + std::to_string(k) + "\t" +
                    (k <= 8 ? std::to_string(16 * k) + "\t" + std::to_string(32 * k - 1) + "\t" + std::to_string(32 * k)
                            : std::string("\t\t")) +
                    "\n";
    expected +=
        "kind\tнесимметричный фильтр\n"
        "length\t100\n"
        "line1\tred\tВозможно использование\n"
        "line2\tred\tфильтра большей длины !\n"
        "line3\tФильтр будет дополнен 0 \n"
        "line4\t до длины\t112\t!\n";
    EXPECT_EQ(r.out, expected);
}

TEST(WindowsBatch, CicWindowAtTheLargestDecimationKeepsItsDcPoint) {
    TempDir ws;
    MakeWorkspace(ws, "ModeOfInput 0\nCicM0Dec 1024 1024 1024 1024\nFirDec 1 1 1 1\n");
    BatchRun r = RunBatchTool(ws.path(), "cicwindow");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 5u + 256u);
    EXPECT_EQ(lines[0], "title F/Fsinp");
    EXPECT_EQ(lines[1], "fractions 8 4 8 2");
    EXPECT_EQ(lines[2], "ticks 12.500 25.000 37.500 50.000");
    EXPECT_EQ(lines[3], "stretch 1");
    EXPECT_EQ(lines[4], "marker 0");
    EXPECT_EQ(lines[5], "0 1125899906842624 0");  // 1024^5: DC on the top row
    // Every other column is a null, printed unclamped far below the area.
    EXPECT_EQ(lines[6].substr(lines[6].rfind(' ')), " 1402");
}

TEST(WindowsBatch, PairedChannelsShowTheirOwnDecimation) {
    TempDir ws;
    MakeWorkspace(ws, "ModeOfInput 1\nCicM1Dec 6 7 10 11\nFirDec 2 2 2 2\n");
    BatchRun r = RunBatchTool(ws.path(), "cicwindow --channel B --alias");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 5u + 7u);  // B's own CicDec: seven zones

    r = RunBatchTool(ws.path(), "pfirwindow --channel D --ir");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "ticks 64 128 192 256");
    EXPECT_EQ(lines[1], "levels 347 0");  // the ramp's last tap; the padding is 0
    // The taps in use, one line each: the ramp padded to the next allowed length.
    EXPECT_EQ(lines.size(), 2u + 128u);
}

}  // namespace
}  // namespace gc
