#include "windowhints.h"

#include "linux/windowplace_x11.h"
#include "linux/x11connection.h"

#include <QWindow>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace WindowHints {

void mapNormal(QWindow *window)
{
    xcb_connection_t *connection = X11Connection::connection();
    if (!connection || !window || !window->handle())
        return;
    const auto id = xcb_window_t(window->winId());
    // ICCCM WM_HINTS: flags, input, initial state, then the icon and group fields.
    constexpr quint32 stateHint = 1u << 1;
    constexpr quint32 normalState = 1;
    std::array<quint32, 9> hints{};
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, hints.size()),
        nullptr);
    if (reply && reply->format == 32) {
        const auto length
            = std::min<size_t>(size_t(xcb_get_property_value_length(reply)), sizeof hints);
        std::memcpy(hints.data(), xcb_get_property_value(reply), length);
    }
    std::free(reply);
    if ((hints[0] & stateHint) && hints[2] == normalState)
        return;
    hints[0] |= stateHint;
    hints[2] = normalState;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS,
                        32, hints.size(), hints.data());
    xcb_flush(connection);
}

void keepPlaceWhenShown(QWindow *window)
{
    if (window)
        X11WindowPlace::keepWhenShown(window);
}

} // namespace WindowHints
