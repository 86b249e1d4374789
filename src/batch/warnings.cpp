// The batch tool's words for what the session finds in a configuration.
#include "batch/batch.h"
#include "core/channel_rules.h"
#include "core/number_format.h"
#include "session/edit_rules.h"

namespace gc::batch {

std::string CicGainWarning(float norm, int channel) {
    return std::string("CIC of channel ") + ChannelLetter(channel) + ": output " +
           FormatFixed(static_cast<double>(norm), 5, 3) +
           " times louder than its input (the CIC shift is 0), it may clip";
}

std::string OutsideChipWarning(const Settings& s) {
    const std::vector<OutsideChipValue> items = SettingsOutsideChip(s);
    if (items.empty()) return {};
    std::string line = "the chip cannot run these values of the lab file: ";
    for (size_t i = 0; i < items.size(); ++i) {
        const OutsideChipValue& v = items[i];
        line += i ? ", " : "";
        line += v.setting == OutsideChipValue::Setting::Clock
                    ? "clock " + std::to_string(static_cast<int64_t>(v.value)) + " Hz"
                    : std::string("gain of channel ") + ChannelLetter(v.channel) + " " + FormatFixed(v.value, 5, 2);
    }
    return line;
}

}  // namespace gc::batch
