// The chip-tool stand-in run on command scripts of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "chip/page_map.h"
#include "chip/program_file.h"
#include "core/text_io.h"
#include "test_util.h"

namespace gc {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

int RunStandIn(const TempDir& dir, const std::string& args) {
    const std::string cmd = std::string("cd '") + dir.path().string() + "' && '" + GC5016_BIN_DIR + "/cmd5016' " +
                            args + " > out.txt 2> err.txt";
    int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string Script(const std::string& prints, int splitiq, int rinRate, const int firDec[4]) {
    std::string s = prints + "\nfck 80.00     #chip clock rate in MHz\nsoB_sync 4    #set fir_sync \n";
    s += StrPrintf("splitiq %d    #set splitiq \nroutf_tdm 0    #set tdm \n", splitiq);
    for (int c = 0; c < 4; ++c) {
        s += StrPrintf("\nchannel %d     #tells the program that settings for channel %d follow\n", c, c);
        s += "bits 16     #data size is 16 bits\npins 16     #16 pins of the data ports are connected\n";
        s += StrPrintf("mix_rcv_sel 0 #mixer input selection set to channel %d\n", c);
        s += StrPrintf("freq %.2f    #sets tuning frequency MHz\n", -1.25 * (c + 1));
        s += StrPrintf("cic_dec 4     #cic decimates \nfir_dec %d     #fir decimates \n", firDec[c]);
        s += StrPrintf("fir_cmplx 1   #fir outputs complex data\nrin_rate %d   #fir outputs complex data\n", rinRate);
        s += "gain 1.0      #set gain \noverall_gain 3.0      #set overall gain \n";
        s += "\nfir_coef taps.taps #points to a file with the list of coefficient values to load into the fir\n";
    }
    return s;
}

TEST(ChipToolStandIn, AnswersAScriptWithGc101AndTable) {
    TempDir dir;
    std::string taps;
    for (int k = 0; k < 40; ++k) taps += StrPrintf(" %d\n", k < 20 ? 100 * (k + 1) : 100 * (40 - k));
    WriteFileText(dir / "taps.taps", taps);
    const int firDec[4] = {2, 7, 3, 8};
    WriteFileText(dir / "workcmd", Script("print table\nprint gc101\nprint analysis", 1, 1, firDec));
    ASSERT_EQ(RunStandIn(dir, "workcmd"), 0) << ReadFileText(dir / "err.txt");
    EXPECT_EQ(ReadFileText(dir / "err.txt"), "");

    // Pages 16 of the pairs follow their first channel's decimation (SplitIQ).
    Gc101List list;
    const int n = ReadGc101File(dir / "workcmd.gc101", list);
    ASSERT_GT(n, 1328);
    auto m = std::make_unique<Session>();
    TakeToolTables(*m, list, n);
    for (int c = 0; c < 4; ++c) {
        const int d = c < 2 ? 2 : 3;
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(ToolPage16Table(*m, c)[static_cast<size_t>(k)], k < d ? d - 1 - k : k) << c << " " << k;
    }
    // And its program converts back to the 1328 writes, page selects taken out.
    Gc101ToRegisterWrites(*m, list, n);
    EXPECT_EQ(m->registerWriteList.count, 1328 - 1);  // page 0 register 2 is itself a select

    const std::vector<std::string> table = *ReadLines(dir / "workcmd.tbl");
    ASSERT_EQ(table.size(), 250u);
    EXPECT_EQ(table[0].substr(0, 15), "ck_loss_status ");
    auto has = [&](const std::string& prefix) {
        return std::any_of(table.begin(), table.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    };
    EXPECT_TRUE(has("fck                    80.000000"));
    EXPECT_TRUE(has("splitiq                1"));
    EXPECT_TRUE(has("fir_dec                  2       2       3       3"));
}

TEST(ChipToolStandIn, WritesOnlyWhatTheScriptAsksFor) {
    TempDir dir;
    const int firDec[4] = {1, 1, 1, 1};
    WriteFileText(dir / "workcmd", Script("print gc101", 0, 1, firDec));
    EXPECT_EQ(RunStandIn(dir, "workcmd"), 0);
    EXPECT_TRUE(fs::exists(dir / "workcmd.gc101"));
    EXPECT_FALSE(fs::exists(dir / "workcmd.tbl"));
    // The coefficient file is missing: reported, and the registers are still written.
    EXPECT_NE(ReadFileText(dir / "err.txt").find("taps.taps"), std::string::npos);
}

TEST(ChipToolStandIn, BadScriptsAreReportedNotFatal) {
    TempDir dir;
    EXPECT_EQ(RunStandIn(dir, ""), 1);
    EXPECT_EQ(RunStandIn(dir, "workcmd"), 1);
    EXPECT_FALSE(fs::exists(dir / "workcmd.gc101"));

    WriteFileText(dir / "workcmd",
                  "print gc101\nprint table\nfreq 1.0\nchannel 9\ncic_dec 4\nchannel 1\ncic_dec x\nfck nan\n"
                  "fir_dec 99999999999\nbogus\n\x01\x02\xff\n");
    EXPECT_EQ(RunStandIn(dir, "workcmd"), 0);
    const std::string err = ReadFileText(dir / "err.txt");
    EXPECT_NE(err.find("line 3"), std::string::npos);
    EXPECT_NE(err.find("line 4"), std::string::npos);
    EXPECT_NE(err.find("line 7"), std::string::npos);
    EXPECT_NE(err.find("line 8"), std::string::npos);
    Gc101List list;
    EXPECT_GT(ReadGc101File(dir / "workcmd.gc101", list), 0);
    EXPECT_EQ(ReadLines(dir / "workcmd.tbl")->size(), 250u);
}

}  // namespace
}  // namespace gc
