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

// Requests of the RandR extension, spoken without its client library.
class RandR
{
public:
    // A request's fields after its header, each of 1, 2 or 4 bytes, as the protocol orders them.
    using Fields = std::initializer_list<std::pair<int, quint32>>;

    RandR()
        : m_connection(xcb_connect(nullptr, nullptr))
    {
        if (!xcb_connection_has_error(m_connection))
            m_screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    }
    ~RandR() { xcb_disconnect(m_connection); }
    RandR(const RandR &) = delete;
    RandR &operator=(const RandR &) = delete;

    // The server's screen; null when there is no server.
    const xcb_screen_t *screen() const { return m_screen; }

    // The reply, to be freed, or null on an error.
    quint8 *ask(quint8 opcode, Fields fields, const QByteArray &trailing = {})
    {
        return static_cast<quint8 *>(
            xcb_wait_for_reply(m_connection, send(opcode, fields, trailing, true), nullptr));
    }
    bool tell(quint8 opcode, Fields fields)
    {
        xcb_generic_error_t *failed
            = xcb_request_check(m_connection, {send(opcode, fields, {}, false)});
        std::free(failed);
        return !failed;
    }

    xcb_atom_t atom(const char *name) { return internAtom(m_connection, name); }

    // The screen's first CRTC and first output, and the time stamp a change of them names.
    struct Resources
    {
        quint32 crtc = 0, output = 0, configTimestamp = 0;
    };
    Resources resources()
    {
        Resources result;
        if (quint8 *reply = ask(25, {{4, m_screen->root}})) {
            quint16 crtcs = 0, outputs = 0;
            std::memcpy(&result.configTimestamp, reply + 12, 4);
            std::memcpy(&crtcs, reply + 16, 2);
            std::memcpy(&outputs, reply + 18, 2);
            if (crtcs > 0)
                std::memcpy(&result.crtc, reply + 32, 4);
            if (outputs > 0)
                std::memcpy(&result.output, reply + 32 + 4 * size_t(crtcs), 4);
            std::free(reply);
        }
        return result;
    }

private:
    unsigned send(quint8 opcode, Fields fields, const QByteArray &trailing, bool withReply)
    {
        static xcb_extension_t randr{"RANDR", 0};
        QByteArray request(4, '\0'); // the header, which xcb fills in
        for (const auto &[size, value] : fields)
            request.append(reinterpret_cast<const char *>(&value), size); // the machine's order
        request += trailing + QByteArray((4 - trailing.size() % 4) % 4, '\0');
        return sendExtensionRequest(m_connection, &randr, opcode, request.data(),
                                    size_t(request.size()), withReply);
    }

    xcb_connection_t *m_connection;
    const xcb_screen_t *m_screen = nullptr;
};

// Splits the server's screen into two RandR monitors side by side, "left" `leftWidth` pixels
// wide and "right" the rest; Qt takes each for a screen of its own. Call it before the
// application exists. No xrandr tool is needed: the requests are spoken here.
inline bool splitIntoTwoMonitors(int leftWidth)
{
    RandR randr;
    if (!randr.screen())
        return false;
    // The screen's one output goes to the left monitor, so that no monitor of its own is left.
    const quint32 output = randr.resources().output;
    const quint32 height = randr.screen()->height_in_pixels;
    bool done = true;
    for (const bool left : {true, false}) {
        const quint32 width = left ? leftWidth : randr.screen()->width_in_pixels - leftWidth;
        const quint32 outputs = left && output ? 1 : 0;
        // SetMonitor: its name, primary, automatic, outputs, frame, size in millimetres.
        const RandR::Fields monitor{{4, randr.screen()->root},
                                    {4, randr.atom(left ? "left" : "right")},
                                    {1, left},
                                    {1, 0},
                                    {2, outputs},
                                    {2, left ? 0 : leftWidth},
                                    {2, 0},
                                    {2, width},
                                    {2, height},
                                    {4, width / 4},
                                    {4, height / 4},
                                    {4 * outputs, output}};
        done = randr.tell(43, monitor) && done;
    }
    return done;
}

// Unplugs the "right" monitor of splitIntoTwoMonitors() in the order a cable pulled out does it:
// the monitor goes, then the output gets a mode as wide as the left monitor and the root shrinks
// to it. (Deleting the monitor alone would leave the root, and every window on it, whole.)
inline bool unplugRightMonitor(int leftWidth)
{
    RandR randr;
    const RandR::Resources resources = randr.screen() ? randr.resources() : RandR::Resources();
    if (!resources.crtc || !resources.output)
        return false;
    const xcb_window_t root = randr.screen()->root;
    const quint32 width = quint32(leftWidth);
    const quint32 height = randr.screen()->height_in_pixels;
    const QByteArray name = QByteArray::number(width) + 'x' + QByteArray::number(height);
    // CreateMode: the mode's id, size, dot clock, horizontal and vertical timings, name length
    // and flags, then its name.
    quint32 mode = 0;
    if (quint8 *reply = randr.ask(16,
                                  {{4, root},
                                   {4, 0},
                                   {2, width},
                                   {2, height},
                                   {4, width * height * 60},
                                   {2, width},
                                   {2, width},
                                   {2, width},
                                   {2, 0},
                                   {2, height},
                                   {2, height},
                                   {2, height},
                                   {2, quint32(name.size())},
                                   {4, 0}},
                                  name)) {
        std::memcpy(&mode, reply + 8, 4);
        std::free(reply);
    }
    bool done = randr.tell(44, {{4, root}, {4, randr.atom("right")}}) && mode
                && randr.tell(18, {{4, resources.output}, {4, mode}});
    // SetCrtcConfig: now, at the configuration seen, at 0,0, the mode, unrotated, the output.
    if (quint8 *status = done ? randr.ask(21, {{4, resources.crtc},
                                               {4, 0},
                                               {4, resources.configTimestamp},
                                               {2, 0},
                                               {2, 0},
                                               {4, mode},
                                               {2, 1},
                                               {2, 0},
                                               {4, resources.output}})
                              : nullptr) {
        done = status[1] == 0;
        std::free(status);
    } else {
        done = false;
    }
    return done
           && randr.tell(7, {{4, root}, {2, width}, {2, height}, {4, width / 4}, {4, height / 4}});
}

} // namespace TestSupport
