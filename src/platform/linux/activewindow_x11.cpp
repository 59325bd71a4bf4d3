#include "activewindow_x11.h"

#include "x11connection.h"

#include <cstdlib>

namespace {

// EWMH source indication of a pager: the window manager grants the request without applying
// its focus-stealing prevention, which is what handing the keyboard back needs.
constexpr quint32 sourceIndicationPager = 2;

} // namespace

ActiveWindow::WindowId X11ActiveWindow::current() const
{
    xcb_connection_t *connection = X11Connection::connection();
    if (!connection)
        return 0;
    const xcb_atom_t property = X11Connection::atom(connection, "_NET_ACTIVE_WINDOW");
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, X11Connection::rootWindow(connection), property,
                         XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    WindowId window = 0;
    if (reply && reply->type == XCB_ATOM_WINDOW && reply->format == 32
        && xcb_get_property_value_length(reply) >= int(sizeof(xcb_window_t))) {
        window = *static_cast<const xcb_window_t *>(xcb_get_property_value(reply));
    }
    std::free(reply);
    return window;
}

void X11ActiveWindow::activate(WindowId window)
{
    if (!X11Connection::connection() || window == 0)
        return;
    // A request without a time may be weighed as an old one by focus-stealing prevention.
    X11Connection::withServerTime([window](xcb_timestamp_t time) {
        xcb_connection_t *connection = X11Connection::connection();
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = xcb_window_t(window);
        event.type = X11Connection::atom(connection, "_NET_ACTIVE_WINDOW");
        event.data.data32[0] = sourceIndicationPager;
        event.data.data32[1] = time;
        xcb_send_event(connection, 0, X11Connection::rootWindow(connection),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&event));
        xcb_flush(connection);
    });
}
