#pragma once

#include <QPoint>
#include <QRect>

#include <optional>

class QPointF;
class QWindow;

namespace X11WindowDrag {

// Where a drag of the window began, in the server's device pixels: the press on the screen,
// and the window's place and size on the screen.
struct Start
{
    QPoint press;
    QRect window;
};

// For a press at `pressPosition` (the window's own coordinates); none without an X connection.
std::optional<Start> start(QWindow *window, const QPointF &pressPosition);

// Asks the window manager to move the window, or resize it from its bottom-right corner, as if
// it had held the pointer since the press, so that the window keeps its place under the
// pointer. False where the window manager offers no such move.
bool handToWindowManager(QWindow *window, const Start &start, bool resize);

// Moves the window, or resizes it within its minimum and maximum sizes, by as much as the
// pointer has travelled since the press.
void follow(QWindow *window, const Start &start, bool resize);

} // namespace X11WindowDrag
