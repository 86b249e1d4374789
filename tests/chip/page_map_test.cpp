#include "chip/page_map.h"
#include "session/session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace gc {
namespace {

struct Triple {
    unsigned page, reg, value;
    bool operator==(const Triple&) const = default;
};

std::vector<Triple> Triples(const Session& m) {
    std::vector<Triple> out;
    for (int i = 0; i < m.registerWriteList.count; ++i) {
        RegisterWrite w = m.registerWriteList.writes[static_cast<size_t>(i)];
        out.push_back({WritePage(w), WriteRegister(w), WriteValue(w)});
    }
    return out;
}

// Value of the (only) triple for page/reg; nullopt when it is not in the list.
std::optional<unsigned> ValueAt(const Session& m, unsigned page, unsigned reg) {
    std::optional<unsigned> found;
    for (const Triple& t : Triples(m)) {
        if (t.page != page || t.reg != reg) continue;
        EXPECT_FALSE(found.has_value()) << "page " << page << " reg " << reg << " written twice";
        found = t.value;
    }
    return found;
}

std::unique_ptr<Session> NewModel() { return std::make_unique<Session>(); }

TEST(RegisterWriteList, AllZeroImageGivesTheFixedOrderOf1328Triples) {
    auto m = NewModel();
    m->workImage.chip_rev = 0;
    BuildRegisterWriteList(m->settings, *m);
    std::vector<Triple> got = Triples(*m);
    ASSERT_EQ(got.size(), 1328u);
    EXPECT_EQ(got.front(), (Triple{0, 0, 0xFFF0}));
    EXPECT_EQ(got[1], (Triple{0, 1, 0}));
    EXPECT_EQ(got[2], (Triple{0, 2, 0}));
    EXPECT_EQ(got[3], (Triple{0, 3, 0}));
    EXPECT_EQ(got.back(), (Triple{0xA1, 21, 0}));

    // The page/register order, channel by channel, then the CIC pages and the
    // two global pages.
    std::vector<std::pair<unsigned, unsigned>> order = {{0, 0}, {0, 1}, {0, 2}, {0, 3}};
    for (unsigned c = 0; c < 4; ++c) {
        for (unsigned p = 0; p < 18; ++p)
            for (unsigned r = 16; r < 32; ++r) order.push_back({32 * c + p, r});
        for (unsigned r = 16; r <= 26; ++r) order.push_back({32 * c + 18, r});
        for (unsigned r = 16; r <= 31; ++r)
            if (r != 25) order.push_back({32 * c + 19, r});
        for (unsigned r = 16; r <= 21; ++r) order.push_back({32 * c + 20, r});
    }
    for (unsigned c = 0; c < 4; ++c)
        for (unsigned r = 0; r < 8; ++r) order.push_back({c < 2 ? 0x80u : 0xA0u, 16 + 8 * (c % 2) + r});
    for (unsigned r = 16; r <= 21; ++r) order.push_back({0x81, r});
    for (unsigned r = 16; r <= 21; ++r) order.push_back({0xA1, r});
    ASSERT_EQ(order.size(), got.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].page, order[i].first) << "triple " << i;
        EXPECT_EQ(got[i].reg, order[i].second) << "triple " << i;
    }
    for (size_t i = 1; i < got.size(); ++i) EXPECT_EQ(got[i].value, 0u) << "triple " << i;

    // A rebuild starts from scratch.
    BuildRegisterWriteList(m->settings, *m);
    EXPECT_EQ(m->registerWriteList.count, 1328);
}

