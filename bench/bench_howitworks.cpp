#include "eventloop.h"
#include "processcpu.h"

#include "settings_screen/hiwdemoview.h"
#include "settings_screen/howitworkstabview.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// When the demo's stage was painted, in which phase, and whether it was moving then.
struct PaintTimes : QObject
{
    struct Frame
    {
        qint64 ns;
        int idx;
        bool moving;
    };
    std::vector<Frame> frames;
    QElapsedTimer clock;

    PaintTimes() { clock.start(); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *demo = static_cast<HiwDemoView *>(watched);
            frames.push_back({clock.nsecsElapsed(), demo->idx(), demo->isMoving()});
        }
        return false;
    }
};

// One demo at scale 1 on a clock the benchmark sets.
struct Stage
{
    qint64 now = 0;
    QWidget window;
    HowItWorksTabView *view = nullptr;

    explicit Stage(HiwTab tab)
    {
        HiwEnvironment environment;
        environment.clock = [this] { return now; };
        environment.reduceMotion = [] { return std::optional<bool>(false); };
        view = new HowItWorksTabView(environment, &window);
        window.resize(700, 500);
        view->resize(window.size());
        window.show();
        view->setTab(tab);
    }
    // Milliseconds to paint the stage at `seconds` after the demo's start.
    double frameMs(double seconds, QImage &image)
    {
        now = qint64(seconds * 1000);
        view->demo()->tick();
        QPainter painter(&image);
        QElapsedTimer timer;
        timer.start();
        view->demo()->paintStage(painter);
        return timer.nsecsElapsed() / 1e6;
    }
};

// The busiest moment of a demo against a moment at rest, both at scale 1. Shadows and glows
// come from their caches after the first frame, so only their opacity changes.
void BM_HowItWorksFrame(benchmark::State &state, HiwTab tab, double busySeconds, double restSeconds)
{
    Stage stage(tab);
    QImage image(520, 240, QImage::Format_ARGB32_Premultiplied);
    stage.frameMs(busySeconds, image);
    stage.frameMs(restSeconds, image);
    if (!stage.view->demo()->isVisible()) {
        state.SkipWithError("the demo is not on screen");
        return;
    }
    std::vector<double> busy, rest;
    for (auto _ : state) {
        busy.push_back(stage.frameMs(busySeconds, image));
        rest.push_back(stage.frameMs(restSeconds, image));
    }
    // Medians: other work on the machine only ever adds time to a frame.
    const auto median = [](std::vector<double> &values) {
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        return values[values.size() / 2];
    };
    const double busyMs = median(busy);
    const double restMs = median(rest);
    state.counters["busy_ms"] = busyMs;
    state.counters["rest_ms"] = restMs;
    state.counters["busy_over_rest"] = busyMs / restMs;
}

// Entering arrows phase 5 (note slide, key, caption) and invisible phase 3 (glow, pill, eye),
// against phase 0 of each.
BENCHMARK_CAPTURE(BM_HowItWorksFrame, arrows, HiwTab::arrows, 5.8 + 0.15, 0.5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HowItWorksFrame, invisible, HiwTab::invisible, 2.42 + 0.15, 0.6)
    ->Unit(benchmark::kMillisecond);

// One whole cycle of each demo on the real clock: the intervals between painted frames while
// something moves. Needs a real X server:
// xvfb-run -a env QT_QPA_PLATFORM=xcb brivel_bench --benchmark_filter=HowItWorksCycle
void BM_HowItWorksCycle(benchmark::State &state)
{
    if (QGuiApplication::platformName() != u"xcb"_qs) {
        state.SkipWithError("needs QT_QPA_PLATFORM=xcb on an X server");
        return;
    }
    std::vector<double> intervals;
    for (auto _ : state) {
        for (HiwTab tab : allHiwTabs()) {
            QWidget window;
            auto *view = new HowItWorksTabView({}, &window);
            window.resize(700, 500);
            view->resize(window.size());
            window.show();
            view->setTab(tab);
            PaintTimes paints;
            view->demo()->installEventFilter(&paints);
            const qint64 cycleMs = [tab] {
                double sum = 0;
                for (const HiwPhase &phase : hiwDemoPhases(tab))
                    sum += phase.ms;
                return qint64(sum);
            }();
            runEventLoopFor(int(cycleMs));
            for (size_t i = 1; i < paints.frames.size(); ++i) {
                const PaintTimes::Frame &previous = paints.frames[i - 1];
                const PaintTimes::Frame &frame = paints.frames[i];
                // Within one transition: the same phase, moving at both frames.
                if (frame.idx == previous.idx && frame.moving && previous.moving)
                    intervals.push_back((frame.ns - previous.ns) / 1e6);
            }
        }
    }
    if (intervals.empty()) {
        state.SkipWithError("no frame was painted");
        return;
    }
    std::sort(intervals.begin(), intervals.end());
    const auto within
        = std::count_if(intervals.begin(), intervals.end(), [](double ms) { return ms <= 20; });
    state.counters["frames"] = double(intervals.size() + 1);
    state.counters["within_20ms_percent"] = 100.0 * within / intervals.size();
    state.counters["p95_interval_ms"] = intervals[intervals.size() * 95 / 100];
    state.counters["max_interval_ms"] = intervals.back();
}
BENCHMARK(BM_HowItWorksCycle)->Iterations(1)->Unit(benchmark::kSecond);

// The process's processor time while the demo is out of sight: the window hidden, or the
// settings on another tab (the tab view hidden). Each over `seconds`.
void BM_HowItWorksHidden(benchmark::State &state)
{
    const int seconds = int(state.range(0));
    const bool windowHidden = state.range(1) != 0;
    QWidget window;
    auto *view = new HowItWorksTabView({}, &window);
    window.resize(700, 500);
    view->resize(window.size());
    window.show();
    runEventLoopFor(1500);
    if (windowHidden)
        window.hide();
    else
        view->hide();
    int activeTimers = 0;
    for (const QTimer *timer : view->demo()->findChildren<QTimer *>())
        activeTimers += timer->isActive();
    double cpuPercent = 0;
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runEventLoopFor(seconds * 1000);
        cpuPercent = 100.0 * (processCpuSeconds() - cpuBefore) / (wall.elapsed() / 1000.0);
    }
    state.counters["cpu_percent_of_one_core"] = cpuPercent;
    state.counters["active_timers"] = activeTimers;
}
BENCHMARK(BM_HowItWorksHidden)
    ->Args({10, 1})
    ->Args({10, 0})
    ->ArgNames({"seconds", "window_hidden"})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace
