#pragma once

// Shared by the two start-up probes so both report the same moment the same way: the first
// frame of the first ordinary window, counted from the launch time the benchmark wrote into
// BRIVEL_BENCH_LAUNCHED_AT_NS (CLOCK_MONOTONIC, comparable across processes). The probe prints
// the milliseconds, the shared libraries mapped by then and, to tell where the time went, the
// milliseconds at which the application object was made, the window was shown and first
// exposed; then it ends at once, so tearing down never counts.

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QSet>
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

inline double millisecondsSinceLaunch()
{
    const qint64 launchedAt = qgetenv("BRIVEL_BENCH_LAUNCHED_AT_NS").toLongLong();
    return double(monotonicNanoseconds() - launchedAt) / 1e6;
}

class FirstFrame : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWindow *>(watched);
        if (!window || window->type() != Qt::Window)
            return false;
        if (event->type() == QEvent::Show && m_shownMs == 0)
            m_shownMs = millisecondsSinceLaunch();
        if (m_exposedMs == 0 && event->type() == QEvent::Expose && window->isExposed()) {
            m_exposedMs = millisecondsSinceLaunch();
            // The widget paints while handling this exposure: report on the next turn.
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return false;
    }

private:
    static qsizetype mappedLibraries()
    {
        QFile maps(QStringLiteral("/proc/self/maps"));
        if (!maps.open(QIODevice::ReadOnly))
            return 0;
        QSet<QByteArray> libraries;
        for (const QByteArray &line : maps.readAll().split('\n')) {
            const qsizetype path = line.indexOf('/');
            if (path >= 0 && line.indexOf(".so", path) >= 0)
                libraries.insert(line.mid(path));
        }
        return libraries.size();
    }

    void report() const
    {
        const double milliseconds = millisecondsSinceLaunch();
        std::printf("%.3f %lld %.3f %.3f %.3f\n", milliseconds,
                    static_cast<long long>(mappedLibraries()), m_applicationMs, m_shownMs,
                    m_exposedMs);
        std::fflush(stdout);
        ::_exit(0);
    }

    const double m_applicationMs = millisecondsSinceLaunch();
    double m_shownMs = 0;
    double m_exposedMs = 0;
};

// Right after the application object is made.
inline void install()
{
    QCoreApplication::instance()->installEventFilter(new FirstFrame(QCoreApplication::instance()));
}

} // namespace StartupProbe
