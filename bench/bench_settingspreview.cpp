#include "benchtext.h"

#include "common/fakecaptureshield.h"
#include "editor/highlightingtexteditor.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"
#include "settings_screen/notchpreviewcontent.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QRegion>

#include <functional>

namespace {

constexpr int longPageSize = 500'000;
constexpr int paragraphSize = 400;

// The settings preview beside an editor holding a page of the given size, as when the settings
// open over the editor. One step is a change of a setting followed by the frame it causes: the
// mock painted at its new size with the window's cut-out shape computed.
class PreviewBeside
{
public:
    explicit PreviewBeside(int pageSize)
    {
        QString text = BenchText::latinPage(pageSize);
        if (pageSize == paragraphSize)
            text.replace(u'\n', u' ');
        m_editor.resize(320, 140);
        m_editor.setText(text);
        m_editor.show();

        NotchPreviewContent::Options options;
        options.settings = &m_settings;
        options.captureShield = &m_shield;
        options.menuBarHeight = 30;
        options.showStickyHint = true;
        m_content = std::make_unique<NotchPreviewContent>(options);
        m_content->resize(500, 470);
        m_content->show();
        const QDeadlineTimer deadline(3000);
        while (!m_content->isContentVisible() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        frame();
    }

    NotchSettings &settings() { return m_settings; }
    const NotchPreviewContent &content() const { return *m_content; }
    bool isReady() const { return m_content->isContentVisible() && m_editor.isVisible(); }

    // The next frame after a change, its transition run to the end: painted on screen as the
    // window paints it, and the window's shape cut from the outline.
    void frame()
    {
        m_content->finishAnimations();
        m_content->repaint();
        m_shape = QRegion(m_content->outlinePath().toFillPolygon().toPolygon());
        benchmark::DoNotOptimize(m_shape);
        QCoreApplication::sendPostedEvents();
    }

private:
    InMemoryKeyValueStore m_store;
    FakeCaptureShield m_shield{true};
    NotchSettings m_settings{m_store, m_shield, QStringLiteral("es")};
    HighlightingTextEditor m_editor;
    std::unique_ptr<NotchPreviewContent> m_content;
    QRegion m_shape;
};

int pageSize(const benchmark::State &state)
{
    return state.range(0) == 0 ? paragraphSize : longPageSize;
}

// Slider steps over the slider's range and back, each one frame.
void runSteps(benchmark::State &state, const std::function<void(PreviewBeside &, int)> &step,
              bool sizeChanges)
{
    PreviewBeside preview(pageSize(state));
    if (!preview.isReady()) {
        state.SkipWithError("the preview never showed its content");
        return;
    }
    const int blursBefore = preview.content().blurRenderCount();
    int i = 0;
    for (auto _ : state) {
        step(preview, i++);
        preview.frame();
    }
    const int blurs = preview.content().blurRenderCount() - blursBefore;
    // A step that resized nothing measured nothing; one that kept its size must blur nothing.
    if (sizeChanges && blurs < state.iterations())
        state.SkipWithError("a step did not resize the mock");
    else if (!sizeChanges && blurs != 0)
        state.SkipWithError("a frame of unchanged size rendered a blurred stroke");
    state.counters["blurs_per_frame"]
        = double(blurs) / double(std::max<int64_t>(1, state.iterations()));
}

// 310 … 500 and back, in steps of 10, never the same value twice in a row.
double sliderValue(int i, double low, double step, int steps)
{
    const int phase = i % (2 * steps);
    return low + step * (phase < steps ? phase : 2 * steps - phase);
}

void BM_PreviewWidthStep(benchmark::State &state)
{
    runSteps(
        state,
        [](PreviewBeside &p, int i) {
            p.settings().setNotchWidth(sliderValue(i + 1, 310, 10, 19));
        },
        true);
}

void BM_PreviewHeightStep(benchmark::State &state)
{
    runSteps(
        state,
        [](PreviewBeside &p, int i) {
            p.settings().setTextAreaHeight(sliderValue(i + 1, 140, 10, 26));
        },
        true);
}

void BM_PreviewOpacityStep(benchmark::State &state)
{
    runSteps(
        state,
        [](PreviewBeside &p, int i) {
            p.settings().setGlassEffect(true);
            p.settings().setGlassOpacity(sliderValue(i + 1, 0.05, 0.05, 19));
        },
        false);
}

void BM_PreviewFontChange(benchmark::State &state)
{
    runSteps(
        state,
        [](PreviewBeside &p, int i) {
            p.settings().setFontFamilyPreset(FontFamilyPreset(i % 4));
            p.settings().setFontSizePreset(FontSizePreset(i % 3));
        },
        false);
}

} // namespace

BENCHMARK(BM_PreviewWidthStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PreviewHeightStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PreviewOpacityStep)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PreviewFontChange)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
