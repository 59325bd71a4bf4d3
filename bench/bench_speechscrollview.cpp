#include "benchtext.h"
#include "processcpu.h"

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
#include <QFontDatabase>
#include <QImage>

#include <algorithm>
#include <cmath>

namespace {

using namespace Qt::StringLiterals;

constexpr int longPageSize = 500'000;
// One paragraph: what a short page holds.
constexpr int paragraphSize = 400;

const TokenizedScript &script(int size)
{
    static const TokenizedScript longPage = tokenizeScript(BenchText::latinPage(longPageSize));
    static const TokenizedScript paragraph = tokenizeScript(BenchText::latinPage(paragraphSize));
    return size == longPageSize ? longPage : paragraph;
}

// A long page read right to left, with numbers and Latin words in its lines.
const TokenizedScript &arabicScript()
{
    static const TokenizedScript page = tokenizeScript(BenchText::arabicPage(longPageSize));
    return page;
}

void prepare(SpeechScrollView &view)
{
    view.resize(340, 160);
    view.setScriptFont(Fonts::systemFont(16, QFont::DemiBold));
}

// A view lays its page out once it knows its height, which a hidden view only learns from its
// first paint: a benchmark that never paints measures an empty page.
bool laidOut(const SpeechScrollView &view, const TokenizedScript &page)
{
    return view.layout().isLaidOut() && !page.words.isEmpty()
           && view.layout().items().size() == page.words.size();
}

// Whether the frame shows any words at all.
bool hasInk(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        if (std::any_of(line, line + image.width(), [](QRgb pixel) { return qAlpha(pixel) != 0; }))
            return true;
    }
    return false;
}

// A long page is laid out a slice at a time between frames; a frame benchmark starts once the
// slices are done, as they are a moment after the page opens.
void finishLayout(const SpeechScrollView &view)
{
    view.layout().lineCount();
}

QImage frameFor(const SpeechScrollView &view)
{
    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    return target;
}

// After the loop: the page was laid out and its last frame showed words.
void checkFrame(benchmark::State &state, SpeechScrollView &view, const TokenizedScript &page)
{
    QImage target = frameFor(view);
    view.render(&target, {}, {}, QWidget::DrawChildren);
    if (!laidOut(view, page))
        state.SkipWithError("the page was not laid out");
    else if (!hasInk(target))
        state.SkipWithError("the frame showed no words");
}

// Opening a page: the whole layout and the first frame, measured once per page and width.
void firstLayout(benchmark::State &state, const TokenizedScript &page)
{
    QImage target(QSize(340, 160), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        SpeechScrollView view;
        prepare(view);
        view.setWords(page.words, page.lineBreaks);
        view.render(&target, {}, {}, QWidget::DrawChildren);
        if (!laidOut(view, page)) {
            state.SkipWithError("the page was not laid out");
            break;
        }
    }
    state.counters["words"] = double(page.words.size());
}

void BM_FirstLayout(benchmark::State &state)
{
    firstLayout(state, script(int(state.range(0))));
}

// Arabic is shaped with the font a desktop has for it.
bool hasArabicFont(benchmark::State &state)
{
    if (QFontDatabase::hasFamily(u"Noto Sans Arabic"_s))
        return true;
    state.SkipWithError("font missing: Noto Sans Arabic");
    return false;
}

void BM_FirstLayoutArabic(benchmark::State &state)
{
    if (hasArabicFont(state))
        firstLayout(state, arabicScript());
}

// Where a frame benchmark reads: at the page's start, or at 95 % of it, where any work that
// walks the page up to the reading position would show.
double startShare(const benchmark::State &state)
{
    return double(state.range(1)) / 100;
}

// One tick of the views' 0.05 s timer in smooth mode: the position moves on and the visible
// part of the page is painted. Nothing in it may depend on the page's length.
void scrollFrame(benchmark::State &state, const TokenizedScript &page)
{
    SpeechScrollView view;
    prepare(view);
    view.setWords(page.words, page.lineBreaks);
    view.setSmoothScroll(true);
    view.setListening(true);
    QImage target = frameFor(view);
    view.render(&target, {}, {}, QWidget::DrawChildren);
    finishLayout(view);
    const double words = double(page.words.size());
    const double start = std::floor(words * startShare(state));
    double progress = start;
    const ProcessCpuPerIteration cpu;
    for (auto _ : state) {
        progress += 0.15;
        if (progress >= words)
            progress = start;
        view.setSmoothWordProgress(progress);
        view.render(&target, {}, {}, QWidget::DrawChildren);
    }
    cpu.report(state);
    checkFrame(state, view, page);
}

