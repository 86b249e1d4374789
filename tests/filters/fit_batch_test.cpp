// The batch tool's fit and flt2taps commands on a copy of the example workspace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "core/text_io.h"
#include "test_util.h"

namespace gc {
namespace {

using test::BatchRun;
using test::CopyExampleWorkspace;
using test::ReadFileText;
using test::RunBatchTool;
using test::TempDir;
using test::WriteFileText;

std::vector<long> ReadNumbers(const std::filesystem::path& p) {
    std::vector<long> v;
    const auto lines = ReadLines(p);
    if (lines)
        for (const std::string& line : *lines) v.push_back(std::stol(line));
    return v;
}

TEST(BatchFit, ExampleWorkspaceFitIsTheCentreOfItsLowpass) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    const std::vector<long> taps = ReadNumbers(ws / "FILTERS" / "cdma.taps");
    ASSERT_EQ(taps.size() % 2, 1u);
    ASSERT_TRUE(std::equal(taps.begin(), taps.end(), taps.rbegin())) << "the example set is symmetric";

    const auto filesBefore = std::distance(std::filesystem::directory_iterator(ws / "FILTERS"), {});
    auto r = RunBatchTool(ws.path(), "fit --channel B");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto lines = SplitLines(r.out);
    ASSERT_GE(lines.size(), 10u);

    // Full rate, CIC 2, PFIR 1: one step of 16, so a symmetric odd set runs 31 taps.
    const long n = static_cast<long>(taps.size());
    const long sum = std::accumulate(taps.begin(), taps.end(), 0L);
    std::vector<std::string> head = {
        "ntaps 31",
        "symmetric 1",
        "even 0",
        "nblocks 1",
        "maxtap " + std::to_string(*std::max_element(taps.begin(), taps.end())),
        "sumtap " + std::to_string(sum),
        "symtype 1",
        "pfir_gain 1.000000",  // the example set sums to 65536
        n > 31 ? "colour red" : "colour yellow",
        "taps",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 10), head);
    ASSERT_EQ(lines.size(), 10u + 31u);
    for (long k = 0; k < 31; ++k)
        EXPECT_EQ(lines[static_cast<size_t>(10 + k)], std::to_string(taps[static_cast<size_t>((n - 31) / 2 + k)]));
    // The tool writes nothing into the working folder for this command.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ws / "FILTERS"), {}), filesBefore);
}

TEST(BatchFit, MissingAndDamagedFilesAreReportedAndTheRestGoesOn) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    std::string lab = ReadFileText(ws / "CONFIGS" / "std.lab");
    auto rename = [&](const std::string& key, const std::string& name) {
        size_t at = lab.find(key);
        ASSERT_NE(at, std::string::npos);
        lab.replace(at, lab.find('\n', at) - at, key + name);
    };
    rename("NameOfPFIR1: ", "nothere.taps");
    rename("NameOfPFIR2: ", "empty.taps");
    WriteFileText(ws / "CONFIGS" / "std.lab", lab);
    WriteFileText(ws / "FILTERS" / "empty.taps", "");

    auto r = RunBatchTool(ws.path(), "fit --channel B");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err,
              "gc5016-batch: warning: coefficient file FILTERS/nothere.taps is missing\n"
              "gc5016-batch: warning: coefficient file FILTERS/empty.taps holds no tap\n");
    // Nothing was ever fitted on B: its fit is all zero.
    EXPECT_EQ(r.out,
              "ntaps 0\nsymmetric 0\neven 0\nnblocks 0\nmaxtap 0\nsumtap 0\nsymtype 0\npfir_gain 0.000000\n"
              "colour face\ntaps\n");
    // Channel D still loaded its file.
    auto d = RunBatchTool(ws.path(), "fit --channel D");
    EXPECT_EQ(SplitLines(d.out)[0], "ntaps 31");
}

// Taps read other than written are warned about; the fit goes on with them.
TEST(BatchFit, TapsReadOtherThanWrittenAreWarned) {
    struct Case {
        std::string bytes;
        const char* said;
    };
    const Case cases[] = {
        {std::string("\0"
                     "1\n2\n3\n",
                     7),
         "FILTERS/odd.taps holds NUL bytes"},
        {"1\n40000\n3\n", "FILTERS/odd.taps: 1 tap lies outside -32768..32767"},
        {"1\nabc\n\n3\n", "FILTERS/odd.taps: 2 lines hold no number and were skipped"},
        {"1\n1.5\n3\n", "FILTERS/odd.taps: 1 tap was not read whole"},
    };
    for (const Case& c : cases) {
        TempDir ws;
        CopyExampleWorkspace(ws.path());
        std::string lab = ReadFileText(ws / "CONFIGS" / "std.lab");
        const size_t at = lab.find("NameOfPFIR0: ");
        lab.replace(at, lab.find('\n', at) - at, "NameOfPFIR0: odd.taps");
        WriteFileText(ws / "CONFIGS" / "std.lab", lab);
        WriteFileText(ws / "FILTERS" / "odd.taps", c.bytes);
        const BatchRun r = RunBatchTool(ws.path(), "fit --channel A");
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
}

TEST(BatchFit, BadUsage) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    EXPECT_EQ(RunBatchTool(ws.path(), "fit --channel E").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "fit --channel").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "fit extra").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "flt2taps").status, 1);
}

TEST(BatchFlt2Taps, ConvertsIntoFiltersAndRefusesBadCounts) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    std::filesystem::create_directories(ws / "FDFDP");
    WriteFileText(ws / "FDFDP" / "lowpass.flt", "designed filter\n4\n3\n-1\n");
    auto r = RunBatchTool(ws.path(), "flt2taps FDFDP/lowpass.flt");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFileText(ws / "FILTERS" / "lowpass.taps"), " 3\n -1\n -1\n -1\n");

    WriteFileText(ws / "FDFDP" / "lowpass.flt", "designed filter\n600\n3\n");
    r = RunBatchTool(ws.path(), "flt2taps FDFDP/lowpass.flt");
    EXPECT_EQ(r.status, 4);  // refused: nothing written
    EXPECT_NE(r.err.find("600"), std::string::npos);
    EXPECT_EQ(ReadFileText(ws / "FILTERS" / "lowpass.taps"), " 3\n -1\n -1\n -1\n");

    r = RunBatchTool(ws.path(), "flt2taps FDFDP/absent.flt");
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("absent.flt"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(ws / "FILTERS" / "absent.taps"));

    std::filesystem::remove_all(ws / "FILTERS");
    r = RunBatchTool(ws.path(), "flt2taps FDFDP/lowpass.flt");
    WriteFileText(ws / "FDFDP" / "ok.flt", "x\n1\n5\n");
    r = RunBatchTool(ws.path(), "flt2taps FDFDP/ok.flt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("ok.taps"), std::string::npos);
}

}  // namespace
}  // namespace gc
