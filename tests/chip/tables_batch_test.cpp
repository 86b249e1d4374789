// The batch tool's tbl, workcmd and compare commands on copies of the example workspace.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "core/text_io.h"
#include "test_util.h"

namespace gc {
namespace {

namespace fs = std::filesystem;
using test::BatchRun;
using test::CopyExampleWorkspace;
using test::ReadFileText;
using test::RunBatchTool;
using test::TempDir;

const fs::path kData = GC5016_TEST_DATA;

TEST(TablesBatch, TblWritesTheGoldenTableOfTheExample) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    BatchRun r = RunBatchTool(ws.path(), "tbl");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileText(ws / "exper.tbl"), ReadFileText(kData / "exper_example.tbl"));

    r = RunBatchTool(ws.path(), "tbl --out CONFIGS/other.tbl");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileText(ws / "CONFIGS" / "other.tbl"), ReadFileText(kData / "exper_example.tbl"));

    EXPECT_EQ(RunBatchTool(ws.path(), "tbl --out missing/x.tbl").status, 2);
    EXPECT_EQ(RunBatchTool(ws.path(), "tbl extra").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "tbl --out").status, 1);
}

TEST(TablesBatch, WorkcmdWritesTheGoldenScript) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    BatchRun r = RunBatchTool(ws.path(), "workcmd");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadFileText(ws / "FILTERS" / "workcmd"), ReadFileText(kData / "workcmd_example"));
    // Without --tool nothing else appears.
    EXPECT_FALSE(fs::exists(ws / "FILTERS" / "workcmd.tbl"));
    EXPECT_EQ(RunBatchTool(ws.path(), "workcmd --bogus").status, 1);
}

TEST(TablesBatch, CompareWithoutAToolTableUsesTheStartValues) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    BatchRun r = RunBatchTool(ws.path(), "compare --report CONFIGS/report");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning: cannot read FILTERS/workcmd.tbl"), std::string::npos);
    const std::string report = ReadFileText(ws / "CONFIGS" / "report");
    EXPECT_EQ(report.rfind("Error                 our         gc\n", 0), 0u);
    // The derived soB_sync 4 against the tool image's 0; chip_rev -1 on both sides.
    EXPECT_NE(report.find("\nsoB_sync               4         0       \n"), std::string::npos);
    EXPECT_EQ(report.find("\nchip_rev"), std::string::npos);
    ASSERT_EQ(r.out.rfind("differences: ", 0), 0u);
    EXPECT_GT(std::atoi(r.out.c_str() + 13), 0);
    EXPECT_FALSE(fs::exists(ws / "ErrTbl"));

    // A report that cannot be written: the count is still printed.
    r = RunBatchTool(ws.path(), "compare --report missing/ErrTbl");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.rfind("differences: ", 0), 0u);
}

// A tool table that is there but empty or not text is refused: compared, it
// would count every field as a difference.
TEST(TablesBatch, CompareRefusesAnEmptyOrUnreadableToolTable) {
    for (const std::string& bytes : {std::string(), std::string("\n  \r\n"), std::string("\xFF\xFEp\0w\0", 6),
                                     std::string("pwr_dwn 0\n\0\0", 12)}) {
        TempDir ws;
        CopyExampleWorkspace(ws.path());
        test::WriteFileText(ws / "FILTERS" / "workcmd.tbl", bytes);
        const BatchRun r = RunBatchTool(ws.path(), "compare");
        EXPECT_EQ(r.status, 4) << r.err;
        EXPECT_NE(r.err.find("FILTERS/workcmd.tbl"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(fs::exists(ws / "ErrTbl"));
    }
}

TEST(TablesBatch, ToolRunThenCompareAgrees) {
    if (!fs::exists(fs::path(GC5016_BIN_DIR) / "cmd5016")) GTEST_SKIP() << "chip-tool stand-in not built";
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    BatchRun r = RunBatchTool(ws.path(), "workcmd --tool");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");  // the tool's own output never reaches ours
    ASSERT_TRUE(fs::exists(ws / "FILTERS" / "workcmd.tbl"));
    ASSERT_TRUE(fs::exists(ws / "FILTERS" / "workcmd.gc101"));
    r = RunBatchTool(ws.path(), "compare");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "differences: 0\n");
    EXPECT_EQ(ReadFileText(ws / "ErrTbl"), "Error                 our         gc\n");
}

}  // namespace
}  // namespace gc
