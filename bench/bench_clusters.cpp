// Text shapes that a text engine cannot shape in linear time: one letter carrying hundreds of
// thousands of combining marks, and a page title of nine million characters. Every view must
// treat them like ordinary text: open in well under a second, a keystroke or a reading tick in
// a frame.

#include "benchkeys.h"

#include "common/appfakes.h"
#include "document/externaltext.h"
#include "document/reviewsessioncounter.h"
#include "document/savedata.h"
#include "editor/contentview.h"
#include "editor/highlightingtexteditor.h"
#include "editor/model/editorcontroller.h"
#include "overlay/floatingoverlayview.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/notchoverlaycontroller.h"
#include "overlay/speechscrollview.h"
#include "platform/activewindow.h"
#include "platform/captureshield.h"
#include "platform/fonts.h"
#include "platform/globalhotkeys.h"
#include "platform/inmemorykeyvaluestore.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"
#include "speech/speechrecognizer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTextDocument>

#include <memory>

namespace {

using namespace Qt::StringLiterals;

// One letter and `marks` combining marks: a single user-perceived character.
QString markCluster(int marks)
{
    QString text(u"a"_s);
    text.reserve(marks + 1);
    for (int i = 0; i < marks; ++i)
        text += QChar(char16_t(0x0300 + i % 0x70));
    return text;
}

const QString &markPage()
{
    static const QString page = u"Hola "_s + markCluster(400'000) + u" adiós"_s;
    return page;
}

void showEditor(HighlightingTextEditor &editor, const QString &text)
{
    editor.setFont(Fonts::systemFont(16, QFont::Normal));
    editor.resize(320, 140);
    editor.setText(text);
    editor.show();
    QCoreApplication::processEvents();
    editor.viewport()->repaint();
}

// The page set into the editor and its first frame painted.
void BM_MarkPageOpen(benchmark::State &state)
{
    for (auto _ : state) {
        HighlightingTextEditor editor;
        showEditor(editor, markPage());
        state.PauseTiming();
        if (editor.textLength() != markPage().size())
            state.SkipWithError("the text did not arrive");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MarkPageOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

// One keystroke typed right after the cluster, painted; the next iteration deletes it.
void BM_MarkPageKeystroke(benchmark::State &state)
{
    HighlightingTextEditor editor;
    showEditor(editor, markPage());
    editor.setCaretPosition(int(markPage().indexOf(u" adiós"_s)));
    int edits = 0;
    QObject::connect(&editor, &HighlightingTextEditor::textEdited, &editor, [&edits] { ++edits; });
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            BenchKeys::press(editor, Qt::Key_Backspace);
        else
            BenchKeys::press(editor, Qt::Key_B, u"b"_s);
        editor.viewport()->repaint();
        typed = !typed;
    }
    if (edits != state.iterations())
        state.SkipWithError("a keystroke edited nothing");
}
BENCHMARK(BM_MarkPageKeystroke)->Iterations(20)->Unit(benchmark::kMillisecond);

struct ReadingWindow
{
    InMemoryKeyValueStore store;
    NotchSettings settings{store, CaptureShield::system(), QStringLiteral("en")};
    OverlayContent content;
    SpeechRecognizer recognizer;
    FloatingOverlayView view{content, recognizer, settings, false, std::function<void()>()};
    QImage target{QSize(340, 160), QImage::Format_ARGB32_Premultiplied};

    void open(const QString &page)
    {
        content.loadPage(page, false, false);
        view.resize(340, 160);
        view.show();
        QCoreApplication::processEvents();
        view.render(&target, {}, {}, QWidget::DrawChildren);
    }
    bool laidOut() const
    {
        const auto *area = view.findChild<SpeechScrollView *>();
        return area && area->layout().isLaidOut() && !area->layout().items().isEmpty();
    }
};

// The page shown in a floating reading window: loaded, laid out and painted once.
void BM_MarkPageStartReading(benchmark::State &state)
{
    for (auto _ : state) {
        ReadingWindow window;
        window.open(markPage());
        state.PauseTiming();
        if (!window.laidOut())
            state.SkipWithError("the page was not laid out");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MarkPageStartReading)->Iterations(1)->Unit(benchmark::kMillisecond);

// One tick of the reading window's scroll timer and its frame.
void BM_MarkPageReadingTick(benchmark::State &state)
{
    ReadingWindow window;
    window.open(markPage());
    int moves = 0;
    QObject::connect(&window.view, &ScrollingReadingView::timerWordProgressChanged, &window.view,
                     [&moves] { ++moves; });
    for (auto _ : state) {
        if (window.view.timerWordProgress() + ScrollingReadingView::scrollStepWords >= 2)
            window.view.handleManualScroll(false, 0);
        else
            window.view.scrollStep();
        window.view.render(&window.target, {}, {}, QWidget::DrawChildren);
    }
    if (!window.laidOut() || moves != state.iterations())
        state.SkipWithError("the page was not read");
}
BENCHMARK(BM_MarkPageReadingTick)->Iterations(20)->Unit(benchmark::kMillisecond);

// Text handed over on the session bus, "a" and three million marks: checked, then shown in the
// reading panel until its words are laid out and painted, as the program does before it can
// answer the next call. The panel's opening animation is part of the time.
void BM_ReadTextMarks(benchmark::State &state)
{
    static const QString text = markCluster(3'000'000);
    InMemoryKeyValueStore store;
    NotchSettings settings{store, CaptureShield::system(), QStringLiteral("en")};
    NotchOverlayController controller{settings, Screens::system(), ActiveWindow::system(),
                                      CaptureShield::system(), GlobalHotKeys::create()};
    const auto wordsShown = [&controller] {
        const auto *area
            = controller.panel() ? controller.panel()->findChild<SpeechScrollView *>() : nullptr;
        return area && area->isVisible() && area->layout().isLaidOut()
               && !area->layout().items().isEmpty();
    };
    for (auto _ : state) {
        QString refusal;
        const std::optional<QString> accepted = BrivelService::acceptExternalText(text, &refusal);
        if (!accepted) {
            state.SkipWithError("the text was refused");
            break;
        }
        controller.show(accepted->trimmed(), false, false, [] {});
        QElapsedTimer waited;
        waited.start();
        while (!wordsShown() && waited.elapsed() < 120'000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (controller.panel())
                controller.panel()->repaint();
        }
        state.PauseTiming();
        if (!wordsShown())
            state.SkipWithError("the panel did not show the words");
        controller.dismiss();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReadTextMarks)->Iterations(1)->Unit(benchmark::kMillisecond);

// The editor window as the program shows it: sidebar, toolbar and editor pane.
struct EditorWindow : ServiceFixture
{
    EditorWindow()
    {
        window.setCentralWidget(new ContentView(controller, service, dialogs));
        window.resize(900, 600);
        window.show();
        QCoreApplication::processEvents();
    }
    void paint()
    {
        QCoreApplication::processEvents();
        window.repaint();
    }

    // Past the onboarding and the tour: the controller reads this when it is made.
    bool onboarded = [this] {
        store.setValue(u"hasCompletedOnboarding"_s, true);
        store.setValue(u"hasCompletedCoachMarks"_s, true);
        return true;
    }();
    ReviewSessionCounter counter{store};
    EditorController controller{service, settings, store, counter};
    QMainWindow window;
};

// The page becomes the document of the editor window, which shows it in its sidebar and pane.
void BM_MarkPageOpenWindow(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<EditorWindow>();
        state.ResumeTiming();
        window->service.setPages({markPage(), u"otra"_s});
        window->paint();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MarkPageOpenWindow)->Iterations(1)->Unit(benchmark::kMillisecond);

// A document of 9 MB whose first page title is nine million characters, opened in the editor
// window and painted.
void BM_OpenLongTitle(benchmark::State &state)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(u"title.brivel"_s);
    {
        QFile file(path);
        const QByteArray bytes = SaveData::encode({u"Texto de la página"_s, u"otra"_s},
                                                  {QString(9'000'000, u'T'), u"Corto"_s});
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the benchmark document");
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<EditorWindow>();
        state.ResumeTiming();
        window->service.openDocument(path);
        window->paint();
        state.PauseTiming();
        if (window->service.pageTitles().value(0).size() != 9'000'000)
            state.SkipWithError("the document did not open");
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenLongTitle)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
