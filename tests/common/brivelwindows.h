#pragma once

// What a test of the real program sees of it on the X server: its windows on screen, their
// window-manager state, and screenshots. Needs xdotool, xprop and ImageMagick's import.

#include "common/xvfb.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QMargins>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

#include <optional>
#include <utility>

namespace TestSupport {

struct ShownWindow
{
    QString id;
    QString name;
    QRect geometry;
};

// The program's windows that are on screen now, or those xdotool's `search` finds by `match`.
inline QList<ShownWindow> shownWindows(const QStringList &match
                                       = {QStringLiteral("--classname"), QStringLiteral("brivel")})
{
    // Not through xdotool(): an empty result is an exit code of 1, not a failure here.
    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 QStringList{QStringLiteral("search"), QStringLiteral("--onlyvisible")} + match);
    search.waitForFinished(10000);
    QList<ShownWindow> windows;
    for (const QByteArray &id : search.readAllStandardOutput().split('\n')) {
        if (id.trimmed().isEmpty())
            continue;
        QByteArray name;
        QByteArray shell;
        if (!xdotool({QStringLiteral("getwindowname"), QString::fromLatin1(id)}, &name)
            || !xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"),
                         QString::fromLatin1(id)},
                        &shell))
            continue;
        QMap<QByteArray, int> values;
        for (const QByteArray &line : shell.split('\n')) {
            const QList<QByteArray> pair = line.split('=');
            if (pair.size() == 2)
                values.insert(pair[0], pair[1].toInt());
        }
        windows.append({QString::fromLatin1(id.trimmed()), QString::fromUtf8(name.trimmed()),
                        QRect(values.value("X"), values.value("Y"), values.value("WIDTH"),
                              values.value("HEIGHT"))});
    }
    return windows;
}

inline std::optional<ShownWindow> mainWindow()
{
    for (const ShownWindow &window : shownWindows()) {
        if (window.name == QStringLiteral("Brivel") && window.geometry.width() >= 600)
            return window;
    }
    return std::nullopt;
}

// An alert of the program: smaller than the editor, with the same name.
inline std::optional<ShownWindow> alertWindow()
{
    for (const ShownWindow &window : shownWindows()) {
        if (window.name == QStringLiteral("Brivel") && window.geometry.width() < 600
            && window.geometry.top() > 0)
            return window;
    }
    return std::nullopt;
}

// The reading panel hangs from the top edge of the screen.
inline std::optional<ShownWindow> readingPanel()
{
    for (const ShownWindow &window : shownWindows()) {
        if (window.geometry.top() == 0 && window.geometry.width() < 600)
            return window;
    }
    return std::nullopt;
}

// The window that has the keyboard, as the window manager names it.
inline QString keyboardWindow()
{
    QByteArray id;
    xdotool({QStringLiteral("getactivewindow")}, &id);
    return QString::fromLatin1(id.trimmed());
}

// "Normal", "Iconic" or "Withdrawn", as the window manager keeps it in the window's WM_STATE.
inline QString windowManagerState(const QString &id)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("WM_STATE")});
    xprop.waitForFinished(10000);
    const QString output = QString::fromLatin1(xprop.readAllStandardOutput());
    const qsizetype at = output.indexOf(QStringLiteral("window state: "));
    return at < 0 ? QString() : output.mid(at + 14).section(u'\n', 0, 0).trimmed();
}

// What the screen shows in an area, read from the server by the test's own connection: far
// quicker than a screenshot tool, which reads the whole screen in a process of its own.
inline QImage grab(const QRect &area = QRect(0, 0, 1280, 800))
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Waits until a window has stopped moving: its place unchanged for a while.
inline bool atRest(const QString &id)
{
    QRect last;
    QElapsedTimer still;
    return QTest::qWaitFor(
        [&] {
            const QRect now = clientArea(id);
            if (now != last || !still.isValid()) {
                last = now;
                still.start();
            }
            return still.elapsed() >= 500;
        },
        15000);
}

// The window manager's frame around a window's client area: left, top, right, bottom.
inline QMargins frameExtents(const QString &id)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
    xprop.waitForFinished(10000);
    const QStringList values
        = QString::fromLatin1(xprop.readAllStandardOutput()).section(u'=', 1).split(u',');
    if (values.size() != 4)
        return {};
    // The property lists left, right, top, bottom.
    return {values[0].toInt(), values[2].toInt(), values[1].toInt(), values[3].toInt()};
}

// The share of pixels that differ between two pictures of the same size (1 when the sizes do
// not match).
inline double differingShare(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 1.0;
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    }
    return double(differing) / (qint64(a.width()) * a.height());
}

// Once an area's pixels have come to rest for a while: a reveal, a fade or a slide and the
// repaint after it are over. A text cursor's blink changes too few pixels to count.
inline bool settled(const QRect &area)
{
    QImage last = grab(area);
    QElapsedTimer still;
    still.start();
    return QTest::qWaitFor(
        [&] {
            const QImage now = grab(area);
            if (differingShare(std::exchange(last, now), now) >= 0.001)
                still.start();
            return still.elapsed() >= 400;
        },
        5000);
}

inline void screenshot(const QString &file)
{
    grab().save(file);
}

// Hands text to the running program on the session bus, as another program would: the call's
// exit status, 0 once the program answered.
inline int readTextOnTheBus(const QString &text)
{
    QProcess gdbus;
    gdbus.start(QStringLiteral("gdbus"),
                {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                 QStringLiteral("org.brivel.Brivel"), QStringLiteral("--object-path"),
                 QStringLiteral("/org/brivel/Brivel"), QStringLiteral("--method"),
                 QStringLiteral("org.brivel.Brivel.ReadText"), text});
    return gdbus.waitForFinished(20000) ? gdbus.exitCode() : -1;
}

// The program with a home of its own, past the first run, speaking Spanish; the test's session
// bus, if any, is its session bus.
class BrivelProcess
{
public:
    explicit BrivelProcess(const QByteArray &settings = {})
    {
        QDir().mkpath(m_home.filePath(QStringLiteral("config/Brivel")));
        const QString runtime = m_home.filePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile file(m_home.filePath(QStringLiteral("config/Brivel/Brivel.conf")));
        if (file.open(QIODevice::WriteOnly))
            file.write("[General]\nhasCompletedOnboarding=true\nhasCompletedCoachMarks=true\n"
                       "appLanguage=es\n"
                       + settings);
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        m_process.setProcessEnvironment(m_environment);
    }
    ~BrivelProcess()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    QString path(const QString &name) const { return m_home.filePath(name); }
    QString autosave() const { return path(QStringLiteral("data/Brivel/pages.json")); }
    const QProcessEnvironment &environment() const { return m_environment; }
    bool start(const QStringList &arguments = {})
    {
        m_process.start(QStringLiteral(BRIVEL_EXECUTABLE), arguments);
        return m_process.waitForStarted();
    }
    // A later launch: it hands its arguments over and ends.
    int launchAgain(const QStringList &arguments)
    {
        QProcess later;
        later.setProcessEnvironment(m_environment);
        later.start(QStringLiteral(BRIVEL_EXECUTABLE), arguments);
        if (!later.waitForStarted())
            return -1;
        while (later.state() != QProcess::NotRunning)
            QTest::qWait(20); // the test may own the selection the launch asks for
        return later.exitCode();
    }
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    QProcess &process() { return m_process; }
    QString log() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

private:
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    QProcess m_process;
};

} // namespace TestSupport
