#include "benchtext.h"

#include "document/brivelservice.h"
#include "document/externaltext.h"

#include <benchmark/benchmark.h>

#include <QTextBoundaryFinder>

namespace {

// A text that is one character too long, with combining marks in its words.
const QString &justTooLong()
{
    static const QString text = [] {
        const QString prose = BenchText::latinPage(300'000);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, prose);
        qsizetype end = 0;
        for (qsizetype count = 0; count <= ExternalText::maximumCharacters; ++count)
            end = finder.toNextBoundary();
        return prose.left(end);
    }();
    return text;
}

// 50 MB of prose, as a program could put on the session bus.
const QString &fiftyMegabytes()
{
    static const QString text = BenchText::latinPage(50'000'000);
    return text;
}

// Prose up to the most UTF-16 units a text may have: all of it must be looked at only until
// the characters are counted past the limit.
const QString &longestAllowed()
{
    static const QString text = BenchText::latinPage(int(ExternalText::maximumCodeUnits));
    return text;
}

// Checking a text handed over from outside costs about the same whatever its length, once it
// has more characters than are shown.
void BM_CheckTextFromOutside(benchmark::State &state)
{
    const QString &text = state.range(0) == 0   ? justTooLong()
                          : state.range(0) == 1 ? longestAllowed()
                                                : fiftyMegabytes();
    QString refusal;
    if (BrivelService::acceptExternalText(text, &refusal) || refusal.isEmpty()) {
        state.SkipWithError("the text was not refused");
        return;
    }
    for (auto _ : state) {
        refusal.clear();
        benchmark::DoNotOptimize(BrivelService::acceptExternalText(text, &refusal));
    }
    state.SetLabel(QStringLiteral("%1 UTF-16 units").arg(text.size()).toStdString());
}
BENCHMARK(BM_CheckTextFromOutside)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace
