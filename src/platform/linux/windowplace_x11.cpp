#include "windowplace_x11.h"

#include "x11connection.h"

#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <cstdlib>

void X11WindowPlace::keepWhenShown(QWindow *window)
{
    if (X11Connection::connection()
        && !window->findChild<X11WindowPlace *>(QString(), Qt::FindDirectChildrenOnly))
        window->installEventFilter(new X11WindowPlace(window));
}

bool X11WindowPlace::eventFilter(QObject *watched, QEvent *event)
{
    auto *window = static_cast<QWindow *>(watched);
    if (event->type() == QEvent::Show) {
        m_showing = true;
    } else if (event->type() == QEvent::Expose && m_showing && window->isExposed()) {
        m_showing = false;
        m_attempts = 0;
        m_placing.start();
        restoreWhilePlacing(window);
        QTimer::singleShot(placingTime / 4, this, [this, window] { restoreWhilePlacing(window); });
    } else if (event->type() == QEvent::Move) {
        restoreWhilePlacing(window);
    } else if (event->type() == QEvent::MouseButtonPress) {
        m_placing.invalidate(); // what moves it now is the user's drag
    }
    return false;
}

// A few tries in the moment after the show, never later, when a move is the user's.
void X11WindowPlace::restoreWhilePlacing(QWindow *window)
{
    constexpr int maximumAttempts = 3;
    if (m_placing.isValid() && !m_placing.hasExpired(placingTime) && m_attempts < maximumAttempts
        && restore(window))
        ++m_attempts;
}

bool X11WindowPlace::restore(QWindow *window)
{
    xcb_connection_t *connection = X11Connection::connection();
    if (!connection || !window->isVisible()
        || window->windowStates() & (Qt::WindowFullScreen | Qt::WindowMaximized))
        return false;
    const auto id = xcb_window_t(window->winId());
    const auto hintsCookie = xcb_get_property(connection, 0, id, XCB_ATOM_WM_NORMAL_HINTS,
                                              XCB_ATOM_WM_SIZE_HINTS, 0, 3);
    const auto placeCookie
        = xcb_translate_coordinates(connection, id, X11Connection::rootWindow(connection), 0, 0);
    xcb_get_property_reply_t *hints = xcb_get_property_reply(connection, hintsCookie, nullptr);
    xcb_translate_coordinates_reply_t *place
        = xcb_translate_coordinates_reply(connection, placeCookie, nullptr);
    constexpr quint32 userOrProgramPosition = 1 | 4;
    bool moved = false;
    if (hints && place && hints->format == 32 && xcb_get_property_value_length(hints) >= 12) {
        const auto *values = static_cast<const qint32 *>(xcb_get_property_value(hints));
        if ((quint32(values[0]) & userOrProgramPosition)
            && (place->dst_x != values[1] || place->dst_y != values[2])) {
            const quint32 asked[] = {quint32(values[1]), quint32(values[2])};
            xcb_configure_window(connection, id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, asked);
            xcb_flush(connection);
            moved = true;
        }
    }
    std::free(hints);
    std::free(place);
    return moved;
}
