// The cursor of the CIC and PFIR response windows: placed and dragged with the
// right mouse button, stepped with "<" and ">", removed by a release beside
// the plot area.
#pragma once

#include "core/model.h"

namespace gc {

struct WindowCursor {
    int column = -1;  // -1: no cursor; else a column 0..255
    int lineY = -1;   // row of the horizontal line
    bool rightDrag = false;
};

// Each returns true when the window must redraw. Columns beyond the plot area
// (a drag can carry the mouse there) are kept to 0..255.
bool CursorPress(WindowCursor& c, int x, int y);
bool CursorMove(WindowCursor& c, int x, int y);
void CursorRelease(WindowCursor& c);
bool CursorRemove(WindowCursor& c);
bool CursorLeft(WindowCursor& c);
bool CursorRight(WindowCursor& c);

}  // namespace gc