TEST(RegisterWriteList, PowerMeterAndSparePageRegistersAreFixed) {
    auto m = NewModel();
    for (auto& p : m->workImage.pfir) {
        p.pwr_meter_lsb = -1;
        p.pwr_meter_msb = 0x1234;
        p.gain_read = -1;
        p.pwr_mtr_on = 1;
        p.rcv_cksum = -1;
        p.fir_test = -1;
    }
    m->workImage.sum_selI = -1;
    m->workImage.toutf_rnd_AB = 1;
    m->workImage.en_AO = 1;
    m->workImage.sumin_clr = 1;
    BuildRegisterWriteList(m->settings, *m);
    EXPECT_EQ(m->workImage.sumin_clr, 0);
    for (unsigned c = 0; c < 4; ++c) {
        const unsigned p = 32 * c + 19;
        EXPECT_FALSE(ValueAt(*m, p, 25).has_value());
        EXPECT_EQ(ValueAt(*m, p, 26), 0u);
        EXPECT_EQ(ValueAt(*m, p, 27), 0u);
        EXPECT_EQ(ValueAt(*m, p, 31), 0u);
        EXPECT_EQ(ValueAt(*m, 32 * c + 20, 20), 0u);  // fir_test is not written
    }
    EXPECT_EQ(ValueAt(*m, 0x81, 16), 0u);
    EXPECT_EQ(ValueAt(*m, 0xA1, 20), 0u);
    EXPECT_EQ(ValueAt(*m, 0, 3), 0u);
}

TEST(RegisterWriteList, CicControlIsCutTo15Bits) {
    auto m = NewModel();
    m->workImage.cic[0].cic_bypass = 1;
    m->workImage.cic[0].cic_fl_status = 1;
    m->workImage.cic[3].cic_bypass = 3;  // runs into bit 15, which is cut
    m->workImage.cic[3].cic_shift = 0x22;
    BuildRegisterWriteList(m->settings, *m);
    EXPECT_EQ(ValueAt(*m, 0x80, 16), 0x4000u);
    EXPECT_EQ(ValueAt(*m, 0xA0, 24), 0x4022u);
}

TEST(RegisterWriteList, FieldsLandAtTheirBitPositions) {
    auto m = NewModel();
    RegisterImage& img = m->workImage;
    img.soB_sync = 4;
    img.one_shot = 1;
    img.pfir[1].fso_sel = 1;
    img.pfir[1].tinf_bits = 5;
    img.pfir[1].sck_div = 3;
    img.pfir[0].tx_pat_gen = 1;
    img.pfir[0].routf_iqmux = 1;
    img.pfir[2].sck_sync = 2;
    img.pfir[2].fir_sync = 2;
    img.pfir[3].fir_cmplx = 1;
    img.pfir[3].fir_rnd20 = 1;
    img.pfir[3].fir_shift = 5;
    img.pfir[0].beagen_rbypass = 0xFFFF;  // -1 as the derivation stores it
    img.pfir[0].coef_ofsc = 0x1F;         // too wide: runs into coef_modc
    img.cic[1].freq_lsb = 0x6667;
    img.cic[1].freq_mid = 0x6666;
    img.cic[1].freq_msb = 0xE666;
    img.cic[1].dith_test = 1;
    img.cic[2].ncic = 1;
    img.cic[2].cic_sync = 2;
    img.cic[0].mix_isin = 1;
    img.cic[0].mix_icos = 1;
    img.cic[0].mix_inv_qsin = 1;
    img.rcv_noise_C = 9;
    img.rinf_sel_A = img.rinf_sel_B = img.rinf_sel_C = img.rinf_sel_D = 4;
    img.gen_timer = 0x1234;
    img.toutf_hold_sync = 7;
    img.toutf_bo = 1;
    BuildRegisterWriteList(m->settings, *m);

    EXPECT_EQ(ValueAt(*m, 0, 1), 0x000Cu);
    EXPECT_EQ(ValueAt(*m, 0x33, 16), 0x1005u);
    EXPECT_EQ(ValueAt(*m, 0x33, 17), 0x0300u);
    EXPECT_EQ(ValueAt(*m, 0x13, 30), 0x2100u);
    EXPECT_EQ(ValueAt(*m, 0x54, 21), 0x2002u);
    EXPECT_EQ(ValueAt(*m, 0x74, 18), 0x00C5u);
    EXPECT_EQ(ValueAt(*m, 0x12, 26), 0xFFFFu);
    EXPECT_EQ(ValueAt(*m, 0x12, 16), 0x001Fu);
    // Channel B's NCO words: registers 26..28 of page 0x80.
    EXPECT_EQ(ValueAt(*m, 0x80, 26), 0x6667u);
    EXPECT_EQ(ValueAt(*m, 0x80, 27), 0x6666u);
    EXPECT_EQ(ValueAt(*m, 0x80, 28), 0xE666u);
    EXPECT_EQ(ValueAt(*m, 0x80, 30), 0x8000u);
    EXPECT_EQ(ValueAt(*m, 0xA0, 23), 0x2001u);
    EXPECT_EQ(ValueAt(*m, 0x80, 21), 0x4810u);
    EXPECT_EQ(ValueAt(*m, 0x81, 20), 9u);
    EXPECT_EQ(ValueAt(*m, 0xA1, 16), 0x4444u);
    EXPECT_EQ(ValueAt(*m, 0xA1, 17), 0x1234u);
    EXPECT_EQ(ValueAt(*m, 0xA1, 19), 0x1007u);
}

