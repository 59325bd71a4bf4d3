// What reading costs the process while a text from outside glides by itself: the same page in
// the pinned panel and on the full screen, one after the other in the same run, on a real X
// server. Reported: the process CPU of each as a percentage of one core, their ratio, and the
// frames each panel painted a second; beside them, what a bare full-screen window that only fills
// itself costs at the same frame rate, the floor the toolkit sets. Run it under Xvfb at the screen
// size to measure, e.g. QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1440x900x24" brivel_bench
//     --benchmark_filter=ReadingCpu

#include "benchtext.h"
#include "eventloop.h"
#include "framecounter.h"
#include "processcpu.h"

#include "common/overlayfakes.h"
#include "overlay/notchoverlaycontroller.h"
#include "overlay/overlaypanel.h"
#include "platform/activewindow.h"
#include "platform/captureshield.h"
#include "platform/inmemorykeyvaluestore.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

using namespace Qt::StringLiterals;

struct ReadingCost
{
    double cpuPercent = 0;
    double framesPerSecond = 0;
    bool opened = false;
};

ReadingCost readingCost(OverlayMode mode, int seconds)
{
    InMemoryKeyValueStore store;
    NotchSettings settings{store, CaptureShield::system(), u"es"_s};
    settings.setOverlayMode(mode);
    NotchOverlayController controller{settings, Screens::system(), ActiveWindow::system(),
                                      CaptureShield::system(),
                                      std::make_unique<FakeGlobalHotKeys>()};
    controller.show(BenchText::latinPage(20'000), false, false, [] {});
    // The panel opens and its words settle into their glide.
    runEventLoopFor(1500);
    ReadingCost cost;
    OverlayPanel *panel = controller.panel();
    if (!panel || !panel->isVisible() || !panel->windowHandle())
        return cost;
    cost.opened = true;
    FrameCounter frames;
    panel->windowHandle()->installEventFilter(&frames);
    panel->installEventFilter(&frames);

    const double cpuBefore = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runEventLoopFor(seconds * 1000);
    const double elapsed = double(wall.elapsed()) / 1000;
    cost.cpuPercent = 100 * (processCpuSeconds() - cpuBefore) / elapsed;
    cost.framesPerSecond = frames.frames / elapsed;
    controller.dismiss();
    runEventLoopFor(500);
    return cost;
}

// The toolkit's own share of a frame on the full screen: a bare window of the screen's size that
// only fills itself, repainted as often as the panel was.
class BareFrame : public QWidget
{
protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter(this).fillRect(event->rect(), Qt::black);
        ++frames;
    }

public:
    int frames = 0;
};

ReadingCost bareFullscreenCost(int seconds, double framesPerSecond)
{
    BareFrame window;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setAttribute(Qt::WA_OpaquePaintEvent);
    window.showFullScreen();
    runEventLoopFor(1500);
    QTimer frames;
    frames.setTimerType(Qt::PreciseTimer);
    frames.setInterval(int(std::lround(1000 / framesPerSecond)));
    QObject::connect(&frames, &QTimer::timeout, &window, [&window] { window.update(); });
    frames.start();
    const int framesBefore = window.frames;
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runEventLoopFor(seconds * 1000);
    const double elapsed = double(wall.elapsed()) / 1000;
    ReadingCost cost;
    cost.opened = window.isVisible();
    cost.cpuPercent = 100 * (processCpuSeconds() - cpuBefore) / elapsed;
    cost.framesPerSecond = (window.frames - framesBefore) / elapsed;
    return cost;
}

void BM_ReadingCpuFullscreenAgainstPinned(benchmark::State &state)
{
    if (QGuiApplication::platformName() != u"xcb"_s) {
        state.SkipWithError("needs an X server (QT_QPA_PLATFORM=xcb)");
        return;
    }
    const int seconds = int(state.range(0));
    ReadingCost pinned, fullscreen, bare;
    for (auto _ : state) {
        pinned = readingCost(OverlayMode::pinned, seconds);
        fullscreen = readingCost(OverlayMode::fullscreen, seconds);
        bare = bareFullscreenCost(seconds, std::max(fullscreen.framesPerSecond, 1.0));
    }
    if (!pinned.opened || !fullscreen.opened || pinned.framesPerSecond == 0
        || fullscreen.framesPerSecond == 0) {
        state.SkipWithError("a panel did not open or never painted");
        return;
    }
    const QSize screen = QGuiApplication::primaryScreen()->size();
    state.SetLabel(QString(u"%1x%2"_s.arg(screen.width()).arg(screen.height())).toStdString());
    state.counters["pinned_cpu_percent"] = pinned.cpuPercent;
    state.counters["fullscreen_cpu_percent"] = fullscreen.cpuPercent;
    state.counters["fullscreen_to_pinned"] = fullscreen.cpuPercent / pinned.cpuPercent;
    state.counters["pinned_fps"] = pinned.framesPerSecond;
    state.counters["fullscreen_fps"] = fullscreen.framesPerSecond;
    state.counters["bare_fullscreen_cpu_percent"] = bare.cpuPercent;
    state.counters["bare_fullscreen_fps"] = bare.framesPerSecond;
}

} // namespace

BENCHMARK(BM_ReadingCpuFullscreenAgainstPinned)->Arg(10)->Iterations(1)->Unit(benchmark::kSecond);
