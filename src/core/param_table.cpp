#include "core/param_table.h"

#include <cmath>
#include <limits>
#include <type_traits>
#include <vector>

namespace gc {

namespace {

template <class M>
struct MemberOf;
template <class R, class T>
struct MemberOf<T R::*> {
    using Record = R;
    using Type = T;
};

// The type code follows from the field's C++ type, so it cannot disagree with it.
template <class T>
constexpr ParamType TypeCode() {
    using V = std::remove_extent_t<T>;
    if constexpr (std::is_same_v<V, uint16_t>) return ParamType::UInt16;
    if constexpr (std::is_same_v<V, int16_t>) return ParamType::Int16;
    if constexpr (std::is_same_v<V, int32_t>) return ParamType::Int;
    if constexpr (std::is_same_v<V, float> || std::is_same_v<V, double>) return ParamType::Float;
    static_assert(std::is_same_v<V, uint16_t> || std::is_same_v<V, int16_t> || std::is_same_v<V, int32_t> ||
                      std::is_same_v<V, float> || std::is_same_v<V, double>,
                  "a parameter is a 16-bit or 32-bit integer or a float");
    return ParamType::Int;
}

// A member of the record itself: one value, or four consecutive ones for an array.
template <auto M>
constexpr ParamEntry<typename MemberOf<decltype(M)>::Record> Direct(const char* name) {
    using Info = MemberOf<decltype(M)>;
    using R = typename Info::Record;
    using T = typename Info::Type;
    if constexpr (std::is_array_v<T>)
        return {TypeCode<T>(), ParamCount::Array4, name, [](R& r, int k) -> FieldRef { return &(r.*M)[k]; }};
    else
        return {TypeCode<T>(), ParamCount::Scalar, name, [](R& r, int) -> FieldRef { return &(r.*M); }};
}

template <auto M>
constexpr SettingParam Setting(const char* name) {
    return Direct<M>(name);
}

template <size_t I>
constexpr SettingParam FileNameSetting(const char* name) {
    return {ParamType::String, ParamCount::Scalar, name, [](Settings& s, int) -> FieldRef { return &s.NameOfPFIR[I]; }};
}

// A register field as the two tables name it; workName is nullptr for the
// fields only the chip tool's table lists.
struct RegisterField {
    RegisterParam param;  // named as the chip tool's table names it
    const char* workName;
};

constexpr RegisterField Named(RegisterParam p, const char* workName, const char* toolName) {
    p.name = toolName ? toolName : workName;
    return {p, workName};
}

template <auto M>
constexpr RegisterField ImageField(const char* workName, const char* toolName = nullptr) {
    return Named(Direct<M>(""), workName, toolName);
}

template <auto M>
constexpr RegisterField PfirField(const char* workName, const char* toolName = nullptr) {
    using T = typename MemberOf<decltype(M)>::Type;
    return Named({TypeCode<T>(), ParamCount::PfirChannel, "",
                  [](RegisterImage& r, int k) -> FieldRef { return &(r.pfir[static_cast<size_t>(k)].*M); }},
                 workName, toolName);
}

template <auto M>
constexpr RegisterField CicField(const char* workName, const char* toolName = nullptr) {
    using T = typename MemberOf<decltype(M)>::Type;
    return Named({TypeCode<T>(), ParamCount::CicChannel, "",
                  [](RegisterImage& r, int k) -> FieldRef { return &(r.cic[static_cast<size_t>(k)].*M); }},
                 workName, toolName);
}

// A chip-global field kept in channel A's record.
template <auto M>
constexpr RegisterField ChannelA(const char* workName, const char* toolName = nullptr) {
    using T = typename MemberOf<decltype(M)>::Type;
    return Named(
        {TypeCode<T>(), ParamCount::Scalar, "", [](RegisterImage& r, int) -> FieldRef { return &(r.pfir[0].*M); }},
        workName, toolName);
}

constexpr SettingParam kSettings[] = {
    Setting<&Settings::FullDebug>("FullDebug"),
    Setting<&Settings::TypeOfModule>("TypeOfModule"),
    Setting<&Settings::SystemClock>("SystemClock"),
    Setting<&Settings::ModeOfInput>("ModeOfInput"),
    Setting<&Settings::EnableTDM>("EnableTDM"),
    Setting<&Settings::MaskChan4x>("MaskChan4x"),
    Setting<&Settings::MaskChan2x>("MaskChan2x"),
    Setting<&Settings::CicDec>("CicDec"),
    Setting<&Settings::CicM0Dec>("CicM0Dec"),
    Setting<&Settings::CicM1Dec>("CicM1Dec"),
    Setting<&Settings::CicM2Dec>("CicM2Dec"),
    Setting<&Settings::FirDec>("FirDec"),
    Setting<&Settings::InpADC>("InpADC"),
    Setting<&Settings::FreqNCO>("FreqNCO"),
    Setting<&Settings::Gain>("Gain"),
    Setting<&Settings::OverallGain>("OverallGain"),
    Setting<&Settings::PhaseNCO>("PhaseNCO"),
    Setting<&Settings::sync_mode>("sync_mode"),
    Setting<&Settings::soB_sync>("soB_sync"),
    Setting<&Settings::freq_sync>("freq_sync"),
    Setting<&Settings::phase_sync>("phase_sync"),
    Setting<&Settings::dith_sync>("dith_sync"),
    Setting<&Settings::nco_sync>("nco_sync"),
    Setting<&Settings::flush_sync>("flush_sync"),
    Setting<&Settings::cic_sync>("cic_sync"),
    Setting<&Settings::fir_sync>("fir_sync"),
    Setting<&Settings::coef_sync>("coef_sync"),
    Setting<&Settings::gain_sync>("gain_sync"),
    Setting<&Settings::pwr_mtr_sync>("pwr_mtr_sync"),
    Setting<&Settings::sck_sync>("sck_sync"),
    Setting<&Settings::IndexFilter>("IndexFilter"),
    Setting<&Settings::NumTapsFilter>("NumTapsFilter"),
    Setting<&Settings::Deviation>("Deviation"),
    Setting<&Settings::Obkatka>("Obkatka"),
    Setting<&Settings::sck_div>("sck_div"),
    Setting<&Settings::shiftFir>("shiftFir"),
    Setting<&Settings::scaleFir>("scaleFir"),
    FileNameSetting<0>("NameOfPFIR0: "),
    FileNameSetting<1>("NameOfPFIR1: "),
    FileNameSetting<2>("NameOfPFIR2: "),
    FileNameSetting<3>("NameOfPFIR3: "),
    Setting<&Settings::ReqPassHz>("ReqPassHz"),
    Setting<&Settings::ReqStopHz>("ReqStopHz"),
    Setting<&Settings::ReqRippleDb>("ReqRippleDb"),
    Setting<&Settings::ReqAttenDb>("ReqAttenDb"),
};
static_assert(std::size(kSettings) == 45);

constexpr RegisterField kRegisterFields[] = {
    ImageField<&RegisterImage::ck_loss_status>("ck_loss_status"),
    ImageField<&RegisterImage::en_ck_loss>("en_ck_loss"),
    ImageField<&RegisterImage::pwr_dwn_fir_A>("pwr_dwn_fir_A"),
    ImageField<&RegisterImage::pwr_dwn_fir_B>("pwr_dwn_fir_B"),
    ImageField<&RegisterImage::pwr_dwn_fir_C>("pwr_dwn_fir_C"),
    ImageField<&RegisterImage::pwr_dwn_fir_D>("pwr_dwn_fir_D"),
    ImageField<&RegisterImage::pwr_dwn_cic_AB>("pwr_dwn_cic_AB"),
    ImageField<&RegisterImage::pwr_dwn_cic_CD>("pwr_dwn_cic_CD"),
    ImageField<&RegisterImage::master_reset>("master_reset"),
    ImageField<&RegisterImage::soB_sync>("soB_sync"),
    ImageField<&RegisterImage::one_shot>("one_shot"),
    ImageField<&RegisterImage::page>("page"),
    ImageField<&RegisterImage::chip_rev>("chip_rev"),
    ImageField<&RegisterImage::en_AO>("en_AO"),
    ImageField<&RegisterImage::en_AFS>("en_AFS"),
    ImageField<&RegisterImage::en_BO>("en_BO"),
    ImageField<&RegisterImage::en_BFS>("en_BFS"),
    ImageField<&RegisterImage::en_CO>("en_CO"),
    ImageField<&RegisterImage::en_CFS>("en_CFS"),
    ImageField<&RegisterImage::en_DO>("en_DO"),
    ImageField<&RegisterImage::en_DFS>("en_DFS"),
    ImageField<&RegisterImage::en_soB>("en_soB"),
    ImageField<&RegisterImage::ckp_A>("ckp_A"),
    ImageField<&RegisterImage::ckp_B>("ckp_B"),
    ImageField<&RegisterImage::ckp_C>("ckp_C"),
    ImageField<&RegisterImage::ckp_D>("ckp_D"),
    ImageField<&RegisterImage::sumin_clr>("sumin_clr"),
    PfirField<&PfirChannelRegs::coef_ofsc>("coef_ofsc"),
    PfirField<&PfirChannelRegs::coef_modc>("coef_modc"),
    PfirField<&PfirChannelRegs::coef_repc>("coef_repc"),
    PfirField<&PfirChannelRegs::coef_sym>("coef_sym"),
    PfirField<&PfirChannelRegs::coef_zerofr>("coef_zerofr"),
    PfirField<&PfirChannelRegs::agen_recr>("agen_recr"),
    PfirField<&PfirChannelRegs::agen_depd>("agen_depd"),
    PfirField<&PfirChannelRegs::agen_modd>("agen_modd"),
    PfirField<&PfirChannelRegs::agen_togen>("agen_togen"),
    PfirField<&PfirChannelRegs::fragen_soff>("fragen_soff"),
    PfirField<&PfirChannelRegs::fragen_srecr>("fragen_srecr"),
    PfirField<&PfirChannelRegs::fragen_sdepd>("fragen_sdepd"),
    PfirField<&PfirChannelRegs::fragen_stepn>("fragen_stepn"),
    PfirField<&PfirChannelRegs::fwagen_soff>("fwagen_soff"),
    PfirField<&PfirChannelRegs::fwagen_srecr>("fwagen_srecr"),
    PfirField<&PfirChannelRegs::fwagen_sdepd>("fwagen_sdepd"),
    PfirField<&PfirChannelRegs::fwagen_wrecrl>("fwagen_wrecrl"),
    PfirField<&PfirChannelRegs::bragen_soff>("bragen_soff"),
    PfirField<&PfirChannelRegs::bragen_srecr>("bragen_srecr"),
    PfirField<&PfirChannelRegs::bragen_sdepd>("bragen_sdepd"),
    PfirField<&PfirChannelRegs::bragen_stepn>("bragen_stepn"),
    PfirField<&PfirChannelRegs::bwagen_soff>("bwagen_soff"),
    PfirField<&PfirChannelRegs::bwagen_srecr>("bwagen_srecr"),
    PfirField<&PfirChannelRegs::bwagen_sdepd>("bwagen_sdepd"),
    PfirField<&PfirChannelRegs::bwagen_wrecrl>("bwagen_wrecrl"),
    PfirField<&PfirChannelRegs::beragen_soff>("beragen_soff"),
    PfirField<&PfirChannelRegs::beragen_srecr>("beragen_srecr"),
    PfirField<&PfirChannelRegs::beragen_sdepd>("beragen_sdepd"),
    PfirField<&PfirChannelRegs::beragen_stepn>("beragen_stepn"),
    PfirField<&PfirChannelRegs::bewagen_soff>("bewagen_soff"),
    PfirField<&PfirChannelRegs::bewagen_srecr>("bewagen_srecr"),
    PfirField<&PfirChannelRegs::bewagen_sdepd>("bewagen_sdepd"),
    PfirField<&PfirChannelRegs::bewagen_wrecrl>("bewagen_wrecrl"),
    PfirField<&PfirChannelRegs::fwa_strobe>("fwa_strobe"),
    PfirField<&PfirChannelRegs::bwa_strobe>("bwa_strobe"),
    PfirField<&PfirChannelRegs::beagen_rbypass>("beagen_rbypass"),
    PfirField<&PfirChannelRegs::tinf_bits>("tinf_bits"),
    PfirField<&PfirChannelRegs::tinf_pins>("tinf_pins"),
    PfirField<&PfirChannelRegs::tinf_iqmux>("tinf_iqmux"),
    PfirField<&PfirChannelRegs::tinf_pariq>("tinf_pariq"),
    PfirField<&PfirChannelRegs::tinf_src>("tinf_src"),
    PfirField<&PfirChannelRegs::tinf_xmt>("tinf_xmt"),
    PfirField<&PfirChannelRegs::fso_sel>("fso_sel"),
    PfirField<&PfirChannelRegs::tinf_first>("tinf_first"),
    PfirField<&PfirChannelRegs::tinf_second>("tinf_second"),
    PfirField<&PfirChannelRegs::sck_div>("sck_div"),
    PfirField<&PfirChannelRegs::tinf_fso_dly>("tinf_fso_dly"),
    PfirField<&PfirChannelRegs::tinf_fs_cnt>("tinf_fs_cnt"),
    PfirField<&PfirChannelRegs::tinf_nfs>("tinf_nfs"),
    PfirField<&PfirChannelRegs::gain_lsb>("gain_lsb"),
    PfirField<&PfirChannelRegs::gain_msb>("gain_msb"),
    PfirField<&PfirChannelRegs::agc_freeze>("agc_freeze"),
    PfirField<&PfirChannelRegs::gain_rnd>("gain_rnd"),
    PfirField<&PfirChannelRegs::gain_half>("gain_half"),
    PfirField<&PfirChannelRegs::agc_hold>("agc_hold"),
    PfirField<&PfirChannelRegs::agc_gain_out>("agc_gain_out"),
    PfirField<&PfirChannelRegs::agc_zmag>("agc_zmag"),
    PfirField<&PfirChannelRegs::agc_min>("agc_min"),
    PfirField<&PfirChannelRegs::agc_max>("agc_max"),
    PfirField<&PfirChannelRegs::agc_zero_cnt>("agc_zero_cnt"),
    PfirField<&PfirChannelRegs::agc_sat_cnt>("agc_sat_cnt"),
    PfirField<&PfirChannelRegs::agc_thresh>("agc_thresh"),
    PfirField<&PfirChannelRegs::agc_Dblw>("agc_Dblw"),
    PfirField<&PfirChannelRegs::agc_Dabv>("agc_Dabv"),
    PfirField<&PfirChannelRegs::agc_Dzro>("agc_Dzro"),
    PfirField<&PfirChannelRegs::agc_Dsat>("agc_Dsat"),
    PfirField<&PfirChannelRegs::gain_read>("gain_read"),
    PfirField<&PfirChannelRegs::pwr_meter_lsb>("pwr_meter_lsb"),
    PfirField<&PfirChannelRegs::pwr_meter_msb>("pwr_meter_msb"),
    PfirField<&PfirChannelRegs::pwr_meter_trig>("pwr_meter_trig"),
    PfirField<&PfirChannelRegs::pwr_integ>("pwr_integ", "pwr_mtr_integ"),
    PfirField<&PfirChannelRegs::pwr_mtr_on>(nullptr, "pwr_mtr_on"),
    PfirField<&PfirChannelRegs::routf_pins>("routf_pins"),
    PfirField<&PfirChannelRegs::routf_bits>("routf_bits"),
    PfirField<&PfirChannelRegs::routf_iqmux>("routf_iqmux"),
    PfirField<&PfirChannelRegs::routf_pwrdown>("routf_pwrdown"),
    PfirField<&PfirChannelRegs::routf_ctdm>("routf_ctdm"),
    PfirField<&PfirChannelRegs::pwr_test>("pwr_test"),
    ChannelA<&PfirChannelRegs::tx_pat_gen>("tx_pat_gen"),
    ChannelA<&PfirChannelRegs::rcv_cksum>("rcv_cksum"),
    PfirField<&PfirChannelRegs::swap_wa_cnt>("swap_wa_cnt"),
    PfirField<&PfirChannelRegs::swap_ra_cnt>("swap_ra_cnt"),
    PfirField<&PfirChannelRegs::swap_xmt>("swap_xmt"),
    PfirField<&PfirChannelRegs::swap_cmplx>("swap_cmplx"),
    PfirField<&PfirChannelRegs::fir_fb>("fir_fb"),
    PfirField<&PfirChannelRegs::swap_fb>("swap_fb"),
    PfirField<&PfirChannelRegs::swap_rcv_tdly>("swap_rcv_tdly"),
    PfirField<&PfirChannelRegs::acc_dly>("acc_dly"),
    PfirField<&PfirChannelRegs::acc_cnt>("acc_cnt"),
    PfirField<&PfirChannelRegs::acc_dly0>("acc_dly0"),
    PfirField<&PfirChannelRegs::acc_bypass>("acc_bypass"),
    PfirField<&PfirChannelRegs::acc_enram>("acc_enram"),
    PfirField<&PfirChannelRegs::fir_shift>("fir_shift"),
    PfirField<&PfirChannelRegs::fir_xenq>("fir_xenq"),
    PfirField<&PfirChannelRegs::fir_xeni>("fir_xeni"),
    PfirField<&PfirChannelRegs::fir_half>("fir_half"),
    PfirField<&PfirChannelRegs::fir_rnd20>("fir_rnd20"),
    PfirField<&PfirChannelRegs::fir_cmplx>("fir_cmplx"),
    PfirField<&PfirChannelRegs::fir_sync_cnt>("fir_sync_cnt"),
    PfirField<&PfirChannelRegs::fir_clk_cnt>("fir_clk_cnt"),
    PfirField<&PfirChannelRegs::fir_clk_cnt_en>("fir_clk_cnt_en"),
    PfirField<&PfirChannelRegs::fir_test>("fir_test"),
    PfirField<&PfirChannelRegs::fir_en_sync_cnt>("fir_en_sync_cnt"),
    PfirField<&PfirChannelRegs::cksum_sync_back>("cksum_sync_back"),
    PfirField<&PfirChannelRegs::fir_sync>("fir_sync"),
    PfirField<&PfirChannelRegs::coef_sync>("coef_sync"),
    PfirField<&PfirChannelRegs::gain_sync>("gain_sync"),
    PfirField<&PfirChannelRegs::pwr_sync>("pwr_sync", "pwr_mtr_sync"),
    PfirField<&PfirChannelRegs::sck_sync>("sck_sync"),
    CicField<&CicChannelRegs::cic_shift>("cic_shift"),
    CicField<&CicChannelRegs::cic_rrcv>("cic_rrcv", "cic_rcv"),
    CicField<&CicChannelRegs::xmt_5stg>("xmt_5stg", "cic_xmt_5stg"),
    CicField<&CicChannelRegs::cic_rshift>("cic_rshift"),
    CicField<&CicChannelRegs::cic_2x>("cic_2x"),
    CicField<&CicChannelRegs::cic_xmt_d6stg>("cic_xmt_d6stg"),
    CicField<&CicChannelRegs::cic_rcv_cross>("cic_rcv_cross"),
    CicField<&CicChannelRegs::cic_rcv_full>("cic_rcv_full"),
    CicField<&CicChannelRegs::cic_bypass>("cic_bypass"),
    CicField<&CicChannelRegs::cic_fl_status>("cic_fl_status"),
    CicField<&CicChannelRegs::phase>("phase"),
    CicField<&CicChannelRegs::freq_lsb>("freq_lsb"),
    CicField<&CicChannelRegs::freq_mid>("freq_mid"),
    CicField<&CicChannelRegs::freq_msb>("freq_msb"),
    CicField<&CicChannelRegs::mix_rcv_sel>("mix_rcv_sel"),
    CicField<&CicChannelRegs::mix_rcv_cmplx>("mix_rcv_cmplx"),
    CicField<&CicChannelRegs::mix_inv_qsin>("mix_inv_qsin"),
    CicField<&CicChannelRegs::mix_qsin>("mix_qsin"),
    CicField<&CicChannelRegs::mix_inv_qcos>("mix_inv_qcos"),
    CicField<&CicChannelRegs::mix_qcos>("mix_qcos"),
    CicField<&CicChannelRegs::mix_inv_isin>("mix_inv_isin"),
    CicField<&CicChannelRegs::mix_isin>("mix_isin"),
    CicField<&CicChannelRegs::mix_inv_icos>("mix_inv_icos"),
    CicField<&CicChannelRegs::mix_icos>("mix_icos"),
    CicField<&CicChannelRegs::freq_sync>("freq_sync"),
    CicField<&CicChannelRegs::phase_sync>("phase_sync"),
    CicField<&CicChannelRegs::dith_sync>("dith_sync"),
    CicField<&CicChannelRegs::nco_sync>("nco_sync"),
    CicField<&CicChannelRegs::flush_sync>("flush_sync"),
    CicField<&CicChannelRegs::dith_test>("dith_test"),
    CicField<&CicChannelRegs::ncic>("ncic"),
    CicField<&CicChannelRegs::cic_sync>("cic_sync"),
    ImageField<&RegisterImage::sum_selI>("sum_selI"),
    ImageField<&RegisterImage::sum_selQ>("sum_selQ"),
    ImageField<&RegisterImage::sum_shift>("sum_shift"),
    ImageField<&RegisterImage::sum_ia>("sum_ia"),
    ImageField<&RegisterImage::sum_ib>("sum_ib"),
    ImageField<&RegisterImage::sum_qa>("sum_qa"),
    ImageField<&RegisterImage::sum_qb>("sum_qb"),
    ImageField<&RegisterImage::sum_in>("sum_in"),
    ImageField<&RegisterImage::sum_of_Ia>("sum_of_Ia"),
    ImageField<&RegisterImage::sum_of_Ib>("sum_of_Ib"),
    ImageField<&RegisterImage::sum_of_Qa>("sum_of_Qa"),
    ImageField<&RegisterImage::sum_of_Qb>("sum_of_Qb"),
    ImageField<&RegisterImage::rcv_noise_A>("rcv_noise_A"),
    ImageField<&RegisterImage::rcv_noise_B>("rcv_noise_B"),
    ImageField<&RegisterImage::rcv_noise_C>("rcv_noise_C"),
    ImageField<&RegisterImage::rcv_noise_D>("rcv_noise_D"),
    ImageField<&RegisterImage::rinf_sel_A>("rinf_sel_A"),
    ImageField<&RegisterImage::rinf_sel_B>("rinf_sel_B"),
    ImageField<&RegisterImage::rinf_sel_C>("rinf_sel_C"),
    ImageField<&RegisterImage::rinf_sel_D>("rinf_sel_D"),
    ImageField<&RegisterImage::gen_timer>("gen_timer "),
    ImageField<&RegisterImage::rinf_zpad>("rinf_zpad"),
    ImageField<&RegisterImage::rinf_diag>("rinf_diag"),
    ImageField<&RegisterImage::gen_timer_test>("gen_timer_test"),
    ImageField<&RegisterImage::gen_timer_sync>("gen_timer_sync"),
    ImageField<&RegisterImage::cksum_sync_front>("cksum_sync_front"),
    ImageField<&RegisterImage::rinf_zpad_sync>("rinf_zpad_sync"),
    ImageField<&RegisterImage::toutf_hold_sync>("toutf_hold_sync"),
    ImageField<&RegisterImage::toutf_do>("toutf_do"),
    ImageField<&RegisterImage::toutf_co>("toutf_co"),
    ImageField<&RegisterImage::toutf_bo>("toutf_bo"),
    ImageField<&RegisterImage::toutf_rnd_AB>("toutf_rnd_AB"),
    ImageField<&RegisterImage::toutf_offsetbin>("toutf_offsetbin"),
    ImageField<&RegisterImage::toutf_halfcmplx_AB>("toutf_halfcmplx_AB"),
    ImageField<&RegisterImage::toutf_hold>("toutf_hold"),
    ImageField<&RegisterImage::toutf_rnd_CD>("toutf_rnd_CD"),
    ImageField<&RegisterImage::toutf_quiet_CD>("toutf_quiet_CD"),
    ImageField<&RegisterImage::toutf_halfcmplx_CD>("toutf_halfcmplx_CD"),
    ImageField<&RegisterImage::toutf_xmt_CD>("toutf_xmt_CD"),
    ImageField<&RegisterImage::toutf_sumin>("toutf_sumin"),
    ImageField<&RegisterImage::toutf_xmt_AB>("toutf_xmt_AB"),
    ImageField<&RegisterImage::t_cksum>("t_cksum"),
    ImageField<&RegisterImage::agc_mode>(nullptr, "agc_mode"),
    ImageField<&RegisterImage::agc_tc>(nullptr, "agc_tc"),
    ImageField<&RegisterImage::agc_cf>(nullptr, "agc_cf"),
    ImageField<&RegisterImage::sync_mode>(nullptr, "sync_mode"),
    ImageField<&RegisterImage::fir_dec>("fir_dec"),
    ImageField<&RegisterImage::fir_int>("fir_int"),
    ImageField<&RegisterImage::fir_diff>("fir_diff"),
    ImageField<&RegisterImage::fir_nchan>("fir_nchan"),
    ImageField<&RegisterImage::rin_cmplx>("rin_cmplx"),
    ImageField<&RegisterImage::rin_rate>("rin_rate"),
    ImageField<&RegisterImage::routf_tdm>("routf_tdm"),
    ImageField<&RegisterImage::tinf_tdm>("tinf_tdm"),
    ImageField<&RegisterImage::tinf_cmplx>("tinf_cmplx"),
    ImageField<&RegisterImage::tinf_fs_dly>("tinf_fs_dly"),
    ImageField<&RegisterImage::tout_cmplx>("tout_cmplx"),
    ImageField<&RegisterImage::tout_res>("tout_res"),
    ImageField<&RegisterImage::tout_nsig>("tout_nsig"),
    ImageField<&RegisterImage::tout_rate>("tout_rate"),
    ImageField<&RegisterImage::tout_sumin>("tout_sumin"),
    ImageField<&RegisterImage::splitiqAB>(nullptr, "splitiqAB"),
    ImageField<&RegisterImage::splitiqCD>(nullptr, "splitiqCD"),
    ImageField<&RegisterImage::splitiq>("splitiq"),
    ImageField<&RegisterImage::bypass_mix>("bypass_mix"),
    ImageField<&RegisterImage::bypass_cic>("bypass_cic"),
    ImageField<&RegisterImage::bypass_fir>("bypass_fir"),
    ImageField<&RegisterImage::pins>("pins"),
    ImageField<&RegisterImage::bits>("bits"),
    ImageField<&RegisterImage::cic_int>("cic_int"),
    ImageField<&RegisterImage::cic_dec>("cic_dec"),
    ImageField<&RegisterImage::gain>("gain"),
    ImageField<&RegisterImage::overall_gain>(nullptr, "overall_gain"),
    ImageField<&RegisterImage::fck>("fck"),
    ImageField<&RegisterImage::freq>("freq"),
    ImageField<&RegisterImage::fir_sym>("fir_sym"),
    ImageField<&RegisterImage::xmt>("xmt"),
    ImageField<&RegisterImage::powerdown>("powerdown"),
    ImageField<&RegisterImage::coefsym>("coefsym"),
    ImageField<&RegisterImage::ncoefs>("ncoefs"),
    ImageField<&RegisterImage::maxtap>("maxtap"),
    ImageField<&RegisterImage::sumtap>("sumtap"),
};
static_assert(std::size(kRegisterFields) == 250);

std::vector<RegisterParam> WorkTableList() {
    std::vector<RegisterParam> list;
    for (const RegisterField& f : kRegisterFields) {
        if (!f.workName) continue;
        RegisterParam p = f.param;
        p.name = f.workName;
        list.push_back(p);
    }
    return list;
}

std::vector<RegisterParam> ToolTableList() {
    std::vector<RegisterParam> list;
    for (const RegisterField& f : kRegisterFields) list.push_back(f.param);
    return list;
}

}  // namespace

std::span<const SettingParam> SettingParams() { return kSettings; }

std::span<const RegisterParam> TableParams() {
    static const std::vector<RegisterParam> list = WorkTableList();
    return list;
}

std::span<const RegisterParam> ToolTableParams() {
    static const std::vector<RegisterParam> list = ToolTableList();
    return list;
}

void StoreInteger(FieldRef f, long v) {
    const auto bits = static_cast<unsigned long>(v);
    std::visit(
        [&](auto* p) {
            using T = std::remove_pointer_t<decltype(p)>;
            if constexpr (std::is_same_v<T, uint16_t>)
                *p = static_cast<uint16_t>(bits);
            else if constexpr (std::is_same_v<T, int16_t>)
                *p = static_cast<int16_t>(static_cast<uint16_t>(bits));
            else if constexpr (std::is_same_v<T, int32_t>)
                *p = static_cast<int32_t>(static_cast<uint32_t>(bits));
            else if constexpr (std::is_same_v<T, float>)
                *p = static_cast<float>(v);
            else if constexpr (std::is_same_v<T, double>)
                *p = static_cast<double>(v);
        },
        f);
}

void StoreFloat(FieldRef f, double v) {
    if (double** d = std::get_if<double*>(&f)) {
        **d = v;
        return;
    }
    float** p = std::get_if<float*>(&f);
    if (!p) return;
    constexpr double kMax = static_cast<double>(std::numeric_limits<float>::max());
    if (std::isnan(v))
        **p = std::numeric_limits<float>::quiet_NaN();
    else if (v > kMax)
        **p = std::numeric_limits<float>::infinity();
    else if (v < -kMax)
        **p = -std::numeric_limits<float>::infinity();
    else
        **p = static_cast<float>(v);
}

}  // namespace gc
