#pragma once

// The pointer and keys of a test's private X server, driven through xdotool.

#include <QByteArray>
#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

namespace TestSupport {

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

} // namespace TestSupport
