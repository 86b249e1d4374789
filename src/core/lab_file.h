// The lab file: the 45 settings as text, one per line (the last four, the
// channel requests, may be absent: files of older versions have none).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/model.h"
#include "core/param_table.h"
#include "core/text_io.h"

namespace gc {

// The file's whole text for the settings, headed for kBoardModel.
std::string FormatLab(const Settings& s);

// Writes the settings; false (and nothing written) when the file cannot be created.
bool WriteLab(const Settings& s, const std::filesystem::path& path);

// A value the reader took other than its text says: the values are stored as
// they always were (saved files rely on that), and the note says so.
struct LabValueNote {
    enum class Kind {
        NotWhole,    // the text is not all one number (or four): only its start was taken
        OutOfRange,  // a number the setting does not allow (or not finite)
        Missing,     // the file has no line for the setting: it kept its value
    };
    Kind kind = Kind::NotWhole;
    std::string key;        // the setting's name
    std::string text;       // the value text of the line, trimmed
    std::string taken;      // the value(s) stored, as the file would show them
    long min = 0, max = 0;  // OutOfRange: the range allowed; both 0 when the value is not finite
};
// "SystemClock: \"1e8\" read as 1 (only its start is a number)", for stderr.
std::string LabValueNoteText(const LabValueNote& n);

// Reads settings from the file, then takes the decimations as ApplyLabLines
// does; false and no change when it cannot be opened. notes, when given,
// receives what was not taken as written.
bool ReadLab(Settings& s, DecimationState& d, const std::filesystem::path& path,
             std::vector<LabValueNote>* notes = nullptr);
// The same from text already opened (a file or bytes in memory).
void ReadLab(Settings& s, DecimationState& d, LineReader& in, std::vector<LabValueNote>* notes = nullptr);

// The channel requests' settings (ReqPassHz ..), which older files lack.
bool IsRequestSetting(const SettingParam& e);

// Applies lab-file lines to the settings, then the input mode's stored CIC
// decimations with their bounds, and the total decimations.
void ApplyLabLines(Settings& s, DecimationState& d, const std::vector<std::string>& lines);

// The CIC bounds of an input mode: (CicDecMin, CicDecStep); nullopt outside 0..2.
std::optional<std::pair<int, int>> CicBoundsOfMode(int mode);

// CicDec and the CIC bounds from the stored decimations of an input mode;
// nothing changes for a mode outside 0..2.
void TakeModeCicDec(Settings& s, DecimationState& d, int mode);

// The stored CIC decimations of an input mode (CicM0Dec..CicM2Dec); nullptr outside 0..2.
int32_t* ModeCicStore(Settings& s, int mode);
const int32_t* ModeCicStore(const Settings& s, int mode);

}  // namespace gc
