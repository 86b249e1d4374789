#include "chip/derivation.h"
#include "session/session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "chip/address_gen.h"
#include "core/param_table.h"

namespace gc {
namespace {

// Every numeric field of an image, named "field[k]", walked through the
// chip tool's list (which holds all fields of the image).
std::vector<std::pair<std::string, double>> ImageValues(const RegisterImage& img) {
    std::vector<std::pair<std::string, double>> out;
    for (const RegisterParam& e : ToolTableParams()) {
        if (e.type == ParamType::String) continue;
        for (int k = 0; k < e.values(); ++k)
            out.emplace_back(std::string(e.name) + "[" + std::to_string(k) + "]", ParamGetNumber(img, e, k));
    }
    return out;
}

void ExpectSameImage(const RegisterImage& a, const RegisterImage& b) {
    auto va = ImageValues(a), vb = ImageValues(b);
    ASSERT_EQ(va.size(), vb.size());
    for (size_t n = 0; n < va.size(); ++n) {
        const bool same = va[n].second == vb[n].second || (std::isnan(va[n].second) && std::isnan(vb[n].second));
        EXPECT_TRUE(same) << va[n].first << ": " << va[n].second << " vs " << vb[n].second;
    }
}

// A channel fitted by hand: `blocks` blocks with the given shape and taps
// counting up from `first`.
void FitByHand(Session& m, int ch, int blocks, int symmetric, int even, int32_t sumtap, int32_t first = 1) {
    CoefSetInfo& info = m.coefSetInfo[ch];
    info.nblocks = static_cast<uint16_t>(blocks);
    info.symmetric = static_cast<int16_t>(symmetric);
    info.even = static_cast<int16_t>(even);
    info.symtype = static_cast<uint16_t>(symmetric ? (even ? 2 : 1) : 0);
    info.sumtap = sumtap;
    info.maxtap = 1000;
    info.ntaps = static_cast<uint16_t>(blocks * (symmetric ? 32 : 16));
    for (int k = 0; k < kMaxTaps; ++k) m.fittedTaps[ch][k] = k < blocks * 16 ? first + k : 0;
}

uint64_t FreqWordOf(const CicChannelRegs& c) {
    return (uint64_t{c.freq_msb} << 32) | (uint64_t{c.freq_mid} << 16) | c.freq_lsb;
}

TEST(NcoWords, TenMegahertzAtHundredInEachMode) {
    Session m;
    m.settings.SystemClock = 100000000;
    m.settings.FreqNCO[0] = 10000000;
    EXPECT_EQ(NcoFreqWord(10000000, 100000000, false), -28147497671065);
    NcoWordsResult w = NcoWords(m.settings, 0);
    EXPECT_EQ(w.freq_msb, 0xE666);
    EXPECT_EQ(w.freq_mid, 0x6666);
    EXPECT_EQ(w.freq_lsb, 0x6667);
    EXPECT_EQ(w.phase, 0);

    // Double rate: the frequency doubles before the division, and the second
    // channel of the pair is one input sample later.
    m.settings.ModeOfInput = 2;
    w = NcoWords(m.settings, 0);
    EXPECT_EQ(w.freq_msb, 0xCCCC);
    EXPECT_EQ(w.freq_mid, 0xCCCC);
    EXPECT_EQ(w.freq_lsb, 0xCCCD);
    DeriveRegisters(m.settings, m);
    EXPECT_EQ(m.workImage.cic[0].phase, 0);
    EXPECT_EQ(m.workImage.cic[1].phase, 0xE667);  // truncate(-2e7 / 1e8 * 32768) = -6553
    EXPECT_EQ(FreqWordOf(m.workImage.cic[1]), 0xCCCCCCCCCCCDull);
    EXPECT_EQ(DoubleRatePhaseAdvance(40000000, 100000000), -26214);
}

TEST(NcoWords, ExactTruncationWideFrequenciesAndPhase) {
    // The exact quotient is 191321356418.99..., which double arithmetic rounds up to ...420.
    EXPECT_EQ(NcoFreqWord(67971, 100000000, false), -191321356419);
    // The most negative frequency doubled in Double rate: no overflow, the word wraps in 48 bits.
    Session m;
    m.settings.FreqNCO[2] = std::numeric_limits<int32_t>::min();
    m.settings.ModeOfInput = 2;
    DeriveRegisters(m.settings, m);
    EXPECT_EQ(FreqWordOf(m.workImage.cic[2]), 0xF31DC4611873ull);
    EXPECT_EQ(FreqWordOf(m.workImage.cic[3]), 0xF31DC4611873ull);

    EXPECT_EQ(PhaseWord(static_cast<float>(std::numbers::pi / 2)), 16384);
    EXPECT_EQ(PhaseWord(-static_cast<float>(std::numbers::pi / 2)), 0xC000);
    EXPECT_EQ(PhaseWord(1.0e30f), 0);  // huge but finite: no overflow, nothing left below a turn
    EXPECT_EQ(PhaseWord(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(PhaseWord(std::numeric_limits<float>::infinity()), 0);
}

TEST(NcoWords, ClockOfZeroOrLessGivesZeroWordsWithoutDividing) {
    for (int32_t clock : {0, -100000000}) {
        Session m;
        m.settings.SystemClock = clock;
        m.settings.ModeOfInput = 2;
        m.settings.PhaseNCO[0] = static_cast<float>(std::numbers::pi / 2);
        DeriveRegisters(m.settings, m);
        EXPECT_EQ(FreqWordOf(m.workImage.cic[0]), 0u);
        EXPECT_EQ(m.workImage.cic[0].phase, 16384);
        EXPECT_EQ(m.workImage.cic[1].phase, 16384);  // no advance either
        EXPECT_EQ(DoubleRatePhaseAdvance(10000000, clock), 0);
    }
}

TEST(GainWord, WorkedExampleAndBadGains) {
    Session m;
    m.settings.Gain[0] = 127.9f;
    m.settings.Gain[1] = -2.0f;
    m.settings.Gain[2] = std::numeric_limits<float>::quiet_NaN();
    m.settings.Gain[3] = 300.0f;
    DeriveRegisters(m.settings, m);
    const auto& p = m.workImage.pfir;
    EXPECT_EQ(GainWord(127.9f), 0x7FE66u);
    EXPECT_EQ(p[0].gain_msb, 7);
    EXPECT_EQ(p[0].gain_lsb, 0xFE66);
    EXPECT_EQ(p[1].gain_msb, 0);  // negative: 0, not a wrapped word
    EXPECT_EQ(p[1].gain_lsb, 0);
    EXPECT_EQ(p[2].gain_lsb, 0);  // NaN from a lab file
    EXPECT_EQ(m.workImage.gain[2], 0.0f);
    EXPECT_EQ(p[3].gain_msb, 7);  // beyond 19 bits: the largest word
    EXPECT_EQ(p[3].gain_lsb, 0xFFFF);
    EXPECT_EQ(GainWord(std::numeric_limits<float>::infinity()), 0u);
    EXPECT_EQ(GainWord(1.0f), 4096u);
}

TEST(CicShift, WorkedExamplesAndLimits) {
    CicShiftResult r = CicShift(2);
    EXPECT_EQ(r.shift, 34);
    EXPECT_FLOAT_EQ(r.norm, 1.0f);
    r = CicShift(10);
    EXPECT_EQ(r.shift, 22);
    EXPECT_NEAR(r.norm, 0.763, 0.0005);
    // 256^5 = 2^40: the search stops there, shift 0; larger decimations keep
    // k = 40 and the norm grows beyond 1.
    EXPECT_EQ(CicShift(256).shift, 0);
    EXPECT_FLOAT_EQ(CicShift(256).norm, 1.0f);
    EXPECT_EQ(CicShift(1024).shift, 0);
    EXPECT_FLOAT_EQ(CicShift(1024).norm, 1024.0f);
    // 65535^5 needs more than 64 bits.
    EXPECT_NEAR(CicShift(65535).norm, 1099427744255.96f, 1e6f);
    // A decimation of 0 (or less) counts as 1: no norm of 0 or a division by it.
    for (int n : {0, -5}) {
        EXPECT_EQ(CicShift(n).shift, 39);
        EXPECT_FLOAT_EQ(CicShift(n).norm, 1.0f);
    }
}

TEST(FirShift, NearestGainManualShiftAndExtremes) {
    // 40000: j = 16; shift 5 gives 0.61, shift 6 gives 1.22, which is nearer to 1.
    FirShiftResult r = FirShift(40000);
    EXPECT_EQ(r.shift, 6);
    EXPECT_FLOAT_EQ(r.gain, 40000.0f / 32768.0f);
    // 2^21 exactly: shift 0 gives gain 1.
    r = FirShift(1 << 21);
    EXPECT_EQ(r.shift, 0);
    EXPECT_FLOAT_EQ(r.gain, 1.0f);
    // 3 * 2^19: shift 0 gives 0.75, shift 1 gives 1.5: 0.75 is nearer.
    EXPECT_EQ(FirShift(3 << 19).shift, 0);
    // Above 2^24 no j qualifies: j = 24, both shifts 0.
    EXPECT_EQ(FirShift(1 << 26).shift, 0);
    EXPECT_FLOAT_EQ(FirShift(1 << 26).gain, 32.0f);
    // No taps yet (sum 0) and negative sums: shift 22 from j = 0.
    EXPECT_EQ(FirShift(0).shift, 22);
    EXPECT_EQ(FirShift(-100).shift, 22);

    // The "ЛЧМ" box replaces the shift; the gain follows it.
    r = FirShift(40000, 2);
    EXPECT_EQ(r.shift, 2);
    EXPECT_FLOAT_EQ(r.gain, 40000.0f / 524288.0f);
    EXPECT_EQ(FirShift(40000, -1).shift, 0xFFFF);
    EXPECT_TRUE(std::isinf(FirShift(40000, std::numeric_limits<int>::max()).gain));
    EXPECT_EQ(FirShift(40000, std::numeric_limits<int>::min()).gain, 0.0f);

    Session m;
    FitByHand(m, 0, 1, 0, 1, 40000);
    m.ManualFirShift = 3;
    DeriveRegisters(m.settings, m);
    EXPECT_EQ(m.workImage.pfir[0].fir_shift, 3);
    m.ManualFirShift.reset();
    DeriveRegisters(m.settings, m);
    EXPECT_EQ(m.workImage.pfir[0].fir_shift, 6);
}

TEST(DeriveRegisters, CicFieldsFollowTheDecimation) {
    Session m;
    m.settings.CicDec[0] = 222;
    m.settings.CicDec[1] = 223;
    m.settings.CicDec[2] = 10;
    DeriveRegisters(m.settings, m);
    const auto& c = m.workImage.cic;
    EXPECT_EQ(c[0].cic_rshift, 1);
    EXPECT_EQ(c[1].cic_rshift, 0);
    EXPECT_EQ(c[2].cic_shift, 22);
    EXPECT_NEAR(c[2].cic_norm, 0.763, 0.0005);
    EXPECT_EQ(c[2].ncic, 9);
    EXPECT_EQ(c[0].cic_2x, 0);
    EXPECT_EQ(c[0].cic_rcv_cross, 0);
    EXPECT_NEAR(m.workImage.fck, 100.0f, 1e-4f);
}

TEST(DeriveRegisters, ComplexPfirWithDecimationThreeSyncsAt143) {
    Session m;
    m.settings.FirDec[0] = 3;
    m.settings.FirDec[1] = 2;
    FitByHand(m, 0, 2, 0, 1, 40000);  // the table holds 1 for (3, 2)
    FitByHand(m, 1, 2, 0, 1, 40000);
    DeriveRegisters(m.settings, m);
    EXPECT_EQ(m.workImage.pfir[0].fir_cmplx, 1);
    EXPECT_EQ(m.workImage.pfir[0].fir_sync_cnt, 143);
    EXPECT_EQ(m.workImage.pfir[1].fir_sync_cnt, 127);  // the table's 128, minus 1
    // K = 2 for the complex PFIR: swap counts D*K - 1, clock count (N*K) div D - 1.
    EXPECT_EQ(m.workImage.pfir[0].swap_wa_cnt, 5);
    EXPECT_EQ(m.workImage.pfir[0].fir_clk_cnt, 0);
    EXPECT_EQ(m.workImage.pfir[1].fir_clk_cnt, 1);
}

TEST(DeriveRegisters, SixteenBlocksInSplitIqStayInsideTheTables) {
    // An unsymmetric 256-tap set in SplitIQ with CIC 16 and PFIR 1 runs 16 blocks.
    Session m;
    m.settings.ModeOfInput = 1;
    m.settings.CicDec[0] = 16;
    m.settings.FirDec[0] = 1;
    FitByHand(m, 0, 16, 0, 1, 40000);
    DeriveRegisters(m.settings, m);
    const PfirChannelRegs& p = m.workImage.pfir[0];
    EXPECT_EQ(p.fir_cmplx, 0);
    EXPECT_EQ(p.fir_sync_cnt, 255);  // 512 halved, minus 1
    EXPECT_EQ(p.acc_cnt, 15);
    // Block r taken backwards: cell (r, c) = entry 16(r+1) - 1 - c, taps counting from 1.
    EXPECT_EQ(m.coefRam[0][0][0], 16);
    EXPECT_EQ(m.coefRam[0][15][15], 241);
    EXPECT_EQ(m.coefRam[1][15][0], 256);  // B runs A's set
    // The column beyond the chip's table continues its pattern.
    EXPECT_EQ(SwapSyncTable(1, 16), 512);
    EXPECT_EQ(SwapSyncTable(3, 16), 1);
    EXPECT_EQ(SwapSyncTable(0, 16), 0);
    EXPECT_EQ(SwapSyncTable(8, 16), 512);
    // Any index is clamped to the table.
    EXPECT_EQ(SwapSyncTable(99, 99), SwapSyncTable(8, 16));
    EXPECT_EQ(SwapSyncTable(-1, -1), SwapSyncTable(0, 0));
}

TEST(DeriveRegisters, PairsTakeTheFirstChannelsSettingsInSplitModes) {
    for (int mode : {1, 2}) {
        Session m;
        Settings& s = m.settings;
        s.ModeOfInput = mode;
        for (int ch = 0; ch < kChannels; ++ch) {
            s.CicDec[ch] = 4 + 2 * ch;
            s.FirDec[ch] = 1 + ch;
            s.FreqNCO[ch] = 1000000 * (ch + 1);
            s.Gain[ch] = 1.5f * static_cast<float>(ch + 1);
            s.InpADC[ch] = ch == 0 ? 0 : 1;
            s.freq_sync[ch] = ch;
            s.pwr_mtr_sync[ch] = 3 + ch;
            s.NameOfPFIR[ch] = "ch" + std::to_string(ch) + ".taps";
            FitByHand(m, ch, ch + 1, ch % 2, 1, 30000 + 1000 * ch, 100 * ch);
        }
        m.workImage.cic[1].cic_norm = m.workImage.cic[3].cic_norm = -7.0f;  // untouched by the derivation
        DeriveRegisters(m.settings, m);
        const RegisterImage& w = m.workImage;
        EXPECT_EQ(m.ChannelMask, s.MaskChan2x);
        for (auto [src, i] : {std::pair{0, 1}, std::pair{2, 3}}) {
            SCOPED_TRACE("mode " + std::to_string(mode) + " channel " + std::to_string(i));
            EXPECT_EQ(w.cic_dec[i], s.CicDec[src]);
            EXPECT_EQ(w.fir_dec[i], s.FirDec[src]);
            EXPECT_EQ(w.freq[i], w.freq[src]);
            EXPECT_EQ(FreqWordOf(w.cic[i]), FreqWordOf(w.cic[src]));
            EXPECT_EQ(w.cic[i].cic_shift, w.cic[src].cic_shift);
            EXPECT_EQ(w.pfir[i].gain_lsb, w.pfir[src].gain_lsb);
            EXPECT_EQ(w.pfir[i].fir_shift, w.pfir[src].fir_shift);
            EXPECT_EQ(w.pfir[i].coef_modc, w.pfir[src].coef_modc);
            EXPECT_EQ(w.pfir[i].fwa_strobe, w.pfir[src].fwa_strobe);
            EXPECT_EQ(w.sumtap[i], w.sumtap[src]);
            EXPECT_EQ(w.cic[i].freq_sync, s.freq_sync[src]);
            EXPECT_EQ(w.pfir[i].pwr_sync, s.pwr_mtr_sync[src]);
            EXPECT_EQ(w.file_name[i], s.NameOfPFIR[src]);
            EXPECT_EQ(w.cic[i].cic_norm, -7.0f);
            EXPECT_EQ(w.cic[i].cic_rcv_cross, 1);
            EXPECT_EQ(w.cic[src].cic_rcv_cross, mode == 1 ? 0 : 1);
            EXPECT_EQ(w.cic[i].cic_2x, mode == 2 ? 1 : 0);
            // The second fill of the RAM (from the channel's own set) wins where both reach.
            EXPECT_EQ(m.coefRam[i][1][0], m.fittedTaps[i][2 * (i + 1) - 1]);
        }
        if (mode == 2) {
            EXPECT_EQ(w.cic[0].mix_rcv_sel, 0);
            EXPECT_EQ(w.cic[1].mix_rcv_sel, 1);
            EXPECT_EQ(w.cic[2].mix_rcv_sel, 2);
            EXPECT_EQ(w.cic[3].mix_rcv_sel, 3);
            EXPECT_EQ(w.cic[0].ncic, 1);  // 4 div 2 - 1
        } else {
            if (kBoardModel == 0 || kBoardModel == 2) {
                EXPECT_EQ(w.cic[3].mix_rcv_sel, 2);
            }
            EXPECT_EQ(w.cic[0].ncic, 3);
        }
    }
}

TEST(DeriveRegisters, PfirControlFollowsComplexityAndSingleBlocks) {
    // Full rate: complex PFIR; one block bypasses the accumulator RAM.
    Session m;
    FitByHand(m, 0, 1, 0, 1, 40000);
    FitByHand(m, 1, 3, 0, 1, 40000);
    DeriveRegisters(m.settings, m);
    const PfirChannelRegs* p = m.workImage.pfir.data();
    EXPECT_EQ(p[0].swap_cmplx, 1);
    EXPECT_EQ(p[0].acc_dly, 1);
    EXPECT_EQ(p[0].acc_dly0, 0);
    EXPECT_EQ(p[0].acc_enram, 0);
    EXPECT_EQ(p[0].acc_bypass, 1);
    EXPECT_EQ(p[0].fir_fb, 0);
    EXPECT_EQ(p[0].swap_fb, 0);
    EXPECT_EQ(p[1].acc_enram, 1);
    EXPECT_EQ(p[1].acc_bypass, 0);
    EXPECT_EQ(p[0].routf_iqmux, 1);
    // An unsymmetric set feeds the CIC output at full width.
    EXPECT_EQ(m.workImage.cic[0].cic_rcv_full, 1);

    // SplitIQ: real PFIR; one block feeds back through the swap RAM, and
    // acc_dly0 is set whatever the block count.
    Session s;
    s.settings.ModeOfInput = 1;
    s.settings.CicDec[0] = 4;
    s.settings.CicDec[2] = 4;
    FitByHand(s, 0, 1, 0, 1, 40000);
    FitByHand(s, 2, 3, 1, 0, 40000);
    DeriveRegisters(s.settings, s);
    p = s.workImage.pfir.data();
    for (int i : {0, 1}) {
        EXPECT_EQ(p[i].fir_cmplx, 0);
        EXPECT_EQ(p[i].swap_cmplx, 0);
        EXPECT_EQ(p[i].acc_dly, 0);
        EXPECT_EQ(p[i].acc_dly0, 1);
        EXPECT_EQ(p[i].acc_enram, 0);
        EXPECT_EQ(p[i].acc_bypass, 1);
        EXPECT_EQ(p[i].fir_fb, 1);
        EXPECT_EQ(p[i].swap_fb, 1);
        EXPECT_EQ(p[i].routf_iqmux, 0);
        EXPECT_EQ(p[i].fir_sync_cnt, 31);  // the table's 64 halved, minus 1
    }
    EXPECT_EQ(p[2].acc_bypass, 0);
    EXPECT_EQ(p[2].fir_fb, 0);
    EXPECT_EQ(p[2].acc_dly0, 1);
    EXPECT_EQ(s.workImage.cic[2].cic_rcv_full, 0);
    EXPECT_EQ(s.workImage.splitiq, 1);
    EXPECT_EQ(s.workImage.splitiqAB, 1);
    EXPECT_EQ(s.workImage.splitiqCD, 1);
    EXPECT_EQ(s.workImage.rin_rate, 1);
}

TEST(DeriveRegisters, TdmSwitchesTheOutputFlagsBothWays) {
    Session m;
    m.settings.EnableTDM = 1;
    DeriveRegisters(m.settings, m);
    EXPECT_EQ(m.workImage.routf_tdm, 1);
    for (const PfirChannelRegs& p : m.workImage.pfir) EXPECT_EQ(p.routf_ctdm, 1);
    m.settings.EnableTDM = 0;
    DeriveRegisters(m.settings, m);
    EXPECT_EQ(m.workImage.routf_tdm, 0);
    for (const PfirChannelRegs& p : m.workImage.pfir) EXPECT_EQ(p.routf_ctdm, 0);
    // Full rate on this board: any ADC but the first selects the second input.
    m.settings.InpADC[1] = 3;
    DeriveRegisters(m.settings, m);
    EXPECT_EQ(m.workImage.cic[0].mix_rcv_sel, 0);
    if (kBoardModel == 0 || kBoardModel == 2) {
        EXPECT_EQ(m.workImage.cic[1].mix_rcv_sel, 2);
    } else {
        EXPECT_EQ(m.workImage.cic[1].mix_rcv_sel, 3);
    }
}

TEST(DeriveRegisters, LowestSplitDecimationClocksThePfirOncePerSample) {
    Session m;
    m.settings.ModeOfInput = 2;
    m.settings.CicDec[0] = 2;
    m.settings.CicDec[2] = 4;
    FitByHand(m, 0, 4, 0, 1, 40000);
    FitByHand(m, 2, 4, 0, 1, 40000);
    DeriveRegisters(m.settings, m);
    EXPECT_EQ(m.workImage.pfir[0].fir_clk_cnt, 1);
    EXPECT_EQ(m.workImage.pfir[0].fir_clk_cnt_en, 0);
    EXPECT_EQ(m.workImage.pfir[0].swap_rcv_tdly, 1);
    EXPECT_EQ(m.workImage.pfir[2].fir_clk_cnt, 3);
    EXPECT_EQ(m.workImage.pfir[2].fir_clk_cnt_en, 1);
}

TEST(DeriveRegisters, BadSettingsFromALabFileGiveADefinedImage) {
    // Input mode outside 0..2 is derived as Full rate.
    for (int bad : {3, -1, 1000}) {
        Session ref, m;
        FitByHand(ref, 0, 4, 1, 1, 40000);
        FitByHand(m, 0, 4, 1, 1, 40000);
        m.settings.ModeOfInput = bad;
        DeriveRegisters(ref.settings, ref);
        DeriveRegisters(m.settings, m);
        ExpectSameImage(m.workImage, ref.workImage);
        EXPECT_EQ(m.ChannelMask, m.settings.MaskChan4x);
    }

    // Decimations of 0 or beyond range are clamped before they divide or index.
    Session m;
    m.settings.CicDec[0] = 0;
    m.settings.FirDec[0] = 0;
    m.settings.CicDec[1] = 5000;
    m.settings.FirDec[1] = 9;
    m.settings.FirDec[2] = -3;
    m.settings.Gain[3] = std::numeric_limits<float>::infinity();
    m.settings.OverallGain[3] = std::numeric_limits<float>::quiet_NaN();
    m.settings.PhaseNCO[3] = -std::numeric_limits<float>::infinity();
    DeriveRegisters(m.settings, m);
    const RegisterImage& w = m.workImage;
    EXPECT_EQ(w.cic_dec[0], 1);
    EXPECT_EQ(w.cic[0].ncic, 0);
    EXPECT_EQ(w.cic[0].cic_shift, 39);
    EXPECT_EQ(w.fir_dec[0], 1);
    EXPECT_EQ(w.cic_dec[1], kCicDecMax);
    EXPECT_EQ(w.fir_dec[1], 8);
    EXPECT_EQ(w.fir_dec[2], 1);
    EXPECT_EQ(w.pfir[3].gain_lsb, 0);
    EXPECT_EQ(w.gain[3], 0.0f);
    EXPECT_EQ(w.overall_gain[3], 0.0f);
    EXPECT_EQ(w.cic[3].phase, 0);

    // Double rate needs at least 2 for ncic.
    Session d;
    d.settings.ModeOfInput = 2;
    d.settings.CicDec[0] = 1;
    DeriveRegisters(d.settings, d);
    EXPECT_EQ(d.workImage.cic_dec[0], 2);
    EXPECT_EQ(d.workImage.cic[0].ncic, 0);
}

TEST(DeriveRegisters, ZeroFrequencyIsPositiveZeroAndFieldsAreIdempotent) {
    Session m;
    m.settings.FreqNCO[1] = 0;
    FitByHand(m, 0, 3, 0, 0, 12345);
    DeriveRegisters(m.settings, m);
    EXPECT_EQ(m.workImage.freq[1], 0.0f);
    EXPECT_FALSE(std::signbit(m.workImage.freq[1]));
    EXPECT_FLOAT_EQ(m.workImage.freq[0], -10.0f);

    RegisterImage first = m.workImage;
    auto ram = m.coefRam;
    // Derived fields overwritten by an editor come back; a second run changes nothing.
    m.workImage.pfir[0].fwa_strobe = 0x1234;
    m.workImage.cic[2].freq_lsb = 0x1234;
    m.workImage.sum_selI = 5;
    DeriveRegisters(m.settings, m);
    ExpectSameImage(m.workImage, first);
    EXPECT_EQ(m.coefRam, ram);
    // A field no step touches keeps an editor's value.
    m.workImage.pfir[0].agc_thresh = 77;
    DeriveRegisters(m.settings, m);
    EXPECT_EQ(m.workImage.pfir[0].agc_thresh, 77);
}

TEST(FillCoefRam, BlocksBackwardsRowZeroClearedStaleCellsKept) {
    Session m;
    for (auto& row : m.coefRam[1]) row.fill(-9);
    FitByHand(m, 0, 2, 0, 1, 0);
    m.fittedTaps[0][1] = 0x12345;  // only the low 16 bits reach the RAM
    FillCoefRam(m, 0, 1);
    const CoefRamImage& r = m.coefRam[1];
    EXPECT_EQ(r[0][0], 0x2345);
    EXPECT_EQ(r[0][1], 1);
    EXPECT_EQ(r[0][2], 0);  // row 0 cleared beyond the blocks
    EXPECT_EQ(r[1][0], 4);  // entries 3, 2 of the set
    EXPECT_EQ(r[1][1], 3);
    EXPECT_EQ(r[1][2], -9);  // rows 1..15 keep earlier cells
    EXPECT_EQ(r[15][1], 31);

    // Channels outside 0..3 and block counts beyond 16 stay within the arrays.
    FillCoefRam(m, -1, 0);
    FillCoefRam(m, 0, 4);
    m.coefSetInfo[2].nblocks = 999;
    FillCoefRam(m, 2, 2);
    EXPECT_EQ(m.coefRam[2][15][0], 0);
}

TEST(AddressGenerators, WorkedShapes) {
    // Full rate, symmetric even 128 taps: N 4, complex, D 1.
    AddrGenFields f = ComputeAddrGen({4, 1, 1, 1, 1});
    EXPECT_EQ(f.coef_modc, 3);
    EXPECT_EQ(f.coef_repc, 1);
    EXPECT_EQ(f.coef_sym, 1);
    EXPECT_EQ(f.agen_depd, 7);
    EXPECT_EQ(f.fragen_stepn, 2);
    EXPECT_EQ(f.fwagen_sdepd, 6);
    EXPECT_EQ(f.bragen_stepn, 14);
    EXPECT_EQ(f.bwagen_soff, 14);
    EXPECT_EQ(f.bwagen_sdepd, 2);
    EXPECT_EQ(f.beragen_stepn, 14);
    EXPECT_EQ(f.bewagen_soff, 0);
    EXPECT_EQ(f.bewagen_sdepd, 0);
    EXPECT_EQ(f.fwa_strobe, 0xC0);
    EXPECT_EQ(f.bwa_strobe, 3);
    EXPECT_EQ(f.beagen_rbypass, 0);

    // Real, symmetric even, D 2, N 8: the listed offset 12.
    f = ComputeAddrGen({8, 0, 2, 1, 1});
    EXPECT_EQ(f.bewagen_soff, 12);
    EXPECT_EQ(f.bragen_stepn, 14);
    EXPECT_EQ(f.fwa_strobe, 0xC0);

    // Real unsymmetric special cases.
    f = ComputeAddrGen({12, 0, 6, 0, 1});
    EXPECT_EQ(f.agen_modd, 12);
    EXPECT_EQ(f.bragen_stepn, 6);
    EXPECT_EQ(f.bewagen_soff, 6);
    EXPECT_EQ(f.beagen_rbypass, 0xFFFF);
    EXPECT_EQ(f.bewagen_sdepd, 11);
    f = ComputeAddrGen({14, 0, 7, 0, 0});
    EXPECT_EQ(f.agen_modd, 14);
    EXPECT_EQ(f.bragen_stepn, 7);
    EXPECT_EQ(f.bewagen_soff, 7);
    f = ComputeAddrGen({15, 0, 5, 0, 1});
    EXPECT_EQ(f.bewagen_soff, 10);
    EXPECT_EQ(f.bragen_stepn, 10);

    // Decimation equal to the blocks: steps 0; single real block at D 1 zeroes the front.
    f = ComputeAddrGen({1, 0, 1, 1, 0});
    EXPECT_EQ(f.fragen_stepn, 0);
    EXPECT_EQ(f.bragen_stepn, 0);
    EXPECT_EQ(f.beragen_stepn, 1);
    EXPECT_EQ(f.bewagen_soff, 1);
    EXPECT_EQ(f.coef_zerofr, 1);

    // The second stage settles decimations 6..8 for every symmetry.
    EXPECT_EQ(ComputeAddrGen({6, 0, 6, 1, 0}).bewagen_soff, 6);
    EXPECT_EQ(ComputeAddrGen({6, 0, 6, 1, 1}).bewagen_soff, 0);
    EXPECT_EQ(ComputeAddrGen({16, 1, 8, 1, 1}).bewagen_soff, 8);
    EXPECT_EQ(ComputeAddrGen({8, 1, 8, 1, 0}).bewagen_soff, 0);

    // Strobes: complex D 8 fills 16 bits; one block more shifts them out by 2.
    EXPECT_EQ(ComputeAddrGen({8, 1, 8, 1, 1}).bwa_strobe, 0xFFFF);
    EXPECT_EQ(ComputeAddrGen({9, 1, 8, 1, 1}).fwa_strobe, 0xFFFC);
    EXPECT_EQ(ComputeAddrGen({16, 1, 1, 0, 1}).fwa_strobe, 0);
    // Fewer blocks than the decimation shift the run right (truncating).
    EXPECT_EQ(ComputeAddrGen({2, 0, 4, 0, 1}).fwa_strobe, 3);
}

TEST(AddressGenerators, UnlistedShapesGetTheOneChosenValue) {
    ASSERT_EQ(kUnlistedAddrGenValue, 0);
    // beragen_stepn: symmetric with fewer blocks than the decimation.
    EXPECT_EQ(ComputeAddrGen({2, 0, 4, 1, 1}).beragen_stepn, kUnlistedAddrGenValue);
    // bewagen_soff: unsymmetric with D > N below 6; symmetric odd real D 3 with N > 3.
    EXPECT_EQ(ComputeAddrGen({2, 0, 4, 0, 1}).bewagen_soff, kUnlistedAddrGenValue);
    EXPECT_EQ(ComputeAddrGen({5, 0, 3, 1, 0}).bewagen_soff, kUnlistedAddrGenValue);
    // bewagen_sdepd: odd N with D 2; N above 8 with D 1 complex.
    EXPECT_EQ(ComputeAddrGen({3, 0, 2, 1, 0}).bewagen_sdepd, kUnlistedAddrGenValue);
    EXPECT_EQ(ComputeAddrGen({9, 1, 1, 1, 0}).bewagen_sdepd, kUnlistedAddrGenValue);
    // Neighbours that are listed keep their rule.
    EXPECT_EQ(ComputeAddrGen({4, 0, 2, 1, 0}).bewagen_sdepd, 3);
    EXPECT_EQ(ComputeAddrGen({8, 1, 1, 1, 0}).bewagen_sdepd, 14);
    EXPECT_EQ(ComputeAddrGen({5, 0, 3, 1, 0}).bewagen_sdepd, 4);

    // Every shape, even out of range, gives fields without touching anything else.
    for (int N = -1; N <= 17; ++N)
        for (int C = 0; C <= 1; ++C)
            for (int D = 0; D <= 9; ++D)
                for (int Y = 0; Y <= 1; ++Y)
                    for (int Z = 0; Z <= 1; ++Z) (void)ComputeAddrGen({N, C, D, Y, Z});
}

TEST(SettingsFromImage, RoundTripAndBadImageValues) {
    Session m;
    Settings& s = m.settings;
    s.SystemClock = 80000000;
    const int32_t freqs[kChannels] = {12345678, -2500000, 0, 39999000};
    for (int ch = 0; ch < kChannels; ++ch) {
        s.FreqNCO[ch] = freqs[ch];
        s.CicDec[ch] = 8 * (ch + 1);
        s.FirDec[ch] = ch + 1;
        s.Gain[ch] = 0.25f * static_cast<float>(ch + 1);
        s.PhaseNCO[ch] = 0.5f;
    }
    DeriveRegisters(m.settings, m);
    Session back;
    back.workImage = m.workImage;
    SettingsFromImage(back.workImage, back.settings);
    EXPECT_EQ(back.settings.SystemClock, 80000000);
    for (int ch = 0; ch < kChannels; ++ch) {
        EXPECT_EQ(back.settings.FreqNCO[ch], freqs[ch]) << ch;
        EXPECT_EQ(back.settings.CicDec[ch], s.CicDec[ch]);
        EXPECT_EQ(back.settings.FirDec[ch], s.FirDec[ch]);
        EXPECT_EQ(back.settings.Gain[ch], s.Gain[ch]);
    }
    // Only those settings come back.
    EXPECT_EQ(back.settings.PhaseNCO[0], 0.0f);

    // A damaged table: NaN, huge values and zero decimations.
    back.workImage.fck = std::numeric_limits<float>::quiet_NaN();
    back.workImage.freq[0] = 1.0e30f;
    back.workImage.freq[1] = -std::numeric_limits<float>::infinity();
    back.workImage.gain[2] = std::numeric_limits<float>::quiet_NaN();
    back.workImage.cic_dec[3] = 0;
    back.workImage.fir_dec[3] = 0;
    SettingsFromImage(back.workImage, back.settings);
    EXPECT_EQ(back.settings.SystemClock, 0);
    EXPECT_EQ(back.settings.FreqNCO[0], std::numeric_limits<int32_t>::min());
    EXPECT_EQ(back.settings.FreqNCO[1], 0);
    EXPECT_EQ(back.settings.Gain[2], 0.0f);
    // The next derivation copes with all of it.
    DeriveRegisters(back.settings, back);
    EXPECT_EQ(back.workImage.cic_dec[3], 1);
    EXPECT_EQ(back.workImage.fir_dec[3], 1);
    EXPECT_EQ(FreqWordOf(back.workImage.cic[0]), 0u);
}

}  // namespace
}  // namespace gc
