#pragma once

// RandR monitors of a test's private X server, set up by speaking the requests directly.

#include "x11requests.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
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

// Splits the server's screen into two RandR monitors side by side, "left" `leftWidth` pixels
// wide and "right" the rest; Qt takes each for a screen of its own. Call it before the
// application exists. No xrandr tool is needed: the two requests are spoken here.
inline bool splitIntoTwoMonitors(int leftWidth)
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    static xcb_extension_t randr{"RANDR", 0};
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const auto send = [&](quint8 opcode, void *request, size_t size, bool withReply) {
        return sendExtensionRequest(connection, &randr, opcode, request, size, withReply);
    };
    const auto atom = [&](const char *name) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, quint16(std::strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    };

    // The screen's one output goes to the left monitor, so that no monitor of its own is left.
    struct
    {
        quint8 major = 0, minor = 0;
        quint16 length = 0;
        quint32 window;
    } resources{0, 0, 0, screen->root};
    quint32 output = 0;
    xcb_generic_error_t *error = nullptr;
    if (auto *reply = static_cast<quint8 *>(
            xcb_wait_for_reply(connection, send(25, &resources, sizeof resources, true), &error))) {
        quint16 crtcs = 0, outputs = 0;
        std::memcpy(&crtcs, reply + 16, 2);
        std::memcpy(&outputs, reply + 18, 2);
        if (outputs > 0)
            std::memcpy(&output, reply + 32 + 4 * crtcs, 4);
        std::free(reply);
    }
    std::free(error);

    struct Monitor
    {
        quint8 major = 0, minor = 0;
        quint16 length = 0;
        quint32 window = 0;
        quint32 name = 0;
        quint8 primary = 0, automatic = 0;
        quint16 outputCount = 0;
        qint16 x = 0, y = 0;
        quint16 width = 0, height = 0;
        quint32 widthMm = 0, heightMm = 0;
        quint32 output = 0;
    };
    const int height = screen->height_in_pixels;
    const int widths[] = {leftWidth, screen->width_in_pixels - leftWidth};
    bool done = true;
    for (int i = 0; i < 2; ++i) {
        Monitor monitor;
        monitor.window = screen->root;
        monitor.name = atom(i == 0 ? "left" : "right");
        monitor.primary = i == 0;
        monitor.outputCount = i == 0 && output ? 1 : 0;
        monitor.x = qint16(i == 0 ? 0 : leftWidth);
        monitor.width = quint16(widths[i]);
        monitor.height = quint16(height);
        monitor.widthMm = quint32(widths[i] / 4);
        monitor.heightMm = quint32(height / 4);
        monitor.output = output;
        const size_t size = sizeof(Monitor) - (monitor.outputCount ? 0 : sizeof(quint32));
        xcb_generic_error_t *failed
            = xcb_request_check(connection, {send(43, &monitor, size, false)});
        done = done && !failed;
        std::free(failed);
    }
    xcb_disconnect(connection);
    return done;
}

} // namespace TestSupport
