#include "session/main_view.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "chip/derivation.h"
#include "session/edit_rules.h"

namespace gc {

namespace {

std::string IntText(long v) { return std::to_string(v); }

// A combo box index, or -1 (no selection) for a value the box has no item for.
int IndexOrNone(int v, int items) { return v >= 0 && v < items ? v : -1; }

int ValidChannelOr0(int c) { return ValidChannel(c) ? c : 0; }

std::string_view Trim(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

}  // namespace

std::string FormatKhz(double hz) { return FormatFixed(hz * 0.001, 8, 3) + " кГц"; }

int32_t CheckedCicDec(const DecimationState& m, int64_t typed) {
    const int64_t step = m.CicDecStep > 0 ? m.CicDecStep : 1;
    int64_t v = (typed / step) * step;
    if (v > CicDecMax) v = CicDecMax;
    if (v < m.CicDecMin) v = m.CicDecMin;
    return static_cast<int32_t>(v);
}

int32_t SteppedCicDec(const DecimationState& m, int64_t value, int step) {
    int64_t v = value + step;
    if (step > 0 && v > CicDecMax) v = CicDecMax;
    if (step < 0 && v < m.CicDecMin) v = m.CicDecMin;
    // A value outside the 32-bit range can only come from a box that already held one.
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

MainViewState RefreshModel(Session& m) {
    MainViewState v;
    Settings& st = m.settings;
    RegisterImage& w = m.workImage;
    const int c = ValidChannelOr0(m.CurrentChannel);
    const int mode = EffectiveInputMode(st);

    v.currentChannel = c;
    v.expertMode = m.ExpertMode;
    v.firShiftBoxEnabled = m.ManualFirShift.has_value();

    v.labName = m.currentLabName;
    v.clockText = IntText(st.SystemClock);
    v.clockKhz = FormatKhz(static_cast<double>(st.SystemClock));
    v.inputModeIndex = mode;
    v.cicStepOneEnabled = mode != 2;

    for (int n = 0; n < kChannels; ++n) {
        if (mode == 0) {
            v.channelChecked[n] = (st.MaskChan4x >> n) & 1;
            v.channelEnabled[n] = true;
        } else {
            v.channelChecked[n] = (st.MaskChan2x >> (n / 2)) & 1;
            v.channelEnabled[n] = n % 2 == 0;  // B and D follow A and C
        }
    }

    const CoefSetInfo& info = m.coefSetInfo[c];
    v.cicDecText = IntText(st.CicDec[c]);
    v.freqText = IntText(st.FreqNCO[c]);
    v.freqKhz = FormatKhz(static_cast<double>(st.FreqNCO[c]));
    v.pfirFileName = st.NameOfPFIR[c];
    v.pfirColour = m.pfirFitColour[c];
    v.firDecIndex = IndexOrNone(st.FirDec[c] - 1, 8);
    v.pfirGain = FormatFixed(static_cast<double>(info.pfir_gain), 5, 3);

    // Shown from the image's decimation as the last derivation left it.
    const CicShiftResult cs = CicShift(w.cic_dec[c]);
    w.cic[c].cic_shift = cs.shift;
    w.cic[c].cic_norm = cs.norm;
    v.cicNorm = FormatFixed(static_cast<double>(cs.norm), 5, 3);
    m.TotalDec[c] = ComputeTotalDec(st.CicDec[c], st.FirDec[c]);

    v.phase = FormatFixed(static_cast<double>(st.PhaseNCO[c]), 4, 3);
    v.tdm = st.EnableTDM != 0;
    v.gain = FormatFixed(static_cast<double>(st.Gain[c]), 5, 2);
    v.overallGain = FormatFixed(static_cast<double>(st.OverallGain[c]), 5, 2);
    v.syncModeIndex = IndexOrNone(st.sync_mode, 10);
    v.adcIndex = IndexOrNone(st.InpADC[c], 4);

    m.OutputRate[c] = ComputeOutputRate(st.SystemClock, m.TotalDec[c]);
    v.outputRateKhz = FormatKhz(static_cast<double>(m.OutputRate[c]));

    const double total = static_cast<double>(w.cic[c].cic_norm) * 0.5 * static_cast<double>(info.pfir_gain) *
                         static_cast<double>(st.Gain[c]);
    v.totalGain = FormatFixed(total, 5, 2);

    DeriveRegisters(st, m);

    v.pfirGain = FormatFixed(static_cast<double>(m.coefSetInfo[c].pfir_gain), 5, 3);
    const int sel = w.cic[c].mix_rcv_sel;
    v.mixRcvSelIndex = sel <= 3 ? sel : -1;
    v.indexFilter = IndexOrNone(st.IndexFilter, 5);
    v.numTapsFilter = IntText(st.NumTapsFilter);
    v.deviation = IntText(st.Deviation);

    v.obkatka = st.Obkatka != 0;
    v.firShift = IntText(w.pfir[c].fir_shift);
    v.sckDiv = IntText(st.sck_div);
    v.scaleFir = FormatFixed(static_cast<double>(st.scaleFir), 3, 2);
    return v;
}

std::optional<int32_t> ParseIntegerText(std::string_view text) {
    std::string_view t = Trim(text);
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    } else if (t.size() > 1 && t[0] == '$') {
        base = 16;
        t.remove_prefix(1);
    }
    if (t.empty()) return std::nullopt;
    uint64_t mag = 0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), mag, base);
    if (res.ec != std::errc() || res.ptr != t.data() + t.size()) return std::nullopt;
    const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
    if (mag > static_cast<uint64_t>(limit)) return std::nullopt;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(mag) : static_cast<int64_t>(mag));
}

