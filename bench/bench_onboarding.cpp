#include "eventloop.h"
#include "processcpu.h"

#include "onboarding/herovideoview.h"
#include "onboarding/onboardingflow.h"
#include "onboarding/onboardingwidget.h"
#include "platform/bundle.h"
#include "settings/notchsettings.h"

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QGuiApplication>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVideoSink>

namespace {

using namespace Qt::StringLiterals;

// Share of one core the process spends while the event loop runs for the given time.
double cpuPercentOver(int milliseconds)
{
    const double before = processCpuSeconds();
    runEventLoopFor(milliseconds);
    return 100 * (processCpuSeconds() - before) / (milliseconds / 1000.0);
}

class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// The carousel with its three clips looping, 10 s on a real X server, beside the same clips
// played bare into sinks nobody reads. Then the paints of one page change.
// QT_QPA_PLATFORM=xcb xvfb-run -a brivel_bench --benchmark_filter=Carousel
void BM_CarouselPlayback(benchmark::State &state)
{
    if (QGuiApplication::platformName() != u"xcb") {
        state.SkipWithError("needs an X server (QT_QPA_PLATFORM=xcb)");
        return;
    }
    const int measureMs = 10'000;
    for (auto _ : state) {
        double bare = 0;
        int bareFrames = 0;
        {
            std::vector<std::unique_ptr<QMediaPlayer>> players;
            std::vector<std::unique_ptr<QVideoSink>> sinks;
            for (const QString &name : {u"Screen 3"_s, u"Screen 2"_s, u"Screen 4"_s}) {
                auto player = std::make_unique<QMediaPlayer>();
                auto sink = std::make_unique<QVideoSink>();
                QMediaPlayer *raw = player.get();
                QObject::connect(raw, &QMediaPlayer::mediaStatusChanged, raw, [raw](auto status) {
                    if (status == QMediaPlayer::EndOfMedia)
                        QTimer::singleShot(0, raw, [raw] {
                            raw->setPosition(0);
                            raw->play();
                        });
                });
                QObject::connect(
                    sink.get(), &QVideoSink::videoFrameChanged, sink.get(),
                    [&bareFrames] { ++bareFrames; }, Qt::DirectConnection);
                player->setVideoSink(sink.get());
                player->setSource(
                    QUrl(u"qrc"_s + Bundle::main()->path() + u'/' + name + u" Onboarding.mp4"_s));
                player->play();
                players.push_back(std::move(player));
                sinks.push_back(std::move(sink));
            }
            runEventLoopFor(1000);
            bare = cpuPercentOver(measureMs);
        }

        OnboardingWidget widget(NotchSettings::shared(), [] {});
        widget.resize(720, 560);
        widget.show();
        widget.findChild<QAbstractButton *>(u"beginButton"_s)->click();
        runEventLoopFor(600);
        widget.findChild<QAbstractButton *>(u"language_es"_s)->click();
        runEventLoopFor(1500);
        if (widget.flow().step() != OnboardingFlow::Step::introCarousel) {
            state.SkipWithError("the carousel did not come");
            return;
        }
        const double carousel = cpuPercentOver(measureMs);
        if (widget.heroes().first()->frame().isNull() || bareFrames == 0) {
            state.SkipWithError("no frames were played");
            return;
        }

        PaintCounter counter;
        HeroVideoView *next = widget.heroes().at(1);
        next->installEventFilter(&counter);
        // The visible part of the slide: the spring's tail moves less than a pixel a frame.
        const double seconds = 0.4;
        widget.findChild<QAbstractButton *>(u"continueButton"_s)->click();
        runEventLoopFor(int(seconds * 1000));
        next->removeEventFilter(&counter);

        state.counters["carousel_cpu_pct"] = carousel;
        state.counters["bare_cpu_pct"] = bare;
        state.counters["page_change_fps"] = counter.paints / seconds;
    }
}

} // namespace

BENCHMARK(BM_CarouselPlayback)->Iterations(1)->Unit(benchmark::kMillisecond);
