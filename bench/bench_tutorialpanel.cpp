#include "benchtext.h"

#include "onboarding/tutorialnotchcontent.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/notchframetracker.h"
#include "overlay/notchoverlayview.h"
#include "overlay/speechscrollview.h"
#include "platform/captureshield.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"
#include "speech/speechrecognizer.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

namespace {

constexpr double menuBar = 37;
constexpr double textHeight = 160;

// Runs the event loop until `done` or two seconds have passed.
template <typename Done>
bool waitFor(Done done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 16);
    return done();
}

// One frame of the 0.15 s arrow-scroll animation: a step of the arrows starts it, and the
// panel is painted mid-way. Arg 0 is the reading panel pinned under the notch, arg 1 the
// tutorial copy of it, with the same text, font and size.
void BM_ArrowScrollFrame(benchmark::State &state)
{
    const bool tutorial = state.range(0) == 1;
    const QString text = BenchText::latinPage(2000);
    InMemoryKeyValueStore store;
    NotchSettings settings(store, CaptureShield::system(), QStringLiteral("en"));
    OverlayContent content;
    SpeechRecognizer recognizer;
    NotchFrameTracker tracker;
    TutorialNotchModel model;
    std::unique_ptr<QWidget> view;
    SpeechScrollView *area = nullptr;
    QRect source;
    if (tutorial) {
        model.setNoteTitle(QStringLiteral("Slide 2"));
        model.setNoteBody(text);
        auto panel = std::make_unique<TutorialNotchContent>(
            model, settings, CaptureShield::system(), menuBar, std::function<void(double)>());
        panel->resize(500, int(menuBar) + 440);
        panel->show();
        source = panel->panelRect().toAlignedRect();
        area = panel->scrollView();
        view = std::move(panel);
    } else {
        content.loadPage(text, false, true);
        auto pinned = std::make_unique<NotchOverlayView>(content, recognizer, settings, menuBar,
                                                         textHeight, tracker);
        pinned->resize(340, int(menuBar + textHeight));
        pinned->show();
        if (!waitFor([&] { return pinned->isContentVisible() && pinned->expansion() == 1; })) {
            state.SkipWithError("the pinned panel did not open");
            return;
        }
        source = pinned->rect();
        area = pinned->findChild<SpeechScrollView *>();
        view = std::move(pinned);
    }
    if (!area || !waitFor([&] { return area->layout().isLaidOut(); })) {
        state.SkipWithError("the text was not laid out");
        return;
    }
    QImage target(source.size(), QImage::Format_ARGB32_Premultiplied);
    double delta = 0;
    int moved = 0;
    for (auto _ : state) {
        delta = delta <= -240 ? 0 : delta - 24;
        area->setArrowScrollDelta(delta);
        moved += area->targetManualOffset() == delta;
        view->render(&target, {}, QRegion(source), QWidget::DrawChildren);
    }
    if (moved != state.iterations())
        state.SkipWithError("a step did not move the text");
}

} // namespace

BENCHMARK(BM_ArrowScrollFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
