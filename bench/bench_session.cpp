#include "benchtext.h"

#include "overlay/model/overlaycontent.h"
#include "overlay/model/overlaydocumentservice.h"
#include "overlay/notchoverlaycontroller.h"
#include "platform/captureshield.h"
#include "platform/globalhotkeys.h"
#include "platform/inmemorykeyvaluestore.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

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

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A pinned session open on a page with nothing moving: what the process costs while the
// reader just looks at the panel. Run it under a real X server to include the window system
// (QT_QPA_PLATFORM=xcb xvfb-run -a brivel_bench --benchmark_filter=Idle).
void BM_IdlePinnedSession(benchmark::State &state)
{
    const int seconds = int(state.range(0));
    InMemoryKeyValueStore store;
    NotchSettings settings(store, CaptureShield::system(), QStringLiteral("en"));
    settings.setShowElapsedTime(true);
    SinglePageDocument document;
    NotchOverlayController controller(settings, Screens::system(), ActiveWindow::system(),
                                      CaptureShield::system(), GlobalHotKeys::create());
    controller.setDocumentService(&document);
    controller.show(document.m_page, false, true, [] {});
    controller.registerHotKeys();
    // Let the panel open and settle before measuring.
    QEventLoop settle;
    QTimer::singleShot(1500, &settle, &QEventLoop::quit);
    settle.exec();

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

} // namespace

BENCHMARK(BM_IdlePinnedSession)->Arg(10)->Iterations(1)->Unit(benchmark::kSecond);
