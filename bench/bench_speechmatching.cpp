#include "benchtext.h"

#include "settings/tokenizer.h"
#include "speech/speechmatching.h"

#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int shortScriptSize = 1'000;
constexpr int longScriptSize = 500'000;
constexpr int spokenWordCount = 20;

// A script as the follower holds it, and what a reader said from its middle.
struct SpokenScript
{
    ScriptMatcher matcher;
    int matchStartOffset = 0;
    QString transcript;
};

SpokenScript makeSpokenScript(int size)
{
    const QStringList words = tokenizeScript(BenchText::latinPage(size)).words;
    const int middle = int(words.size()) / 2;
    return {ScriptMatcher(words.join(u' ')),
            charOffsetForWordProgress(words, std::numeric_limits<int>::max(), middle),
            BenchText::spokenFromMiddle(words, spokenWordCount)};
}

const SpokenScript &cachedSpokenScript(int size)
{
    static const SpokenScript shortScript = makeSpokenScript(shortScriptSize);
    static const SpokenScript longScript = makeSpokenScript(longScriptSize);
    return size == shortScriptSize ? shortScript : longScript;
}

void BM_MatchCharactersFromMiddle(benchmark::State &state)
{
    const SpokenScript &script = cachedSpokenScript(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            script.matcher.matchCharacters(script.matchStartOffset, script.transcript));
    const int reached = script.matcher.matchCharacters(script.matchStartOffset, script.transcript);
    state.counters["reached"] = reached;
    if (reached == 0)
        state.SkipWithError("the transcript matched nothing");
}

void BM_MatchWordsFromMiddle(benchmark::State &state)
{
    const SpokenScript &script = cachedSpokenScript(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            script.matcher.matchWords(script.matchStartOffset, script.transcript));
    const int reached = script.matcher.matchWords(script.matchStartOffset, script.transcript);
    state.counters["reached"] = reached;
    if (reached == 0)
        state.SkipWithError("the transcript matched nothing");
}

// Once per listening run: the character index of the script.
void BM_PrepareScriptMatcher(benchmark::State &state)
{
    const QString text = tokenizeScript(BenchText::latinPage(int(state.range(0)))).words.join(u' ');
    for (auto _ : state)
        benchmark::DoNotOptimize(ScriptMatcher(text));
    if (ScriptMatcher(text).characterCount() == 0)
        state.SkipWithError("the script indexed no characters");
}

// Thai, whose characters Qt finds by running libthai's dictionary over the whole text.
void BM_PrepareThaiScriptMatcher(benchmark::State &state)
{
    const QString phrase = u"สวัสดีครับ วันนี้อากาศดีมาก เราจะไปตลาดกัน "_s;
    const QString text
        = tokenizeScript(phrase.repeated(int(state.range(0) / phrase.size()))).words.join(u' ');
    for (auto _ : state)
        benchmark::DoNotOptimize(ScriptMatcher(text));
    if (ScriptMatcher(text).characterCount() >= text.size())
        state.SkipWithError("the script's marks were counted as characters");
}

void scriptSizes(benchmark::internal::Benchmark *b)
{
    b->Arg(shortScriptSize)->Arg(longScriptSize)->Unit(benchmark::kMicrosecond)->MinTime(0.2);
}

} // namespace

// A match must cost the same for both sizes: it reads only what the transcript can reach.
BENCHMARK(BM_MatchCharactersFromMiddle)->Apply(scriptSizes);
BENCHMARK(BM_MatchWordsFromMiddle)->Apply(scriptSizes);
BENCHMARK(BM_PrepareScriptMatcher)->Apply(scriptSizes);
BENCHMARK(BM_PrepareThaiScriptMatcher)->Apply(scriptSizes);
