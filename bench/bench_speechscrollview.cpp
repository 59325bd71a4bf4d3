#include "benchtext.h"

#include "overlay/speechscrollview.h"
#include "platform/fonts.h"
#include "settings/tokenizer.h"

#include <benchmark/benchmark.h>

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
