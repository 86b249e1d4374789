// The batch tool's start-up, its global options and the lab command (what
// closing the main window writes), on copies of the example workspace.
#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace gc {
namespace {

namespace fs = std::filesystem;
using test::BatchRun;
using test::CopyExampleWorkspace;
using test::ReadFileText;
using test::RunBatchTool;
using test::TempDir;
using test::WriteFileText;

TEST(LabBatch, CloseWritesTheSettingsAsStartedWithTheExpertCodeKept) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    const std::string longName = std::string(120, 'n') + ".taps";
    WriteFileText(ws / "CONFIGS" / "mine.lab",
                  "FullDebug 629\n"
                  "TypeOfModule 0\n"
                  "EnableTDM 1\n"
                  "ModeOfInput 1\n"
                  "CicDec 100 100 100 100\n"
                  "CicM1Dec 3 5 7 9\n"
                  "NameOfPFIR1: " +
                      longName + "\n");
    const std::string stdBefore = ReadFileText(ws / "CONFIGS" / "std.lab");
    BatchRun r = RunBatchTool(ws.path(), "--lab CONFIGS/mine.lab lab --out CONFIGS/out.lab");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    // The missing coefficient file of channel B is reported, and the run goes on.
    EXPECT_NE(r.err.find(longName), std::string::npos);

    const std::string text = ReadFileText(ws / "CONFIGS" / "out.lab");
    auto has = [&](const std::string& line) { return text.find("\n" + line + "\n") != std::string::npos; };
    EXPECT_TRUE(has("FullDebug              629"));  // restored before the write
    EXPECT_TRUE(has("TypeOfModule           2"));    // the build's board model
    EXPECT_TRUE(has("EnableTDM              0"));    // this board model never runs TDM
    EXPECT_TRUE(has("ModeOfInput            1"));
    EXPECT_TRUE(has("CicDec                   3           5           7           9           "));
    EXPECT_TRUE(has("CicM1Dec                 3           5           7           9           "));
    EXPECT_TRUE(has("NameOfPFIR1: " + longName));
    EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "std.lab"), stdBefore);
}

TEST(LabBatch, MissingLabFileWritesTheDefaults) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    fs::remove(ws / "CONFIGS" / "std.lab");
    BatchRun r = RunBatchTool(ws.path(), "lab");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning: cannot read CONFIGS/std.lab"), std::string::npos);
    // The defaults, headed for this board, with the board model set at start.
    std::string expected = ReadFileText(fs::path(GC5016_TEST_DATA) / "default.lab");
    const std::string from = "\nTypeOfModule           0\n";
    ASSERT_NE(expected.find(from), std::string::npos);
    expected.replace(expected.find(from), from.size(), "\nTypeOfModule           2\n");
    EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "std.lab"), expected);
}

// A value not taken whole is warned about at start, and still read and saved as before.
TEST(LabBatch, ValuesNotTakenWholeAreWarnedAndKept) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    std::string lab = ReadFileText(ws / "CONFIGS" / "std.lab");
    const size_t at = lab.find("SystemClock ");
    ASSERT_NE(at, std::string::npos);
    lab.replace(at, lab.find('\n', at) - at, "SystemClock            1e8");
    WriteFileText(ws / "CONFIGS" / "std.lab", lab);
    const BatchRun r = RunBatchTool(ws.path(), "save CONFIGS/x.lab");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning: CONFIGS/std.lab: SystemClock: \"1e8\" read as 1 "), std::string::npos) << r.err;
    EXPECT_NE(ReadFileText(ws / "CONFIGS" / "x.prg").find("\nClock= 1\n"), std::string::npos);
}

TEST(LabBatch, BadUsageAndUnwritableOutput) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    EXPECT_EQ(RunBatchTool(ws.path(), "").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "nosuchcommand").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "--lab").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "lab extra").status, 1);
    BatchRun r = RunBatchTool(ws.path(), "lab --out");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("usage:"), std::string::npos);
    r = RunBatchTool(ws.path(), "lab --out missing/x.lab");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("missing/x.lab"), std::string::npos);
    EXPECT_FALSE(fs::exists(ws / "missing"));
    EXPECT_EQ(RunBatchTool(ws / "no-such-folder", "lab").status, 1);
}

}  // namespace
}  // namespace gc
