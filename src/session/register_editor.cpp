#include "session/register_editor.h"

#include <type_traits>

#include "core/number_format.h"
#include "core/text_io.h"
#include "session/edit_rules.h"

namespace gc {

namespace {

// Accessors by member pointer: one instantiation per field, no casts of the
// image to raw words. A signed field stores the word's bits as they are.
template <auto M>
uint16_t PfirWord(const RegisterImage& r, int c) {
    return static_cast<uint16_t>(r.pfir[static_cast<size_t>(c)].*M);
}
template <auto M>
void PfirStore(RegisterImage& r, int c, uint16_t w) {
    auto& f = r.pfir[static_cast<size_t>(c)].*M;
    f = static_cast<std::remove_reference_t<decltype(f)>>(w);
}
template <auto M>
uint16_t CicWord(const RegisterImage& r, int c) {
    return static_cast<uint16_t>(r.cic[static_cast<size_t>(c)].*M);
}
template <auto M>
void CicStore(RegisterImage& r, int c, uint16_t w) {
    auto& f = r.cic[static_cast<size_t>(c)].*M;
    f = static_cast<std::remove_reference_t<decltype(f)>>(w);
}
template <auto M>
uint16_t GlobalWord(const RegisterImage& r, int) {
    return static_cast<uint16_t>(r.*M);
}
template <auto M>
void GlobalStore(RegisterImage& r, int, uint16_t w) {
    auto& f = r.*M;
    f = static_cast<std::remove_reference_t<decltype(f)>>(w);
}
// A chip-wide field per channel spread over four named members (rcv_noise_A..D).
template <auto A, auto B, auto C, auto D, typename Image>
auto& SpreadField(Image& r, int c) {
    switch (c) {
        case 0:
            return r.*A;
        case 1:
            return r.*B;
        case 2:
            return r.*C;
        default:
            return r.*D;
    }
}
template <auto A, auto B, auto C, auto D>
uint16_t SpreadWord(const RegisterImage& r, int c) {
    return SpreadField<A, B, C, D>(r, c);
}
template <auto A, auto B, auto C, auto D>
void SpreadStore(RegisterImage& r, int c, uint16_t w) {
    SpreadField<A, B, C, D>(r, c) = w;
}
template <auto M>
uint16_t ArrayWord(const RegisterImage& r, int c) {
    return static_cast<uint16_t>((r.*M)[c]);
}
template <auto M>
double ArrayNumber(const RegisterImage& r, int c) {
    return static_cast<double>((r.*M)[c]);
}
template <auto M>
double GlobalNumber(const RegisterImage& r, int) {
    return static_cast<double>(r.*M);
}

template <auto M>
RegisterRow PfirRow(std::string_view label, FieldShow show = FieldShow::Unsigned) {
    return {label, kChannels, show, &PfirWord<M>, &PfirStore<M>, nullptr};
}
template <auto M>
RegisterRow CicRow(std::string_view label) {
    return {label, kChannels, FieldShow::Unsigned, &CicWord<M>, &CicStore<M>, nullptr};
}
template <auto M>
RegisterRow GlobalRow(std::string_view label, FieldShow show = FieldShow::Unsigned) {
    return {label, 1, show, &GlobalWord<M>, &GlobalStore<M>, nullptr};
}
template <auto A, auto B, auto C, auto D>
RegisterRow SpreadRow(std::string_view label) {
    return {label, kChannels, FieldShow::Unsigned, &SpreadWord<A, B, C, D>, &SpreadStore<A, B, C, D>, nullptr};
}
// Display-only rows of the pseudo registers.
template <auto M>
RegisterRow ShownArray(std::string_view label) {
    return {label, kChannels, FieldShow::Unsigned, &ArrayWord<M>, nullptr, nullptr};
}
template <auto M>
RegisterRow ShownWord(std::string_view label) {
    return {label, 1, FieldShow::Unsigned, &GlobalWord<M>, nullptr, nullptr};
}
template <auto M>
RegisterRow ShownNumbers(std::string_view label, FieldShow show) {
    return {label, kChannels, show, nullptr, nullptr, &ArrayNumber<M>};
}
template <auto M>
RegisterRow ShownNumber(std::string_view label, FieldShow show) {
    return {label, 1, show, nullptr, nullptr, &GlobalNumber<M>};
}

// The row label is the field's own name.
#define PFIR(f) PfirRow<&PfirChannelRegs::f>(#f)
#define PFIR_SIGNED(f) PfirRow<&PfirChannelRegs::f>(#f, FieldShow::Signed)
#define CIC(f) CicRow<&CicChannelRegs::f>(#f)
#define GLOBAL(f) GlobalRow<&RegisterImage::f>(#f)
#define GLOBAL_SIGNED(f) GlobalRow<&RegisterImage::f>(#f, FieldShow::Signed)
#define SHOWN_ARRAY(f) ShownArray<&RegisterImage::f>(#f)
#define SHOWN_WORD(f) ShownWord<&RegisterImage::f>(#f)

std::array<RegisterDialogDef, kRegisterDialogCount> BuildDefs() {
    RegisterDialogDef addrGen{
        "AddrGenPFIR",
        "Установка адресных генераторов PFIR",
        "addrgen",
        true,
        {{"", {PFIR(coef_ofsc),     PFIR(coef_modc),     PFIR(coef_repc),      PFIR(coef_sym),      PFIR(coef_zerofr),
               PFIR(agen_recr),     PFIR(agen_depd),     PFIR(agen_modd),      PFIR(agen_togen),    PFIR(fragen_soff),
               PFIR(fragen_srecr),  PFIR(fragen_sdepd),  PFIR(fragen_stepn),   PFIR(fwagen_soff),   PFIR(fwagen_srecr),
               PFIR(fwagen_sdepd),  PFIR(fwagen_wrecrl), PFIR(bragen_soff),    PFIR(bragen_srecr),  PFIR(bragen_sdepd),
               PFIR(bragen_stepn),  PFIR(bwagen_soff),   PFIR(bwagen_srecr),   PFIR(bwagen_sdepd),  PFIR(bwagen_wrecrl),
               PFIR(beragen_soff),  PFIR(beragen_srecr), PFIR(beragen_sdepd),  PFIR(beragen_stepn), PFIR(bewagen_soff),
               PFIR(bewagen_srecr), PFIR(bewagen_sdepd), PFIR(bewagen_wrecrl), PFIR(fwa_strobe),    PFIR(bwa_strobe),
               PFIR(beagen_rbypass)}}}};

    RegisterDialogDef cicMix{"CicAndMix",
                             "CIC и Mixer",
                             "cicmix",
                             true,
                             {{"",
                               {CIC(cic_shift),
                                CIC(cic_rrcv),
                                CIC(xmt_5stg),
                                CIC(cic_rshift),
                                CIC(cic_2x),
                                CIC(cic_xmt_d6stg),
                                CIC(cic_rcv_cross),
                                CIC(cic_rcv_full),
                                CIC(cic_bypass),
                                CIC(mix_rcv_sel),
                                CIC(mix_rcv_cmplx),
                                CIC(mix_inv_qsin),
                                CIC(mix_qsin),
                                CIC(mix_inv_qcos),
                                CIC(mix_qcos),
                                CIC(mix_inv_isin),
                                CIC(mix_isin),
                                CIC(mix_inv_icos),
                                CIC(mix_icos),
                                CIC(ncic),
                                CIC(phase),
                                CIC(freq_lsb),
                                CIC(freq_mid),
                                CIC(freq_msb),
                                SpreadRow<&RegisterImage::rcv_noise_A, &RegisterImage::rcv_noise_B,
                                          &RegisterImage::rcv_noise_C, &RegisterImage::rcv_noise_D>("rcv_noise"),
                                SpreadRow<&RegisterImage::rinf_sel_A, &RegisterImage::rinf_sel_B,
                                          &RegisterImage::rinf_sel_C, &RegisterImage::rinf_sel_D>("rinf_sel")}}}};

    RegisterDialogDef firCont{
        "FirCont",
        "FirCont",
        "fircont",
        true,
        {{"", {PFIR(swap_wa_cnt),    PFIR(swap_ra_cnt),   PFIR(swap_xmt),       PFIR(swap_cmplx),   PFIR(fir_fb),
               PFIR(swap_fb),        PFIR(swap_rcv_tdly), PFIR(acc_dly),        PFIR(acc_cnt),      PFIR(acc_dly0),
               PFIR(acc_bypass),     PFIR(acc_enram),     PFIR(fir_shift),      PFIR(fir_xenq),     PFIR(fir_xeni),
               PFIR(fir_half),       PFIR(fir_rnd20),     PFIR(fir_cmplx),      PFIR(fir_sync_cnt), PFIR(fir_clk_cnt),
               PFIR(fir_clk_cnt_en), PFIR(fir_test),      PFIR(fir_en_sync_cnt)}}}};

    RegisterDialogDef output{"Output",
                             "Выходной формат",
                             "output",
                             true,
                             {{"",
                               {PFIR(routf_pins), PFIR(routf_bits), PFIR(routf_iqmux), PFIR(routf_pwrdown),
                                PFIR(routf_ctdm), PFIR(pwr_test), PFIR(tx_pat_gen)}}}};

    RegisterDialogDef agc{
        "AGC",
        "AGC",
        "agc",
        true,
        {{"",
          {PFIR(gain_lsb), PFIR(gain_msb), PFIR(agc_freeze), PFIR(gain_rnd), PFIR(gain_half), PFIR(agc_hold),
           PFIR(agc_gain_out), PFIR(agc_zmag), PFIR(agc_min), PFIR(agc_max), PFIR(agc_zero_cnt), PFIR(agc_sat_cnt),
           PFIR(agc_thresh), PFIR(agc_Dblw), PFIR(agc_Dabv), PFIR(agc_Dzro), PFIR(agc_Dsat)}}}};

    RegisterDialogDef global{
        "Global",
        "Глобальные регистры",
        "global",
        true,
        {{"", {GLOBAL(en_ck_loss),    GLOBAL(pwr_dwn_fir_A),  GLOBAL(pwr_dwn_fir_B),  GLOBAL(pwr_dwn_fir_C),
               GLOBAL(pwr_dwn_fir_D), GLOBAL(pwr_dwn_cic_AB), GLOBAL(pwr_dwn_cic_CD), GLOBAL(master_reset),
               GLOBAL(soB_sync),      GLOBAL(one_shot),       GLOBAL(page),           GLOBAL(en_AO),
               GLOBAL(en_AFS),        GLOBAL(en_BO),          GLOBAL(en_BFS),         GLOBAL(en_CO),
               GLOBAL(en_CFS),        GLOBAL(en_DO),          GLOBAL(en_DFS),         GLOBAL(en_soB),
               GLOBAL(ckp_A),         GLOBAL(ckp_B),          GLOBAL(ckp_C),          GLOBAL(ckp_D),
               GLOBAL(sumin_clr)}}}};

    RegisterDialogDef transmit{
        "Transmit",
        "Transmit",
        "transmit",
        true,
        {{"", {GLOBAL_SIGNED(sum_selI),  GLOBAL_SIGNED(sum_selQ),  GLOBAL_SIGNED(sum_shift),   GLOBAL_SIGNED(sum_ia),
               GLOBAL_SIGNED(sum_ib),    GLOBAL_SIGNED(sum_qa),    GLOBAL_SIGNED(sum_qb),      GLOBAL_SIGNED(sum_in),
               GLOBAL_SIGNED(sum_of_Ia), GLOBAL_SIGNED(sum_of_Ib), GLOBAL_SIGNED(sum_of_Qa),   GLOBAL_SIGNED(sum_of_Qb),
               GLOBAL(toutf_hold_sync),  GLOBAL(toutf_do),         GLOBAL(toutf_co),           GLOBAL(toutf_bo),
               GLOBAL(toutf_rnd_AB),     GLOBAL(toutf_offsetbin),  GLOBAL(toutf_halfcmplx_AB), GLOBAL(toutf_hold),
               GLOBAL(toutf_rnd_CD),     GLOBAL(toutf_quiet_CD),   GLOBAL(toutf_halfcmplx_CD), GLOBAL(toutf_xmt_CD),
               GLOBAL(toutf_sumin),      GLOBAL(toutf_xmt_AB)}}}};

    RegisterDialogDef timer{"Timer & PM",
                            "Timer and Power Meter",
                            "timer",
                            true,
                            {{"Power Meter",
                              {PFIR_SIGNED(pwr_meter_lsb), PFIR_SIGNED(pwr_meter_msb), PFIR(pwr_meter_trig),
                               PfirRow<&PfirChannelRegs::pwr_integ>("pwr_mtr_integ")}},
                             {"General Timer",
                              {GLOBAL(gen_timer), GLOBAL(rinf_zpad), GLOBAL(rinf_diag), GLOBAL(gen_timer_test),
                               GLOBAL(gen_timer_sync), GLOBAL(cksum_sync_front), GLOBAL(rinf_zpad_sync)}}}};

    RegisterDialogDef pseudo{"Pseudo",
                             "Pseudo Registers",
                             "pseudo",
                             false,
                             {{"",
                               {SHOWN_ARRAY(fir_dec),
                                SHOWN_ARRAY(fir_int),
                                SHOWN_ARRAY(fir_diff),
                                SHOWN_ARRAY(fir_nchan),
                                SHOWN_WORD(rin_cmplx),
                                SHOWN_WORD(rin_rate),
                                SHOWN_WORD(routf_tdm),
                                SHOWN_WORD(tinf_tdm),
                                SHOWN_ARRAY(tinf_cmplx),
                                SHOWN_ARRAY(tinf_fs_dly),
                                SHOWN_WORD(tout_cmplx),
                                SHOWN_WORD(tout_res),
                                SHOWN_WORD(tout_nsig),
                                SHOWN_WORD(tout_rate),
                                SHOWN_WORD(tout_sumin),
                                SHOWN_WORD(splitiq),
                                SHOWN_ARRAY(bypass_mix),
                                SHOWN_ARRAY(bypass_cic),
                                SHOWN_ARRAY(bypass_fir),
                                SHOWN_ARRAY(pins),
                                SHOWN_ARRAY(bits),
                                SHOWN_ARRAY(cic_int),
                                SHOWN_ARRAY(cic_dec),
                                ShownNumbers<&RegisterImage::gain>("gain", FieldShow::Fixed3),
                                ShownNumber<&RegisterImage::fck>("fck", FieldShow::Fixed6),
                                ShownNumbers<&RegisterImage::freq>("freq", FieldShow::Fixed6),
                                SHOWN_ARRAY(fir_sym),
                                SHOWN_ARRAY(xmt),
                                SHOWN_ARRAY(powerdown),
                                SHOWN_ARRAY(coefsym),
                                SHOWN_ARRAY(ncoefs),
                                SHOWN_ARRAY(maxtap),
                                ShownNumbers<&RegisterImage::sumtap>("sumtap", FieldShow::Int32)}}}};

    return {std::move(addrGen), std::move(cicMix),   std::move(firCont), std::move(output), std::move(agc),
            std::move(global),  std::move(transmit), std::move(timer),   std::move(pseudo)};
}

#undef PFIR
#undef PFIR_SIGNED
#undef CIC
#undef GLOBAL
#undef GLOBAL_SIGNED
#undef SHOWN_ARRAY
#undef SHOWN_WORD

constexpr const char* kColumnNames[kChannels] = {"A", "B", "C", "D"};

std::string BoxName(const RegisterRow& row, int column) {
    std::string name(row.label);
    if (row.columns > 1) name += StrPrintf(", канал %s", kColumnNames[column]);
    return name;
}

}  // namespace

const std::array<RegisterDialogDef, kRegisterDialogCount>& RegisterDialogDefs() {
    static const std::array<RegisterDialogDef, kRegisterDialogCount> defs = BuildDefs();
    return defs;
}

const RegisterDialogDef& RegisterDialog(RegisterDialogId id) { return RegisterDialogDefs()[static_cast<size_t>(id)]; }

std::vector<RegisterBox> RegisterBoxes(const RegisterDialogDef& def) {
    std::vector<RegisterBox> boxes;
    for (int c = 0; c < kChannels; ++c)
        for (size_t g = 0; g < def.groups.size(); ++g)
            for (size_t r = 0; r < def.groups[g].rows.size(); ++r)
                if (c < def.groups[g].rows[r].columns) boxes.push_back({static_cast<int>(g), static_cast<int>(r), c});
    return boxes;
}

const RegisterRow& RowOf(const RegisterDialogDef& def, const RegisterBox& box) {
    return def.groups.at(static_cast<size_t>(box.group)).rows.at(static_cast<size_t>(box.row));
}

bool HasChannelColumns(const RegisterDialogDef& def) {
    for (const RegisterGroup& g : def.groups)
        for (const RegisterRow& r : g.rows)
            if (r.columns > 1) return true;
    return false;
}

std::string RegisterBoxText(const RegisterImage& image, const RegisterRow& row, int column) {
    if (column < 0 || column >= row.columns) return {};
    if (row.word) {
        const uint16_t w = row.word(image, column);
        return row.show == FieldShow::Signed ? std::to_string(static_cast<int16_t>(w)) : std::to_string(w);
    }
    if (!row.number) return {};
    const double v = row.number(image, column);
    switch (row.show) {
        case FieldShow::Fixed3:
            return FormatFixed(v, 15, 3);
        case FieldShow::Fixed6:
            return FormatFixed(v, 15, 6);
        default:
            return std::to_string(static_cast<int64_t>(v));
    }
}

std::optional<RegisterStoreError> StoreRegisterBoxes(RegisterImage& image, const RegisterDialogDef& def,
                                                     const std::vector<std::string>& texts) {
    if (!def.editable) return std::nullopt;
    const std::vector<RegisterBox> boxes = RegisterBoxes(def);
    for (size_t k = 0; k < boxes.size() && k < texts.size(); ++k) {
        const RegisterRow& row = RowOf(def, boxes[k]);
        if (!row.store) continue;
        const auto v = ParseIntegerText(texts[k]);
        if (!v)
            return RegisterStoreError{k,
                                      BoxName(row, boxes[k].column) + ": «" + texts[k] + "» не является целым числом"};
        row.store(image, boxes[k].column, static_cast<uint16_t>(*v));
    }
    return std::nullopt;
}

}  // namespace gc
