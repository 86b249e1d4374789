// What the main window shows, computed and formatted from the session alone,
// so that the window only copies texts into controls and tests need no window.
#pragma once

#include <array>
#include <string>

#include "core/channel_rules.h"
#include "core/model.h"
#include "core/number_format.h"
#include "session/edit_rules.h"
#include "session/session.h"

namespace gc {

// A frequency in Hz shown in kHz: three decimals, eight significant digits, " кГц".
std::string FormatKhz(double hz);

// Everything the main window shows after a refresh, in the order it is shown.
// Combo box and radio button indices are -1 when the setting has no such item.
struct MainViewState {
    int currentChannel = 0;
    bool expertMode = false;
    bool firShiftBoxEnabled = false;  // exactly while "ЛЧМ" is checked

    std::string labName;
    std::string clockText;  // edit box, Hz
    std::string clockKhz;   // panel beside it
    int inputModeIndex = 0;
    bool cicStepOneEnabled = true;  // "+1" and "-1"

    std::array<bool, kChannels> channelChecked{};
    std::array<bool, kChannels> channelEnabled{};  // check boxes and channel radio buttons

    std::string cicDecText;
    std::string freqText;  // edit box, Hz
    std::string freqKhz;
    std::string pfirFileName;
    PfirFitColour pfirColour = PfirFitColour::Face;
    int firDecIndex = 0;
    std::string pfirGain;
    std::string cicNorm;
    std::string cicGainWarning;  // "" while the CIC shift compensates its gain

    std::string phase;
    bool tdm = false;
    std::string gain;
    std::string overallGain;
    int syncModeIndex = 0;
    int adcIndex = 0;

    std::string outputRateKhz;  // "Выходная частота"
    std::string totalGain;      // "Общее усиление"
    std::string fixedFactor = "0.5";

    int mixRcvSelIndex = 0;  // "AI".."DI"; -1 when the field holds no such input
    int indexFilter = 0;
    std::string numTapsFilter;
    std::string deviation;

    bool obkatka = false;
    std::string firShift;
    std::string sckDiv;
    std::string scaleFir;
};

// The status line after an edit: what changed in the settings, the note of
// the box (a value clamped or wrapped), the length a refit left when the
// shown channel stayed, and whether its CIC may clip. "" when there is
// nothing to say, so that no earlier report stays behind.
struct EditBefore {
    Settings settings;
    int channel = 0;
    int taps = 0;  // the shown channel's fitted length
};
EditBefore BeforeEdit(const Session& m);
std::string EditStatus(const EditBefore& before, const Session& after, const std::string& note);

// What the main window shows of the session, derived state included: call
// UpdateDerived after the settings change and before this.
MainViewState ComputeMainView(const Session& m);

}  // namespace gc
