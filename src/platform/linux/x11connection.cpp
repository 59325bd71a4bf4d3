#include "x11connection.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// Only events carry the server's time. A zero-length change to a property of a window of its own,
// never mapped, gives one on Qt's connection; Qt's reader takes the event and hands it to the
// native event filters on the main thread.
class ServerClock : public QObject, public QAbstractNativeEventFilter
{
public:
    explicit ServerClock(xcb_connection_t *connection)
        : QObject(qGuiApp)
        , m_connection(connection)
        , m_window(xcb_generate_id(connection))
    {
        const quint32 events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, m_window,
                          X11Connection::rootWindow(connection), -1, -1, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &events);
        qGuiApp->installNativeEventFilter(this);
    }

    xcb_connection_t *connection() const { return m_connection; }

    void ask(std::function<void(xcb_timestamp_t)> then)
    {
        m_waiting.push_back(std::move(then));
        xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_window, XCB_ATOM_WM_NAME,
                            XCB_ATOM_STRING, 8, 0, nullptr);
        xcb_flush(m_connection);
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY
            || static_cast<const xcb_property_notify_event_t *>(message)->window != m_window)
            return false;
        // Whoever asked before this change has a time no older than the question.
        const auto time = static_cast<const xcb_property_notify_event_t *>(message)->time;
        for (const auto &then : std::exchange(m_waiting, {}))
            then(time);
        return true;
    }

private:
    xcb_connection_t *const m_connection;
    const xcb_window_t m_window;
    std::vector<std::function<void(xcb_timestamp_t)>> m_waiting;
};

} // namespace

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

void withServerTime(std::function<void(xcb_timestamp_t)> then)
{
    xcb_connection_t *current = connection();
    if (!current)
        return;
    static QPointer<ServerClock> clock;
    if (!clock || clock->connection() != current)
        clock = new ServerClock(current);
    clock->ask(std::move(then));
}

} // namespace X11Connection
