#include "windowdrag_x11.h"

#include "x11connection.h"

#include <QPoint>
#include <QWindow>

#include <cstdlib>

namespace {

// _NET_WM_MOVERESIZE directions.
constexpr quint32 sizeBottomRight = 4;
constexpr quint32 move = 8;

} // namespace

namespace X11WindowDrag {

bool start(QWindow *window, const QPoint &pressPosition, bool resize)
{
    xcb_connection_t *connection = X11Connection::connection();
    if (!connection || !window->handle())
        return false;
    const xcb_window_t root = X11Connection::rootWindow(connection);
    const xcb_atom_t moveResize = X11Connection::atom(connection, "_NET_WM_MOVERESIZE");
    const xcb_atom_t supported = X11Connection::atom(connection, "_NET_SUPPORTED");
    if (!X11Connection::atomList(connection, root, supported).contains(moveResize))
        return false;
    const auto id = xcb_window_t(window->winId());
    xcb_translate_coordinates_reply_t *origin = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, id, root, 0, 0), nullptr);
    if (!origin)
        return false;
    // The server counts device pixels.
    const QPoint press
        = QPoint(origin->dst_x, origin->dst_y) + (pressPosition * window->devicePixelRatio());
    std::free(origin);

    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = moveResize;
    event.data.data32[0] = quint32(press.x());
    event.data.data32[1] = quint32(press.y());
    event.data.data32[2] = resize ? sizeBottomRight : move;
    event.data.data32[3] = XCB_BUTTON_INDEX_1;
    event.data.data32[4] = 1; // from an application
    // The press's own grab of the pointer would keep the window manager from taking it.
    xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
    return true;
}

} // namespace X11WindowDrag
