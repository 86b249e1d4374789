// Choosing a channel as the main window's channel radio button does, for the
// commands that work on one channel.
#pragma once

#include <string>
#include <vector>

#include "session/session.h"

namespace gc::batch {

// CurrentChannel = channel, then the derived state as the main window's
// refresh brings it up to date (UpdateDerived).
void SelectChannel(Session& m, int channel);

// Reads "--channel A..D" from args into channel (unchanged when absent).
// False with an error text when the value is not a channel, or names a
// channel whose radio button the input mode disables (B and D in the paired
// modes) unless pairedAllowed: the response windows show any channel's data as it stands.
bool TakeChannelOption(std::vector<std::string>& args, const Session& m, int& channel, std::string& error,
                       bool pairedAllowed = false);

}  // namespace gc::batch
