#include "session/main_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "chip/derivation.h"
#include "session/edit_rules.h"
#include "session/settings_history.h"

namespace gc {

namespace {

std::string IntText(long v) { return std::to_string(v); }

// A combo box index, or -1 (no selection) for a value the box has no item for.
int IndexOrNone(int v, int items) { return v >= 0 && v < items ? v : -1; }

int ValidChannelOr0(int c) { return ValidChannel(c) ? c : 0; }

}  // namespace

EditBefore BeforeEdit(const Session& m) {
    const int c = ValidChannelOr0(m.CurrentChannel);
    return {m.settings, c, m.coefSetInfo[c].ntaps};
}

std::string EditStatus(const EditBefore& before, const Session& after, const std::string& note) {
    std::string line = DescribeSettingsChange(before.settings, after.settings);
    auto add = [&line](const std::string& part) {
        if (part.empty()) return;
        line += (line.empty() ? "" : "; ") + part;
    };
    add(note);
    const int c = ValidChannelOr0(after.CurrentChannel);
    // A refit may have cut or padded the coefficient set: the length the chip runs now.
    if (const int taps = after.coefSetInfo[c].ntaps; c == before.channel && taps != before.taps)
        add("PFIR " + std::string(1, static_cast<char>('A' + c)) + ": длина " + std::to_string(before.taps) + " → " +
            std::to_string(taps));
    if (const auto loud = CicGainAboveOne(after.workImage, c)) add(CicGainText(*loud, c));
    return line;
}

std::string FormatKhz(double hz) { return FormatFixed(hz * 0.001, 8, 3) + " кГц"; }

MainViewState ComputeMainView(const Session& m) {
    MainViewState v;
    const Settings& st = m.settings;
    const RegisterImage& w = m.workImage;
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

    v.channelChecked = EnabledChannelBoxes(st);
    for (int n = 0; n < kChannels; ++n) v.channelEnabled[n] = mode == 0 || n % 2 == 0;  // B and D follow A and C

    const CoefSetInfo& info = m.coefSetInfo[c];
    v.cicDecText = IntText(st.CicDec[c]);
    v.freqText = IntText(st.FreqNCO[c]);
    v.freqKhz = FormatKhz(static_cast<double>(st.FreqNCO[c]));
    v.pfirFileName = st.NameOfPFIR[c];
    v.pfirColour = m.pfirFitColour[c];
    v.firDecIndex = IndexOrNone(st.FirDec[c] - 1, 8);
    v.pfirGain = FormatFixed(static_cast<double>(info.pfir_gain), 5, 3);

    const float cicNorm = w.cic[c].cic_norm;
    v.cicNorm = FormatFixed(static_cast<double>(cicNorm), 5, 3);
    if (const auto loud = CicGainAboveOne(w, c)) v.cicGainWarning = CicGainText(*loud, c);

    v.phase = FormatFixed(static_cast<double>(st.PhaseNCO[c]), 4, 3);
    v.tdm = st.EnableTDM != 0;
    v.gain = FormatFixed(static_cast<double>(st.Gain[c]), 5, 2);
    v.overallGain = FormatFixed(static_cast<double>(st.OverallGain[c]), 5, 2);
    v.syncModeIndex = IndexOrNone(st.sync_mode, 10);
    v.adcIndex = IndexOrNone(st.InpADC[c], 4);

    v.outputRateKhz = FormatKhz(static_cast<double>(m.OutputRate[c]));

    const double total =
        static_cast<double>(cicNorm) * 0.5 * static_cast<double>(info.pfir_gain) * static_cast<double>(st.Gain[c]);
    v.totalGain = FormatFixed(total, 5, 2);

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

}  // namespace gc
