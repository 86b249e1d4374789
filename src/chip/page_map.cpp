#include "chip/page_map.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "chip/derivation.h"
#include "core/param_table.h"
#include "core/text_io.h"

namespace gc {

namespace {

template <class Rec>
struct FieldAt {
    uint16_t Rec::*field = nullptr;
    int shift = 0;
};

// One register: its number and its fields; an empty field list writes 0.
template <class Rec>
struct RegisterLayout {
    int reg;
    std::array<FieldAt<Rec>, 10> fields;
};

template <class Rec>
uint16_t PackRegister(const Rec& rec, const RegisterLayout<Rec>& layout) {
    uint32_t v = 0;
    for (const FieldAt<Rec>& f : layout.fields)
        if (f.field) v |= static_cast<uint32_t>(rec.*(f.field)) << f.shift;
    return static_cast<uint16_t>(v);
}

using P = PfirChannelRegs;
using C = CicChannelRegs;
using G = RegisterImage;

// Page 32c+18: the PFIR address generators.
const RegisterLayout<P> kPage18[] = {
    {16, {{{&P::coef_ofsc, 0}, {&P::coef_modc, 4}, {&P::coef_repc, 8}, {&P::coef_sym, 12}, {&P::coef_zerofr, 13}}}},
    {17, {{{&P::agen_recr, 0}, {&P::agen_depd, 4}, {&P::agen_modd, 8}, {&P::agen_togen, 12}}}},
    {18, {{{&P::fragen_soff, 0}, {&P::fragen_srecr, 4}, {&P::fragen_sdepd, 8}, {&P::fragen_stepn, 12}}}},
    {19, {{{&P::fwagen_soff, 0}, {&P::fwagen_srecr, 4}, {&P::fwagen_sdepd, 8}, {&P::fwagen_wrecrl, 12}}}},
    {20, {{{&P::bragen_soff, 0}, {&P::bragen_srecr, 4}, {&P::bragen_sdepd, 8}, {&P::bragen_stepn, 12}}}},
    {21, {{{&P::bwagen_soff, 0}, {&P::bwagen_srecr, 4}, {&P::bwagen_sdepd, 8}, {&P::bwagen_wrecrl, 12}}}},
    {22, {{{&P::beragen_soff, 0}, {&P::beragen_srecr, 4}, {&P::beragen_sdepd, 8}, {&P::beragen_stepn, 12}}}},
    {23, {{{&P::bewagen_soff, 0}, {&P::bewagen_srecr, 4}, {&P::bewagen_sdepd, 8}, {&P::bewagen_wrecrl, 12}}}},
    {24, {{{&P::fwa_strobe, 0}}}},
    {25, {{{&P::bwa_strobe, 0}}}},
    {26, {{{&P::beagen_rbypass, 0}}}},
};

// Page 32c+19: interface, gain, AGC, power meter and output. Register 25 is
// never written; 26 and 27 are the read-only power meter, 31 is unused.
const RegisterLayout<P> kPage19[] = {
    {16,
     {{{&P::tinf_bits, 0},
       {&P::tinf_pins, 3},
       {&P::tinf_iqmux, 6},
       {&P::tinf_pariq, 7},
       {&P::tinf_src, 8},
       {&P::tinf_xmt, 11},
       {&P::fso_sel, 12}}}},
    {17, {{{&P::tinf_first, 0}, {&P::tinf_second, 4}, {&P::sck_div, 8}, {&P::tinf_fso_dly, 12}}}},
    {18, {{{&P::tinf_fs_cnt, 0}, {&P::tinf_nfs, 12}}}},
    {19, {{{&P::gain_lsb, 0}}}},
    {20,
     {{{&P::gain_msb, 0},
       {&P::agc_freeze, 3},
       {&P::gain_rnd, 4},
       {&P::agc_hold, 10},
       {&P::agc_gain_out, 11},
       {&P::agc_zmag, 12}}}},
    {21, {{{&P::agc_min, 0}}}},
    {22, {{{&P::agc_max, 0}}}},
    {23, {{{&P::agc_zero_cnt, 0}, {&P::agc_sat_cnt, 4}, {&P::agc_thresh, 8}}}},
    {24, {{{&P::agc_Dblw, 0}, {&P::agc_Dabv, 4}, {&P::agc_Dzro, 8}, {&P::agc_Dsat, 12}}}},
    {26, {}},
    {27, {}},
    {28, {{{&P::pwr_meter_trig, 0}}}},
    {29, {{{&P::pwr_integ, 0}}}},
    {30,
     {{{&P::routf_pins, 0},
       {&P::routf_bits, 3},
       {&P::routf_iqmux, 8},
       {&P::routf_pwrdown, 9},
       {&P::routf_ctdm, 11},
       {&P::pwr_test, 12},
       {&P::tx_pat_gen, 13}}}},
    {31, {}},
};

// Page 32c+20: swap buffer, accumulator, FIR control and sync.
const RegisterLayout<P> kPage20[] = {
    {16,
     {{{&P::swap_wa_cnt, 0},
       {&P::swap_ra_cnt, 4},
       {&P::swap_xmt, 8},
       {&P::swap_cmplx, 9},
       {&P::fir_fb, 10},
       {&P::swap_fb, 11},
       {&P::swap_rcv_tdly, 12}}}},
    {17, {{{&P::acc_dly, 0}, {&P::acc_cnt, 4}, {&P::acc_dly0, 8}, {&P::acc_bypass, 9}, {&P::acc_enram, 10}}}},
    {18,
     {{{&P::fir_shift, 0},
       {&P::fir_xenq, 3},
       {&P::fir_xeni, 4},
       {&P::fir_half, 5},
       {&P::fir_rnd20, 6},
       {&P::fir_cmplx, 7}}}},
    {19, {{{&P::fir_sync_cnt, 0}}}},
    {20, {{{&P::fir_clk_cnt, 0}, {&P::fir_clk_cnt_en, 8}, {&P::fir_en_sync_cnt, 10}, {&P::cksum_sync_back, 12}}}},
    {21, {{{&P::fir_sync, 0}, {&P::coef_sync, 3}, {&P::gain_sync, 6}, {&P::pwr_sync, 9}, {&P::sck_sync, 12}}}},
};

// A channel's eight CIC, NCO and mixer registers, numbered from 0.
const RegisterLayout<C> kCicRegisters[] = {
    {0,
     {{{&C::cic_shift, 0},
       {&C::cic_rrcv, 6},
       {&C::xmt_5stg, 8},
       {&C::cic_rshift, 9},
       {&C::cic_2x, 10},
       {&C::cic_xmt_d6stg, 11},
       {&C::cic_rcv_cross, 12},
       {&C::cic_rcv_full, 13},
       {&C::cic_bypass, 14}}}},
    {1, {{{&C::phase, 0}}}},
    {2, {{{&C::freq_lsb, 0}}}},
    {3, {{{&C::freq_mid, 0}}}},
    {4, {{{&C::freq_msb, 0}}}},
    {5,
     {{{&C::mix_rcv_sel, 0},
       {&C::mix_rcv_cmplx, 2},
       {&C::mix_inv_qsin, 4},
       {&C::mix_qsin, 5},
       {&C::mix_inv_qcos, 7},
       {&C::mix_qcos, 8},
       {&C::mix_inv_isin, 10},
       {&C::mix_isin, 11},
       {&C::mix_inv_icos, 13},
       {&C::mix_icos, 14}}}},
    {6,
     {{{&C::freq_sync, 0},
       {&C::phase_sync, 3},
       {&C::dith_sync, 5},
       {&C::nco_sync, 9},
       {&C::flush_sync, 12},
       {&C::dith_test, 15}}}},
    {7, {{{&C::ncic, 0}, {&C::cic_sync, 12}}}},
};

// Page 0x81: summer (unused) and receive noise.
const RegisterLayout<G> kPage81[] = {
    {16, {}},
    {17, {}},
    {18, {{{&G::rcv_noise_A, 0}}}},
    {19, {{{&G::rcv_noise_B, 0}}}},
    {20, {{{&G::rcv_noise_C, 0}}}},
    {21, {{{&G::rcv_noise_D, 0}}}},
};

// Page 0xA1: receive interface, timer and transmit output.
const RegisterLayout<G> kPageA1[] = {
    {16, {{{&G::rinf_sel_A, 0}, {&G::rinf_sel_B, 4}, {&G::rinf_sel_C, 8}, {&G::rinf_sel_D, 12}}}},
    {17, {{{&G::gen_timer, 0}}}},
    {18,
     {{{&G::rinf_zpad, 0},
       {&G::rinf_diag, 4},
       {&G::gen_timer_test, 6},
       {&G::gen_timer_sync, 7},
       {&G::cksum_sync_front, 10},
       {&G::rinf_zpad_sync, 13}}}},
    {19, {{{&G::toutf_hold_sync, 0}, {&G::toutf_do, 4}, {&G::toutf_co, 9}, {&G::toutf_bo, 12}}}},
    {20, {}},
    {21, {}},
};

const RegisterLayout<G> kDirect1 = {1, {{{&G::soB_sync, 0}, {&G::one_shot, 3}}}};

// Where the rows of one PFIR decimation lie in Page17Bank: the unsymmetric
// row, the base rows of the odd- and even-symmetric formulas, and the next
// decimation's first row (which ends the even-symmetric rows).
struct Page17Rows {
    int s0, s1, s2, end;
};
constexpr Page17Rows kPage17Rows[2][8] = {
    // full rate
    {{9, 0, 0, 9},
     {28, 19, 23, 28},
     {50, 45, 47, 50},
     {66, 61, 63, 66},
     {78, 75, 76, 78},
     {88, 85, 86, 88},
     {96, 93, 94, 96},
     {104, 101, 102, 104}},
    // channel pairs (SplitIQ, Double rate)
    {{19, 10, 10, 19},
     {45, 28, 36, 45},
     {61, 50, 55, 61},
     {75, 66, 70, 75},
     {85, 78, 81, 85},
     {93, 88, 90, 93},
     {101, 96, 98, 101},
     {109, 104, 106, 109}},
};

bool PairedMode(int mode) { return mode == 1 || mode == 2; }

// The channel whose settings and fit decide channel c's page tables.
int TableSource(int mode, int c) { return PairedMode(mode) ? 2 * (c / 2) : c; }

void Append(RegisterWriteList& list, unsigned page, unsigned reg, unsigned value) {
    if (list.count < kRegisterWriteCapacity)
        list.writes[static_cast<size_t>(list.count++)] = MakeRegisterWrite(page, reg, value);
}

template <class Rec, size_t N>
void AppendPage(RegisterWriteList& list, unsigned page, unsigned regBase, const Rec& rec,
                const RegisterLayout<Rec> (&layout)[N]) {
    for (const RegisterLayout<Rec>& r : layout)
        Append(list, page, regBase + static_cast<unsigned>(r.reg), PackRegister(rec, r));
}

// A coefficient word as written: with "ЛЧМ" checked, scaled and truncated
// toward zero, keeping the low 16 bits of the result.
uint16_t CoefWord(int16_t word, bool scaled, float scale) {
    if (!scaled) return static_cast<uint16_t>(word);
    double v = std::trunc(static_cast<double>(word) * static_cast<double>(scale));
    if (!std::isfinite(v)) return 0;
    // fmod is exact, so this is the two's-complement low word of any finite value.
    double low = std::fmod(v, 65536.0);
    if (low < 0) low += 65536.0;
    return static_cast<uint16_t>(low);
}

int CountMismatches(const std::array<PageTable, kChannels>& ours, int mode,
                    std::span<const int16_t, 16> (*tool)(const ChipState&, int), const ChipState& m) {
    int n = 0;
    for (int c = 0; c < kChannels; ++c) {
        const PageTable& own = ours[static_cast<size_t>(TableSource(mode, c))];
        std::span<const int16_t, 16> theirs = tool(m, c);
        for (size_t j = 0; j < 16; ++j)
            if (own[j] != static_cast<uint16_t>(theirs[j])) ++n;
    }
    return n;
}

}  // namespace

const std::array<PageTable, kPage17BankRows> Page17Bank = {{
    {{0x2100, 0x2311, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C66, 0x0E77, 0x1088, 0x1299, 0x14AA, 0x16BB, 0x18CC, 0x1ADD,
      0x1CEE, 0x1EFF}},  // 0
    {{0x0100, 0x0311, 0x0400, 0x0611, 0x0800, 0x0A11, 0x0C00, 0x0E11, 0x1000, 0x1211, 0x1400, 0x1611, 0x1800, 0x1A11,
      0x1C00, 0x1E11}},  // 1
    {{0x0100, 0x0311, 0x0422, 0x0633, 0x0800, 0x0A11, 0x0C22, 0x0E33, 0x1000, 0x1211, 0x1422, 0x1633, 0x1800, 0x1A11,
      0x1C22, 0x1E33}},  // 2
    {{0x0100, 0x0311, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C00, 0x0E11, 0x1022, 0x1233, 0x1444, 0x1655, 0x1800, 0x1A11,
      0x1C22, 0x1E33}},  // 3
    {{0x0100, 0x0311, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C66, 0x0E77, 0x1000, 0x1211, 0x1422, 0x1633, 0x1844, 0x1A55,
      0x1C66, 0x1E77}},  // 4
    {{0x0100, 0x0311, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C66, 0x0E77, 0x1088, 0x1299, 0x1400, 0x1611, 0x1822, 0x1A33,
      0x1C44, 0x1E55}},  // 5
    {{0x0100, 0x0311, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C66, 0x0E77, 0x1088, 0x1299, 0x14AA, 0x16BB, 0x1800, 0x1A11,
      0x1C22, 0x1E33}},  // 6
    {{0x0100, 0x0311, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C66, 0x0E77, 0x1088, 0x1299, 0x14AA, 0x16BB, 0x18CC, 0x1ADD,
      0x1C00, 0x1E11}},  // 7
    {{0x0100, 0x0311, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C66, 0x0E77, 0x1088, 0x1299, 0x14AA, 0x16BB, 0x18CC, 0x1ADD,
      0x1CEE, 0x1EFF}},  // 8
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},  // 9
    {{0x2100, 0x0211, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C66, 0x0E77, 0x1088, 0x1299, 0x14AA, 0x16BB, 0x18CC, 0x1ADD,
      0x1CEE, 0x1EFF}},  // 10
    {{0x0100, 0x0200, 0x0400, 0x0600, 0x0800, 0x0A00, 0x0C00, 0x0E00, 0x1000, 0x1200, 0x1400, 0x1600, 0x1800, 0x1A00,
      0x1C00, 0x1E00}},  // 11
    {{0x0100, 0x0211, 0x0400, 0x0611, 0x0800, 0x0A11, 0x0C00, 0x0E11, 0x1000, 0x1211, 0x1400, 0x1611, 0x1800, 0x1A11,
      0x1C00, 0x1E11}},  // 12
    {{0x0100, 0x0211, 0x0422, 0x0600, 0x0811, 0x0A22, 0x0C00, 0x0E11, 0x1022, 0x1200, 0x1411, 0x1622, 0x1800, 0x1A11,
      0x1C22, 0x1E00}},  // 13
    {{0x0100, 0x0211, 0x0422, 0x0633, 0x0800, 0x0A11, 0x0C22, 0x0E33, 0x1000, 0x1211, 0x1422, 0x1633, 0x1800, 0x1A11,
      0x1C22, 0x1E33}},  // 14
    {{0x0100, 0x0211, 0x0422, 0x0633, 0x0844, 0x0A00, 0x0C11, 0x0E22, 0x1033, 0x1244, 0x1400, 0x1611, 0x1822, 0x1A33,
      0x1C44, 0x1E00}},  // 15
    {{0x0100, 0x0211, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C00, 0x0E11, 0x1022, 0x1233, 0x1444, 0x1655, 0x1800, 0x1A11,
      0x1C22, 0x1E33}},  // 16
    {{0x0100, 0x0211, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C66, 0x0E00, 0x1011, 0x1222, 0x1433, 0x1644, 0x1855, 0x1A66,
      0x1C00, 0x1E11}},  // 17
    {{0x0100, 0x0211, 0x0422, 0x0633, 0x0844, 0x0A55, 0x0C66, 0x0E77, 0x1000, 0x1211, 0x1422, 0x1633, 0x1844, 0x1A55,
      0x1C66, 0x1E77}},  // 18
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                   // 19
    {{10034, 8451, 784, 1313, 2116, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 20
    {{10034, 10563, 784, 1313, 2118, 2647, 3172, 3701, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},  // 21
    {{10034, 10563, 784, 1313, 2118, 2647, 3172, 3701, 4234, 4763, 5288, 5817, 6348, 6877, 7406, 7935}},  // 22
    {{10034, 10563, 784, 1313, 2118, 2647, 3172, 3701, 4234, 4763, 5288, 5817, 6350, 6879, 7404, 7933}},  // 23
    {{1314, 1843, 256, 785, 2116, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},     // 24
    {{1318, 1847, 260, 789, 2114, 2643, 3168, 3697, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},     // 25
    {{1322, 1851, 264, 793, 2118, 2647, 3172, 3701, 4226, 4755, 5280, 5809, 6348, 6877, 7406, 7935}},     // 26
    {{1326, 1855, 268, 797, 2122, 2651, 3176, 3705, 4230, 4759, 5284, 5813, 6338, 6867, 7392, 7921}},     // 27
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                 // 28
    {{8465, 768, 1058, 1587, 2116, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},  // 29
    {{9505, 784, 1059, 1586, 2116, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},  // 30
    {{9505, 784, 1059, 1586, 2117, 2644, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},  // 31
    {{9505, 784, 1059, 1586, 2117, 2644, 3175, 3702, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},  // 32
    {{9505, 784, 1059, 1586, 2117, 2644, 3175, 3702, 4233, 4760, 5290, 5819, 6348, 6877, 7406, 7935}},  // 33
    {{9505, 784, 1059, 1586, 2117, 2644, 3175, 3702, 4233, 4760, 5291, 5818, 6348, 6877, 7406, 7935}},  // 34
    {{9505, 784, 1059, 1586, 2117, 2644, 3175, 3702, 4233, 4760, 5291, 5818, 6349, 6876, 7406, 7935}},  // 35
    {{9505, 784, 1059, 1586, 2117, 2644, 3175, 3702, 4233, 4760, 5291, 5818, 6349, 6876, 7407, 7934}},  // 36
    {{785, 256, 1058, 1587, 2116, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 37
    {{785, 256, 1059, 1586, 2116, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 38
    {{785, 256, 1059, 1586, 2117, 2644, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 39
    {{785, 256, 1059, 1586, 2117, 2644, 3175, 3702, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 40
    {{785, 256, 1059, 1586, 2117, 2644, 3175, 3702, 4233, 4760, 5290, 5819, 6348, 6877, 7406, 7935}},   // 41
    {{785, 256, 1059, 1586, 2117, 2644, 3175, 3702, 4233, 4760, 5291, 5818, 6348, 6877, 7406, 7935}},   // 42
    {{785, 256, 1059, 1586, 2117, 2644, 3175, 3702, 4233, 4760, 5291, 5818, 6349, 6876, 7406, 7935}},   // 43
    {{799, 270, 1057, 1584, 2115, 2642, 3173, 3700, 4231, 4758, 5289, 5816, 6347, 6874, 7405, 7932}},   // 44
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                   // 45
    {{11092, 8453, 1842, 2371, 784, 1313, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 46
    {{11092, 11621, 1842, 2371, 784, 1313, 3178, 3707, 4232, 4761, 5286, 5815, 6348, 6877, 7406, 7935}},  // 47
    {{2372, 2901, 1314, 1843, 256, 785, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},     // 48
    {{2378, 2907, 1320, 1849, 262, 791, 3172, 3701, 4226, 4755, 5280, 5809, 6348, 6877, 7406, 7935}},     // 49
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                  // 50
    {{8482, 1297, 768, 1587, 2116, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 51
    {{10034, 1313, 784, 1589, 2116, 2643, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},  // 52
    {{10034, 1313, 784, 1589, 2116, 2643, 3176, 3703, 4230, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},  // 53
    {{10034, 1313, 784, 1589, 2116, 2643, 3176, 3703, 4230, 4763, 5290, 5817, 6348, 6877, 7406, 7935}},  // 54
    {{10034, 1313, 784, 1589, 2116, 2643, 3176, 3703, 4230, 4763, 5290, 5817, 6350, 6877, 7404, 7935}},  // 55
    {{1314, 785, 256, 1587, 2116, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},    // 56
    {{1314, 785, 256, 1589, 2116, 2643, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},    // 57
    {{1314, 785, 256, 1589, 2116, 2643, 3176, 3703, 4230, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},    // 58
    {{1314, 785, 256, 1589, 2116, 2643, 3176, 3703, 4230, 4763, 5290, 5817, 6348, 6877, 7406, 7935}},    // 59
    {{1326, 797, 268, 1586, 2113, 2640, 3173, 3700, 4227, 4760, 5287, 5814, 6347, 6874, 7401, 7935}},    // 60
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                   // 61
    {{12150, 8455, 2900, 3429, 1842, 2371, 784, 1313, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 62
    {{12150, 12679, 2900, 3429, 1842, 2371, 784, 1313, 4238, 4767, 5292, 5821, 6346, 6875, 7400, 7929}},  // 63
    {{3430, 3959, 2372, 2901, 1314, 1843, 256, 785, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},     // 64
    {{3438, 3967, 2380, 2909, 1322, 1851, 264, 793, 4230, 4759, 5284, 5813, 6338, 6867, 7392, 7921}},     // 65
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                  // 66
    {{8499, 1826, 1297, 768, 2116, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 67
    {{10563, 1842, 1313, 784, 2119, 2646, 3173, 3700, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},  // 68
    {{10563, 1842, 1313, 784, 2119, 2646, 3173, 3700, 4235, 4762, 5289, 5816, 6348, 6877, 7406, 7935}},  // 69
    {{10563, 1842, 1313, 784, 2119, 2646, 3173, 3700, 4235, 4762, 5289, 5816, 6351, 6878, 7405, 7932}},  // 70
    {{1843, 1314, 785, 256, 2116, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},    // 71
    {{1843, 1314, 785, 256, 2119, 2646, 3173, 3700, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},    // 72
    {{1843, 1314, 785, 256, 2119, 2646, 3173, 3700, 4235, 4762, 5289, 5816, 6348, 6877, 7406, 7935}},    // 73
    {{1855, 1326, 797, 268, 2115, 2642, 3169, 3696, 4231, 4758, 5285, 5812, 6347, 6874, 7401, 7928}},    // 74
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                    // 75
    {{24832, 25361, 4392, 4921, 3398, 3927, 2404, 2933, 1410, 1939, 5290, 5819, 6348, 6877, 7406, 7935}},  // 76
    {{4360, 4889, 3366, 3895, 2372, 2901, 1378, 1907, 384, 913, 5290, 5819, 6348, 6877, 7406, 7935}},      // 77
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                  // 78
    {{8516, 2355, 1826, 1297, 768, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 79
    {{11092, 2371, 1842, 1313, 784, 2649, 3176, 3703, 4230, 4757, 5290, 5819, 6348, 6877, 7406, 7935}},  // 80
    {{11092, 2371, 1842, 1313, 784, 2649, 3176, 3703, 4230, 4757, 5294, 5821, 6348, 6875, 7402, 7935}},  // 81
    {{2372, 1843, 1314, 785, 256, 2645, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},    // 82
    {{2372, 1843, 1314, 785, 256, 2649, 3176, 3703, 4230, 4757, 5290, 5819, 6348, 6877, 7406, 7935}},    // 83
    {{2382, 1853, 1324, 795, 266, 2644, 3171, 3698, 4225, 4752, 5289, 5816, 6343, 6870, 7397, 7935}},    // 84
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                    // 85
    {{24832, 25361, 5418, 5947, 4424, 4953, 3430, 3959, 2436, 2965, 1442, 1971, 6348, 6877, 7406, 7935}},  // 86
    {{5386, 5915, 4392, 4921, 3398, 3927, 2404, 2933, 1410, 1939, 416, 945, 6348, 6877, 7406, 7935}},      // 87
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                  // 88
    {{8533, 2884, 2355, 1826, 1297, 768, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 89
    {{11621, 2900, 2371, 1842, 1313, 784, 3179, 3706, 4233, 4760, 5287, 5814, 6348, 6877, 7406, 7935}},  // 90
    {{2901, 2372, 1843, 1314, 785, 256, 3174, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},    // 91
    {{2907, 2378, 1849, 1320, 791, 262, 3173, 3700, 4227, 4754, 5281, 5808, 6348, 6877, 7406, 7935}},    // 92
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                    // 93
    {{24832, 25361, 6444, 6973, 5450, 5979, 4456, 4985, 3462, 3991, 2468, 2997, 1474, 2003, 7406, 7935}},  // 94
    {{6412, 6941, 5418, 5947, 4424, 4953, 3430, 3959, 2436, 2965, 1442, 1971, 448, 977, 7406, 7935}},      // 95
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                  // 96
    {{8550, 3413, 2884, 2355, 1826, 1297, 768, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 97
    {{12150, 3429, 2900, 2371, 1842, 1313, 784, 3709, 4236, 4763, 5290, 5817, 6344, 6871, 7406, 7935}},  // 98
    {{3430, 2901, 2372, 1843, 1314, 785, 256, 3703, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},    // 99
    {{3437, 2908, 2379, 1850, 1321, 792, 263, 3702, 4229, 4756, 5283, 5810, 6337, 6864, 7406, 7935}},    // 100
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                    // 101
    {{24832, 25361, 7470, 7999, 6476, 7005, 5482, 6011, 4488, 5017, 3494, 4023, 2500, 3029, 1506, 2035}},  // 102
    {{7438, 7967, 6444, 6973, 5450, 5979, 4456, 4985, 3462, 3991, 2468, 2997, 1474, 2003, 480, 1009}},     // 103
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},                                                                                  // 104
    {{8567, 3942, 3413, 2884, 2355, 1826, 1297, 768, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},   // 105
    {{12679, 3958, 3429, 2900, 2371, 1842, 1313, 784, 4239, 4766, 5293, 5820, 6347, 6874, 7401, 7928}},  // 106
    {{3959, 3430, 2901, 2372, 1843, 1314, 785, 256, 4232, 4761, 5290, 5819, 6348, 6877, 7406, 7935}},    // 107
    {{3967, 3438, 2909, 2380, 1851, 1322, 793, 264, 4231, 4758, 5285, 5812, 6339, 6866, 7393, 7920}},    // 108
    {{0x6000, 0x6211, 0x6422, 0x6633, 0x6844, 0x6A55, 0x6C66, 0x6E77, 0x7088, 0x7299, 0x74AA, 0x76BB, 0x78CC, 0x7ADD,
      0x7CEE, 0x7EFF}},  // 109
}};

std::span<int16_t, 16> ToolPage16Table(ChipState& m, int channel) {
    return std::span<int16_t, 16>(m.workImage.pfir[static_cast<size_t>(channel)].coef.data() + 512, 16);
}
std::span<int16_t, 16> ToolPage17Table(ChipState& m, int channel) {
    return std::span<int16_t, 16>(m.workImage.pfir[static_cast<size_t>(channel)].coef.data() + 528, 16);
}
std::span<const int16_t, 16> ToolPage16Table(const ChipState& m, int channel) {
    return std::span<const int16_t, 16>(m.workImage.pfir[static_cast<size_t>(channel)].coef.data() + 512, 16);
}
std::span<const int16_t, 16> ToolPage17Table(const ChipState& m, int channel) {
    return std::span<const int16_t, 16>(m.workImage.pfir[static_cast<size_t>(channel)].coef.data() + 528, 16);
}

int Page17BankRow(int mode, int firDec, int symtype, int nblocks) {
    if (mode < 0 || mode > 2 || firDec < 1 || firDec > 8 || nblocks < 0) return -1;
    const Page17Rows& f = kPage17Rows[mode == 0 ? 0 : 1][firDec - 1];
    switch (symtype) {
        case 0:
            return f.s0;
        case 1: {
            if (firDec == 1) return f.s1;
            // A block count beyond the decimation's lengths would land in the
            // even-symmetric rows; such a set has no table.
            int r = f.s1 + nblocks / firDec;
            return r <= f.s2 ? r : -1;
        }
        case 2: {
            int r = f.s2 + nblocks / firDec;
            return r < f.end ? r : -1;
        }
        default:
            return -1;
    }
}

// An input mode the chip does not have is taken as Full rate, as the derivation does.
void FillPage16Tables(const Settings& settings, ChipState& m) {
    const int mode = EffectiveInputMode(settings);
    for (int c = 0; c < kChannels; ++c) {
        const int d = settings.FirDec[TableSource(mode, c)];
        if (d < 1 || d > 8) continue;
        PageTable& t = m.page16Table[static_cast<size_t>(c)];
        for (int k = 0; k < 16; ++k) {
            int w = k;
            if (mode == 0 && k < 2 * d)
                w = 2 * (d - 1 - k / 2) + k % 2;
            else if (mode != 0 && k < d)
                w = d - 1 - k;
            t[static_cast<size_t>(k)] = static_cast<uint16_t>(w);
        }
    }
}

void FillPage17Tables(const Settings& settings, ChipState& m) {
    const int mode = EffectiveInputMode(settings);
    for (int c = 0; c < kChannels; ++c) {
        const int src = TableSource(mode, c);
        const CoefSetInfo& info = m.coefSetInfo[static_cast<size_t>(src)];
        int row = Page17BankRow(mode, settings.FirDec[src], info.symtype, info.nblocks);
        if (row >= 0) m.page17Table[static_cast<size_t>(c)] = Page17Bank[static_cast<size_t>(row)];
    }
}

void BuildRegisterWriteList(const Settings& settings, ChipState& m) {
    RegisterImage& img = m.workImage;
    RegisterWriteList& list = m.registerWriteList;
    img.sumin_clr = 0;
    list.count = 0;

    Append(list, 0, 0, 0xFFF0);
    Append(list, 0, 1, PackRegister(img, kDirect1));
    Append(list, 0, 2, 0);
    Append(list, 0, 3, 0);

    const bool scaled = m.ManualFirShift.has_value();
    const float scale = settings.scaleFir;
    for (int c = 0; c < kChannels; ++c) {
        const unsigned p = 32u * static_cast<unsigned>(c);
        const size_t ch = static_cast<size_t>(c);
        const CoefRamImage& ram = m.coefRam[ch];
        for (unsigned i = 0; i < 16; ++i)
            for (unsigned j = 0; j < 16; ++j) Append(list, p + i, 16 + j, CoefWord(ram[i][j], scaled, scale));
        for (unsigned j = 0; j < 16; ++j) Append(list, p + 16, 16 + j, m.page16Table[ch][j]);
        for (unsigned j = 0; j < 16; ++j) Append(list, p + 17, 16 + j, m.page17Table[ch][j]);
        AppendPage(list, p + 18, 0, img.pfir[ch], kPage18);
        AppendPage(list, p + 19, 0, img.pfir[ch], kPage19);
        AppendPage(list, p + 20, 0, img.pfir[ch], kPage20);
    }
    for (int c = 0; c < kChannels; ++c) {
        const unsigned page = c < 2 ? 0x80u : 0xA0u;
        const unsigned base = 16u + 8u * static_cast<unsigned>(c % 2);
        const size_t ch = static_cast<size_t>(c);
        // cic_fl_status (bit 15) is a status flag and is never written.
        for (const RegisterLayout<C>& r : kCicRegisters) {
            uint16_t v = PackRegister(img.cic[ch], r);
            if (r.reg == 0) v &= 0x7FFF;
            Append(list, page, base + static_cast<unsigned>(r.reg), v);
        }
    }
    AppendPage(list, 0x81, 0, img, kPage81);
    AppendPage(list, 0xA1, 0, img, kPageA1);
}

namespace {

// The register table's name of the field at p inside img.
std::string TableNameOf(const RegisterImage& img, const void* p) {
    for (const RegisterParam& e : TableParams())
        for (int k = 0; k < e.values(); ++k) {
            const FieldRef f = e.locate(const_cast<RegisterImage&>(img), k);
            const void* q = std::visit([](auto* v) -> const void* { return v; }, f);
            if (q == p) return e.name;
        }
    return "word";
}

template <class Rec, size_t N>
std::vector<RegisterFieldSpan> SpansOf(const RegisterImage& img, const Rec& rec, const RegisterLayout<Rec> (&layout)[N],
                                       int reg) {
    std::vector<RegisterFieldSpan> spans;
    for (const RegisterLayout<Rec>& r : layout) {
        if (r.reg != reg) continue;
        for (const FieldAt<Rec>& f : r.fields)
            if (f.field) spans.push_back({TableNameOf(img, &(rec.*(f.field))), f.shift, 16 - f.shift});
    }
    std::sort(spans.begin(), spans.end(), [](const auto& x, const auto& y) { return x.shift < y.shift; });
    for (size_t i = 0; i + 1 < spans.size(); ++i) spans[i].width = spans[i + 1].shift - spans[i].shift;
    if (spans.empty()) spans.push_back({"word", 0, 16});
    return spans;
}

}  // namespace

std::vector<RegisterFieldSpan> FieldsOfRegister(unsigned page, unsigned reg) {
    static const RegisterImage img{};
    const int r = static_cast<int>(reg);
    if (page == 0 && reg < 16) {
        const RegisterLayout<G> direct[] = {kDirect1};
        return SpansOf(img, img, direct, r);
    }
    if (page < 128 && page % 32 <= 20 && reg >= 16 && reg <= 31) {
        const int c = static_cast<int>(page / 32), k = static_cast<int>(page % 32);
        const int j = r - 16;
        if (k < 16) return {{StrPrintf("coef[%d][%d]", k, j), 0, 16}};
        if (k == 16 || k == 17) return {{StrPrintf("page%d[%d]", k, j), 0, 16}};
        const PfirChannelRegs& p = img.pfir[static_cast<size_t>(c)];
        return k == 18   ? SpansOf(img, p, kPage18, r)
               : k == 19 ? SpansOf(img, p, kPage19, r)
                         : SpansOf(img, p, kPage20, r);
    }
    if ((page == 0x80 || page == 0xA0) && reg >= 16 && reg <= 31) {
        const int c = (page == 0xA0 ? 2 : 0) + (r - 16) / 8;
        return SpansOf(img, img.cic[static_cast<size_t>(c)], kCicRegisters, (r - 16) % 8);
    }
    if (page == 0x81) return SpansOf(img, img, kPage81, r);
    if (page == 0xA1) return SpansOf(img, img, kPageA1, r);
    return {{"word", 0, 16}};
}

int CountPage16Mismatches(const Settings& settings, const ChipState& m) {
    return CountMismatches(m.page16Table, EffectiveInputMode(settings), &ToolPage16Table, m);
}

int CountPage17Mismatches(const Settings& settings, const ChipState& m) {
    return CountMismatches(m.page17Table, EffectiveInputMode(settings), &ToolPage17Table, m);
}

}  // namespace gc
