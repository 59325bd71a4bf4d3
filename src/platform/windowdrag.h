#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWindow>

// A press on a window's background that moves or resizes the window once the pointer has
// travelled the platform's drag distance with the button held. A click, however quick, moves
// nothing: a move asked for on the press itself is one the window manager may only begin after
// the release, and then the window follows the pointer until the next click.
//
// The window manager carries the drag on where it offers that; where it does not (jwm,
// awesome), the window follows the pointer from here until the button is released.
class WindowDrag
{
public:
    enum class Kind { move, resizeFromBottomRight };

    // The first button went down at this point of the window, in its own coordinates (a
    // fraction of one at a fractional scale, a whole device pixel).
    void press(QWindow *window, const QPointF &position, Kind kind);
    // The pointer is at this point of the window with these buttons held. True when the press
    // has just become a drag.
    bool pointerMoved(const QPointF &position, Qt::MouseButtons buttons);
    void release();
    bool isPressed() const { return !m_window.isNull(); }

private:
    QPointer<QWindow> m_window;
    QPointF m_pressPosition;
    Kind m_kind = Kind::move;
    // While the window follows the pointer from here: the press on the screen and the window's
    // frame when it began, in device pixels.
    bool m_following = false;
    QPoint m_devicePress;
    QRect m_deviceWindow;
};
