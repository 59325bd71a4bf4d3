#include "x11connection.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QHash>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>

#include <poll.h>

namespace X11Connection {

xcb_connection_t *connection()
{
    if (!qGuiApp || QGuiApplication::platformName() != u"xcb")
        return nullptr;
    // The offscreen platform answers this interface too, with a null connection.
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t *connection)
{
    // Qt connects to the screen DISPLAY names; so does this lookup.
    char *host = nullptr;
    int displayNumber = 0;
    int screenNumber = 0;
    if (!xcb_parse_display(nullptr, &host, &displayNumber, &screenNumber))
        screenNumber = 0;
    std::free(host);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem > 1; ++i)
        xcb_screen_next(&it);
    return it.rem > 0 ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    // Atoms live as long as the server; the cache is dropped when the connection changes.
    static xcb_connection_t *cachedFor = nullptr;
    static QHash<QByteArray, xcb_atom_t> cache;
    if (cachedFor != connection) {
        cache.clear();
        cachedFor = connection;
    }
    const QByteArray key(name);
    if (const auto it = cache.constFind(key); it != cache.cend())
        return *it;
    const xcb_intern_atom_cookie_t cookie
        = xcb_intern_atom(connection, 0, quint16(key.size()), key.constData());
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    cache.insert(key, result);
    return result;
}

QList<xcb_atom_t> atomList(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
{
    QList<xcb_atom_t> atoms;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 4096),
        nullptr);
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t));
        atoms = QList<xcb_atom_t>(values, values + count);
    }
    std::free(reply);
    return atoms;
}

xcb_timestamp_t serverTime()
{
    // Only events carry the time; a property change on a window of a connection of our own
    // gives one without waiting on Qt's, whose events Qt's reader takes.
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    xcb_timestamp_t time = XCB_CURRENT_TIME;
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return time;
    }
    const xcb_window_t window = xcb_generate_id(connection);
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, 0, window, rootWindow(connection), -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                        8, 0, nullptr);
    xcb_flush(connection);
    pollfd readable{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (int waits = 0; time == XCB_CURRENT_TIME && waits < 10;) {
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection))
                break;
            ++waits;
            poll(&readable, 1, 50);
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY)
            time = reinterpret_cast<xcb_property_notify_event_t *>(event)->time;
        std::free(event);
    }
    xcb_disconnect(connection);
    return time;
}

} // namespace X11Connection
