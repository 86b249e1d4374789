#include "chip/table_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/param_table.h"
#include "core/text_io.h"
#include "test_util.h"

namespace gc {
namespace {

using test::ReadFileText;
using test::TempDir;
using test::WriteFileText;

// Gives every value of the section its own value, chosen so that signed,
// unsigned, 32-bit and float fields all hold something a wrong format or a
// wrong field would not reproduce.
void FillDistinct(RegisterImage& m, std::span<const RegisterParam> list) {
    for (size_t i = 0; i < list.size(); ++i) {
        const RegisterParam& e = list[i];
        for (int k = 0; k < e.values(); ++k) {
            const long n = static_cast<long>(i) * 4 + k + 1;
            switch (e.type) {
                case ParamType::UInt16:
                    ParamSetInteger(m, e, k, 40000 + n);  // above the int16 range
                    break;
                case ParamType::Int16:
                    ParamSetInteger(m, e, k, -n);
                    break;
                case ParamType::Int:
                    ParamSetInteger(m, e, k, -100000 * n - 7);
                    break;
                case ParamType::Float:
                    ParamSetFloat(m, e, k, -12.5 + 0.25 * static_cast<double>(n));
                    break;
                case ParamType::String:
                    break;
            }
        }
    }
}

void ExpectSectionsEqual(const RegisterImage& a, const RegisterImage& b, std::span<const RegisterParam> list) {
    for (size_t i = 0; i < list.size(); ++i) {
        const RegisterParam& e = list[i];
        for (int k = 0; k < e.values(); ++k)
            EXPECT_EQ(ParamGetNumber(a, e, k), ParamGetNumber(b, e, k)) << "entry " << i << " " << e.name << " " << k;
    }
}

TEST(TableFile, WriteThenReadRestoresEveryWorkField) {
    auto a = std::make_unique<Session>();
    FillDistinct(a->workImage, TableParams());
    TempDir dir;
    ASSERT_TRUE(WriteTableFile(a->workImage, dir / "exper.tbl"));
    const std::string text = ReadFileText(dir / "exper.tbl");
    EXPECT_EQ(SplitLines(text).size(), TableParams().size());

    auto b = std::make_unique<Session>();
    ASSERT_TRUE(ReadTableFile(b->workImage, dir / "exper.tbl"));
    ExpectSectionsEqual(a->workImage, b->workImage, TableParams());
    // The tool image is not the reader's business.
    EXPECT_EQ(b->toolImage.chip_rev, -1);
    EXPECT_EQ(b->toolImage.pfir[2].coef_ofsc, 0);

    // The same file with CR LF line ends reads the same.
    std::string crlf;
    for (const std::string& line : SplitLines(text)) crlf += line + "\r\n";
    WriteFileText(dir / "crlf.tbl", crlf);
    auto c = std::make_unique<Session>();
    ASSERT_TRUE(ReadTableFile(c->workImage, dir / "crlf.tbl"));
    ExpectSectionsEqual(a->workImage, c->workImage, TableParams());
}

TEST(TableFile, LineLayouts) {
    auto m = std::make_unique<Session>();
    m->workImage.ck_loss_status = -1;
    m->workImage.en_ck_loss = 65535;
    m->workImage.gen_timer = 12;
    m->workImage.fck = 100.0f;
    for (int c = 0; c < kChannels; ++c) {
        m->workImage.pfir[c].coef_ofsc = static_cast<uint16_t>(c * 100);
        m->workImage.pfir[c].gain_half = static_cast<int16_t>(-c);
        m->workImage.gain[c] = 1.5f * static_cast<float>(c);
        m->workImage.sumtap[c] = -70000 * c;
    }
    m->workImage.pfir[3].coef_ofsc = 65535;
    const std::string t = FormatTableFile(m->workImage);
    auto has = [&](const std::string& line) { return t.find("\n" + line + "\n") != std::string::npos; };
    EXPECT_EQ(t.rfind("ck_loss_status         -1\n", 0), 0u);
    EXPECT_TRUE(has("en_ck_loss             65535"));
    EXPECT_TRUE(has("gen_timer              12"));
    EXPECT_TRUE(has("fck                    100.000000"));
    EXPECT_TRUE(has("coef_ofsc                0       100     200     65535   "));
    EXPECT_TRUE(has("gain_half                0       -1      -2      -3      "));
    EXPECT_TRUE(has("gain                     0.000000    1.500000    3.000000    4.500000    "));
    EXPECT_TRUE(t.ends_with("\nsumtap                   0       -70000  -140000 -210000 \n"));
    EXPECT_TRUE(has("chip_rev               -1"));
    EXPECT_EQ(t.find("pwr_mtr_on"), std::string::npos);
}

// Reads a table made of the given lines into m.
bool ReadText(Session& m, const std::string& text) {
    TempDir dir;
    WriteFileText(dir / "t.tbl", text);
    return ReadTableFile(m.workImage, dir / "t.tbl");
}

TEST(TableFile, ScalarValuesHexDecimalAndLow16Bits) {
    auto m = std::make_unique<Session>();
    m->workImage.tout_res = 99;
    ASSERT_TRUE(ReadText(*m,
                         "rin_rate               0x1F\n"
                         "tout_rate 0X10\n"
                         "routf_tdm              017\n"
                         "ck_loss_status         -1\n"
                         "en_ck_loss             -1\n"
                         "tinf_tdm               70000\n"
                         "tout_cmplx             words\n"
                         "tout_res\n"
                         "fck                    122.88\n"));
    EXPECT_EQ(m->workImage.rin_rate, 31);
    EXPECT_EQ(m->workImage.tout_rate, 16);
    EXPECT_EQ(m->workImage.routf_tdm, 17);  // decimal, not octal
    EXPECT_EQ(static_cast<uint16_t>(m->workImage.ck_loss_status), 0xFFFF);
    EXPECT_EQ(m->workImage.en_ck_loss, 0xFFFF);
    EXPECT_EQ(m->workImage.tinf_tdm, 70000 & 0xFFFF);
    EXPECT_EQ(m->workImage.tout_cmplx, 0);  // no number: 0
    EXPECT_EQ(m->workImage.tout_res, 0);
    EXPECT_FLOAT_EQ(m->workImage.fck, 122.88f);
}

TEST(TableFile, ArrayValuesAreDecimalOnly) {
    auto m = std::make_unique<Session>();
    for (int c = 0; c < kChannels; ++c) {
        m->workImage.pfir[c].coef_ofsc = 9;
        m->workImage.pfir[c].coef_modc = 9;
        m->workImage.fir_dec[c] = 9;
        m->workImage.sumtap[c] = 9;
    }
    ASSERT_TRUE(ReadText(*m,
                         "coef_ofsc                0x1     5       6       7\n"
                         "coef_modc\t1\t2\n"
                         "fir_dec                  -1 70000 3 4 5\n"
                         "sumtap                   -2147483648 2147483647 0x10 1\n"));
    // "0x1" reads as 0 followed by text that ends the four values.
    EXPECT_EQ(m->workImage.pfir[0].coef_ofsc, 0);
    EXPECT_EQ(m->workImage.pfir[1].coef_ofsc, 9);
    EXPECT_EQ(m->workImage.pfir[3].coef_ofsc, 9);
    // Fewer than four numbers: the rest keep their values.
    EXPECT_EQ(m->workImage.pfir[0].coef_modc, 1);
    EXPECT_EQ(m->workImage.pfir[1].coef_modc, 2);
    EXPECT_EQ(m->workImage.pfir[2].coef_modc, 9);
    EXPECT_EQ(m->workImage.fir_dec[0], 0xFFFF);
    EXPECT_EQ(m->workImage.fir_dec[1], 70000 & 0xFFFF);
    EXPECT_EQ(m->workImage.fir_dec[3], 4);
    EXPECT_EQ(m->workImage.sumtap[0], INT32_MIN);
    EXPECT_EQ(m->workImage.sumtap[1], INT32_MAX);
    EXPECT_EQ(m->workImage.sumtap[2], 0);
    EXPECT_EQ(m->workImage.sumtap[3], 9);
}

TEST(TableFile, LinesMatchWholeNamesOnly) {
    auto m = std::make_unique<Session>();
    for (int c = 0; c < kChannels; ++c) {
        m->workImage.cic[c].phase = 55;
        m->workImage.pfir[c].acc_dly = 66;
    }
    m->workImage.gen_timer = 77;
    m->workImage.rin_cmplx = 3;
    ASSERT_TRUE(ReadText(*m,
                         "phase_sync               1       2       3       4\n"
                         "acc_dly0                 1       1       1       1\n"
                         "gen_timer_test         5\n"
                         "rin_cmplxx             8\n"
                         " rin_cmplx             8\n"
                         "rin_cmplx\t4\n"
                         "rin_cmplx              6\n"));
    for (int c = 0; c < kChannels; ++c) {
        EXPECT_EQ(m->workImage.cic[c].phase_sync, c + 1);
        EXPECT_EQ(m->workImage.cic[c].phase, 55);
        EXPECT_EQ(m->workImage.pfir[c].acc_dly0, 1);
        EXPECT_EQ(m->workImage.pfir[c].acc_dly, 66);
    }
    EXPECT_EQ(m->workImage.gen_timer_test, 5);
    EXPECT_EQ(m->workImage.gen_timer, 77);
    EXPECT_EQ(m->workImage.rin_cmplx, 6);  // the last line of an entry wins
}

TEST(TableFile, FloatsThatTheImageCannotHoldAreNoNumbers) {
    auto m = std::make_unique<Session>();
    for (int c = 0; c < kChannels; ++c) m->workImage.freq[c] = 7.0f;
    m->workImage.fck = 5.0f;
    ASSERT_TRUE(ReadText(*m,
                         "fck                    nan\n"
                         "freq                     1.5 inf 2.5 3.5\n"));
    EXPECT_EQ(m->workImage.fck, 0.0f);
    EXPECT_EQ(m->workImage.freq[0], 1.5f);
    EXPECT_EQ(m->workImage.freq[1], 7.0f);
    EXPECT_EQ(m->workImage.freq[3], 7.0f);
    ASSERT_TRUE(ReadText(*m, "fck                    1e39\n"));
    EXPECT_EQ(m->workImage.fck, 0.0f);
}

TEST(TableFile, UnreadableFilesChangeNothing) {
    auto m = std::make_unique<Session>();
    m->workImage.rin_rate = 4;
    TempDir dir;
    EXPECT_FALSE(ReadTableFile(m->workImage, dir / "missing.tbl"));
    EXPECT_FALSE(ReadTableFile(m->workImage, dir.path()));
    EXPECT_FALSE(ReadToolTableFile(m->toolImage, dir / "missing.tbl"));
    EXPECT_EQ(m->workImage.rin_rate, 4);
    EXPECT_EQ(m->toolImage.chip_rev, -1);
    // Not text: the pieces between NULs or of UTF-16 would be taken as values.
    for (const std::string bytes : {std::string("rin_rate 9\n\0x\n", 13), std::string("r\0i\0n\0_\0r\0a\0", 12)}) {
        WriteFileText(dir / "odd.tbl", bytes);
        EXPECT_FALSE(ReadTableFile(m->workImage, dir / "odd.tbl"));
        EXPECT_FALSE(ReadToolTableFile(m->toolImage, dir / "odd.tbl"));
    }
    EXPECT_EQ(m->workImage.rin_rate, 4);
    // An empty file is read, and changes nothing either.
    WriteFileText(dir / "empty.tbl", "");
    EXPECT_TRUE(ReadTableFile(m->workImage, dir / "empty.tbl"));
    EXPECT_EQ(m->workImage.rin_rate, 4);
    // A table that cannot be created leaves no file behind.
    EXPECT_FALSE(WriteTableFile(m->workImage, dir / "no" / "such" / "exper.tbl"));
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST(ToolTableFile, RoundTripThroughTheToolFormat) {
    auto a = std::make_unique<Session>();
    FillDistinct(a->toolImage, ToolTableParams());
    TempDir dir;
    ASSERT_TRUE(WriteToolTableFile(a->toolImage, dir / "workcmd.tbl"));
    EXPECT_EQ(SplitLines(ReadFileText(dir / "workcmd.tbl")).size(), ToolTableParams().size());
    auto b = std::make_unique<Session>();
    ASSERT_TRUE(ReadToolTableFile(b->toolImage, dir / "workcmd.tbl"));
    ExpectSectionsEqual(a->toolImage, b->toolImage, ToolTableParams());
    // The work image, including its own chip_rev, is untouched.
    EXPECT_EQ(b->workImage.chip_rev, -1);
    EXPECT_NE(b->toolImage.chip_rev, -1);
    EXPECT_EQ(b->workImage.pfir[0].coef_ofsc, 0);
}

TEST(ToolTableFile, LineKIsComparedWithItsOwnEntryOnly) {
    auto src = std::make_unique<Session>();
    FillDistinct(src->toolImage, ToolTableParams());
    std::vector<std::string> lines = SplitLines(FormatToolTable(src->toolImage));
    ASSERT_EQ(lines.size(), 250u);
    ASSERT_EQ(lines[2].rfind("pwr_dwn_fir_A ", 0), 0u);
    ASSERT_EQ(lines[3].rfind("pwr_dwn_fir_B ", 0), 0u);
    lines[2] = "something else         5";
    // The right name one line too late belongs to no entry.
    lines[5] = "pwr_dwn_fir_A          9";
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    // Anything past the 250th line is not read.
    text += "ck_loss_status         1234\n";

    TempDir dir;
    WriteFileText(dir / "workcmd.tbl", text);
    auto m = std::make_unique<Session>();
    m->toolImage.pwr_dwn_fir_A = 3;
    m->toolImage.pwr_dwn_fir_D = 4;  // entry 288, line 5
    ASSERT_TRUE(ReadToolTableFile(m->toolImage, dir / "workcmd.tbl"));
    EXPECT_EQ(m->toolImage.pwr_dwn_fir_A, 3);
    EXPECT_EQ(m->toolImage.pwr_dwn_fir_D, 4);
    EXPECT_EQ(m->toolImage.pwr_dwn_fir_B, src->toolImage.pwr_dwn_fir_B);
    EXPECT_EQ(m->toolImage.ck_loss_status, src->toolImage.ck_loss_status);
    EXPECT_EQ(m->toolImage.sumtap[3], src->toolImage.sumtap[3]);
}

TEST(ToolTableFile, ShortTableFillsOnlyItsLines) {
    auto m = std::make_unique<Session>();
    m->toolImage.en_ck_loss = 8;
    const std::string text =
        "ck_loss_status         -2\n"
        "\n"
        "pwr_dwn_fir_A          1\n";
    TempDir dir;
    WriteFileText(dir / "t.tbl", text);
    ASSERT_TRUE(ReadToolTableFile(m->toolImage, dir / "t.tbl"));
    EXPECT_EQ(m->toolImage.ck_loss_status, -2);
    EXPECT_EQ(m->toolImage.en_ck_loss, 8);  // the empty line is its line
    EXPECT_EQ(m->toolImage.pwr_dwn_fir_A, 1);
    EXPECT_EQ(m->workImage.ck_loss_status, 0);
}

}  // namespace
}  // namespace gc
