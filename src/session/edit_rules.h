// What the main window takes from one edit box, what it refuses and what it
// only points out when a lab file brings it: the messages are the window's,
// in Russian. An edit sets its one setting; the derivation is the caller's.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model.h"
#include "session/session.h"

namespace gc {

// The largest gain the gain box accepts.
inline constexpr float kMaxGain = 127.9f;

// The main window's settings that an edit box or a list sets.
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

// The field as the window names it in a message ("Децимация CIC").
std::string_view ControlFieldName(ControlField field);

// Integer of an edit box: optional blanks, sign, decimal digits (or "0x"/"$"
// and hex digits), within 32 bits. nullopt for anything else.
std::optional<int32_t> ParseIntegerText(std::string_view text);
// Float of an edit box: '.' or ',' as the decimal point, finite and within
// the float range. nullopt for anything else.
std::optional<float> ParseFloatText(std::string_view text);
// A frequency box in Hz: an integer as above, or a number in exponent
// notation ("1e6", "2.5E3") whose value is a whole number within 32 bits.
std::optional<int32_t> ParseHzText(std::string_view text);

// Why an edit box's text gives no integer (or no number): empty, out of range
// or not a number at all. The text is quoted as typed; an integer out of
// range is told the range the box takes.
std::string IntegerTextProblem(std::string_view text, int64_t lo = std::numeric_limits<int32_t>::min(),
                               int64_t hi = std::numeric_limits<int32_t>::max());
std::string FloatTextProblem(std::string_view text);

// A typed clock must be above 0 Hz and a typed gain within 0 .. 127.9 (above
// that it is clamped, so only a negative gain is refused). nullopt: accepted.
std::optional<std::string> RefuseClock(int32_t hz);
std::optional<std::string> RefuseGain(float gain);

// The CIC check of a typed decimation: rounded down to the mode's step, then
// kept within CicDecMin..kCicDecMax.
int32_t CheckedCicDec(const DecimationState& d, int64_t typed);

// A CIC stepper button: value + step, clamped only in the step's own
// direction and not rounded to the mode's step.
int32_t SteppedCicDec(const DecimationState& d, int64_t value, int step);

// What one edit box did to its setting: refused (the setting unchanged) with
// the message that names the field, or taken, with a note for the status
// line when the value taken is not the one typed or will not run as typed.
struct FieldEdit {
    std::optional<std::string> refused;
    std::string note;
};

// Sets the one setting of an edit box of the shown channel (sck_div: all four
// channels' sck_div fields too) from the box's text. The list fields (FirDec,
// Tdm, SyncMode, IndexFilter) are no text and are refused.
FieldEdit EditField(Session& m, ControlField field, std::string_view text);

// The "Включенные каналы" boxes of a mask and back: in Full rate one box per
// channel, in the paired modes A's and C's boxes set the pair (B and D show them).
std::array<bool, kChannels> EnabledChannelBoxes(const Settings& s);
void SetEnabledChannels(Settings& s, const std::array<bool, kChannels>& checked);

// The frequency an NCO setting runs at: beyond half the NCO's rate the
// frequency word wraps. nullopt when it runs as set.
std::optional<int64_t> WrappedNcoFrequency(const Settings& s, int channel);

// The CIC's gain left after its shift when it is above 1: once the shift has
// reached 0 (decimations above about 200) the CIC output is louder than its
// input and may clip. nullopt while the shift compensates the gain.
std::optional<float> CicGainAboveOne(const RegisterImage& w, int channel);
// That said for the status line and the norm's tooltip.
std::string CicGainText(float norm, int channel);

// A setting of a lab file that the chip cannot run as it stands: a clock of
// 0 Hz or less, a channel gain below 0 or above 127.9. Such a file is read as
// it is; the front ends only say so, each in its own words.
struct OutsideChipValue {
    enum class Setting { Clock, Gain };
    Setting setting = Setting::Clock;
    int channel = 0;  // for a gain
    double value = 0;
};
std::vector<OutsideChipValue> SettingsOutsideChip(const Settings& s);
// The window's status line of them, or "" when there are none.
std::string OutsideChipStatus(const Settings& s);

}  // namespace gc
