#pragma once

// The pointer and keys of a test's private X server, driven through xdotool.

#include <QByteArray>
#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

#include <memory>

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

// The same drag from a process of its own, for one that starts in this program: QDrag::exec holds
// the event loop until the drop, where drag() would wait on itself.
inline std::unique_ptr<QProcess> dragInBackground(QPoint from, QPoint to)
{
    const auto move = [](QPoint at) {
        return QStringList{QStringLiteral("mousemove"), QString::number(at.x()),
                           QString::number(at.y()), QStringLiteral("sleep"),
                           QStringLiteral("0.03")};
    };
    QStringList steps = move(from) << QStringLiteral("mousedown") << QStringLiteral("1");
    for (int step = 0; step <= 8; ++step)
        steps << move(from + (to - from) * step / 8);
    auto process = std::make_unique<QProcess>();
    process->start(QStringLiteral("xdotool"),
                   steps << QStringLiteral("mouseup") << QStringLiteral("1"));
    return process;
}

} // namespace TestSupport
