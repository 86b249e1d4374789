#include "batch/channel_select.h"

#include "batch/batch.h"

namespace gc::batch {

void SelectChannel(Session& m, int channel) {
    m.CurrentChannel = channel;
    UpdateDerived(m);
}

bool TakeChannelOption(std::vector<std::string>& args, const Session& m, int& channel, std::string& error,
                       bool pairedAllowed) {
    std::string text;
    if (!TakeOption(args, "--channel", text, error)) return error.empty();
    const int c = ParseChannel(text);
    if (c < 0) {
        error = "--channel takes A, B, C or D, not '" + text + "'";
        return false;
    }
    const int mode = m.settings.ModeOfInput;
    if (!pairedAllowed && (mode == 1 || mode == 2) && (c == 1 || c == 3)) {
        error = "channel " + text + " is paired with the one before it in this input mode";
        return false;
    }
    channel = c;
    return true;
}

}  // namespace gc::batch
