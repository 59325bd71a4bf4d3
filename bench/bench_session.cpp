#include "benchtext.h"
#include "framecounter.h"
#include "processcpu.h"

#include "overlay/model/overlaycontent.h"
#include "overlay/model/overlaydocumentservice.h"
#include "overlay/notchoverlaycontroller.h"
#include "platform/captureshield.h"
#include "platform/globalhotkeys.h"
#include "platform/inmemorykeyvaluestore.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>
#include <QWindow>

#include <cmath>

namespace {

class SinglePageDocument : public OverlayDocumentService
{
public:
    QStringList pages() const override { return {m_page}; }
    int currentPageIndex() const override { return 0; }
    void setCurrentPageIndex(int) override {}
    void goToNextNonBlankPage() override {}
    void goToPage(int) override {}
    void startReading(int) override {}
    bool hasNonBlankPage(int) const override { return false; }
    void updateOverlayPageTitles(OverlayContent &content) override { content.setPageCount(1); }
    void updatePageIndicator() override {}

    QString m_page = BenchText::latinPage(20'000);
};

// A notes-mode session on a real page with every platform part, opened and settled.
struct OpenSession
{
    InMemoryKeyValueStore store;
    NotchSettings settings{store, CaptureShield::system(), QStringLiteral("en")};
    SinglePageDocument document;
    NotchOverlayController controller{settings, Screens::system(), ActiveWindow::system(),
                                      CaptureShield::system(), GlobalHotKeys::create()};

    OpenSession(OverlayMode mode, bool showElapsedTime)
    {
        settings.setOverlayMode(mode);
        settings.setShowElapsedTime(showElapsedTime);
        controller.setDocumentService(&document);
        controller.show(document.m_page, false, true, [] {});
        controller.registerHotKeys();
        // Let the panel open and settle before measuring.
        QEventLoop settle;
        QTimer::singleShot(1500, &settle, &QEventLoop::quit);
        settle.exec();
    }
};

// A session whose panel never opened costs nothing, and would pass for a quiet one.
bool panelOpen(benchmark::State &state, const NotchOverlayController &controller)
{
    if (controller.panel() && controller.panel()->isVisible() && controller.panel()->windowHandle())
        return true;
    state.SkipWithError("the panel did not open");
    return false;
}

// A pinned session open on a page with nothing moving: what the process costs while the
// reader just looks at the panel. Run it under a real X server to include the window system
// (QT_QPA_PLATFORM=xcb xvfb-run -a brivel_bench --benchmark_filter=Idle).
void BM_IdlePinnedSession(benchmark::State &state)
{
    const int seconds = int(state.range(0));
    OpenSession session(OverlayMode::pinned, true);
    NotchOverlayController &controller = session.controller;
    if (!panelOpen(state, controller))
        return;

    double cpuPercent = 0;
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        cpuPercent = 100.0 * (processCpuSeconds() - cpuBefore) / (wall.elapsed() / 1000.0);
    }
    state.counters["cpu_percent_of_one_core"] = cpuPercent;
    controller.dismiss();
}

// One run of xdotool that walks the pointer round an ellipse, a step every 1/60 s, for the
// given time. It moves the pointer from its own process, so its cost is not counted here.
QStringList pointerWalk(int seconds)
{
    QStringList arguments;
    const int steps = seconds * 60;
    for (int step = 0; step < steps; ++step) {
        const double angle = 2 * M_PI * step / 240.0;
        arguments << QStringLiteral("mousemove")
                  << QString::number(int(600 + 300 * std::cos(angle)))
                  << QString::number(int(380 + 200 * std::sin(angle))) << QStringLiteral("sleep")
                  << QStringLiteral("0.0166");
    }
    return arguments;
}

// A cursor-mode session while the pointer never stops: the panel follows it, moved 60 times a
// second. Needs a real X server and xdotool:
// QT_QPA_PLATFORM=xcb xvfb-run -a brivel_bench --benchmark_filter=Cursor
void BM_CursorSessionPointerMoving(benchmark::State &state)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        state.SkipWithError("needs an X server (QT_QPA_PLATFORM=xcb)");
        return;
    }
    const int seconds = int(state.range(0));
    OpenSession session(OverlayMode::cursor, false);
    NotchOverlayController &controller = session.controller;
    if (!panelOpen(state, controller))
        return;

    double cpuPercent = 0;
    int moves = 0;
    QWindow *panel = controller.panel()->windowHandle();
    QObject::connect(panel, &QWindow::xChanged, &controller, [&moves] { ++moves; });
    FrameCounter frames;
    panel->installEventFilter(&frames);
    controller.panel()->installEventFilter(&frames);
    for (auto _ : state) {
        QProcess mover;
        mover.start(QStringLiteral("xdotool"), pointerWalk(seconds));
        if (!mover.waitForStarted()) {
            state.SkipWithError("xdotool did not start");
            break;
        }
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QObject::connect(&mover, &QProcess::finished, &loop, &QEventLoop::quit);
        loop.exec();
        cpuPercent = 100.0 * (processCpuSeconds() - cpuBefore) / (wall.elapsed() / 1000.0);
        state.counters["seconds"] = wall.elapsed() / 1000.0;
    }
    if (moves == 0)
        state.SkipWithError("the panel never followed the pointer");
    state.counters["cpu_percent_of_one_core"] = cpuPercent;
    state.counters["panel_moves"] = moves;
    state.counters["panel_frames"] = frames.frames;
    controller.dismiss();
}

} // namespace

BENCHMARK(BM_IdlePinnedSession)->Arg(10)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_CursorSessionPointerMoving)->Arg(10)->Iterations(1)->Unit(benchmark::kSecond);
