// The batch tool's response and testfilter commands on a copy of the example workspace.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
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

// Replaces the value of one setting line of the workspace's lab file.
void SetLabValue(const TempDir& ws, const std::string& key, const std::string& value) {
    const auto path = ws / "CONFIGS" / "std.lab";
    std::string out;
    bool found = false;
    for (const std::string& line : SplitLines(ReadFileText(path))) {
        if (line.rfind(key + " ", 0) == 0) {
            out += key + " " + value + "\n";
            found = true;
        } else {
            out += line + "\n";
        }
    }
    ASSERT_TRUE(found) << key;
    WriteFileText(path, out);
}

struct Point {
    int i;
    double cic, pfir, overall;
};

std::vector<Point> ParseResponse(const std::string& out) {
    std::vector<Point> pts;
    for (const std::string& line : SplitLines(out)) {
        std::istringstream in(line);
        Point p{};
        in >> p.i >> p.cic >> p.pfir >> p.overall;
        EXPECT_TRUE(in && in.eof()) << line;
        // Every value is written with 17 significant digits: it reads back exactly.
        EXPECT_EQ(line, StrPrintf("%d %.17g %.17g %.17g", p.i, p.cic, p.pfir, p.overall));
        pts.push_back(p);
    }
    return pts;
}

TEST(BatchResponse, PrintsTheChannelsCurvesOnTheZoomedGrid) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    BatchRun r = RunBatchTool(ws.path(), "response");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<Point> pts = ParseResponse(r.out);
    ASSERT_EQ(pts.size(), 256u);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(pts[i].i, i);
        ASSERT_EQ(pts[i].overall, pts[i].cic * pts[i].pfir);
    }
    EXPECT_EQ(pts[0].cic, 32.0);  // CIC decimation 2: DC gain 2^5
    EXPECT_NEAR(pts[1].cic, 32.0, 0.01);

    // Point 0 of the PFIR is the absolute sum of the fitted taps the fit command lists.
    BatchRun fit = RunBatchTool(ws.path(), "fit");
    ASSERT_EQ(fit.status, 0) << fit.err;
    std::vector<std::string> lines = SplitLines(fit.out);
    double sum = 0;
    bool inTaps = false;
    for (const std::string& line : lines) {
        if (inTaps) sum += std::strtod(line.c_str(), nullptr);
        if (line == "taps") inTaps = true;
    }
    ASSERT_TRUE(inTaps);
    EXPECT_EQ(pts[0].pfir, std::abs(sum));

    // Twice the zoom: new point 2i is old point i.
    BatchRun z = RunBatchTool(ws.path(), "response --xstretch 2 --channel A");
    ASSERT_EQ(z.status, 0) << z.err;
    std::vector<Point> zoomed = ParseResponse(z.out);
    ASSERT_EQ(zoomed.size(), 256u);
    for (int i = 1; i < 128; ++i) {
        EXPECT_EQ(zoomed[2 * i].cic, pts[i].cic) << i;
        EXPECT_EQ(zoomed[2 * i].pfir, pts[i].pfir) << i;
    }
}

TEST(BatchResponse, RejectsBadOptions) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    for (const char* args : {"response --xstretch 3", "response --xstretch 8192", "response --xstretch 0",
                             "response --xstretch x", "response --channel E", "response --channel", "response extra"}) {
        BatchRun r = RunBatchTool(ws.path(), args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << args;
    }
    // In SplitIQ channel B runs as part of A: its radio button is disabled.
    SetLabValue(ws, "ModeOfInput", "1");
    EXPECT_EQ(RunBatchTool(ws.path(), "response --channel B").status, 1);
    EXPECT_EQ(RunBatchTool(ws.path(), "response --channel C").status, 0);
}

TEST(BatchTestFilter, WritesARampWithItsApplCopy) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    SetLabValue(ws, "IndexFilter", "0");
    SetLabValue(ws, "NumTapsFilter", "6");
    BatchRun r = RunBatchTool(ws.path(), "testfilter FILTERS/ramp.taps");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadFileText(ws / "FILTERS" / "ramp.taps"), " 1\n 2\n 3\n 3\n 2\n 1\n");
    EXPECT_EQ(ReadFileText(ws / "Appl" / "ramp.taps"),
              " 1.000000\n 2.000000\n 3.000000\n 3.000000\n 2.000000\n 1.000000\n");
}

TEST(BatchTestFilter, WritesAChirpPairAndPrintsItsSums) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    SetLabValue(ws, "IndexFilter", "3");
    SetLabValue(ws, "NumTapsFilter", "32");
    BatchRun r = RunBatchTool(ws.path(), "testfilter FILTERS/xxsweep.taps --channel C");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto I = ReadLines(ws / "FILTERS" / "_Isweep.taps");
    const auto Q = ReadLines(ws / "FILTERS" / "_Qsweep.taps");
    ASSERT_TRUE(I && Q);
    ASSERT_EQ(I->size(), 32u);
    EXPECT_EQ((*I)[0], " 15000");
    EXPECT_EQ((*Q)[0], " 0");
    long sumI = 0, sumQ = 0;
    for (const std::string& l : *I) sumI += std::strtol(l.c_str(), nullptr, 10);
    for (const std::string& l : *Q) sumQ += std::strtol(l.c_str(), nullptr, 10);
    std::vector<std::string> out = SplitLines(r.out);
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0], StrPrintf("I %.3f", static_cast<double>(sumI)));
    EXPECT_EQ(out[1], StrPrintf("Q %.3f", static_cast<double>(sumQ)));
    EXPECT_EQ(out[2].rfind("II ", 0), 0u);
    EXPECT_EQ(out[3].rfind("QQ ", 0), 0u);
}

TEST(BatchTestFilter, RefusedOrUnwritableSetsReportAndExit) {
    TempDir ws;
    CopyExampleWorkspace(ws.path());
    SetLabValue(ws, "IndexFilter", "4");
    SetLabValue(ws, "NumTapsFilter", "1");
    BatchRun r = RunBatchTool(ws.path(), "testfilter FILTERS/xxsweep.taps");
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
    EXPECT_FALSE(std::filesystem::exists(ws / "FILTERS" / "_Isweep.taps"));

    // A chirp pair that cannot be written: an error, and no sums as if it had been.
    SetLabValue(ws, "NumTapsFilter", "16");
    r = RunBatchTool(ws.path(), "testfilter NOFOLDER/xxsweep.taps");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("_Isweep.taps"), std::string::npos) << r.err;

    // A ramp whose Appl folder is missing: the copy cannot be written.
    SetLabValue(ws, "IndexFilter", "2");
    SetLabValue(ws, "NumTapsFilter", "4");
    std::filesystem::remove_all(ws / "Appl");
    r = RunBatchTool(ws.path(), "testfilter FILTERS/ramp.taps");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Appl/ramp.taps"), std::string::npos) << r.err;

    EXPECT_EQ(RunBatchTool(ws.path(), "testfilter").status, 1);
}

}  // namespace
}  // namespace gc
