#include "windowdrag_x11.h"

#include "x11connection.h"

#include <QSize>
#include <QWindow>

#include <algorithm>
#include <cstdlib>

namespace {

// _NET_WM_MOVERESIZE directions.
constexpr quint32 sizeBottomRight = 4;
constexpr quint32 move = 8;

// The pointer on the screen, in device pixels.
std::optional<QPoint> pointer(xcb_connection_t *connection, xcb_window_t window)
{
    xcb_query_pointer_reply_t *reply
        = xcb_query_pointer_reply(connection, xcb_query_pointer(connection, window), nullptr);
    std::optional<QPoint> at;
    if (reply)
        at = QPoint(reply->root_x, reply->root_y);
    std::free(reply);
    return at;
}

} // namespace

namespace X11WindowDrag {

std::optional<Start> start(QWindow *window, const QPointF &pressPosition)
{
    xcb_connection_t *connection = X11Connection::connection();
    if (!connection || !window->handle())
        return std::nullopt;
    const auto id = xcb_window_t(window->winId());
    const auto geometryCookie = xcb_get_geometry(connection, id);
    const auto originCookie
        = xcb_translate_coordinates(connection, id, X11Connection::rootWindow(connection), 0, 0);
    xcb_get_geometry_reply_t *geometry
        = xcb_get_geometry_reply(connection, geometryCookie, nullptr);
    xcb_translate_coordinates_reply_t *origin
        = xcb_translate_coordinates_reply(connection, originCookie, nullptr);
    std::optional<Start> result;
    if (geometry && origin) {
        const QPoint topLeft(origin->dst_x, origin->dst_y);
        // The server counts device pixels; the press came in the window's logical ones.
        result = Start{topLeft + (pressPosition * window->devicePixelRatio()).toPoint(),
                       QRect(topLeft, QSize(geometry->width, geometry->height))};
    }
    std::free(geometry);
    std::free(origin);
    return result;
}

bool handToWindowManager(QWindow *window, const Start &start, bool resize)
{
    xcb_connection_t *connection = X11Connection::connection();
    if (!connection)
        return false;
    const xcb_window_t root = X11Connection::rootWindow(connection);
    const xcb_atom_t moveResize = X11Connection::atom(connection, "_NET_WM_MOVERESIZE");
    const xcb_atom_t supported = X11Connection::atom(connection, "_NET_SUPPORTED");
    if (!X11Connection::atomList(connection, root, supported).contains(moveResize))
        return false;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window->winId());
    event.type = moveResize;
    event.data.data32[0] = quint32(start.press.x());
    event.data.data32[1] = quint32(start.press.y());
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

void follow(QWindow *window, const Start &start, bool resize)
{
    xcb_connection_t *connection = X11Connection::connection();
    if (!connection || !window->handle())
        return;
    const auto id = xcb_window_t(window->winId());
    const std::optional<QPoint> at = pointer(connection, id);
    if (!at)
        return;
    const QPoint travelled = *at - start.press;
    if (resize) {
        const qreal ratio = window->devicePixelRatio();
        const QSize smallest = window->minimumSize() * ratio;
        const QSize largest = window->maximumSize().boundedTo(QSize(32767, 32767) / ratio) * ratio;
        const quint32 size[]
            = {quint32(std::clamp(start.window.width() + travelled.x(),
                                  std::max(smallest.width(), 1), largest.width())),
               quint32(std::clamp(start.window.height() + travelled.y(),
                                  std::max(smallest.height(), 1), largest.height()))};
        xcb_configure_window(connection, id, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                             size);
    } else {
        const QPoint topLeft = start.window.topLeft() + travelled;
        const qint32 place[] = {topLeft.x(), topLeft.y()};
        xcb_configure_window(connection, id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
    }
    xcb_flush(connection);
}

} // namespace X11WindowDrag
