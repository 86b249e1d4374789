// The configurator's secondary windows whose being open is kept between runs:
// the CIC and PFIR windows, the synchronisation dialog and the nine register
// editors, each under its command-line name ("cic", "pfir", "sync", ...).
#pragma once

#include "session/session.h"

namespace gc {

class AppWindows;
class WindowStateStore;

// Tracks them in store. At the next start each reopens through its own
// Open(), so that it is flagged open and follows the main window's edits; the
// register windows, like their buttons, only in expert mode (read when they
// reopen, after the session has started).
void TrackSecondaryWindows(WindowStateStore& store, AppWindows& windows, const Session& session);

}  // namespace gc
