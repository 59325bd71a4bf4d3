#pragma once

// Windows of other X clients on a test's private X server.

#include "x11requests.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTest>

#ifdef QT_WIDGETS_LIB
#include <QApplication>
#else
#include <QGuiApplication>
#endif

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TestSupport {

// A plain top-level window of another X client, to hold the keyboard focus while a test looks
// at the keys and clicks that reach it. It is mapped when the constructor returns (when
// isValid()).
class ForeignWindow
{
public:
    explicit ForeignWindow(const QByteArray &title, const QRect &geometry = {40, 40, 320, 240})
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        const quint32 values[] = {screen->white_pixel,
                                  XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE
                                      | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE};
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root,
                          qint16(geometry.x()), qint16(geometry.y()), quint16(geometry.width()),
                          quint16(geometry.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_NAME,
                            XCB_ATOM_STRING, 8, quint32(title.size()), title.constData());
        const QByteArray windowClass("brivel-test\0ForeignWindow\0", 26);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_CLASS,
                            XCB_ATOM_STRING, 8, quint32(windowClass.size()),
                            windowClass.constData());
        xcb_map_window(m_connection, m_window);
        xcb_flush(m_connection);
        const QDeadlineTimer deadline(5000);
        while (!m_mapped && !deadline.hasExpired()) {
            xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
                m_connection, xcb_get_window_attributes(m_connection, m_window), nullptr);
            m_mapped = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            std::free(attributes);
            if (!m_mapped)
                usleep(10000);
        }
    }

    ~ForeignWindow() { xcb_disconnect(m_connection); }

    ForeignWindow(const ForeignWindow &) = delete;
    ForeignWindow &operator=(const ForeignWindow &) = delete;

    bool isValid() const { return m_mapped; }
    quint32 id() const { return m_window; }
    QString idString() const { return QString::number(m_window); }

    // Key codes of the key presses that reached the window since the last call.
    QList<quint8> takeKeyPresses()
    {
        readEvents();
        return std::exchange(m_keyPresses, {});
    }

    // Where the mouse-button presses that reached the window since the last call happened, in
    // root (screen) coordinates.
    QList<QPoint> takeButtonPresses()
    {
        readEvents();
        return std::exchange(m_buttonPresses, {});
    }

    // Takes the PRIMARY selection, whose requests the window then never answers.
    bool takePrimarySelection()
    {
        xcb_set_selection_owner(m_connection, m_window, XCB_ATOM_PRIMARY, XCB_CURRENT_TIME);
        xcb_get_selection_owner_reply_t *reply = xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, XCB_ATOM_PRIMARY), nullptr);
        const bool held = reply && reply->owner == m_window;
        std::free(reply);
        return held;
    }

    bool hasInputFocus() const
    {
        xcb_get_input_focus_reply_t *reply
            = xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr);
        const bool focused = reply && reply->focus == m_window;
        std::free(reply);
        return focused;
    }

private:
    void readEvents()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const int type = event->response_type & 0x7f;
            if (type == XCB_KEY_PRESS) {
                m_keyPresses.append(reinterpret_cast<xcb_key_press_event_t *>(event)->detail);
            } else if (type == XCB_BUTTON_PRESS) {
                const auto *press = reinterpret_cast<xcb_button_press_event_t *>(event);
                m_buttonPresses.append({press->root_x, press->root_y});
            }
            std::free(event);
        }
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    bool m_mapped = false;
    QList<quint8> m_keyPresses;
    QList<QPoint> m_buttonPresses;
};

// A desktop panel along the top of the screen, as another X client shows it: a dock window
// that reserves its strip, so the window manager takes it out of the screen's work area.
class TopBar
{
public:
    explicit TopBar(int height, int screenWidth = 1280)
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        const xcb_window_t window = xcb_generate_id(m_connection);
        const quint32 values[] = {screen->black_pixel};
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0,
                          quint16(screenWidth), quint16(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen->root_visual, XCB_CW_BACK_PIXEL, values);
        const xcb_atom_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window,
                            atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &dock);
        // left, right, top, bottom, then the start and end of each strip
        const quint32 strut[12]
            = {0, 0, quint32(height), 0, 0, 0, 0, 0, 0, quint32(screenWidth - 1), 0, 0};
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window,
                            atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 32, 12, strut);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_STRUT"),
                            XCB_ATOM_CARDINAL, 32, 4, strut);
        // Its place is the user's (USPosition, USSize), so a window manager keeps it at the top
        // instead of placing it as it would a new window.
        quint32 sizeHints[18] = {1 | 2, 0, 0, quint32(screenWidth), quint32(height)};
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, 18, sizeHints);
        xcb_map_window(m_connection, window);
        xcb_flush(m_connection);
        m_valid = true;
    }

    ~TopBar() { xcb_disconnect(m_connection); }

    TopBar(const TopBar &) = delete;
    TopBar &operator=(const TopBar &) = delete;

    bool isValid() const { return m_valid; }

private:
    xcb_atom_t atom(const char *name) { return internAtom(m_connection, name); }

    xcb_connection_t *m_connection = nullptr;
    bool m_valid = false;
};

// A window's client area on the screen as the X server has it (xdotool's own position counts
// the window manager's frame twice under openbox).
inline QRect clientArea(const QString &id)
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    xwininfo.waitForFinished(10000);
    QMap<QString, int> values;
    for (const QString &line : QString::fromLatin1(xwininfo.readAllStandardOutput()).split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0)
            values.insert(line.left(colon).trimmed(), line.mid(colon + 1).trimmed().toInt());
    }
    return {values.value(QStringLiteral("Absolute upper-left X")),
            values.value(QStringLiteral("Absolute upper-left Y")),
            values.value(QStringLiteral("Width")), values.value(QStringLiteral("Height"))};
}

} // namespace TestSupport
