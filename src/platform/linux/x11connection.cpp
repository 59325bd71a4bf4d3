#include "x11connection.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QHash>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>

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

} // namespace X11Connection
