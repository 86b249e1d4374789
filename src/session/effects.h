// What the windows must do after an edit or a command changed the model.
#pragma once

#include <optional>
#include <string>

namespace gc {

// Applied in this order: show the view, refresh the open register editors and
// the synchronisation dialog, record the settings for undo, recompute the
// shown channel's response, redraw the open response windows, redraw the
// main plot once the window is painted, show the status line.
struct Effects {
    // Nothing was changed; `status` says why and the window shows it as an error.
    bool refused = false;
    bool view = false;             // the main window's controls follow the model
    bool editors = false;          // open register editors and the sync dialog follow the image
    bool record = false;           // a step for undo (only when the settings differ)
    bool response = false;         // the shown channel's curve is computed anew
    bool responseWindows = false;  // their axes or data moved: the open response windows redraw
    bool redrawPlot = false;       // the main plot redraws after the next paint
    bool request = false;          // a channel's request changed: the designer and the analysis window follow
    // The status line: what changed or why nothing did; nullopt leaves it as it is.
    std::optional<std::string> status;
};

}  // namespace gc
