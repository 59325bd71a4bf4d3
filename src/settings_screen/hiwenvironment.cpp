#include "hiwenvironment.h"

#include <QElapsedTimer>

qint64 HiwEnvironment::steadyClockMs()
{
    static const QElapsedTimer started = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return started.elapsed();
}