void BM_ScrollFrame(benchmark::State &state)
{
    scrollFrame(state, script(int(state.range(0))));
}

void BM_ScrollFrameArabic(benchmark::State &state)
{
    if (hasArabicFont(state))
        scrollFrame(state, arabicScript());
}

// The same tick in character mode, as the voice follower drives it.
void BM_CharacterFrame(benchmark::State &state)
{
    const TokenizedScript &page = script(int(state.range(0)));
    SpeechScrollView view;
    prepare(view);
    view.setWords(page.words, page.lineBreaks);
    view.setListening(true);
    QImage target = frameFor(view);
    view.render(&target, {}, {}, QWidget::DrawChildren);
    if (!laidOut(view, page)) {
        state.SkipWithError("the page was not laid out");
        return;
    }
    finishLayout(view);
    const int characters = view.layout().items().last().charOffset;
    const int start = int(characters * startShare(state));
    int count = start;
    const ProcessCpuPerIteration cpu;
    for (auto _ : state) {
        count = count + 1 >= characters ? start : count + 1;
        view.setHighlightedCharCount(count);
        view.render(&target, {}, {}, QWidget::DrawChildren);
    }
    cpu.report(state);
    checkFrame(state, view, page);
}

void pagesAndPlaces(benchmark::internal::Benchmark *b)
{
    b->ArgNames({"chars", "at_percent"});
    for (int size : {paragraphSize, longPageSize})
        for (int percent : {0, 95})
            b->Args({size, percent});
}

} // namespace

BENCHMARK(BM_FirstLayout)->Arg(paragraphSize)->Arg(longPageSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollFrame)->Apply(pagesAndPlaces)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CharacterFrame)->Apply(pagesAndPlaces)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstLayoutArabic)->Arg(longPageSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollFrameArabic)
    ->ArgNames({"chars", "at_percent"})
    ->Args({longPageSize, 0})
    ->Args({longPageSize, 95})
    ->Unit(benchmark::kMicrosecond);

namespace {

// Four floating windows reading outside notes mode, each on its own copy of the page: one tick
// of all their scroll timers and a paint of each. The cost must not depend on the page or on
// how far it has been read. A window that would finish its page starts again where it began,
// so that every tick moves the text.
void BM_FourFloatingWindowsTick(benchmark::State &state)
{
    const QString text = BenchText::latinPage(int(state.range(0)));
    InMemoryKeyValueStore store;
    NotchSettings settings(store, CaptureShield::system(), QStringLiteral("en"));
    std::vector<std::unique_ptr<OverlayContent>> contents;
    std::vector<std::unique_ptr<SpeechRecognizer>> recognizers;
    std::vector<std::unique_ptr<FloatingOverlayView>> views;
    int moves = 0;
    for (int i = 0; i < 4; ++i) {
        contents.push_back(std::make_unique<OverlayContent>());
        recognizers.push_back(std::make_unique<SpeechRecognizer>());
        contents.back()->loadPage(text, false, false);
        views.push_back(std::make_unique<FloatingOverlayView>(
            *contents.back(), *recognizers.back(), settings, false, std::function<void()>()));
        views.back()->resize(340, 160);
        views.back()->show();
        QObject::connect(views.back().get(), &ScrollingReadingView::timerWordProgressChanged,
                         [&moves] { ++moves; });
    }
    QCoreApplication::processEvents();
    const qsizetype wordCount = contents.front()->words().size();
    const double words = double(wordCount);
    const double start = std::floor(words * startShare(state));
    for (const auto &view : views)
        view->handleManualScroll(false, start);
    for (const auto &view : views) {
        const auto *area = view->findChild<SpeechScrollView *>();
        if (!area || !area->layout().isLaidOut() || area->layout().items().size() != wordCount
            || wordCount == 0) {
            state.SkipWithError("a window did not lay out its page");
            return;
        }
    }
    moves = 0;
    QImage target(QSize(340, 160), QImage::Format_ARGB32_Premultiplied);
    const ProcessCpuPerIteration cpu;
    for (auto _ : state) {
        for (const auto &view : views) {
            if (view->timerWordProgress() + ScrollingReadingView::scrollStepWords >= words)
                view->handleManualScroll(false, start);
            else
                view->scrollStep();
            view->render(&target, {}, {}, QWidget::DrawChildren);
        }
    }
    cpu.report(state);
    if (moves != 4 * state.iterations())
        state.SkipWithError("a tick did not move the text");
}

} // namespace

BENCHMARK(BM_FourFloatingWindowsTick)->Apply(pagesAndPlaces)->Unit(benchmark::kMicrosecond);
