#pragma once

#include <QPoint>
#include <QPointer>
#include <QWindow>

// A press on a window's background that hands the window to the window manager to move or
// resize, once the pointer has travelled the platform's drag distance with the button held. A
// click, however quick, moves nothing: a move asked for on the press itself is one the window
// manager may only begin after the release, and then the window follows the pointer until the
// next click.
class WindowDrag
{
public:
    enum class Kind { move, resizeFromBottomRight };

    // The first button went down at this point of the window, in its own coordinates.
    void press(QWindow *window, const QPoint &position, Kind kind);
    // The pointer is at this point of the window with these buttons held. True when the press
    // has just become a drag, which the window manager carries on from the press's point.
    bool pointerMoved(const QPoint &position, Qt::MouseButtons buttons);
    void release();
    bool isPressed() const { return !m_window.isNull(); }

private:
    QPointer<QWindow> m_window;
    QPoint m_pressPosition;
    Kind m_kind = Kind::move;
};
