#include "chip/compare_report.h"

#include <gtest/gtest.h>

#include <memory>

#include "chip/table_file.h"
#include "core/text_io.h"
#include "test_util.h"

namespace gc {
namespace {

using test::ReadFileText;
using test::TempDir;

constexpr const char* kHeader = "Error                 our         gc\n";

// Two images that agree: the tool image starts as a copy of the work image.
std::unique_ptr<Session> Agreeing() {
    auto m = std::make_unique<Session>();
    m->workImage.fck = 100.0f;
    m->workImage.pfir[1].coef_ofsc = 7;
    m->workImage.cic[2].cic_shift = 5;
    m->workImage.sumtap[0] = 123456;
    m->toolImage = m->workImage;
    return m;
}

TEST(CompareReport, EqualImagesGiveTheHeaderOnly) {
    auto m = Agreeing();
    TempDir dir;
    CompareResult r = WriteCompareReport(m->workImage, m->toolImage, dir / "ErrTbl");
    EXPECT_TRUE(r.written);
    EXPECT_EQ(r.differences, 0);
    EXPECT_EQ(ReadFileText(dir / "ErrTbl"), kHeader);
}

TEST(CompareReport, FourValueFieldCountsEachChannelOnOneLine) {
    auto m = Agreeing();
    m->toolImage.cic[1].cic_shift = 9;
    m->toolImage.cic[3].cic_shift = 11;
    int n = -1;
    const std::string text = FormatCompareReport(m->workImage, m->toolImage, n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(text, std::string(kHeader) +
                        "cic_shift              0      0      5      0         0      9      5      11    \n");
}

TEST(CompareReport, FloatsAndRenamedFieldsUseTheToolNames) {
    auto m = Agreeing();
    m->toolImage.fck = 99.5f;
    m->toolImage.freq[2] = -10.0f;
    m->toolImage.pfir[0].pwr_integ = 1;
    m->toolImage.pfir[0].pwr_sync = 2;
    m->toolImage.cic[0].cic_rrcv = 3;
    m->toolImage.cic[0].xmt_5stg = 4;
    int n = -1;
    const std::string text = FormatCompareReport(m->workImage, m->toolImage, n);
    EXPECT_EQ(n, 6);
    EXPECT_EQ(text, std::string(kHeader) +
                        "pwr_mtr_integ          0      0      0      0         1      0      0      0     \n"
                        "pwr_mtr_sync           0      0      0      0         2      0      0      0     \n"
                        "cic_rcv                0      0      0      0         3      0      0      0     \n"
                        "cic_xmt_5stg           0      0      0      0         4      0      0      0     \n"
                        "fck                    100.000000  99.500000\n"
                        "freq                   0.000000 0.000000 0.000000 0.000000    0.000000 0.000000 "
                        "-10.000000 0.000000\n");
}

TEST(CompareReport, SignedAndUnsignedPrintingByBlock) {
    auto m = Agreeing();
    RegisterImage& t = m->toolImage;
    t.en_ck_loss = 0xFFFF;          // global field: signed
    t.pfir[0].coef_ofsc = 0xFFFE;   // PFIR block: signed
    t.pfir[0].tx_pat_gen = 0x8000;  // channel A's word, single, signed
    t.cic[0].cic_fl_status = -1;    // CIC block: unsigned, whatever the field
    t.sum_selI = -3;                // summer fields as declared
    t.rcv_noise_A = 0xFFFF;         //
    t.toutf_xmt_CD = -1;            //
    t.fir_dec[0] = 0xFFFF;          // arrays: unsigned
    t.sumtap[3] = -2000000;         // 32-bit
    int n = -1;
    const std::string text = FormatCompareReport(m->workImage, m->toolImage, n);
    EXPECT_EQ(n, 9);
    auto has = [&](const std::string& line) { return text.find("\n" + line + "\n") != std::string::npos; };
    EXPECT_TRUE(has("en_ck_loss             0         -1      "));
    EXPECT_TRUE(has("coef_ofsc              0      7      0      0         -2     7      0      0     "));
    EXPECT_TRUE(has("tx_pat_gen             0         -32768  "));
    EXPECT_TRUE(has("cic_fl_status          0      0      0      0         65535  0      0      0     "));
    EXPECT_TRUE(has("sum_selI               0         -3      "));
    EXPECT_TRUE(has("rcv_noise_A            0         65535   "));
    EXPECT_TRUE(has("toutf_xmt_CD           0         -1      "));
    EXPECT_TRUE(has("fir_dec                0      0      0      0         65535  0      0      0     "));
    EXPECT_TRUE(has("sumtap                 123456 0      0      0         123456 0      0      -2000000"));
}

TEST(CompareReport, ToolOnlyFieldsAndChipRevision) {
    auto m = Agreeing();
    // Not compared: the tool's AGC settings, sync mode and overall gain.
    m->toolImage.agc_mode[1] = 3;
    m->toolImage.agc_tc[0] = 3;
    m->toolImage.agc_cf[2] = 3;
    m->toolImage.sync_mode = 3;
    m->toolImage.overall_gain[0] = 3.0f;
    int n = -1;
    EXPECT_EQ(FormatCompareReport(m->workImage, m->toolImage, n), kHeader);
    EXPECT_EQ(n, 0);
    // Compared, though our own table file does not list them.
    m->toolImage.pfir[2].pwr_mtr_on = 1;
    m->toolImage.splitiqCD = 1;
    // Each image has its own chip revision.
    m->toolImage.chip_rev = 2;
    const std::string text = FormatCompareReport(m->workImage, m->toolImage, n);
    EXPECT_EQ(n, 3);
    EXPECT_NE(text.find("\nchip_rev               -1        2       \n"), std::string::npos);
    EXPECT_NE(text.find("\npwr_mtr_on             0      0      0      0         0      0      1      0     \n"),
              std::string::npos);
    EXPECT_NE(text.find("\nsplitiqCD              0         1       \n"), std::string::npos);
}

TEST(CompareReport, GoldenReportAgainstAToolTable) {
    // The work image of a fresh model against a tool table kept in the test data.
    auto m = std::make_unique<Session>();
    const std::filesystem::path data = GC5016_TEST_DATA;
    ASSERT_TRUE(ReadToolTableFile(m->toolImage, data / "sample_tool.tbl"));
    TempDir dir;
    CompareResult r = WriteCompareReport(m->workImage, m->toolImage, dir / "ErrTbl");
    ASSERT_TRUE(r.written);
    const std::string text = ReadFileText(dir / "ErrTbl");
    EXPECT_EQ(text, ReadFileText(data / "sample_report.ErrTbl"));
    EXPECT_EQ(r.differences, 14);
}

TEST(CompareReport, UnwritableReportStillCounts) {
    auto m = Agreeing();
    m->toolImage.page = 1;
    TempDir dir;
    CompareResult r = WriteCompareReport(m->workImage, m->toolImage, dir / "no" / "ErrTbl");
    EXPECT_FALSE(r.written);
    EXPECT_EQ(r.differences, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

}  // namespace
}  // namespace gc
