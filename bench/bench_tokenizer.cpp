#include "benchtext.h"

#include "settings/tokenizer.h"

#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>

#include <cstdint>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

using BenchText::latinPage;
using BenchText::Lcg;

constexpr int pageSize = 500'000;
constexpr int smallPageSize = 50'000;
constexpr int unlimited = std::numeric_limits<int>::max();

// Kana, kanji, hangul and the odd astral ideograph, with punctuation and short lines.
QString cjkPage(int size)
{
    Lcg random;
    QString text;
    text.reserve(size + 32);
    int charactersInLine = 0;
    while (text.size() < size) {
        const std::uint32_t pick = random.next(100);
        char32_t scalar;
        if (pick < 45)
            scalar = 0x4E00 + random.next(0x5200);
        else if (pick < 75)
            scalar = 0x3041 + random.next(0x56);
        else if (pick < 90)
            scalar = 0xAC00 + random.next(0x2BA4);
        else if (pick < 93)
            scalar = 0x20000 + random.next(0xA6E0);
        else
            scalar = pick < 97 ? U'、' : U'。';
        text += QString::fromUcs4(&scalar, 1);
        if (++charactersInLine >= 30 + int(random.next(30))) {
            text += u'\n';
            charactersInLine = 0;
        }
    }
    text.truncate(size);
    return text;
}

const QString &cachedLatinPage(int size)
{
    static const QString small = latinPage(smallPageSize);
    static const QString large = latinPage(pageSize);
    return size == smallPageSize ? small : large;
}

const QString &cachedCjkPage(int size)
{
    static const QString small = cjkPage(smallPageSize);
    static const QString large = cjkPage(pageSize);
    return size == smallPageSize ? small : large;
}

const QStringList &cachedLatinWords(int size)
{
    static const QStringList small = tokenizeScript(cachedLatinPage(smallPageSize)).words;
    static const QStringList large = tokenizeScript(cachedLatinPage(pageSize)).words;
    return size == smallPageSize ? small : large;
}

// A page without words would time an empty walk.
bool hasWords(benchmark::State &state, const QStringList &words)
{
    if (words.isEmpty())
        state.SkipWithError("the page has no words");
    return !words.isEmpty();
}

void BM_TokenizeLatinPage(benchmark::State &state)
{
    const QString &text = cachedLatinPage(int(state.range(0)));
    if (!hasWords(state, tokenizeScript(text).words))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(tokenizeScript(text));
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * text.size() * qsizetype(sizeof(QChar)));
}

void BM_TokenizeCjkPage(benchmark::State &state)
{
    const QString &text = cachedCjkPage(int(state.range(0)));
    if (!hasWords(state, tokenizeScript(text).words))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(tokenizeScript(text));
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * text.size() * qsizetype(sizeof(QChar)));
}

// Both conversions walk the words from the start, so the last word is the worst case.
void BM_CharOffsetAtPageEnd(benchmark::State &state)
{
    const QStringList &words = cachedLatinWords(int(state.range(0)));
    if (!hasWords(state, words))
        return;
    const double progress = double(words.size()) - 0.5;
    for (auto _ : state)
        benchmark::DoNotOptimize(charOffsetForWordProgress(words, unlimited, progress));
    state.SetComplexityN(state.range(0));
    state.counters["words"] = double(words.size());
}

void BM_WordProgressAtPageEnd(benchmark::State &state)
{
    const QStringList &words = cachedLatinWords(int(state.range(0)));
    if (!hasWords(state, words))
        return;
    const int offset = charOffsetForWordProgress(words, unlimited, double(words.size())) - 2;
    for (auto _ : state)
        benchmark::DoNotOptimize(wordProgressForCharOffset(offset, words));
    state.SetComplexityN(state.range(0));
    state.counters["words"] = double(words.size());
}

} // namespace

// Two page sizes a decade apart are enough for the linear fit; a short minimum time keeps the
// whole run to a few seconds.
void pageSizes(benchmark::internal::Benchmark *b)
{
    b->Arg(smallPageSize)
        ->Arg(pageSize)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(0.2)
        ->Complexity(benchmark::oN);
}

BENCHMARK(BM_TokenizeLatinPage)->Apply(pageSizes);
BENCHMARK(BM_TokenizeCjkPage)->Apply(pageSizes);
BENCHMARK(BM_CharOffsetAtPageEnd)->Apply(pageSizes);
BENCHMARK(BM_WordProgressAtPageEnd)->Apply(pageSizes);
