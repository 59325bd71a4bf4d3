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

// Prose of short paragraphs of the vocabulary's words, from a fixed seed.
inline QString prose(const QStringList &vocabulary, int size)
{
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

// A quarter of the words carry an accent, some written with a combining mark, so the grapheme
// path is taken as often as on a real page.
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
    return prose(vocabulary, size);
}

// Arabic with vowel marks, both kinds of digits, Latin names and punctuation at the edges of
// numbers and Latin words: the words whose characters the bidirectional algorithm orders apart.
inline QString arabicPage(int size)
{
    static const QStringList vocabulary{
        u"مرحبا"_s,    u"بالعالم"_s,  u"النسبة"_s,  u"50%"_s,      u"و"_s,     u"4.5%."_s,
        u"مُحَمَّدٌ"_s,     u"(CGJ)."_s,   u"الكتاب"_s,  u"عام"_s,      u"٢٠٢٦"_s,  u"Brivel"_s,
        u"\"Hello,"_s, u"World!\""_s, u"في"_s,      u"من"_s,       u"إلى"_s,   u"هذا"_s,
        u"اليوم."_s,   u"الجمهور"_s,  u"ببطء،"_s,   u"الكاميرا"_s, u"القصة"_s, u"غدا"_s,
        u"صباحا"_s,    u"نتنفس"_s,    u"والسطور"_s, u"تمر"_s,      u"كل"_s,    u"كلمة"_s};
    return prose(vocabulary, size);
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
