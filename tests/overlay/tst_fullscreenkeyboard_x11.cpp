// Without a window manager the toolkit sets the focus itself; the full screen still asks a
// window manager for the keyboard as a task bar would, which focus-stealing prevention grants.

#include "common/readingsession.h"
#include "common/xvfb.h"
#include "overlay/overlaypanel.h"

class TestFullScreenKeyboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullScreenAsksForTheKeyboard()
    {
        // What a window manager would hear: client messages sent to the root window.
        xcb_connection_t *root = xcb_connect(nullptr, nullptr);
        QVERIFY(!xcb_connection_has_error(root));
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(root)).data;
        const quint32 mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(root, screen->root, XCB_CW_EVENT_MASK, &mask);
        xcb_intern_atom_reply_t *activeWindow = xcb_intern_atom_reply(
            root, xcb_intern_atom(root, 0, 18, "_NET_ACTIVE_WINDOW"), nullptr);
        QVERIFY(activeWindow);
        xcb_flush(root);

        TestSupport::ReadingSession s(OverlayMode::fullscreen, {u"Un texto de otro programa"_qs});
        s.controller.show(s.service.m_pages.first(), false, false, {});
        QVERIFY(QTest::qWaitForWindowExposed(s.controller.panel()));
        const xcb_window_t panel = xcb_window_t(s.controller.panel()->winId());
        QList<xcb_window_t> named;
        const auto panelNamed = [&] {
            while (xcb_generic_event_t *event = xcb_poll_for_event(root)) {
                const auto *message = reinterpret_cast<xcb_client_message_event_t *>(event);
                if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE
                    && message->type == activeWindow->atom)
                    named.append(message->window);
                std::free(event);
            }
            return named.contains(panel);
        };
        QTRY_VERIFY(panelNamed());
        std::free(activeWindow);
        xcb_disconnect(root);
    }
};

BRIVEL_XVFB_TEST_MAIN(TestFullScreenKeyboard, false)
#include "tst_fullscreenkeyboard_x11.moc"
