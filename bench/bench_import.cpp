#include "import/presentationimport.h"
#include "import/presentationnotesextractor.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <QXmlStreamReader>

#include <zip.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString benchDeck = QStringLiteral(BRIVEL_IMPORT_DATA_DIR "/bench-500.pptx");

bool deckIsThere(benchmark::State &state)
{
    if (QFile::exists(benchDeck))
        return true;
    state.SkipWithError("tests/data/import/bench-500.pptx is missing");
    return false;
}

// The whole import of the 500-slide deck: archive, slide order, notes parsing.
void BM_Import500SlideDeck(benchmark::State &state)
{
    if (!deckIsThere(state))
        return;
    qsizetype texts = 0;
    for (auto _ : state)
        texts = PresentationNotesExtractor::extractNotes(benchDeck).size();
    if (texts != 500)
        state.SkipWithError("the deck did not give 500 notes");
}
BENCHMARK(BM_Import500SlideDeck)->Unit(benchmark::kMillisecond);

// The floor: libzip reading every slide, notes and relationship part of the same deck, and
// QXmlStreamReader tokenising each, with nothing kept.
void BM_BareReadAndTokenise500SlideDeck(benchmark::State &state)
{
    if (!deckIsThere(state))
        return;
    static const QRegularExpression parts(
        u"^ppt/(slides|notesSlides)/(_rels/)?[^/]+\\.(xml|xml\\.rels)$"_s);
    qint64 tokens = 0;
    for (auto _ : state) {
        int error = 0;
        zip_t *archive = zip_open(QFile::encodeName(benchDeck).constData(), ZIP_RDONLY, &error);
        if (!archive) {
            state.SkipWithError("libzip cannot open the deck");
            return;
        }
        const zip_int64_t count = zip_get_num_entries(archive, 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            if (!parts.match(QString::fromUtf8(zip_get_name(archive, i, 0))).hasMatch())
                continue;
            zip_stat_t entry;
            zip_stat_index(archive, i, 0, &entry);
            QByteArray data(qsizetype(entry.size), Qt::Uninitialized);
            zip_file_t *file = zip_fopen_index(archive, i, 0);
            zip_fread(file, data.data(), entry.size);
            zip_fclose(file);
            QXmlStreamReader reader(data);
            while (!reader.atEnd()) {
                reader.readNext();
                ++tokens;
            }
        }
        zip_discard(archive);
    }
    benchmark::DoNotOptimize(tokens);
}
BENCHMARK(BM_BareReadAndTokenise500SlideDeck)->Unit(benchmark::kMillisecond);

// The background import as the editor starts it: the longest the main thread's event loop
// goes without running a 1 ms timer until the result is back.
void BM_MainThreadGapDuringImport(benchmark::State &state)
{
    if (!deckIsThere(state))
        return;
    qint64 longestGapUs = 0;
    for (auto _ : state) {
        QObject receiver;
        bool done = false;
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed() / 1000;
            longestGapUs = std::max(longestGapUs, now - last);
            last = now;
        });
        tick.start();
        PresentationImport::start(benchDeck, &receiver,
                                  [&](const PresentationImport::Outcome &) { done = true; });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    state.counters["longest_gap_ms"] = double(longestGapUs) / 1000;
}
BENCHMARK(BM_MainThreadGapDuringImport)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
