#pragma once

// Tests of real X11 behaviour (global keys, focus, stacking) run on a private X server that the
// test starts itself, so they need no display and never touch the developer's desktop:
//
//     BRIVEL_XVFB_TEST_MAIN(TestClass, true) // true: with the openbox window manager
//
// The server and window manager are the test process's children and die with it.

#include "x11clients.h"
#include "x11input.h"
#include "x11monitors.h"

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
        constexpr char cannotRun[] = "cannot run it: not installed, or not a program\n";
        [[maybe_unused]] const ssize_t written
            = write(STDERR_FILENO, cannotRun, sizeof cannotRun - 1);
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
