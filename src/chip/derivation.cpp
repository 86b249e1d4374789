#include "chip/derivation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "chip/address_gen.h"

namespace gc {

namespace {

uint16_t Low16(int64_t v) { return static_cast<uint16_t>(static_cast<uint64_t>(v)); }

// A float setting that is not a finite number (a damaged lab file can hold
// "nan" or "inf") counts as 0 in everything derived from it.
double FiniteOr0(float v) { return std::isfinite(v) ? static_cast<double>(v) : 0.0; }

// Truncation toward zero into the range of T; a value that is not a finite
// number gives 0 and finite values beyond the range saturate instead of
// converting out of range.
template <typename T>
T SaturatingTrunc(long double v) {
    if (!std::isfinite(v)) return 0;
    v = std::trunc(v);
    if (v <= static_cast<long double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (v >= static_cast<long double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(v);
}

// Blocks of a channel's fitted set as the derivation uses them: the fit never
// gives more than 16, and only 16 columns of coefficient RAM exist.
int BlocksOf(const CoefSetInfo& info) { return std::min<int>(info.nblocks, 16); }

// Rows fir_dec 0..8, columns nblocks 0..16. Column 16 is reached by a 256-tap
// unsymmetric set in SplitIQ or Double rate (and by the longest symmetric sets)
// but is not in the chip's table of 16 columns; it continues the table's own
// pattern: where nblocks is an even multiple of fir_dec the entry is
// 32 * nblocks (rows 1, 2, 4, 8), where it is no multiple the entry is 1
// (rows 3, 5, 6, 7), and row 0 alternates 0 and 128.
constexpr int16_t kSwapSync[kSwapSyncRows][kSwapSyncColumns] = {
    {0, 128, 0, 128, 0, 128, 0, 128, 0, 128, 0, 128, 0, 128, 0, 128, 0},
    {0, 64, 64, 192, 128, 320, 192, 448, 256, 576, 320, 704, 384, 832, 448, 960, 512},
    {512, 1, 128, 1, 128, 1, 384, 1, 256, 1, 640, 1, 384, 1, 896, 1, 512},
    {512, 1, 1, 192, 1, 1, 192, 1, 1, 576, 1, 1, 384, 1, 1, 900, 1},
    {1, 1, 1, 1, 256, 1, 1, 1, 256, 1, 1, 1, 768, 1, 1, 1, 512},
    {512, 1, 1, 1, 1, 320, 1, 1, 1, 1, 320, 1, 1, 1, 1, 900, 1},
    {1, 1, 1, 1, 1, 1, 384, 1, 1, 1, 1, 1, 288, 1, 1, 1, 1},
    {1, 1, 1, 1, 1, 1, 1, 448, 1, 1, 1, 1, 1, 1, 392, 1, 1},
    {1, 1, 1, 1, 1, 1, 1, 1, 512, 1, 1, 1, 1, 1, 1, 1, 512},
};

}  // namespace

int16_t SwapSyncTable(int firDec, int nblocks) {
    return kSwapSync[std::clamp(firDec, 0, kSwapSyncRows - 1)][std::clamp(nblocks, 0, kSwapSyncColumns - 1)];
}

CicShiftResult CicShift(int64_t n) {
    n = std::clamp<int64_t>(n, 1, 65535);
    unsigned __int128 G = 1;
    for (int p = 0; p < 5; ++p) G *= static_cast<unsigned __int128>(n);
    int k = 0;
    while (k < 40 && (static_cast<unsigned __int128>(1) << k) < G) ++k;
    CicShiftResult r;
    r.shift = static_cast<uint16_t>(std::max(0, 39 - k));
    r.norm = static_cast<float>(std::ldexp(static_cast<long double>(G), -k));
    return r;
}

int64_t NcoFreqWord(int64_t freqHz, int32_t systemClock, bool doubleRate) {
    if (systemClock <= 0) return 0;
    const __int128 F = static_cast<__int128>(-freqHz) * (doubleRate ? 2 : 1);
    // Exact: F * 2^48 needs up to 82 bits; C++ division truncates toward zero.
    const __int128 W = F * (static_cast<__int128>(1) << 48) / systemClock;
    // Keep the 48-bit field, read back as a signed value.
    const uint64_t field = static_cast<uint64_t>(W) & ((uint64_t{1} << 48) - 1);
    return field & (uint64_t{1} << 47) ? static_cast<int64_t>(field) - (int64_t{1} << 48) : static_cast<int64_t>(field);
}

int64_t DoubleRatePhaseAdvance(int32_t freqNco, int32_t systemClock) {
    if (systemClock <= 0) return 0;
    return 32768 * (int64_t{freqNco} * -2) / systemClock;
}

uint16_t PhaseWord(float phaseRad) {
    if (!std::isfinite(phaseRad)) return 0;
    const long double turns = static_cast<long double>(phaseRad) * (1.0L / (2.0L * std::numbers::pi_v<long double>));
    // Truncate first, then reduce: the low 16 bits of the integer, whatever its size.
    const long double p = std::fmod(std::trunc(turns * 65536.0L), 65536.0L);
    return static_cast<uint16_t>(static_cast<int32_t>(p < 0 ? p + 65536.0L : p));
}

uint32_t GainWord(float gain) {
    constexpr int64_t kMaxWord = 0x7FFFF;  // gain_msb holds 3 bits above the 16 of gain_lsb
    const int64_t G = SaturatingTrunc<int64_t>(static_cast<long double>(FiniteOr0(gain)) * 4096.0L);
    return static_cast<uint32_t>(std::clamp<int64_t>(G, 0, kMaxWord));
}

NcoWordsResult NcoWords(const Settings& st, int s) {
    NcoWordsResult r;
    if (!ValidChannel(s)) return r;
    r.phase = PhaseWord(st.PhaseNCO[s]);
    const int64_t W = NcoFreqWord(st.FreqNCO[s], st.SystemClock, EffectiveInputMode(st) == 2);
    r.freq_lsb = Low16(W);
    r.freq_mid = Low16(W >> 16);
    r.freq_msb = Low16(W >> 32);
    return r;
}

void FillCoefRam(ChipState& m, int from, int into) {
    if (!ValidChannel(from) || !ValidChannel(into)) return;
    CoefRamImage& ram = m.coefRam[into];
    const FittedTapSet& taps = m.fittedTaps[from];
    // Only row 0 is cleared: cells beyond the block count keep what an earlier
    // set left, as the chip's RAM would.
    ram[0].fill(0);
    const int Na = BlocksOf(m.coefSetInfo[from]);
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < Na; ++c) ram[r][c] = static_cast<int16_t>(Low16(taps[(r + 1) * Na - 1 - c]));
}

void SetupInputMode(const Settings& st, ChipState& m) {
    RegisterImage& w = m.workImage;
    const int mode = EffectiveInputMode(st);
    const bool split = mode != 0;
    w.pwr_dwn_fir_A = w.pwr_dwn_fir_B = w.pwr_dwn_fir_C = w.pwr_dwn_fir_D = 0;
    m.ChannelMask = split ? st.MaskChan2x : st.MaskChan4x;
    w.rin_rate = mode == 2 ? 2 : 1;
    w.splitiqAB = w.splitiqCD = w.splitiq = split ? 1 : 0;
    for (PfirChannelRegs& p : w.pfir) {
        p.routf_pwrdown = 0;
        if (st.EnableTDM == 1) p.routf_ctdm = 1;
        p.fir_cmplx = split ? 0 : 1;
        p.routf_iqmux = split ? 0 : 1;
    }
}

void SetupSummer(RegisterImage& w) {
    for (int16_t* f : {&w.sum_selI, &w.sum_selQ, &w.sum_shift, &w.sum_ia, &w.sum_ib, &w.sum_qa, &w.sum_qb, &w.sum_in,
                       &w.sum_of_Ia, &w.sum_of_Ib, &w.sum_of_Qa, &w.sum_of_Qb})
        *f = -1;
    w.rcv_noise_A = w.rcv_noise_B = w.rcv_noise_C = w.rcv_noise_D = 0;
    w.rinf_sel_A = w.rinf_sel_B = w.rinf_sel_C = w.rinf_sel_D = 4;
    w.toutf_hold_sync = 7;
    for (uint16_t* f :
         {&w.toutf_do, &w.toutf_co, &w.toutf_bo, &w.toutf_rnd_AB, &w.toutf_offsetbin, &w.toutf_halfcmplx_AB,
          &w.toutf_hold, &w.toutf_rnd_CD, &w.toutf_quiet_CD, &w.toutf_halfcmplx_CD, &w.toutf_sumin})
        *f = 0;
    w.toutf_xmt_CD = w.toutf_xmt_AB = w.t_cksum = -1;
}

void SetupChannelTop(const Settings& st, ChipState& m, int s, int i) {
    if (!ValidChannel(s) || !ValidChannel(i)) return;
    RegisterImage& w = m.workImage;
    const CoefSetInfo& info = m.coefSetInfo[s];
    // A zero frequency is stored as +0 so that no file shows "-0.000000".
    w.freq[i] = st.FreqNCO[s] == 0 ? 0.0f : static_cast<float>(static_cast<double>(st.FreqNCO[s]) * -1e-6);
    w.cic_dec[i] = static_cast<uint16_t>(DerivedCicDec(st.CicDec[s], w.rin_rate));
    w.sync_mode = Low16(st.sync_mode);
    w.fir_dec[i] = static_cast<uint16_t>(DerivedFirDec(st.FirDec[s]));
    w.fir_int[i] = 1;
    w.fir_diff[i] = 0;

    w.rin_cmplx = 0;
    w.routf_tdm = Low16(st.EnableTDM);
    w.tinf_tdm = 0;
    w.tout_cmplx = 1;
    w.tinf_cmplx[i] = 0;
    w.tinf_fs_dly[i] = 3;
    w.tout_res = 0;
    w.tout_nsig = 0;
    w.tout_rate = 1;
    w.tout_sumin = 0;

    w.bypass_mix[i] = w.bypass_mix[s];
    w.bypass_cic[i] = w.bypass_cic[s];
    w.bypass_fir[i] = w.bypass_fir[s];
    w.pins[i] = 16;
    w.bits[i] = 16;
    w.cic_int[i] = 1;

    w.gain[i] = static_cast<float>(FiniteOr0(st.Gain[s]));
    w.overall_gain[i] = static_cast<float>(FiniteOr0(st.OverallGain[s]));

    w.fir_sym[i] = w.coefsym[i] = info.symtype;
    w.xmt[i] = 0;
    w.powerdown[i] = 0;
    w.maxtap[i] = static_cast<uint16_t>(info.maxtap);
    w.sumtap[i] = info.sumtap;
    w.file_name[i] = st.NameOfPFIR[s];
}

void SetupCicNco(const Settings& st, ChipState& m, int s, int i) {
    if (!ValidChannel(s) || !ValidChannel(i)) return;
    RegisterImage& w = m.workImage;
    CicChannelRegs& cic = w.cic[i];
    const int mode = EffectiveInputMode(st);
    const int rinRate = w.rin_rate == 2 ? 2 : 1;
    const int cicDec = w.cic_dec[s];

    const CicShiftResult shift = CicShift(cicDec);
    cic.cic_shift = shift.shift;
    w.cic[s].cic_norm = shift.norm;
    cic.cic_rrcv = 1;
    cic.xmt_5stg = 0;
    cic.cic_rshift = cicDec > 222 ? 0 : 1;
    cic.cic_2x = rinRate == 1 ? 0 : 1;
    cic.cic_xmt_d6stg = 0;
    cic.cic_rcv_cross = mode == 0 ? 0 : (mode == 1 ? (i == s ? 0 : 1) : 1);
    cic.cic_rcv_full = m.coefSetInfo[s].symtype == 0 ? 1 : 0;
    cic.cic_bypass = 0;
    cic.cic_fl_status = -1;

    const NcoWordsResult nco = NcoWords(st, s);
    cic.freq_msb = nco.freq_msb;
    cic.freq_mid = nco.freq_mid;
    cic.freq_lsb = nco.freq_lsb;
    cic.phase = nco.phase;
    // The second channel of a Double rate pair sees the input one sample later.
    if (rinRate == 2 && i != s) cic.phase = Low16(cic.phase + DoubleRatePhaseAdvance(st.FreqNCO[s], st.SystemClock));

    const int adc = st.InpADC[s];
    if (rinRate == 1) {
        if (kBoardModel == 0 || kBoardModel == 2)
            cic.mix_rcv_sel = adc == 0 ? 0 : 2;
        else
            cic.mix_rcv_sel = adc >= 0 && adc <= 3 ? static_cast<uint16_t>(adc) : 0;  // the boards have ADCs 0..3
    } else {
        cic.mix_rcv_sel = i == s ? (adc == 0 ? 0 : 2) : (adc == 0 ? 1 : 3);
    }
    cic.mix_rcv_cmplx = 0;
    cic.mix_inv_qsin = 1;
    cic.mix_qsin = 0;
    cic.mix_inv_qcos = 0;
    cic.mix_qcos = 0;
    cic.mix_inv_isin = 0;
    cic.mix_isin = 1;
    cic.mix_inv_icos = 0;
    cic.mix_icos = 1;
    cic.dith_test = 0;
    cic.ncic = Low16(cicDec / rinRate - 1);
}

void SetupPfirAgc(const Settings& st, ChipState& m, int s, int i) {
    if (!ValidChannel(s) || !ValidChannel(i)) return;
    RegisterImage& w = m.workImage;
    PfirChannelRegs& p = w.pfir[i];
    const CoefSetInfo& info = m.coefSetInfo[s];
    const int mode = EffectiveInputMode(st);
    const int N = BlocksOf(info);
    const int D = DerivedFirDec(w.fir_dec[s]);
    const int K = (w.pfir[s].fir_cmplx != 0 ? 1 : 0) + 1;

    const uint32_t G = GainWord(st.Gain[s]);
    p.gain_lsb = static_cast<uint16_t>(G & 0xFFFF);
    p.gain_msb = static_cast<uint16_t>((G >> 16) & 7);
    p.agc_zmag = 15;
    p.agc_zero_cnt = 6;
    p.agc_sat_cnt = 6;
    p.pwr_meter_trig = 0;

    p.swap_wa_cnt = p.swap_ra_cnt = Low16(D * K - 1);
    p.swap_cmplx = w.splitiq == 0 ? 1 : 0;
    p.swap_xmt = 0;
    p.acc_cnt = Low16(N - 1);
    p.fir_shift = FirShift(info.sumtap, m.ManualFirShift).shift;
    p.fir_xenq = p.fir_xeni = p.fir_half = 0;
    p.fir_rnd20 = 1;

    const bool complexPfir = w.splitiq == 0;
    p.fir_fb = p.swap_fb = 0;
    p.acc_bypass = 0;
    if (complexPfir) {
        p.fir_cmplx = 1;
        p.acc_dly = 1;
        p.acc_enram = 1;
        p.acc_dly0 = 0;
        if (N == 1) {
            p.acc_enram = 0;
            p.acc_bypass = 1;
        }
    } else {
        p.fir_cmplx = 0;
        p.acc_dly = 0;
        p.acc_enram = 0;
        if (N == 1) p.acc_bypass = p.fir_fb = p.swap_fb = 1;
        p.acc_dly0 = 1;
    }

    const int T = SwapSyncTable(D, N);
    if (complexPfir)
        p.fir_sync_cnt = D == 3 ? 143 : Low16(T - 1);
    else
        p.fir_sync_cnt = Low16(T / 2 - 1);
    p.fir_test = -1;
    p.fir_en_sync_cnt = 1;

    FillCoefRam(m, s, i);
    FillCoefRam(m, i, i);

    const int K2 = p.fir_cmplx + 1;
    p.fir_clk_cnt = Low16(N * K2 / D - 1);
    p.fir_clk_cnt_en = 1;
    p.swap_rcv_tdly = 0;
    // The lowest CIC decimation of a split mode leaves the PFIR one clock per sample.
    const int cicDec = w.cic_dec[s];
    if ((mode == 1 && cicDec == 1) || (mode == 2 && cicDec == 2)) {
        p.fir_clk_cnt = 1;
        p.fir_clk_cnt_en = 0;
        p.swap_rcv_tdly = 1;
    }
}

void SetupSync(const Settings& st, RegisterImage& w, int s, int i) {
    if (!ValidChannel(s) || !ValidChannel(i)) return;
    w.soB_sync = Low16(st.soB_sync);
    CicChannelRegs& c = w.cic[i];
    c.freq_sync = Low16(st.freq_sync[s]);
    c.phase_sync = Low16(st.phase_sync[s]);
    c.dith_sync = Low16(st.dith_sync[s]);
    c.nco_sync = Low16(st.nco_sync[s]);
    c.flush_sync = Low16(st.flush_sync[s]);
    c.cic_sync = Low16(st.cic_sync[s]);
    PfirChannelRegs& p = w.pfir[i];
    p.fir_sync = Low16(st.fir_sync[s]);
    p.coef_sync = Low16(st.coef_sync[s]);
    p.gain_sync = Low16(st.gain_sync[s]);
    p.pwr_sync = Low16(st.pwr_mtr_sync[s]);
    p.sck_sync = Low16(st.sck_sync[s]);
}

void SetupAddrGen(ChipState& m, int s, int i) {
    if (!ValidChannel(s) || !ValidChannel(i)) return;
    RegisterImage& w = m.workImage;
    const CoefSetInfo& info = m.coefSetInfo[s];
    AddrGenShape shape;
    shape.nblocks = BlocksOf(info);
    shape.complex = w.pfir[s].fir_cmplx != 0 ? 1 : 0;
    shape.firDec = DerivedFirDec(w.fir_dec[s]);
    shape.symmetric = info.symmetric != 0 ? 1 : 0;
    shape.even = info.even != 0 ? 1 : 0;
    PfirChannelRegs& p = w.pfir[i];
    static_cast<AddrGenFields&>(p) = ComputeAddrGen(shape);
    p.fir_cmplx = static_cast<uint16_t>(shape.complex);
}

void DeriveRegisters(const Settings& st, ChipState& m) {
    RegisterImage& w = m.workImage;
    w.fck = static_cast<float>(static_cast<double>(st.SystemClock) * 1e-6);
    if (st.EnableTDM == 0)
        for (PfirChannelRegs& p : w.pfir) p.routf_ctdm = 0;
    SetupInputMode(st, m);
    SetupSummer(w);
    const int mode = EffectiveInputMode(st);
    // Each pass completes for all channels before the next: later passes read
    // what earlier ones wrote for the source channel.
    for (int i = 0; i < kChannels; ++i) SetupChannelTop(st, m, SourceChannel(mode, i), i);
    for (int i = 0; i < kChannels; ++i) SetupCicNco(st, m, SourceChannel(mode, i), i);
    for (int i = 0; i < kChannels; ++i) SetupPfirAgc(st, m, SourceChannel(mode, i), i);
    for (int i = 0; i < kChannels; ++i) SetupSync(st, w, SourceChannel(mode, i), i);
    for (int i = 0; i < kChannels; ++i) SetupAddrGen(m, SourceChannel(mode, i), i);
}

void CopySckDiv(const Settings& st, RegisterImage& w) {
    for (PfirChannelRegs& p : w.pfir) p.sck_div = static_cast<uint16_t>(st.sck_div);
}

void SettingsFromImage(const RegisterImage& w, Settings& st) {
    st.SystemClock = SaturatingTrunc<int32_t>(static_cast<long double>(w.fck) * 1000000.0L);
    for (int i = 0; i < kChannels; ++i) {
        st.FreqNCO[i] = SaturatingTrunc<int32_t>(-std::trunc(1000000.0L * static_cast<long double>(w.freq[i])));
        st.CicDec[i] = w.cic_dec[i];
        st.FirDec[i] = w.fir_dec[i];
        st.Gain[i] = std::isfinite(w.gain[i]) ? w.gain[i] : 0.0f;
    }
}

}  // namespace gc