TEST(RegisterWriteList, CoefficientPagesAndManualScaling) {
    auto m = NewModel();
    m->coefRam[0][0][0] = 1001;
    m->coefRam[0][0][1] = -1001;
    m->coefRam[0][0][2] = -3;
    m->coefRam[2][15][15] = 0x1234;
    m->settings.scaleFir = 0.5f;

    BuildRegisterWriteList(m->settings, *m);
    EXPECT_EQ(ValueAt(*m, 0, 16), 1001u);
    EXPECT_EQ(ValueAt(*m, 0, 17), 0xFC17u);
    EXPECT_EQ(ValueAt(*m, 79, 31), 0x1234u);

    m->ManualFirShift = 2;  // "ЛЧМ" checked
    BuildRegisterWriteList(m->settings, *m);
    EXPECT_EQ(ValueAt(*m, 0, 16), 500u);
    EXPECT_EQ(ValueAt(*m, 0, 17), 0xFE0Cu);
    EXPECT_EQ(ValueAt(*m, 0, 18), 0xFFFFu);  // -1.5 truncates toward zero
    EXPECT_EQ(ValueAt(*m, 79, 31), 0x091Au);

    // A scale from a damaged lab file gives defined words, never a trap.
    m->settings.scaleFir = 1e30f;
    BuildRegisterWriteList(m->settings, *m);
    EXPECT_EQ(m->registerWriteList.count, 1328);
    m->settings.scaleFir = std::numeric_limits<float>::quiet_NaN();
    BuildRegisterWriteList(m->settings, *m);
    EXPECT_EQ(ValueAt(*m, 0, 16), 0u);
    m->settings.scaleFir = 3.0f;  // wraps like any 16-bit store
    BuildRegisterWriteList(m->settings, *m);
    EXPECT_EQ(ValueAt(*m, 0, 16), 3003u);
    EXPECT_EQ(ValueAt(*m, 79, 31), (0x1234u * 3) & 0xFFFF);
}

TEST(RegisterWriteList, PageTablesGoToPages16And17) {
    auto m = NewModel();
    for (unsigned j = 0; j < 16; ++j) {
        m->page16Table[1][j] = static_cast<uint16_t>(j + 100);
        m->page17Table[3][j] = static_cast<uint16_t>(0x6000 + j);
    }
    BuildRegisterWriteList(m->settings, *m);
    for (unsigned j = 0; j < 16; ++j) {
        EXPECT_EQ(ValueAt(*m, 48, 16 + j), j + 100);
        EXPECT_EQ(ValueAt(*m, 113, 16 + j), 0x6000 + j);
    }
}

PageTable Row(std::initializer_list<int> words) {
    PageTable t{};
    size_t k = 0;
    for (int w : words) t[k++] = static_cast<uint16_t>(w);
    return t;
}

PageTable UnsymmetricRow() {
    PageTable t{};
    for (int k = 0; k < 16; ++k) t[static_cast<size_t>(k)] = static_cast<uint16_t>(0x6000 + 0x200 * k + 0x11 * k);
    return t;
}

