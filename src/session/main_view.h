// The model side of the main window's refresh and of reading its edit boxes:
// what the window shows is computed and formatted here, so that the window
// only copies texts into controls and tests need no window.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/channel_rules.h"
#include "core/model.h"
#include "core/number_format.h"
#include "session/session.h"

namespace gc {

// A frequency in Hz shown in kHz: three decimals, eight significant digits, " кГц".
std::string FormatKhz(double hz);

// The CIC check of a typed decimation: rounded down to the mode's step, then
// kept within CicDecMin..CicDecMax.
int32_t CheckedCicDec(const DecimationState& d, int64_t typed);

// A CIC stepper button: value + step, clamped only in the step's own
// direction and not rounded to the mode's step.
int32_t SteppedCicDec(const DecimationState& d, int64_t value, int step);

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

// What the main window's refresh does to the model: the current channel's
// CIC shift and norm, TotalDec and OutputRate, then the register derivation.
// Returns what the window shows. The window sets Refreshing around writing
// the controls; this function leaves it alone.
MainViewState RefreshModel(Session& m);

// The texts and indices of the main window's controls that are read back into
// the settings.
struct MainControlsInput {
    std::string clock;
    std::string freqNco;
    std::string cicDec;
    int firDecIndex = 0;
    std::string phase;
    bool tdm = false;
    std::string gain;
    std::string overallGain;
    int syncModeIndex = 0;
    int indexFilter = 0;
    std::string numTapsFilter;
    std::string deviation;
    std::string sckDiv;
    std::string scaleFir;
};

enum class ControlField {
    Clock,
    FreqNco,
    CicDec,
    FirDec,
    Phase,
    Tdm,
    Gain,
    OverallGain,
    SyncMode,
    IndexFilter,
    NumTapsFilter,
    Deviation,
    SckDiv,
    ScaleFir
};

// A text that is not a number: the field, the text and the message to show.
struct ControlReadError {
    ControlField field;
    std::string text;
    std::string message;
};

// Integer of an edit box: optional blanks, sign, decimal digits (or "0x"/"$"
// and hex digits), within 32 bits. nullopt for anything else.
std::optional<int32_t> ParseIntegerText(std::string_view text);
// Float of an edit box: '.' or ',' as the decimal point, finite and within
// the float range. nullopt for anything else.
std::optional<float> ParseFloatText(std::string_view text);

// Copies the controls into the settings of the current channel in the window's
// order, then sck_div into the four channels' sck_div fields. Stops at the
// first text that is not a number: the settings read before it keep their new
// values, the rest (and the sck_div fields) stay as they were.
std::optional<ControlReadError> ReadControls(Session& m, const MainControlsInput& in);

// The largest gain the gain box accepts.
inline constexpr float kMaxGain = 127.9f;

}  // namespace gc