std::optional<float> ParseFloatText(std::string_view text) {
    std::string t(Trim(text));
    if (!t.empty() && t.front() == '+') {
        t.erase(0, 1);
        if (!t.empty() && t.front() == '-') return std::nullopt;
    }
    std::replace(t.begin(), t.end(), ',', '.');
    if (t.empty()) return std::nullopt;
    double v = 0.0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != t.data() + t.size()) return std::nullopt;
    if (!std::isfinite(v) || std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) return std::nullopt;
    return static_cast<float>(v);
}

std::optional<ControlReadError> ReadControls(Session& m, const MainControlsInput& in) {
    Settings& st = m.settings;
    const int c = ValidChannelOr0(m.CurrentChannel);

    auto integerError = [](ControlField f, const std::string& t) {
        return ControlReadError{f, t, IntegerTextProblem(t)};
    };
    auto floatError = [](ControlField f, const std::string& t) { return ControlReadError{f, t, FloatTextProblem(t)}; };

    struct IntField {
        ControlField field;
        const std::string* text;
        int32_t* target;
    };
    for (const IntField& f : {IntField{ControlField::Clock, &in.clock, &st.SystemClock},
                              IntField{ControlField::FreqNco, &in.freqNco, &st.FreqNCO[c]},
                              IntField{ControlField::CicDec, &in.cicDec, &st.CicDec[c]}}) {
        auto v = ParseIntegerText(*f.text);
        if (!v) return integerError(f.field, *f.text);
        // A clock the chip cannot run is refused like a text that is no number.
        if (f.field == ControlField::Clock)
            if (auto refused = RefuseClock(*v)) return ControlReadError{f.field, *f.text, *refused};
        *f.target = *v;
    }
    st.FirDec[c] = in.firDecIndex + 1;
    if (auto v = ParseFloatText(in.phase))
        st.PhaseNCO[c] = *v;
    else
        return floatError(ControlField::Phase, in.phase);
    st.EnableTDM = in.tdm ? 1 : 0;
    if (auto v = ParseFloatText(in.gain)) {
        if (auto refused = RefuseGain(*v)) return ControlReadError{ControlField::Gain, in.gain, *refused};
        st.Gain[c] = std::min(*v, kMaxGain);
    } else {
        return floatError(ControlField::Gain, in.gain);
    }
    if (auto v = ParseFloatText(in.overallGain))
        st.OverallGain[c] = *v;
    else
        return floatError(ControlField::OverallGain, in.overallGain);
    st.sync_mode = in.syncModeIndex;
    st.IndexFilter = in.indexFilter;
    for (const IntField& f : {IntField{ControlField::NumTapsFilter, &in.numTapsFilter, &st.NumTapsFilter},
                              IntField{ControlField::Deviation, &in.deviation, &st.Deviation},
                              IntField{ControlField::SckDiv, &in.sckDiv, &st.sck_div}}) {
        auto v = ParseIntegerText(*f.text);
        if (!v) return integerError(f.field, *f.text);
        *f.target = *v;
    }
    if (auto v = ParseFloatText(in.scaleFir))
        st.scaleFir = *v;
    else
        return floatError(ControlField::ScaleFir, in.scaleFir);
    CopySckDiv(st, m.workImage);
    return std::nullopt;
}

}  // namespace gc
