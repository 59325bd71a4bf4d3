#include "benchtext.h"

#include "overlay/floatingoverlayview.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/speechscrollview.h"
#include "platform/captureshield.h"
#include "platform/fonts.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"
#include "settings/tokenizer.h"
#include "speech/speechrecognizer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>

namespace {

constexpr int longPageSize = 500'000;
// One paragraph: what a short page holds.
constexpr int paragraphSize = 400;

const TokenizedScript &script(int size)
{
    static const TokenizedScript longPage = tokenizeScript(BenchText::latinPage(longPageSize));
    static const TokenizedScript paragraph = tokenizeScript(BenchText::latinPage(paragraphSize));
    return size == longPageSize ? longPage : paragraph;
}

void prepare(SpeechScrollView &view)
{
    view.resize(340, 160);
    view.setScriptFont(Fonts::systemFont(16, QFont::DemiBold));
}

// Opening a page: the whole layout, measured once per page and width.
void BM_FirstLayout(benchmark::State &state)
{
    const TokenizedScript &page = script(int(state.range(0)));
    for (auto _ : state) {
        SpeechScrollView view;
        prepare(view);
        view.setWords(page.words, page.lineBreaks);
        benchmark::DoNotOptimize(view.layout().lineCount());
    }
    state.counters["words"] = double(page.words.size());
}

// One tick of the views' 0.05 s timer in smooth mode: the position moves on and the visible
// part of the page is painted. Nothing in it may depend on the page's length.
void BM_ScrollFrame(benchmark::State &state)
{
    const TokenizedScript &page = script(int(state.range(0)));
    SpeechScrollView view;
    prepare(view);
    view.setWords(page.words, page.lineBreaks);
    view.setSmoothScroll(true);
    view.setListening(true);
    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    const double words = double(page.words.size());
    // Read in the middle of the page, where a linear cost would show most.
    double progress = words / 2 > 100 ? words / 2 : 0;
    for (auto _ : state) {
        progress += 0.15;
        if (progress >= words)
            progress = 0;
        view.setSmoothWordProgress(progress);
        view.render(&target, {}, {}, QWidget::DrawChildren);
    }
}

// The same tick in character mode, as the voice follower drives it.
void BM_CharacterFrame(benchmark::State &state)
{
    const TokenizedScript &page = script(int(state.range(0)));
    SpeechScrollView view;
    prepare(view);
    view.setWords(page.words, page.lineBreaks);
    view.setListening(true);
    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    const int characters
        = view.layout().items().isEmpty() ? 0 : view.layout().items().last().charOffset;
    int count = characters / 2;
    for (auto _ : state) {
        count = count + 1 >= characters ? 0 : count + 1;
        view.setHighlightedCharCount(count);
        view.render(&target, {}, {}, QWidget::DrawChildren);
    }
}

} // namespace

BENCHMARK(BM_FirstLayout)->Arg(paragraphSize)->Arg(longPageSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollFrame)->Arg(paragraphSize)->Arg(longPageSize)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CharacterFrame)->Arg(paragraphSize)->Arg(longPageSize)->Unit(benchmark::kMicrosecond);

namespace {

// Four floating windows reading outside notes mode, each on its own copy of the page: one tick
// of all their scroll timers and a paint of each. The cost must not depend on the page.
void BM_FourFloatingWindowsTick(benchmark::State &state)
{
    const QString text = BenchText::latinPage(int(state.range(0)));
    InMemoryKeyValueStore store;
    NotchSettings settings(store, CaptureShield::system(), QStringLiteral("en"));
    std::vector<std::unique_ptr<OverlayContent>> contents;
    std::vector<std::unique_ptr<SpeechRecognizer>> recognizers;
    std::vector<std::unique_ptr<FloatingOverlayView>> views;
    for (int i = 0; i < 4; ++i) {
        contents.push_back(std::make_unique<OverlayContent>());
        recognizers.push_back(std::make_unique<SpeechRecognizer>());
        contents.back()->loadPage(text, false, false);
        views.push_back(std::make_unique<FloatingOverlayView>(
            *contents.back(), *recognizers.back(), settings, false, std::function<void()>()));
        views.back()->resize(340, 160);
        views.back()->show();
    }
    QCoreApplication::processEvents();
    QImage target(QSize(340, 160), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        for (const auto &view : views) {
            view->scrollStep();
            view->render(&target, {}, {}, QWidget::DrawChildren);
        }
    }
}

} // namespace

BENCHMARK(BM_FourFloatingWindowsTick)
    ->Arg(paragraphSize)
    ->Arg(longPageSize)
    ->Unit(benchmark::kMicrosecond);