TEST(Page16Tables, FollowTheDecimationAndPairing) {
    auto m = NewModel();
    Settings& s = m->settings;
    s.ModeOfInput = 0;
    s.FirDec[0] = 1;
    s.FirDec[1] = 2;
    s.FirDec[2] = 8;
    s.FirDec[3] = 3;
    FillPage16Tables(m->settings, *m);
    EXPECT_EQ(m->page16Table[0], Row({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(m->page16Table[1], Row({2, 3, 0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(m->page16Table[2], Row({14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1}));
    EXPECT_EQ(m->page16Table[3], Row({4, 5, 2, 3, 0, 1, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));

    s.ModeOfInput = 1;
    s.FirDec[0] = 3;
    s.FirDec[1] = 5;
    s.FirDec[2] = 2;
    s.FirDec[3] = 7;
    FillPage16Tables(m->settings, *m);
    const PageTable d3 = Row({2, 1, 0, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    const PageTable d2 = Row({1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
    EXPECT_EQ(m->page16Table[0], d3);
    EXPECT_EQ(m->page16Table[1], d3);
    EXPECT_EQ(m->page16Table[2], d2);
    EXPECT_EQ(m->page16Table[3], d2);

    s.ModeOfInput = 2;
    s.FirDec[0] = 8;
    FillPage16Tables(m->settings, *m);
    EXPECT_EQ(m->page16Table[1], Row({7, 6, 5, 4, 3, 2, 1, 0, 8, 9, 10, 11, 12, 13, 14, 15}));
}

TEST(Page16Tables, DecimationOutsideOneToEightKeepsTheTable) {
    auto m = NewModel();
    const PageTable marker = Row({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
    for (auto& t : m->page16Table) t = marker;
    m->settings.FirDec[0] = 0;
    m->settings.FirDec[1] = 9;
    m->settings.FirDec[2] = -5;
    m->settings.FirDec[3] = 1;
    FillPage16Tables(m->settings, *m);
    EXPECT_EQ(m->page16Table[0], marker);
    EXPECT_EQ(m->page16Table[1], marker);
    EXPECT_EQ(m->page16Table[2], marker);
    EXPECT_NE(m->page16Table[3], marker);
}

TEST(Page17Tables, RowsChosenByDecimationSymmetryAndBlocks) {
    auto m = NewModel();
    Settings& s = m->settings;
    for (int c = 0; c < 4; ++c) {
        s.FirDec[c] = 1;
        m->coefSetInfo[static_cast<size_t>(c)].symtype = 2;
        m->coefSetInfo[static_cast<size_t>(c)].nblocks = 4;
    }
    FillPage17Tables(m->settings, *m);
    EXPECT_EQ(m->page17Table[0], Row({0x0100, 0x0311, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C66, 0x0E77, 0x1000, 0x1211,
                                      0x1422, 0x1633, 0x1844, 0x1A55, 0x1C66, 0x1E77}));
    s.ModeOfInput = 1;
    FillPage17Tables(m->settings, *m);
    EXPECT_EQ(m->page17Table[0], Page17Bank[14]);
    EXPECT_EQ(m->page17Table[0][0], 0x0100);
    EXPECT_EQ(m->page17Table[0][5], 0x0A11);  // 0x200*5 + 0x11*(5 mod 4)

    // Unsymmetric sets take the same row whatever the decimation and blocks.
    for (int mode = 0; mode < 3; ++mode)
        for (int d = 1; d <= 8; ++d)
            for (int b : {0, 1, 7, 16, 500}) {
                const int row = Page17BankRow(mode, d, 0, b);
                ASSERT_GE(row, 0);
                EXPECT_EQ(Page17Bank[static_cast<size_t>(row)], UnsymmetricRow());
            }
    s.ModeOfInput = 0;
    for (int c = 0; c < 4; ++c) {
        s.FirDec[c] = c + 3;
        m->coefSetInfo[static_cast<size_t>(c)].symtype = 0;
        m->coefSetInfo[static_cast<size_t>(c)].nblocks = static_cast<uint16_t>(3 * c + 1);
    }
    FillPage17Tables(m->settings, *m);
    for (const PageTable& t : m->page17Table) EXPECT_EQ(t, UnsymmetricRow());

    // Paired modes take the first channel's decimation and fit.
    s.ModeOfInput = 2;
    s.FirDec[0] = 2;
    m->coefSetInfo[0] = {};
    m->coefSetInfo[0].symtype = 1;
    m->coefSetInfo[0].nblocks = 6;
    s.FirDec[1] = 8;  // ignored: B follows A
    FillPage17Tables(m->settings, *m);
    EXPECT_EQ(m->page17Table[0], Page17Bank[31]);
    EXPECT_EQ(m->page17Table[1], Page17Bank[31]);
}

TEST(Page17Tables, RowFormulasAtTheEdgesOfTheirRows) {
    // Full rate, decimation 2, odd symmetry: rows 20..23 for up to 9 blocks.
    EXPECT_EQ(Page17BankRow(0, 2, 1, 2), 20);
    EXPECT_EQ(Page17BankRow(0, 2, 1, 9), 23);
    EXPECT_EQ(Page17BankRow(0, 2, 1, 10), -1);
    EXPECT_EQ(Page17BankRow(0, 2, 2, 9), 27);
    EXPECT_EQ(Page17BankRow(0, 2, 2, 10), -1);
    EXPECT_EQ(Page17BankRow(0, 1, 1, 200), 0);
    EXPECT_EQ(Page17BankRow(0, 1, 2, 8), 8);
    EXPECT_EQ(Page17BankRow(0, 1, 2, 9), -1);
    EXPECT_EQ(Page17BankRow(1, 1, 2, 8), 18);
    EXPECT_EQ(Page17BankRow(1, 1, 2, 9), -1);
    EXPECT_EQ(Page17BankRow(0, 5, 1, 9), 76);
    EXPECT_EQ(Page17BankRow(0, 5, 2, 9), 77);
    EXPECT_EQ(Page17BankRow(0, 5, 2, 10), -1);
    EXPECT_EQ(Page17BankRow(1, 3, 1, 15), 55);
    EXPECT_EQ(Page17BankRow(1, 3, 2, 15), 60);
    EXPECT_EQ(Page17BankRow(2, 8, 2, 23), 108);
    EXPECT_EQ(Page17BankRow(2, 8, 2, 24), -1);
    EXPECT_EQ(Page17BankRow(1, 8, 0, 0), 109);
    EXPECT_EQ(Page17BankRow(0, 0, 0, 0), -1);
    EXPECT_EQ(Page17BankRow(0, 9, 1, 9), -1);
    EXPECT_EQ(Page17BankRow(0, 2, 3, 4), -1);
    EXPECT_EQ(Page17BankRow(3, 2, 1, 4), -1);
    EXPECT_EQ(Page17BankRow(0, 2, 1, -1), -1);

    // Every defined row lies in the bank.
    for (int mode = 0; mode < 3; ++mode)
        for (int d = 0; d <= 9; ++d)
            for (int s = 0; s <= 3; ++s)
                for (int b = 0; b <= 70000; b += (b < 40 ? 1 : 997)) EXPECT_LT(Page17BankRow(mode, d, s, b), 110);
}

TEST(Page17Tables, UndefinedChoicesKeepTheTable) {
    auto m = NewModel();
    const PageTable marker = Row({7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7});
    for (auto& t : m->page17Table) t = marker;
    m->settings.FirDec[0] = 0;
    m->settings.FirDec[1] = 9;
    m->settings.FirDec[2] = 4;
    m->coefSetInfo[2].symtype = 3;
    m->settings.FirDec[3] = 2;
    m->coefSetInfo[3].symtype = 2;
    m->coefSetInfo[3].nblocks = 65535;
    FillPage17Tables(m->settings, *m);
    for (const PageTable& t : m->page17Table) EXPECT_EQ(t, marker);
}

TEST(Page17Bank, FormulaRowsAndListedRows) {
    const PageTable s0 = UnsymmetricRow();
    for (int r : {9, 19, 28, 45, 50, 61, 66, 75, 78, 85, 88, 93, 96, 101, 104, 109}) EXPECT_EQ(Page17Bank[r], s0) << r;
    for (int k = 0; k < 16; ++k) {
        const size_t K = static_cast<size_t>(k);
        EXPECT_EQ(Page17Bank[0][K], 0x200 * k + 0x11 * k + (k < 2 ? 0x2100 : 0));
        EXPECT_EQ(Page17Bank[10][K], 0x200 * k + 0x11 * k + (k == 0 ? 0x2100 : 0));
        for (int b = 1; b <= 8; ++b) {
            EXPECT_EQ(Page17Bank[static_cast<size_t>(b)][K], 0x200 * k + 0x11 * (k % (2 * b)) + (k < 2 ? 0x100 : 0));
            EXPECT_EQ(Page17Bank[static_cast<size_t>(10 + b)][K], 0x200 * k + 0x11 * (k % b) + (k == 0 ? 0x100 : 0));
        }
    }
    EXPECT_EQ(Page17Bank[20],
              Row({10034, 8451, 784, 1313, 2116, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}));
    EXPECT_EQ(Page17Bank[44],
              Row({799, 270, 1057, 1584, 2115, 2642, 3173, 3700, 4231, 4758, 5289, 5816, 6347, 6874, 7405, 7932}));
    EXPECT_EQ(Page17Bank[76],
              Row({24832, 25361, 4392, 4921, 3398, 3927, 2404, 2933, 1410, 1939, 5290, 5819, 6348, 6877, 7406, 7935}));
    EXPECT_EQ(Page17Bank[103],
              Row({7438, 7967, 6444, 6973, 5450, 5979, 4456, 4985, 3462, 3991, 2468, 2997, 1474, 2003, 480, 1009}));
    EXPECT_EQ(Page17Bank[108],
              Row({3967, 3438, 2909, 2380, 1851, 1322, 793, 264, 4231, 4758, 5285, 5812, 6339, 6866, 7393, 7920}));

    // A position-weighted sum over all 110 rows, worked out from the row
    // listing: a single wrong word anywhere in the bank changes it.
    uint64_t sum = 0;
    for (size_t r = 0; r < Page17Bank.size(); ++r)
        for (size_t k = 0; k < 16; ++k) sum += (r * 16 + k + 1) * Page17Bank[r][k];
    EXPECT_EQ(sum, 13927864933u);
}

TEST(PageMismatches, CountWordsThatDifferFromTheTool) {
    auto m = NewModel();
    FillPage16Tables(m->settings, *m);
    for (int c = 0; c < 4; ++c)
        for (size_t j = 0; j < 16; ++j) {
            ToolPage16Table(*m, c)[j] = static_cast<int16_t>(m->page16Table[static_cast<size_t>(c)][j]);
            ToolPage17Table(*m, c)[j] = static_cast<int16_t>(m->page17Table[static_cast<size_t>(c)][j]);
        }
    EXPECT_EQ(CountPage16Mismatches(m->settings, *m), 0);
    EXPECT_EQ(CountPage17Mismatches(m->settings, *m), 0);

    ToolPage16Table(*m, 1)[3] = 99;
    ToolPage17Table(*m, 3)[0] = -1;
    ToolPage17Table(*m, 3)[15] = 1;
    EXPECT_EQ(CountPage16Mismatches(m->settings, *m), 1);
    EXPECT_EQ(CountPage17Mismatches(m->settings, *m), 2);
    m->page17Table[3][0] = 0xFFFF;  // compared as 16-bit words
    EXPECT_EQ(CountPage17Mismatches(m->settings, *m), 1);

    // Everything differs: 64 at most.
    for (int c = 0; c < 4; ++c)
        for (size_t j = 0; j < 16; ++j) ToolPage16Table(*m, c)[j] = 1000;
    EXPECT_EQ(CountPage16Mismatches(m->settings, *m), 64);

    // In the paired modes B and D are compared with the table of A and C.
    m->settings.ModeOfInput = 1;
    for (int c = 0; c < 4; ++c)
        for (size_t j = 0; j < 16; ++j) ToolPage16Table(*m, c)[j] = static_cast<int16_t>(m->page16Table[0][j]);
    m->page16Table[1][5] = 4242;
    m->page16Table[3][6] = 4242;
    EXPECT_EQ(CountPage16Mismatches(m->settings, *m), 0);
    m->page16Table[2][0] = 4242;
    EXPECT_EQ(CountPage16Mismatches(m->settings, *m), 2);
}

}  // namespace
}  // namespace gc
