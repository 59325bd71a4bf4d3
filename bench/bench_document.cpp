#include "benchtext.h"

#include "common/appfakes.h"
#include "document/savedata.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int documentPages = 1000;
constexpr qint64 targetFileBytes = 9'900'000;

// 1,000 pages of prose filling a document file almost to its 10 MB limit.
const QStringList &largePages()
{
    static const QStringList pages = [] {
        const QString prose = BenchText::latinPage(10'000);
        const qint64 bytesPerPage = SaveData::encode({prose}, {}).size();
        const qsizetype length = prose.size() * targetFileBytes / (bytesPerPage * documentPages);
        QStringList pages;
        for (int i = 0; i < documentPages; ++i)
            pages << QString::number(i) + u' ' + prose.left(length);
        return pages;
    }();
    return pages;
}

// Pages longer than 500,000 UTF-16 units whose characters must be counted to pass the limit.
const QStringList &longPages()
{
    static const QStringList pages = [] {
        const QString page = BenchText::latinPage(490'000) + u"e\u0301"_s.repeated(10'000);
        const qint64 pageBytes = SaveData::encode({page}, {}).size();
        return QStringList(targetFileBytes / pageBytes, page);
    }();
    return pages;
}

enum class Shape { shortPages, longPages };

struct LargeDocument
{
    explicit LargeDocument(const QStringList &pages)
        : pages(pages)
        , bytes(SaveData::encode(pages, {}))
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the benchmark document");
    }

    QTemporaryDir directory;
    QString path = directory.filePath(u"large.brivel"_s);
    QStringList pages;
    QByteArray bytes;
};

const LargeDocument &largeDocument(Shape shape)
{
    static const LargeDocument shortPageDocument(largePages());
    static const LargeDocument longPageDocument(longPages());
    return shape == Shape::shortPages ? shortPageDocument : longPageDocument;
}

// The bare parse of the same bytes: the yardstick of opening a document.
void BM_DocumentBareJsonParse(benchmark::State &state)
{
    const QByteArray &bytes = largeDocument(Shape(state.range(0))).bytes;
    // A parse that fails early would be quick: only a whole document counts.
    if (!QJsonDocument::fromJson(bytes).isObject()) {
        state.SkipWithError("the document is not JSON");
        return;
    }
    for (auto _ : state) {
        const QJsonDocument document = QJsonDocument::fromJson(bytes);
        benchmark::DoNotOptimize(document.isObject());
    }
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(BM_DocumentBareJsonParse)->Arg(0)->Arg(1)->Iterations(20)->Unit(benchmark::kMillisecond);

// Reading, decoding, the checks and the service's update, as the open panel does it.
void BM_DocumentOpen(benchmark::State &state)
{
    const LargeDocument &document = largeDocument(Shape(state.range(0)));
    ServiceFixture fixture;
    for (auto _ : state) {
        fixture.service.openDocument(document.path);
        state.PauseTiming();
        if (fixture.service.pages().size() != document.pages.size()
            || !fixture.dialogs.alerts.isEmpty())
            state.SkipWithError("the document did not open");
        fixture.service.setPages({QString()});
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DocumentOpen)->Arg(0)->Arg(1)->Iterations(20)->Unit(benchmark::kMillisecond);

// The main thread's share of an autosave of that document: the call alone.
void BM_DocumentAutosaveMainThread(benchmark::State &state)
{
    ServiceFixture fixture;
    fixture.service.setPages(largePages());
    QFile autosaveFile(fixture.service.autosaveFilePath());
    double slowestMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        fixture.service.autosave();
        const std::chrono::duration<double, std::milli> elapsed
            = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count() / 1000.0);
        slowestMs = std::max(slowestMs, elapsed.count());
        // Not timed: each write lands before the next call, and each must have written.
        fixture.service.flushAutosave();
        if (!autosaveFile.remove()) {
            state.SkipWithError("the autosave wrote nothing");
            break;
        }
    }
    state.counters["slowest_ms"] = slowestMs;
}
BENCHMARK(BM_DocumentAutosaveMainThread)
    ->UseManualTime()
    ->Iterations(50)
    ->Unit(benchmark::kMicrosecond);

// What the worker does for it: encoding and the atomic write.
void BM_DocumentAutosaveWorker(benchmark::State &state)
{
    ServiceFixture fixture;
    fixture.service.setPages(largePages());
    QFile autosaveFile(fixture.service.autosaveFilePath());
    for (auto _ : state) {
        fixture.service.autosave();
        fixture.service.flushAutosave();
        state.PauseTiming();
        const bool written = autosaveFile.remove();
        state.ResumeTiming();
        if (!written) {
            state.SkipWithError("the autosave wrote nothing");
            break;
        }
    }
}
BENCHMARK(BM_DocumentAutosaveWorker)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
