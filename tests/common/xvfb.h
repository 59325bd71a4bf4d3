#pragma once

// Tests of real X11 behaviour (global keys, focus, stacking) run on a private X server that the
// test starts itself, so they need no display and never touch the developer's desktop:
//
//     BRIVEL_XVFB_TEST_MAIN(TestClass, true) // true: with the openbox window manager
//
// The server and window manager are the test process's children and die with it.

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

// An Xvfb server of 1280×800×24 on a free display, optionally with openbox, for as long as the
// object lives. Construct it before the application: it sets DISPLAY and QT_QPA_PLATFORM=xcb.
class XvfbServer
{
public:
    explicit XvfbServer(bool withWindowManager)
    {
        int displayPipe[2];
        if (pipe2(displayPipe, O_CLOEXEC) != 0) {
            m_error = QStringLiteral("pipe: ") + QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        m_server = spawn({"Xvfb", "-displayfd", std::to_string(displayPipe[1]), "-screen", "0",
                          "1280x800x24", "-nolisten", "tcp", "-noreset"},
                         displayPipe[1]);
        close(displayPipe[1]);
        m_display = readDisplay(displayPipe[0], QDeadlineTimer(10000));
        close(displayPipe[0]);
        if (m_display.isEmpty()) {
            m_error = QStringLiteral("Xvfb did not start (is the xvfb package installed?)");
            return;
        }
        qputenv("DISPLAY", m_display);
        qputenv("QT_QPA_PLATFORM", "xcb");
        if (withWindowManager) {
            m_windowManager = spawn({"openbox", "--sm-disable"}, -1);
            if (!waitForWindowManager(QDeadlineTimer(10000))) {
                m_error
                    = QStringLiteral("openbox did not start on ") + QString::fromLatin1(m_display);
                return;
            }
        }
        m_running = true;
    }

    ~XvfbServer()
    {
        stop(m_windowManager);
        stop(m_server);
    }

    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    bool isRunning() const { return m_running; }
    QString errorString() const { return m_error; }
    // ":N"
    QByteArray display() const { return m_display; }

    // Starts a window manager on a server made without one, e.g. {"kwin_x11"}, and waits until
    // it manages a window. On failure errorString() says why, with the end of its error output.
    bool startWindowManager(const std::vector<std::string> &command, int timeoutMs = 30000)
    {
        char logPath[] = "/tmp/brivel-wm-XXXXXX";
        const int log = mkstemp(logPath);
        if (log >= 0)
            unlink(logPath);
        m_windowManager = spawn(command, -1, log);
        const bool managing = waitForWindowManager(QDeadlineTimer(timeoutMs));
        if (!managing) {
            QByteArray output;
            char buffer[4096];
            ssize_t count = 0;
            while (log >= 0
                   && (count = pread(log, buffer, sizeof buffer, off_t(output.size()))) > 0)
                output.append(buffer, count);
            m_error = QString::fromStdString(command.front())
                      + (m_windowManager == 0
                             ? QStringLiteral(" exited")
                             : QStringLiteral(" managed no window in %1 ms").arg(timeoutMs))
                      + QStringLiteral("; its last output:\n")
                      + QString::fromLocal8Bit(output.right(1500));
        }
        if (log >= 0)
            close(log);
        return managing;
    }

private:
    // fork and exec rather than QProcess: there is no application yet, and the child must die
    // with the test even when the test crashes.
    static pid_t spawn(const std::vector<std::string> &arguments, int inheritedFd, int errorFd = -1)
    {
        std::vector<char *> argv;
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        const pid_t parent = getpid();
        const pid_t pid = fork();
        if (pid != 0)
            return pid;
        // Child: only async-signal-safe calls from here.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        if (inheritedFd >= 0)
            fcntl(inheritedFd, F_SETFD, 0);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(errorFd >= 0 ? errorFd : null, STDERR_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }

    static QByteArray readDisplay(int fd, QDeadlineTimer deadline)
    {
        QByteArray number;
        while (!number.endsWith('\n')) {
            pollfd readable{fd, POLLIN, 0};
            const int ready = poll(&readable, 1, int(deadline.remainingTime()));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                return {};
            char buffer[16];
            const ssize_t count = read(fd, buffer, sizeof buffer);
            if (count <= 0)
                return {}; // the server exited
            number.append(buffer, count);
        }
        return ':' + number.trimmed();
    }

    // Openbox announces itself before it is ready, and map requests it receives in between are
    // lost; so the window manager counts as running once it has managed a window of ours.
    bool waitForWindowManager(QDeadlineTimer deadline)
    {
        xcb_connection_t *connection = xcb_connect(m_display.constData(), nullptr);
        if (xcb_connection_has_error(connection)) {
            xcb_disconnect(connection);
            return false;
        }
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const auto hasProperty = [&](xcb_window_t window, const QByteArray &name) {
            xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
                connection, xcb_intern_atom(connection, 0, quint16(name.size()), name.constData()),
                nullptr);
            xcb_get_property_reply_t *property
                = atom ? xcb_get_property_reply(connection,
                                                xcb_get_property(connection, 0, window, atom->atom,
                                                                 XCB_GET_PROPERTY_TYPE_ANY, 0, 1),
                                                nullptr)
                       : nullptr;
            const bool found = property && xcb_get_property_value_length(property) > 0;
            std::free(property);
            std::free(atom);
            return found;
        };
        const auto exited = [&] {
            if (waitpid(m_windowManager, nullptr, WNOHANG) != m_windowManager)
                return false;
            m_windowManager = 0;
            return true;
        };

        bool announced = false;
        while (!announced && !deadline.hasExpired() && !exited()) {
            announced = hasProperty(root, "_NET_SUPPORTING_WM_CHECK");
            if (!announced)
                usleep(20000);
        }

        const xcb_window_t probe = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, probe, root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        bool managed = false;
        for (int attempt = 0; announced && !managed && !deadline.hasExpired(); ++attempt) {
            if (attempt % 10 == 0) // the map request may have been lost: ask again
                xcb_map_window(connection, probe);
            xcb_flush(connection);
            usleep(20000);
            managed = hasProperty(probe, "WM_STATE");
        }
        xcb_destroy_window(connection, probe);
        xcb_disconnect(connection);
        return managed;
    }

    static void stop(pid_t &pid)
    {
        if (pid <= 0)
            return;
        kill(pid, SIGTERM);
        const QDeadlineTimer deadline(3000);
        while (waitpid(pid, nullptr, WNOHANG) == 0) {
            if (deadline.hasExpired()) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
                break;
            }
            usleep(10000);
        }
        pid = 0;
    }

    pid_t m_server = 0;
    pid_t m_windowManager = 0;
    QByteArray m_display;
    QString m_error;
    bool m_running = false;
};

// Runs xdotool against the test's server. True when it succeeded; its standard output goes to
// output when given.
inline bool xdotool(const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    const bool finished = process.waitForFinished(10000);
    if (output)
        *output = process.readAllStandardOutput();
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    qWarning("xdotool %s failed: %s", qPrintable(arguments.join(u' ')),
             process.readAllStandardError().constData());
    return false;
}

// Moves the pointer to a point of the screen.
inline bool movePointer(QPoint to)
{
    return xdotool({QStringLiteral("mousemove"), QString::number(to.x()), QString::number(to.y())});
}

// Drags with the first button from one point of the screen to another in small steps, pausing
// as a hand does, so that the window under the pointer sees a press, moves and a release.
inline bool drag(QPoint from, QPoint to)
{
    if (!movePointer(from) || !xdotool({QStringLiteral("mousedown"), QStringLiteral("1")}))
        return false;
    QTest::qWait(250);
    for (int step = 1; step <= 8; ++step) {
        if (!movePointer(from + (to - from) * step / 8))
            return false;
        QTest::qWait(30);
    }
    QTest::qWait(150);
    const bool released = xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    QTest::qWait(250);
    return released;
}

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
        iovec parts[3] = {};
        parts[2].iov_base = request;
        parts[2].iov_len = size;
        const xcb_protocol_request_t protocol{1, &randr, opcode, quint8(withReply ? 0 : 1)};
        return xcb_send_request(connection, XCB_REQUEST_CHECKED, parts + 2, &protocol);
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
    xcb_atom_t atom(const char *name)
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, quint16(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

    xcb_connection_t *m_connection = nullptr;
    bool m_valid = false;
};

} // namespace TestSupport

#ifdef QT_WIDGETS_LIB
#define BRIVEL_XVFB_APPLICATION QApplication
#else
#define BRIVEL_XVFB_APPLICATION QGuiApplication
#endif

// QTEST_MAIN on a private X server, with openbox when withWindowManager is true.
#define BRIVEL_XVFB_TEST_MAIN(TestObject, withWindowManager)                                       \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestSupport::XvfbServer xvfbServer(withWindowManager);                                     \
        if (!xvfbServer.isRunning()) {                                                             \
            std::fprintf(stderr, "%s\n", qPrintable(xvfbServer.errorString()));                    \
            return 1;                                                                              \
        }                                                                                          \
        BRIVEL_XVFB_APPLICATION app(argc, argv);                                                   \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject testObject;                                                                     \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&testObject, argc, argv);                                              \
    }

// BRIVEL_XVFB_TEST_MAIN with openbox on a 1280×800 server split into two monitors, "left" 640
// wide and "right", each at the scale QT_SCREEN_SCALE_FACTORS gives it (e.g. "left=2;right=1").
#define BRIVEL_XVFB_TWO_SCREEN_TEST_MAIN(TestObject, scaleFactors)                                 \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        TestSupport::XvfbServer xvfbServer(true);                                                  \
        if (!xvfbServer.isRunning() || !TestSupport::splitIntoTwoMonitors(640)) {                  \
            std::fprintf(stderr, "no two-screen server: %s\n",                                     \
                         qPrintable(xvfbServer.errorString()));                                    \
            return 1;                                                                              \
        }                                                                                          \
        qputenv("QT_SCREEN_SCALE_FACTORS", scaleFactors);                                          \
        BRIVEL_XVFB_APPLICATION app(argc, argv);                                                   \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject testObject;                                                                     \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&testObject, argc, argv);                                              \
    }
