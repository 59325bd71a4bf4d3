#include "windowdrag.h"

#include "linux/windowdrag_x11.h"

#include <QGuiApplication>
#include <QStyleHints>

void WindowDrag::press(QWindow *window, const QPoint &position, Kind kind)
{
    m_window = window;
    m_pressPosition = position;
    m_kind = kind;
}

bool WindowDrag::pointerMoved(const QPoint &position, Qt::MouseButtons buttons)
{
    if (!m_window)
        return false;
    if (!buttons.testFlag(Qt::LeftButton)) {
        release();
        return false;
    }
    if ((position - m_pressPosition).manhattanLength()
        < QGuiApplication::styleHints()->startDragDistance())
        return false;
    QWindow *window = m_window;
    release();
    const bool resize = m_kind == Kind::resizeFromBottomRight;
    if (!X11WindowDrag::start(window, m_pressPosition, resize)) {
        if (resize)
            window->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
        else
            window->startSystemMove();
    }
    return true;
}

void WindowDrag::release()
{
    m_window.clear();
}
