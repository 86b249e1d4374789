// The data of a configuration: the persisted settings, the register images and
// coefficient stores of the chip, and the decimation values that go with them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#ifndef GC5016_BOARD_MODEL
#define GC5016_BOARD_MODEL 2
#endif

namespace gc {

// Board model chosen at build time: 0..3 = TORVIN-A..TORVIN-D.
inline constexpr int kBoardModel = GC5016_BOARD_MODEL;
static_assert(kBoardModel >= 0 && kBoardModel <= 3, "board model must be 0..3");

inline constexpr int kChannels = 4;
inline constexpr int kCoefStoreSize = 544;
inline constexpr int kMaxTaps = 512;
inline constexpr int kCicDecMax = 1024;
inline constexpr int kResponsePoints = 256;

constexpr bool ValidChannel(int c) { return c >= 0 && c < kChannels; }

const char* BoardCaption(int model);  // main window caption
const char* LabHeader(int model);     // first line of a lab file
const char* BoardName(int model);     // "TORVIN-A".."TORVIN-D"

// The 45 settings stored in the lab file, in the order of the parameter table.
struct Settings {
    int32_t FullDebug = 0;
    int32_t TypeOfModule = 0;
    int32_t SystemClock = 100000000;
    int32_t ModeOfInput = 0;
    int32_t EnableTDM = 0;
    int32_t MaskChan4x = 15;
    int32_t MaskChan2x = 3;
    int32_t CicDec[kChannels] = {2, 2, 2, 2};
    int32_t CicM0Dec[kChannels] = {2, 2, 2, 2};
    int32_t CicM1Dec[kChannels] = {2, 2, 2, 2};
    int32_t CicM2Dec[kChannels] = {2, 2, 2, 2};
    int32_t FirDec[kChannels] = {1, 1, 1, 1};
    int32_t InpADC[kChannels] = {0, 0, 0, 0};
    int32_t FreqNCO[kChannels] = {10000000, 20000000, 30000000, 40000000};
    float Gain[kChannels] = {1.0f, 1.0f, 1.0f, 1.0f};
    float OverallGain[kChannels] = {3.0f, 3.0f, 3.0f, 3.0f};
    float PhaseNCO[kChannels] = {0.0f, 0.0f, 0.0f, 0.0f};
    int32_t sync_mode = 0;
    int32_t soB_sync = 4;
    int32_t freq_sync[kChannels] = {7, 7, 7, 7};
    int32_t phase_sync[kChannels] = {7, 7, 7, 7};
    int32_t dith_sync[kChannels] = {0, 0, 0, 0};
    int32_t nco_sync[kChannels] = {2, 2, 2, 2};
    int32_t flush_sync[kChannels] = {0, 0, 0, 0};
    int32_t cic_sync[kChannels] = {2, 2, 2, 2};
    int32_t fir_sync[kChannels] = {2, 2, 2, 2};
    int32_t coef_sync[kChannels] = {7, 7, 7, 7};
    int32_t gain_sync[kChannels] = {7, 7, 7, 7};
    int32_t pwr_mtr_sync[kChannels] = {7, 7, 7, 7};
    int32_t sck_sync[kChannels] = {2, 2, 2, 2};
    int32_t IndexFilter = 0;
    int32_t NumTapsFilter = 32;
    int32_t Deviation = 1000000;
    int32_t Obkatka = 0;
    int32_t sck_div = 0;
    int32_t shiftFir = 2;
    float scaleFir = 0.5f;
    // Coefficient-file names relative to FILTERS/ (lab keys "NameOfPFIR0: ".."NameOfPFIR3: ").
    // Kept as whole strings so that long names survive a save and a read.
    std::array<std::string, kChannels> NameOfPFIR = {"cdma.taps", "cdma.taps", "cdma.taps", "cdma.taps"};
    // The channel's request: passband and stopband edge (Hz; 0 follows the
    // output rate, see ChannelRequestOf), passband ripple and attenuation (dB).
    // Doubles, as an edge typed to the hertz must come back as typed.
    double ReqPassHz[kChannels] = {0, 0, 0, 0};
    double ReqStopHz[kChannels] = {0, 0, 0, 0};
    double ReqRippleDb[kChannels] = {0.1, 0.1, 0.1, 0.1};
    double ReqAttenDb[kChannels] = {80, 80, 80, 80};
};

// Summary of a channel's fitted coefficient set.
struct CoefSetInfo {
    uint16_t ntaps = 0;
    int16_t symmetric = 0;
    int16_t even = 0;
    uint16_t nblocks = 0;
    int16_t maxtap = 0;
    int32_t sumtap = 0;
    uint16_t symtype = 0;  // 0 unsymmetric, 1 odd-symmetric, 2 even-symmetric
    float pfir_gain = 0.0f;
};

// The PFIR address-generator fields of a channel, computed together from the
// shape of its coefficient set.
struct AddrGenFields {
    uint16_t coef_ofsc{}, coef_modc{}, coef_repc{}, coef_sym{}, coef_zerofr{};
    uint16_t agen_recr{}, agen_depd{}, agen_modd{}, agen_togen{};
    uint16_t fragen_soff{}, fragen_srecr{}, fragen_sdepd{}, fragen_stepn{};
    uint16_t fwagen_soff{}, fwagen_srecr{}, fwagen_sdepd{}, fwagen_wrecrl{};
    uint16_t bragen_soff{}, bragen_srecr{}, bragen_sdepd{}, bragen_stepn{};
    uint16_t bwagen_soff{}, bwagen_srecr{}, bwagen_sdepd{}, bwagen_wrecrl{};
    uint16_t beragen_soff{}, beragen_srecr{}, beragen_sdepd{}, beragen_stepn{};
    uint16_t bewagen_soff{}, bewagen_srecr{}, bewagen_sdepd{}, bewagen_wrecrl{};
    uint16_t fwa_strobe{}, bwa_strobe{}, beagen_rbypass{};
};

struct PfirChannelRegs : AddrGenFields {
    std::array<int16_t, kCoefStoreSize> coef{};  // the channel's coefficient store
    uint16_t tinf_bits = 0;
    uint16_t tinf_pins = 0;
    uint16_t tinf_iqmux = 0;
    uint16_t tinf_pariq = 0;
    uint16_t tinf_src = 0;
    uint16_t tinf_xmt = 0;
    uint16_t fso_sel = 0;
    uint16_t tinf_first = 0;
    uint16_t tinf_second = 0;
    uint16_t sck_div = 0;
    uint16_t tinf_fso_dly = 0;
    uint16_t tinf_fs_cnt = 0;
    uint16_t tinf_nfs = 0;
    uint16_t gain_lsb = 0;
    uint16_t gain_msb = 0;
    uint16_t agc_freeze = 0;
    uint16_t gain_rnd = 0;
    int16_t gain_half = 0;
    uint16_t agc_hold = 0;
    uint16_t agc_gain_out = 0;
    uint16_t agc_zmag = 0;
    uint16_t agc_min = 0;
    uint16_t agc_max = 0;
    uint16_t agc_zero_cnt = 0;
    uint16_t agc_sat_cnt = 0;
    uint16_t agc_thresh = 0;
    uint16_t agc_Dblw = 0;
    uint16_t agc_Dabv = 0;
    uint16_t agc_Dzro = 0;
    uint16_t agc_Dsat = 0;
    int16_t gain_read = 0;
    int16_t pwr_meter_lsb = 0;
    int16_t pwr_meter_msb = 0;
    uint16_t pwr_meter_trig = 0;
    uint16_t pwr_integ = 0;
    uint16_t pwr_mtr_on = 0;
    uint16_t routf_pins = 0;
    uint16_t routf_bits = 0;
    uint16_t routf_iqmux = 0;
    uint16_t routf_pwrdown = 0;
    uint16_t routf_ctdm = 0;
    uint16_t pwr_test = 0;
    uint16_t tx_pat_gen = 0;
    int16_t rcv_cksum = 0;
    uint16_t swap_wa_cnt = 0;
    uint16_t swap_ra_cnt = 0;
    uint16_t swap_xmt = 0;
    uint16_t swap_cmplx = 0;
    uint16_t fir_fb = 0;
    uint16_t swap_fb = 0;
    uint16_t swap_rcv_tdly = 0;
    uint16_t acc_dly = 0;
    uint16_t acc_cnt = 0;
    uint16_t acc_dly0 = 0;
    uint16_t acc_bypass = 0;
    uint16_t acc_enram = 0;
    uint16_t fir_shift = 0;
    uint16_t fir_xenq = 0;
    uint16_t fir_xeni = 0;
    uint16_t fir_half = 0;
    uint16_t fir_rnd20 = 0;
    uint16_t fir_cmplx = 0;
    uint16_t fir_sync_cnt = 0;
    uint16_t fir_clk_cnt = 0;
    uint16_t fir_clk_cnt_en = 0;
    int16_t fir_test = 0;
    uint16_t fir_en_sync_cnt = 0;
    uint16_t cksum_sync_back = 0;
    uint16_t fir_sync = 0;
    uint16_t coef_sync = 0;
    uint16_t gain_sync = 0;
    uint16_t pwr_sync = 0;
    uint16_t sck_sync = 0;
};

struct CicChannelRegs {
    uint16_t cic_shift = 0;
    uint16_t cic_rrcv = 0;
    uint16_t xmt_5stg = 0;
    uint16_t cic_rshift = 0;
    uint16_t cic_2x = 0;
    uint16_t cic_xmt_d6stg = 0;
    uint16_t cic_rcv_cross = 0;
    uint16_t cic_rcv_full = 0;
    uint16_t cic_bypass = 0;
    int16_t cic_fl_status = 0;
    uint16_t phase = 0;
    uint16_t freq_lsb = 0;
    uint16_t freq_mid = 0;
    uint16_t freq_msb = 0;
    uint16_t mix_rcv_sel = 0;
    uint16_t mix_rcv_cmplx = 0;
    uint16_t mix_inv_qsin = 0;
    uint16_t mix_qsin = 0;
    uint16_t mix_inv_qcos = 0;
    uint16_t mix_qcos = 0;
    uint16_t mix_inv_isin = 0;
    uint16_t mix_isin = 0;
    uint16_t mix_inv_icos = 0;
    uint16_t mix_icos = 0;
    uint16_t freq_sync = 0;
    uint16_t phase_sync = 0;
    uint16_t dith_sync = 0;
    uint16_t nco_sync = 0;
    uint16_t flush_sync = 0;
    uint16_t dith_test = 0;
    uint16_t ncic = 0;
    uint16_t cic_sync = 0;
    float cic_norm = 0.0f;  // normalisation of the CIC gain, not a register
};

struct RegisterImage {
    int16_t ck_loss_status = 0;
    uint16_t en_ck_loss = 0;
    uint16_t pwr_dwn_fir_A = 0;
    uint16_t pwr_dwn_fir_B = 0;
    uint16_t pwr_dwn_fir_C = 0;
    uint16_t pwr_dwn_fir_D = 0;
    uint16_t pwr_dwn_cic_AB = 0;
    uint16_t pwr_dwn_cic_CD = 0;
    uint16_t master_reset = 0;
    uint16_t soB_sync = 0;
    uint16_t one_shot = 0;
    int16_t page = 0;
    int16_t chip_rev = -1;
    uint16_t en_AO = 0;
    uint16_t en_AFS = 0;
    uint16_t en_BO = 0;
    uint16_t en_BFS = 0;
    uint16_t en_CO = 0;
    uint16_t en_CFS = 0;
    uint16_t en_DO = 0;
    uint16_t en_DFS = 0;
    uint16_t en_soB = 0;
    uint16_t ckp_A = 0;
    uint16_t ckp_B = 0;
    uint16_t ckp_C = 0;
    uint16_t ckp_D = 0;
    uint16_t sumin_clr = 0;
    std::array<PfirChannelRegs, kChannels> pfir{};
    std::array<CicChannelRegs, kChannels> cic{};
    int16_t sum_selI = 0;
    int16_t sum_selQ = 0;
    int16_t sum_shift = 0;
    int16_t sum_ia = 0;
    int16_t sum_ib = 0;
    int16_t sum_qa = 0;
    int16_t sum_qb = 0;
    int16_t sum_in = 0;
    int16_t sum_of_Ia = 0;
    int16_t sum_of_Ib = 0;
    int16_t sum_of_Qa = 0;
    int16_t sum_of_Qb = 0;
    uint16_t rcv_noise_A = 0;
    uint16_t rcv_noise_B = 0;
    uint16_t rcv_noise_C = 0;
    uint16_t rcv_noise_D = 0;
    uint16_t rinf_sel_A = 0;
    uint16_t rinf_sel_B = 0;
    uint16_t rinf_sel_C = 0;
    uint16_t rinf_sel_D = 0;
    uint16_t gen_timer = 0;
    uint16_t rinf_zpad = 0;
    uint16_t rinf_diag = 0;
    uint16_t gen_timer_test = 0;
    uint16_t gen_timer_sync = 0;
    uint16_t cksum_sync_front = 0;
    uint16_t rinf_zpad_sync = 0;
    uint16_t toutf_hold_sync = 0;
    uint16_t toutf_do = 0;
    uint16_t toutf_co = 0;
    uint16_t toutf_bo = 0;
    uint16_t toutf_rnd_AB = 0;
    uint16_t toutf_offsetbin = 0;
    uint16_t toutf_halfcmplx_AB = 0;
    uint16_t toutf_hold = 0;
    uint16_t toutf_rnd_CD = 0;
    uint16_t toutf_quiet_CD = 0;
    uint16_t toutf_halfcmplx_CD = 0;
    int16_t toutf_xmt_CD = 0;
    uint16_t toutf_sumin = 0;
    int16_t toutf_xmt_AB = 0;
    int16_t t_cksum = 0;
    int16_t agc_mode[kChannels]{};
    int16_t agc_tc[kChannels]{};
    int16_t agc_cf[kChannels]{};
    uint16_t sync_mode = 0;
    uint16_t fir_dec[kChannels]{};
    uint16_t fir_int[kChannels]{};
    uint16_t fir_diff[kChannels]{};
    uint16_t fir_nchan[kChannels]{};
    uint16_t rin_cmplx{};
    uint16_t rin_rate{};
    uint16_t routf_tdm{};
    uint16_t tinf_tdm{};
    uint16_t tinf_cmplx[kChannels]{};
    uint16_t tinf_fs_dly[kChannels]{};
    uint16_t tout_cmplx{};
    uint16_t tout_res{};
    uint16_t tout_nsig{};
    uint16_t tout_rate{};
    uint16_t tout_sumin{};
    uint16_t splitiqAB{};
    uint16_t splitiqCD{};
    uint16_t splitiq{};
    uint16_t bypass_mix[kChannels]{};
    uint16_t bypass_cic[kChannels]{};
    uint16_t bypass_fir[kChannels]{};
    uint16_t pins[kChannels]{};
    uint16_t bits[kChannels]{};
    uint16_t cic_int[kChannels]{};
    uint16_t cic_dec[kChannels]{};
    float gain[kChannels]{};
    float overall_gain[kChannels]{};
    float fck{};
    float freq[kChannels]{};
    uint16_t fir_sym[kChannels]{};
    uint16_t xmt[kChannels]{};
    uint16_t powerdown[kChannels]{};
    uint16_t coefsym[kChannels]{};
    uint16_t ncoefs[kChannels]{};
    uint16_t maxtap[kChannels]{};
    int32_t sumtap[kChannels]{};
    std::array<std::string, kChannels> file_name{};  // coefficient-file names, channels A..D
};

using FittedTapSet = std::array<int32_t, kMaxTaps>;

// Colour of the coefficient-file box after a fit: the taps were cut (Red), have
// exactly the longest allowed length (Face) or are shorter than it (Yellow).
enum class PfirFitColour : uint8_t { Face, Red, Yellow };

using CoefRamImage = std::array<std::array<int16_t, 16>, 16>;  // [row][column]

// One page/register/value triple of the program file: page in bits 24..31,
// register in bits 16..23, value in bits 0..15.
using RegisterWrite = uint32_t;
inline constexpr int kRegisterWriteCapacity = 4096;
struct RegisterWriteList {
    std::array<RegisterWrite, kRegisterWriteCapacity> writes{};
    int count = 0;
};
using PageTable = std::array<uint16_t, 16>;  // registers 16..31 of one page

// The chip side of a configuration: both register images, the fitted PFIR
// sets, the coefficient RAM, the page tables and the write list. The fit and
// the derivation write it from the settings; the chip files are written from it.
struct ChipState {
    RegisterImage workImage;
    RegisterImage toolImage;  // what the chip tool's table holds, for the comparison
    std::array<FittedTapSet, kChannels> fittedTaps{};
    std::array<CoefSetInfo, kChannels> coefSetInfo{};
    std::array<PfirFitColour, kChannels> pfirFitColour{};
    std::array<CoefRamImage, kChannels> coefRam{};
    // The manual PFIR shift of the "ЛЧМ" box, present only while that box is
    // checked: the fit, the derivation and the program file use it in place of
    // the computed shift.
    std::optional<int> ManualFirShift;

    // Register page map and program file. The chip tool's own pages 16 and 17
    // live in words 512..543 of each channel's coefficient store (page_map.h).
    std::array<PageTable, kChannels> page16Table{};
    std::array<PageTable, kChannels> page17Table{};
    std::array<PageTable, kChannels> readBackPage17Table{};
    RegisterWriteList registerWriteList;
    int32_t ChannelMask = 15;  // channels in use, set by the derivation
    int32_t AdcMask = 0;       // ADC inputs in use, set when the program file is written
};

// The decimation values that go with the settings but are not stored as
// such: the total decimations as last recomputed (the program file's header
// carries them), the output rates, the CIC bounds of the input mode and the
// board's minimum total decimation per input mode.
struct DecimationState {
    int32_t TotalDec[kChannels] = {2, 4, 8, 16};
    float OutputRate[kChannels] = {0.0f, 0.0f, 0.0f, 0.0f};
    int32_t CicDecMin = 1;
    int32_t CicDecStep = 1;
    int32_t MinTotalDec[3] = {1, 1, 1};
};

}  // namespace gc
