#include "selectionreader_x11.h"

#include "x11connection.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <limits>

struct X11SelectionReader::Request
{
    std::function<void(const QString &)> done;
    qsizetype maximumCodeUnits = 0;
    // Room for one unit more than the limit in UTF-8 (three bytes a unit at most) or Latin-1:
    // more bytes than this always hold more units.
    qsizetype maximumBytes = 0;
    // A fresh one for each place: a late answer from an owner given up on goes nowhere.
    xcb_window_t window = XCB_WINDOW_NONE;
    int place = 0;
    // The owner had no UTF8_STRING; asked for STRING, which is Latin-1.
    bool asLatin1 = false;
    bool incremental = false;
    QByteArray bytes;
    QTimer deadline;
};

X11SelectionReader::X11SelectionReader(xcb_connection_t *connection)
    : m_connection(connection)
    , m_root(X11Connection::rootWindow(connection))
    , m_clipboard(X11Connection::atom(connection, "CLIPBOARD"))
    , m_utf8String(X11Connection::atom(connection, "UTF8_STRING"))
    , m_incremental(X11Connection::atom(connection, "INCR"))
    , m_property(X11Connection::atom(connection, "BRIVEL_SELECTION"))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11SelectionReader::~X11SelectionReader()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
    if (X11Connection::connection() != m_connection)
        return;
    for (const std::unique_ptr<Request> &request : m_requests) {
        if (request->window != XCB_WINDOW_NONE)
            xcb_destroy_window(m_connection, request->window);
    }
    xcb_flush(m_connection);
}

void X11SelectionReader::read(qsizetype maximumCodeUnits, std::function<void(const QString &)> done)
{
    auto owned = std::make_unique<Request>();
    Request &request = *owned;
    m_requests.push_back(std::move(owned));
    request.done = std::move(done);
    request.maximumCodeUnits = std::max<qsizetype>(maximumCodeUnits, 0);
    request.maximumBytes = 3 * (request.maximumCodeUnits + 1);
    request.deadline.setSingleShot(true);
    connect(&request.deadline, &QTimer::timeout, this,
            [this, &request] { askPlace(request, request.place + 1); });
    askPlace(request, 0);
}

void X11SelectionReader::askPlace(Request &request, int place)
{
    if (place > 1) {
        finish(request, QString());
        return;
    }
    request.place = place;
    request.asLatin1 = false;
    request.incremental = false;
    request.bytes.clear();
    request.deadline.start(ownerTimeoutMs);
    ask(request);
}

void X11SelectionReader::ask(Request &request)
{
    if (request.window != XCB_WINDOW_NONE)
        xcb_destroy_window(m_connection, request.window);
    request.window = xcb_generate_id(m_connection);
    // Property changes: each increment of a large text is announced as one.
    const quint32 events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, request.window, m_root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    const xcb_atom_t selection = request.place == 0 ? xcb_atom_t(XCB_ATOM_PRIMARY) : m_clipboard;
    xcb_convert_selection(m_connection, request.window, selection,
                          request.asLatin1 ? xcb_atom_t(XCB_ATOM_STRING) : m_utf8String, m_property,
                          XCB_CURRENT_TIME);
    xcb_flush(m_connection);
}

bool X11SelectionReader::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_requests.empty() || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    switch (event->response_type & 0x7f) {
    case XCB_SELECTION_NOTIFY: {
        const auto *notify = static_cast<const xcb_selection_notify_event_t *>(message);
        Request *request = requestFor(notify->requestor);
        if (!request)
            return false;
        if (notify->property != XCB_ATOM_NONE) {
            takeProperty(*request);
        } else if (!request->asLatin1) {
            // No owner, or no text of that kind: the older kind may be there.
            request->asLatin1 = true;
            ask(*request);
        } else {
            askPlace(*request, request->place + 1);
        }
        return true;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto *change = static_cast<const xcb_property_notify_event_t *>(message);
        Request *request = requestFor(change->window);
        if (!request)
            return false;
        if (request->incremental && change->atom == m_property
            && change->state == XCB_PROPERTY_NEW_VALUE) {
            takeProperty(*request);
        }
        // Qt's own clipboard, answering us in increments, waits for the same event.
        return false;
    }
    default:
        return false;
    }
}

void X11SelectionReader::takeProperty(Request &request)
{
    // The server answers at once, whatever the owner does.
    const qsizetype wanted = (request.maximumBytes - request.bytes.size()) / 4 + 1;
    const auto words = quint32(std::min<qsizetype>(wanted, std::numeric_limits<quint32>::max()));
    xcb_get_property_reply_t *reply
        = xcb_get_property_reply(m_connection,
                                 xcb_get_property(m_connection, 1, request.window, m_property,
                                                  XCB_GET_PROPERTY_TYPE_ANY, 0, words),
                                 nullptr);
    const auto release = qScopeGuard([reply] { std::free(reply); });
    if (reply && reply->type == m_incremental && !request.incremental) {
        // Deleting the announcement, as the read did, asks for the first increment.
        request.incremental = true;
        request.bytes.clear();
        return;
    }
    if (!reply || reply->format != 8) {
        askPlace(request, request.place + 1);
        return;
    }
    const int length = xcb_get_property_value_length(reply);
    request.bytes.append(static_cast<const char *>(xcb_get_property_value(reply)), length);
    const bool tooLong = reply->bytes_after > 0 || request.bytes.size() > request.maximumBytes;
    // An empty increment ends the text. An owner still sending is not a silent one: a large
    // text on a busy machine may take longer than one wait in all.
    if (request.incremental && length > 0 && !tooLong) {
        request.deadline.start(ownerTimeoutMs);
        return;
    }
    const QString text
        = request.asLatin1 ? QString::fromLatin1(request.bytes) : QString::fromUtf8(request.bytes);
    if (text.isEmpty() && !tooLong)
        askPlace(request, request.place + 1);
    else
        finish(request, text.left(request.maximumCodeUnits + 1));
}

void X11SelectionReader::finish(Request &request, const QString &text)
{
    request.deadline.stop();
    xcb_destroy_window(m_connection, request.window);
    xcb_flush(m_connection);
    request.window = XCB_WINDOW_NONE;
    // Not from inside the event filter or the deadline's signal: the answer may open a dialog
    // with an event loop of its own, and the request goes with its timer.
    QMetaObject::invokeMethod(
        this,
        [this, &request, text] {
            const auto it
                = std::find_if(m_requests.begin(), m_requests.end(),
                               [&request](const auto &owned) { return owned.get() == &request; });
            const std::unique_ptr<Request> finished = std::move(*it);
            m_requests.erase(it);
            finished->done(text);
        },
        Qt::QueuedConnection);
}

X11SelectionReader::Request *X11SelectionReader::requestFor(xcb_window_t window) const
{
    for (const std::unique_ptr<Request> &request : m_requests) {
        if (request->window == window && window != XCB_WINDOW_NONE)
            return request.get();
    }
    return nullptr;
}
