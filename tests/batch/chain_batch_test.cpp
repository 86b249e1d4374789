// gc5016-batch chain and splits on a copy of the example workspace at CIC 8,
// PFIR 2 (100 MHz, output rate 6.25 MHz).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/text_io.h"
#include "test_util.h"

namespace gc {
namespace {

using test::BatchRun;
using test::ReadFileText;
using test::RunBatchTool;
using test::TempDir;
using test::WriteFileText;

constexpr char kLab[] = "--lab CONFIGS/cic8_pfir2.lab ";

double Value(const std::string& out, const std::string& key) {
    for (const std::string& line : SplitLines(out))
        if (line.rfind(key + " ", 0) == 0) return std::strtod(line.c_str() + key.size() + 1, nullptr);
    ADD_FAILURE() << "no " << key << " in " << out;
    return 0;
}

TEST(ChainBatch, SummaryAndCsvDescribeTheSameFold) {
    TempDir ws;
    test::CopyExampleWorkspace(ws.path());
    const BatchRun sum = RunBatchTool(ws.path(), std::string(kLab) + "chain --channel A");
    ASSERT_EQ(sum.status, 0) << sum.err;
    std::vector<std::string> keys;
    for (const std::string& line : SplitLines(sum.out)) keys.push_back(line.substr(0, line.find(' ')));
    EXPECT_EQ(keys,
              (std::vector<std::string>{"input_rate_hz", "cic_decimation", "pfir_decimation", "output_rate_hz",
                                        "passband_hz", "passband_ripple_db", "alias_rejection_db", "worst_alias_hz",
                                        "worst_alias_source_hz", "cic_alias_rejection_db", "stopband_hz",
                                        "stopband_atten_db", "worst_stop_hz", "request_ripple_db", "request_atten_db",
                                        "ripple_margin_db", "alias_margin_db", "stopband_margin_db", "request_met"}));
    EXPECT_EQ(Value(sum.out, "output_rate_hz"), 6250000.0);
    EXPECT_EQ(Value(sum.out, "passband_hz"), 2500000.0);
    // The strongest image of a passband frequency g lands there from g + k Fout.
    const double g = Value(sum.out, "worst_alias_hz"), src = Value(sum.out, "worst_alias_source_hz");
    EXPECT_NEAR(std::remainder(src - g, 6250000.0), 0.0, 1e-3);

    // P on the grid (every 15625 Hz at 201 points): the CSV's worst row is the figure.
    const BatchRun csv = RunBatchTool(ws.path(), std::string(kLab) + "chain --csv --points 201 --pass 2500000");
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::vector<std::string> rows = SplitLines(csv.out);
    ASSERT_EQ(rows.size(), 202u);
    EXPECT_EQ(rows[0], "freq_hz,wanted_db,strongest_image_db,strongest_cic_image_db");
    EXPECT_EQ(rows.back().substr(0, rows.back().find(',')), "3125000.000");
    double worst = 1e300, cicWorst = 1e300;
    for (size_t i = 1; i < rows.size(); ++i) {
        double f = 0, w = 0, im = 0, ci = 0;
        ASSERT_EQ(std::sscanf(rows[i].c_str(), "%lf,%lf,%lf,%lf", &f, &w, &im, &ci), 4) << rows[i];
        if (f > 2500000) break;
        worst = std::min(worst, w - im);
        cicWorst = std::min(cicWorst, w - ci);
    }
    // Searched between the points, the figure is the grid's worst or below.
    const BatchRun at201 = RunBatchTool(ws.path(), std::string(kLab) + "chain --points 201 --pass 2500000");
    EXPECT_LE(Value(at201.out, "alias_rejection_db"), worst + 2e-3);
    EXPECT_GT(Value(at201.out, "alias_rejection_db"), worst - 1);
    EXPECT_LE(Value(sum.out, "alias_rejection_db"), cicWorst + 2e-3);
}

TEST(ChainBatch, RefusesWhatItCannotFold) {
    TempDir ws;
    test::CopyExampleWorkspace(ws.path());
    struct Case {
        const char* args;
        int status;
    };
    for (const Case& c :
         {Case{"chain --pass 3125001", 4}, Case{"chain --pass 0", 1}, Case{"chain --pass x", 1},
          Case{"chain --points 1", 1}, Case{"chain --points 65537", 1}, Case{"chain extra", 1},
          Case{"chain --stop 2000000", 4}, Case{"chain --ripple 0", 1}, Case{"splits --pass 3125000", 4},
          Case{"splits --atten 0", 1}, Case{"splits --stop 2000000", 4}, Case{"plan --pass 3125000 x", 4},
          Case{"plan", 1}, Case{"plan FILTERS/x", 1}}) {
        const BatchRun r = RunBatchTool(ws.path(), std::string(kLab) + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << c.args;
        EXPECT_FALSE(r.err.empty()) << c.args;
    }
}

TEST(SplitsBatch, ListsEverySplitOfTheTotalWithItsDesign) {
    TempDir ws;
    test::CopyExampleWorkspace(ws.path());
    const BatchRun r = RunBatchTool(ws.path(), std::string(kLab) + "splits --channel A");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> rows = SplitLines(r.out);
    ASSERT_EQ(rows.size(), 5u) << r.out;  // total 16: PFIR decimation 1, 2, 4 and 8
    EXPECT_EQ(rows[0],
              "pfir_decimation cic_decimation ntaps cic_alias_rejection_db alias_rejection_db passband_ripple_db "
              "stopband_atten_db ripple_margin_db alias_margin_db stopband_margin_db request_met");
    std::vector<int> firDecs;
    double cicRejAt2 = 0;
    for (size_t i = 1; i < rows.size(); ++i) {
        int d = 0, c = 0, n = 0;
        double cicRej = 0, rej = 0, ripple = 0;
        ASSERT_EQ(std::sscanf(rows[i].c_str(), "%d %d %d %lf %lf %lf", &d, &c, &n, &cicRej, &rej, &ripple), 6)
            << rows[i];
        firDecs.push_back(d);
        EXPECT_EQ(c * d, 16);
        EXPECT_GT(n, 0);
        // No PFIR beats the CIC's own limit.
        EXPECT_LE(rej, cicRej + 1e-3) << rows[i];
        if (d == 2) cicRejAt2 = cicRej;
    }
    std::sort(firDecs.begin(), firDecs.end());
    EXPECT_EQ(firDecs, (std::vector<int>{1, 2, 4, 8}));
    // The row of the current split folds as chain does on its design.
    const BatchRun chain = RunBatchTool(ws.path(), std::string(kLab) + "chain --channel A");
    EXPECT_NEAR(cicRejAt2, Value(chain.out, "cic_alias_rejection_db"), 1e-3);
}

// The example at 80 MHz, CIC 80, PFIR 2: a 200 kHz channel at total decimation 160.
void WriteTaskLab(const std::filesystem::path& ws, bool withRequest) {
    std::string out;
    for (const std::string& line : SplitLines(ReadFileText(ws / "CONFIGS/cic8_pfir2.lab"))) {
        const std::string key = line.substr(0, line.find(' '));
        if (key == "SystemClock")
            out += "SystemClock            80000000\n";
        else if (key == "CicDec" || key == "CicM0Dec")
            out += key + " 80 80 80 80\n";
        else if (withRequest || key.rfind("Req", 0) != 0)
            out += line + "\n";
    }
    WriteFileText(ws / "CONFIGS/task.lab", out);
}

TEST(PlanBatch, TakesTheBestSplitAndWritesOnlyWhenTheRequestIsMet) {
    struct Case {
        const char* args;
        int status;
        bool met, written;
    };
    const Case cases[] = {
        {"plan --pass 100000 --stop 150000 t200 --save CONFIGS/t200.lab", 0, true, true},
        {"plan --pass 100000 --stop 110000 --atten 120 t200 --save CONFIGS/t200.lab", 6, false, false},
        {"plan --pass 100000 --stop 110000 --atten 120 t200 --save CONFIGS/t200.lab --force", 6, false, true},
        // A save refused takes the taps file it would have gone with.
        {"plan --pass 100000 --stop 150000 t200 --save CONFIGS/", 4, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        TempDir ws;
        test::CopyExampleWorkspace(ws.path());
        WriteTaskLab(ws.path(), true);
        const BatchRun r = RunBatchTool(ws.path(), std::string("--lab CONFIGS/task.lab ") + c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(Value(r.out, "request_met"), c.met ? 1 : 0);
        EXPECT_EQ(std::filesystem::exists(ws / "FILTERS/t200.taps"), c.written);
        EXPECT_EQ(std::filesystem::exists(ws / "CONFIGS/t200.lab"), c.written);
        if (!c.written) continue;
        // The saved configuration runs the row printed, and chain on it agrees.
        const BatchRun chain = RunBatchTool(ws.path(), "--lab CONFIGS/t200.lab chain");
        ASSERT_EQ(chain.status, 0) << chain.err;
        for (const char* key : {"cic_decimation", "pfir_decimation", "passband_hz", "stopband_hz", "stopband_atten_db",
                                "alias_rejection_db", "request_met"})
            EXPECT_NEAR(Value(chain.out, key), Value(r.out, key), 2e-3) << key;
        EXPECT_EQ(Value(chain.out, "cic_decimation") * Value(chain.out, "pfir_decimation"), 160);
        EXPECT_EQ(Value(chain.out, "stopband_hz"), c.met ? 150000 : 110000);
        if (c.met) EXPECT_GE(Value(chain.out, "stopband_atten_db"), 80);
    }
}

TEST(PlanBatch, ALabFileWithoutTheRequestReadsWithItsDefaults) {
    TempDir ws;
    test::CopyExampleWorkspace(ws.path());
    WriteTaskLab(ws.path(), false);
    const BatchRun r = RunBatchTool(ws.path(), "--lab CONFIGS/task.lab chain");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Value(r.out, "passband_hz"), 200000);
    EXPECT_EQ(Value(r.out, "stopband_hz"), 300000);
    EXPECT_EQ(Value(r.out, "request_atten_db"), 80);
}

}  // namespace
}  // namespace gc
