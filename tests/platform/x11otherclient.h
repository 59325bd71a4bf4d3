#pragma once

// A second client of a test's private X server, for tests of Brivel's own X11 code, and their
// fixture.

#include "common/x11clients.h"
#include "common/x11input.h"
#include "common/x11requests.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QScopeGuard>
#include <QTest>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace TestSupport {

// Xvfb's keymap puts NumLock on Mod2.
inline constexpr quint16 numLock = XCB_MOD_MASK_2;
inline constexpr quint16 capsLock = XCB_MOD_MASK_LOCK;

// Another client of the server: it competes for keys, reads properties as the window manager
// left them and holds the selection.
class OtherClient
{
public:
    OtherClient()
        : m_connection(xcb_connect(nullptr, nullptr))
        , m_root(xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root)
        , m_symbols(xcb_key_symbols_alloc(m_connection))
    {}

    ~OtherClient()
    {
        xcb_key_symbols_free(m_symbols);
        xcb_disconnect(m_connection);
    }

    xcb_keycode_t keyCode(xcb_keysym_t keysym) const
    {
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(m_symbols, keysym);
        const xcb_keycode_t code = codes ? codes[0] : 0;
        std::free(codes);
        return code;
    }

    bool grab(xcb_keycode_t keyCode, quint16 modifiers)
    {
        xcb_generic_error_t *error = xcb_request_check(
            m_connection, xcb_grab_key_checked(m_connection, 0, m_root, modifiers, keyCode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return !error;
    }

    // Returns once the server has let go: a grab that Brivel asks for next, on its own
    // connection, could otherwise reach the server first and find the key still held.
    void ungrab(xcb_keycode_t keyCode, quint16 modifiers)
    {
        xcb_ungrab_key(m_connection, keyCode, m_root, modifiers);
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    // Whether nobody else holds the key in any lock state; lets it go again.
    bool canGrabInEveryLockState(xcb_keycode_t keyCode)
    {
        bool all = true;
        for (const quint16 locks : {quint16(0), capsLock, numLock, quint16(capsLock | numLock)}) {
            if (grab(keyCode, locks))
                ungrab(keyCode, locks);
            else
                all = false;
        }
        return all;
    }

    xcb_atom_t atom(const QByteArray &name) const
    {
        return TestSupport::internAtom(m_connection, name.constData());
    }

    // The 32-bit values of a window property; empty when it is not set.
    QList<quint32> property(quint32 window, const QByteArray &name) const
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
            nullptr);
        QList<quint32> values;
        if (reply && reply->format == 32) {
            const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
            values = QList<quint32>(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return values;
    }

    QList<quint32> rootProperty(const QByteArray &name) const { return property(m_root, name); }

    // Holds PRIMARY, answering only when asked to, and then as owners of large selections do:
    // announces the size (INCR) and sends the text in pieces, each once the requestor has taken
    // the one before.
    bool takePrimary()
    {
        m_selectionWindow = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_selectionWindow, m_root, 0, 0, 1, 1,
                          0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(m_connection, m_selectionWindow, XCB_ATOM_PRIMARY,
                                XCB_CURRENT_TIME);
        xcb_get_selection_owner_reply_t *reply = xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, XCB_ATOM_PRIMARY), nullptr);
        const bool held = reply && reply->owner == m_selectionWindow;
        std::free(reply);
        return held;
    }

    // Answers what was asked since the last call.
    void answer(const QByteArray &text)
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const auto release = qScopeGuard([event] { std::free(event); });
            const auto *request = reinterpret_cast<xcb_selection_request_event_t *>(event);
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST && latin1Only) {
                xcb_selection_notify_event_t notify{};
                notify.response_type = XCB_SELECTION_NOTIFY;
                notify.requestor = request->requestor;
                notify.selection = request->selection;
                notify.target = request->target;
                notify.property = request->target == XCB_ATOM_STRING ? request->property : 0;
                if (notify.property)
                    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request->requestor,
                                        notify.property, XCB_ATOM_STRING, 8, quint32(text.size()),
                                        text.constData());
                xcb_send_event(m_connection, 0, request->requestor, 0,
                               reinterpret_cast<const char *>(&notify));
            } else if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
                m_requestor = request->requestor;
                m_property = request->property;
                m_sent = 0;
                const quint32 events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(m_connection, m_requestor, XCB_CW_EVENT_MASK, &events);
                const auto size = quint32(text.size());
                xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_requestor, m_property,
                                    atom("INCR"), 32, 1, &size);
                xcb_selection_notify_event_t notify{};
                notify.response_type = XCB_SELECTION_NOTIFY;
                notify.requestor = m_requestor;
                notify.selection = request->selection;
                notify.target = request->target;
                notify.property = m_property;
                xcb_send_event(m_connection, 0, m_requestor, 0,
                               reinterpret_cast<const char *>(&notify));
            } else if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event);
                if (change->window != m_requestor || change->atom != m_property
                    || change->state != XCB_PROPERTY_DELETE || m_sent > text.size())
                    continue;
                // An empty piece ends the text.
                const QByteArray piece = text.mid(m_sent, 1000);
                m_sent += piece.isEmpty() ? 1 : piece.size();
                xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_requestor, m_property,
                                    atom("UTF8_STRING"), 8, quint32(piece.size()),
                                    piece.constData());
            }
        }
        xcb_flush(m_connection);
    }

    // Whether the owner offers its text only as STRING (Latin-1), in one piece.
    bool latin1Only = false;

    bool isViewable(quint32 window) const
    {
        xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(
            m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
        const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(reply);
        return viewable;
    }

    // Holds the server: it serves no other client until ungrabServer().
    void grabServer()
    {
        xcb_grab_server(m_connection);
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    void ungrabServer()
    {
        xcb_ungrab_server(m_connection);
        xcb_flush(m_connection);
    }

    // Has what other clients send the window manager delivered to this client as well.
    void watchRequestsToTheWindowManager()
    {
        const quint32 events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &events);
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    // The windows asked to be activated since the last call, each with the request's time.
    QList<std::pair<quint32, quint32>> takeActivationRequests()
    {
        QList<std::pair<quint32, quint32>> requests;
        const xcb_atom_t activeWindow = atom("_NET_ACTIVE_WINDOW");
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const auto *message = reinterpret_cast<xcb_client_message_event_t *>(event);
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE
                && message->type == activeWindow)
                requests.append({message->window, message->data.data32[1]});
            std::free(event);
        }
        return requests;
    }

private:
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_key_symbols_t *m_symbols = nullptr;
    xcb_window_t m_selectionWindow = XCB_WINDOW_NONE;
    xcb_window_t m_requestor = XCB_WINDOW_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    qsizetype m_sent = 0;
};

// The base of the tests: the other client, and a window of another program that has the keyboard
// when each test starts.
class OtherClientTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_foreign = std::make_unique<ForeignWindow>("Foreign");
        QVERIFY(m_foreign->isValid());
        m_other = std::make_unique<OtherClient>();
    }

    void init()
    {
        QVERIFY(xdotool({u"windowactivate"_qs, u"--sync"_qs, m_foreign->idString()}));
        QTRY_VERIFY(m_foreign->hasInputFocus());
        m_foreign->takeKeyPresses();
    }

protected:
    std::unique_ptr<ForeignWindow> m_foreign;
    std::unique_ptr<OtherClient> m_other;
};

} // namespace TestSupport
