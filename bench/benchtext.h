#pragma once

// Deterministic script text for the benchmarks.

#include <QString>
#include <QStringList>

#include <cstdint>

namespace BenchText {

using namespace Qt::StringLiterals;

// A fixed-seed generator keeps every run on the same text.
class Lcg
{
public:
    std::uint32_t next(std::uint32_t bound)
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return std::uint32_t(m_state >> 33) % bound;
    }

private:
    std::uint64_t m_state = 0x9E3779B97F4A7C15ULL;
};

// Prose of short paragraphs; a quarter of the words carry an accent, some written with a
// combining mark, so the grapheme path is taken as often as on a real page.
inline QString latinPage(int size)
{
    static const QStringList vocabulary{
        u"the"_s,      u"reader"_s,     u"keeps"_s,  u"looking"_s,    u"at"_s,
        u"camera"_s,   u"while"_s,      u"lines"_s,  u"scroll"_s,     u"by"_s,
        u"and"_s,      u"every"_s,      u"word"_s,   u"arrives"_s,    u"on"_s,
        u"time"_s,     u"café"_s,       u"naïve"_s,  u"cafe\u0301"_s, u"re\u0301sume\u0301"_s,
        u"año"_s,      u"pin\u0303a"_s, u"über"_s,   u"déjà"_s,       u"script"_s,
        u"pause"_s,    u"breathe"_s,    u"slowly"_s, u"audience"_s,   u"story"_s,
        u"tomorrow"_s, u"morning"_s};
    Lcg random;
    QString text;
    text.reserve(size + 32);
    int wordsInLine = 0;
    while (text.size() < size) {
        text += vocabulary[random.next(vocabulary.size())];
        if (++wordsInLine >= 8 + int(random.next(8))) {
            text += random.next(4) == 0 ? u"\n\n"_s : u"\n"_s;
            wordsInLine = 0;
        } else {
            text += u' ';
        }
    }
    text.truncate(size);
    return text;
}

// What a reader said from the middle of a script's words: `count` words with the errors a
// recogniser makes (a word lost, one misheard, one added), lower-cased as transcripts come.
inline QString spokenFromMiddle(const QStringList &words, int count)
{
    QStringList spoken = words.mid(words.size() / 2, count);
    spoken.removeAt(4);
    spoken[9] = u"cafeteria"_s;
    spoken.insert(14, u"um"_s);
    return spoken.join(u' ').toLower();
}

} // namespace BenchText
