#pragma once

#include <QEventLoop>
#include <QTimer>

// Lets the event loop run for a while, as the program's would: timers, animations and frames go
// on meanwhile.
inline void runEventLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
