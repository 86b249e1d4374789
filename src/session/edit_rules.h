// What the main window refuses when it is typed, and what it only points out
// when a lab file brings it: the messages are the window's, in Russian.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model.h"

namespace gc {

// Why an edit box's text gives no integer (or no number): empty, out of range
// or not a number at all. The text is quoted as typed.
std::string IntegerTextProblem(std::string_view text);
std::string FloatTextProblem(std::string_view text);

// A typed clock must be above 0 Hz and a typed gain within 0 .. 127.9 (above
// that it is clamped, so only a negative gain is refused). nullopt: accepted.
std::optional<std::string> RefuseClock(int32_t hz);
std::optional<std::string> RefuseGain(float gain);

// The settings of a lab file that the chip cannot run as they stand: a clock
// of 0 Hz or less, a channel gain below 0 or above 127.9. Such a file is read
// as it is; the window only says so. One short text per setting.
std::vector<std::string> SettingsOutsideChip(const Settings& s, bool english = false);
// One status line of them, or "" when there are none.
std::string OutsideChipStatus(const Settings& s);
// The same in English, for the batch tool's warnings.
std::string OutsideChipWarning(const Settings& s);

}  // namespace gc
