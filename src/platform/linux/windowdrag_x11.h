#pragma once

class QPoint;
class QWindow;

namespace X11WindowDrag {

// Asks the window manager to move the window, or resize it from its bottom-right corner, as if
// the drag had begun at `pressPosition` (the window's own coordinates), so that the window keeps
// its place under the pointer. False without an X connection or a window manager that moves
// windows on request.
bool start(QWindow *window, const QPoint &pressPosition, bool resize);

} // namespace X11WindowDrag
