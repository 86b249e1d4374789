// gc5016-batch fit and response say on stderr when the CIC's gain is no
// longer compensated by its shift; the output itself stays as it was.
#include <gtest/gtest.h>

#include <string>

#include "core/lab_file.h"
#include "test_util.h"

namespace gc {
namespace {

using test::BatchRun;
using test::RunBatchTool;
using test::TempDir;

TEST(CicGainBatch, FitAndResponseWarnOnceTheShiftIsUsedUp) {
    const struct {
        int cicDec;
        const char* factor;  // nullptr: no warning
    } cases[] = {{16, nullptr}, {200, nullptr}, {300, "2.210"}, {1024, "1024.000"}};
    for (const auto& c : cases) {
        TempDir ws;
        test::CopyExampleWorkspace(ws.path());
        Settings lab;
        lab.CicDec[0] = lab.CicM0Dec[0] = c.cicDec;
        lab.NameOfPFIR[0] = "cdma.taps";
        ASSERT_TRUE(WriteLab(lab, ws.path() / "CONFIGS/loud.lab"));
        for (const char* command : {"fit", "response"}) {
            const BatchRun r = RunBatchTool(ws.path(), std::string("--lab CONFIGS/loud.lab ") + command);
            ASSERT_EQ(r.status, 0) << command << " " << r.err;
            EXPECT_FALSE(r.out.empty());
            if (!c.factor) {
                EXPECT_EQ(r.err.find("clip"), std::string::npos) << c.cicDec << " " << command << ": " << r.err;
                continue;
            }
            EXPECT_NE(r.err.find(std::string("CIC of channel A: output ") + c.factor + " times louder"),
                      std::string::npos)
                << c.cicDec << " " << command << ": " << r.err;
        }
    }
}

}  // namespace
}  // namespace gc
