#include "benchtext.h"

#include "common/appfakes.h"
#include "document/reviewsessioncounter.h"
#include "editor/model/editorcontroller.h"
#include "editor/model/pagelistmodel.h"
#include "editor/pagessidebar.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QListView>
#include <QTimer>

#include <memory>

namespace {

using namespace Qt::StringLiterals;

constexpr int pageSize = 500'000;

// A document of `pageCount` pages of half a million characters, the word searched for near each
// page's end. Each page is text of its own in memory, as a real document's are: pages sharing one
// string would be searched from the cache.
struct SidebarDocument : ServiceFixture
{
    explicit SidebarDocument(int pageCount)
    {
        const QString text = BenchText::latinPage(pageSize + pageCount);
        QStringList pages;
        for (int i = 0; i < pageCount; ++i)
            pages.append(text.mid(i, pageSize - 20) + u" palabraclave final"_s);
        service.setPages(pages);
        service.setPageTitles(QStringList(pageCount, u"Página"_s));
    }

    // Waits, asleep, for the newest search's rows; false when they never came.
    bool waitForRows(PageListModel &model)
    {
        QEventLoop loop;
        QObject::connect(&model, &PageListModel::rowsRefreshed, &loop, [&] {
            if (model.isUpToDate())
                loop.quit();
        });
        QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
        if (!model.isUpToDate())
            loop.exec();
        return model.isUpToDate();
    }

    ReviewSessionCounter counter{store};
    EditorController controller{service, settings, store, counter};
};

const QStringList queries{u"palabracl"_s, u"palabracla"_s, u"palabraclav"_s, u"palabraclave"_s};

// The main thread's share of a keystroke in the search field: the search starts and the
// keystroke returns; the pages are read on a worker.
void BM_SidebarFilterKeystroke(benchmark::State &state)
{
    SidebarDocument document(int(state.range(0)));
    PageListModel model(document.controller, document.service);
    int keystroke = 0;
    for (auto _ : state) {
        document.controller.setToolbarSearchText(queries.at(keystroke++ % queries.size()));
        benchmark::DoNotOptimize(model.isUpToDate());
    }
    if (!document.waitForRows(model) || model.rowCount() != state.range(0))
        state.SkipWithError("the search did not list every page");
}
BENCHMARK(BM_SidebarFilterKeystroke)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

// From the keystroke to the full list of matches, each with its snippet, in wall time: the main
// thread sleeps while the worker searches, so its CPU column tells nothing. The first search of
// the document, which puts each page in the search's form, comes before (see the next one). With
// two keystrokes, as from a fast typist, the second cuts the first one's search short.
void BM_SidebarFilterFullResult(benchmark::State &state)
{
    SidebarDocument document(int(state.range(0)));
    PageListModel model(document.controller, document.service);
    document.controller.setToolbarSearchText(u"palabra"_s);
    bool listed = document.waitForRows(model);
    int keystroke = 0;
    for (auto _ : state) {
        for (int typed = 0; typed < state.range(1); ++typed)
            document.controller.setToolbarSearchText(queries.at(keystroke++ % queries.size()));
        listed = document.waitForRows(model) && model.rowCount() == state.range(0)
                 && !model.index(0).data(PageListModel::SnippetRole).toString().isEmpty() && listed;
    }
    if (!listed)
        state.SkipWithError("a search did not list every page with its snippet");
}
BENCHMARK(BM_SidebarFilterFullResult)
    ->ArgsProduct({{10, 1000}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The first search of a document just opened, to its full list, in wall time.
void BM_SidebarFilterFirstSearch(benchmark::State &state)
{
    bool listed = true;
    for (auto _ : state) {
        state.PauseTiming();
        auto document = std::make_unique<SidebarDocument>(int(state.range(0)));
        auto model = std::make_unique<PageListModel>(document->controller, document->service);
        state.ResumeTiming();
        document->controller.setToolbarSearchText(queries.front());
        listed = document->waitForRows(*model) && model->rowCount() == state.range(0) && listed;
        state.PauseTiming();
        model.reset();
        document.reset();
        state.ResumeTiming();
    }
    if (!listed)
        state.SkipWithError("a search did not list every page");
}
BENCHMARK(BM_SidebarFilterFirstSearch)
    ->Arg(10)
    ->Arg(1000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One paint of the list's viewport while a query lists every page with a snippet.
void BM_SidebarPaint(benchmark::State &state)
{
    SidebarDocument document(int(state.range(0)));
    PagesSidebar sidebar(document.controller, document.service);
    sidebar.resize(PagesSidebar::columnWidth, 560);
    sidebar.show();
    document.controller.setToolbarSearchText(u"palabraclave"_s);
    if (!document.waitForRows(*sidebar.model()) || sidebar.model()->rowCount() != state.range(0)) {
        state.SkipWithError("the rows were not listed");
        return;
    }
    QCoreApplication::processEvents();
    QListView *list = sidebar.list();
    for (auto _ : state)
        list->viewport()->repaint();
    if (!list->viewport()->isVisible() || !list->indexAt(QPoint(20, 20)).isValid())
        state.SkipWithError("no row was on screen, so nothing was painted");
}
BENCHMARK(BM_SidebarPaint)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace
