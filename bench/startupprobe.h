#pragma once

// Shared by the two start-up probes so both report the same moment the same way: the first
// frame of the first ordinary window, counted from the launch time the benchmark wrote into
// BRIVEL_BENCH_LAUNCHED_AT_NS (CLOCK_MONOTONIC, comparable across processes). The probe prints
// the milliseconds and ends at once, so tearing down never counts.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <ctime>

#include <unistd.h>

namespace StartupProbe {

inline qint64 monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

class FirstFrame : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWindow *>(watched);
        if (!m_seen && event->type() == QEvent::Expose && window && window->isExposed()
            && window->type() == Qt::Window) {
            m_seen = true;
            // The widget paints while handling this exposure: report on the next turn.
            QTimer::singleShot(0, this, &FirstFrame::report);
        }
        return false;
    }

private:
    static void report()
    {
        const qint64 launchedAt = qgetenv("BRIVEL_BENCH_LAUNCHED_AT_NS").toLongLong();
        std::printf("%.3f\n", double(monotonicNanoseconds() - launchedAt) / 1e6);
        std::fflush(stdout);
        ::_exit(0);
    }

    bool m_seen = false;
};

inline void install()
{
    QCoreApplication::instance()->installEventFilter(new FirstFrame(QCoreApplication::instance()));
}

} // namespace StartupProbe
