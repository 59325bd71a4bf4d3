#include "windowdrag.h"

#include "linux/windowdrag_x11.h"

#include <QGuiApplication>
#include <QStyleHints>

void WindowDrag::press(QWindow *window, const QPointF &position, Kind kind)
{
    m_window = window;
    m_pressPosition = position;
    m_kind = kind;
    m_following = false;
}

bool WindowDrag::pointerMoved(const QPointF &position, Qt::MouseButtons buttons)
{
    if (!m_window)
        return false;
    if (!buttons.testFlag(Qt::LeftButton)) {
        release();
        return false;
    }
    const bool resize = m_kind == Kind::resizeFromBottomRight;
    if (m_following) {
        X11WindowDrag::follow(m_window, {m_devicePress, m_deviceWindow}, resize);
        return false;
    }
    if ((position - m_pressPosition).manhattanLength()
        < QGuiApplication::styleHints()->startDragDistance())
        return false;
    QWindow *window = m_window;
    const std::optional<X11WindowDrag::Start> start = X11WindowDrag::start(window, m_pressPosition);
    if (!start) {
        release();
        if (resize)
            window->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
        else
            window->startSystemMove();
    } else if (X11WindowDrag::handToWindowManager(window, *start, resize)) {
        release();
    } else {
        m_following = true;
        m_devicePress = start->press;
        m_deviceWindow = start->window;
        X11WindowDrag::follow(window, *start, resize);
    }
    return true;
}

void WindowDrag::release()
{
    m_window.clear();
    m_following = false;
}
