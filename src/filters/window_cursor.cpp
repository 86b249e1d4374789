#include "filters/window_cursor.h"

#include <algorithm>

namespace gc {

bool CursorPress(WindowCursor& c, int x, int y) {
    c.column = std::clamp(x, 0, kResponsePoints - 1);
    c.lineY = y;
    c.rightDrag = true;
    return true;
}

bool CursorMove(WindowCursor& c, int x, int y) {
    if (!c.rightDrag) return false;
    c.column = std::clamp(x, 0, kResponsePoints - 1);
    c.lineY = y;
    return true;
}

void CursorRelease(WindowCursor& c) { c.rightDrag = false; }

bool CursorRemove(WindowCursor& c) {
    c.column = -1;
    c.lineY = -1;
    c.rightDrag = false;
    return true;
}

bool CursorLeft(WindowCursor& c) {
    if (c.column <= 0) return false;
    --c.column;
    return true;
}

bool CursorRight(WindowCursor& c) {
    if (c.column < 0 || c.column >= kResponsePoints - 1) return false;
    ++c.column;
    return true;
}

}  // namespace gc
