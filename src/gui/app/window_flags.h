// The working state of a non-modal window beside the main window: refreshed
// only while open, editable only while writing is enabled ("EnbWrite").
#pragma once

namespace gc {

struct WindowFlags {
    bool open = false;        // set by the button that shows it, cleared when it closes
    bool writeEnable = true;  // follows "EnbWrite"
};

}  // namespace gc
