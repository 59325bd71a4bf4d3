#pragma once

#include "settings/characterends.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

// A page as the overlay reads it: words, and the indices of the words that begin a new line.
// Reading progress is a fractional word index; a character offset counts each word's
// user-perceived characters plus one for the space after it.
struct TokenizedScript
{
    QStringList words;
    // Word k in the set begins a new line; never 0, never the word count.
    QSet<int> lineBreaks;
};

TokenizedScript tokenizeScript(QStringView text);
QStringList tokenizeLine(QStringView text);

// Which words belong to a bracketed cue marker. A cue such as "[Mira al público]" spans several
// words: every word from the opening bracket to the closing one on the same script line is part
// of it. An unclosed bracket marks nothing. The reading area styles these words and the voice
// follower passes over them without speech.
QList<bool> cueWords(const QStringList &words, const QSet<int> &lineBreaks);

// True when any scalar of the string is a Chinese, Japanese or Korean character; those are
// words of their own since the scripts are written without spaces.
bool containsCJK(QStringView text);
bool isCJKScalar(char32_t scalar);

int charOffsetForWordProgress(const QStringList &words, int limit, double progress);
double wordProgressForCharOffset(int offset, const QStringList &words);

// A page's words counted once: where each starts in the page's character count, its characters
// and how many of them are letters or numbers. The conversions above are answered from the
// counts, so an answer costs the same at the end of a long page as at its start; the counting
// itself takes one pass over the page, whatever its words (a grapheme scan can cost as much per
// call as per character).
class WordCharOffsets
{
public:
    WordCharOffsets() = default;
    explicit WordCharOffsets(const QStringList &words);

    int charOffsetForWordProgress(int limit, double progress) const;
    double wordProgressForCharOffset(int offset) const;

    int wordCount() const { return int(m_starts.size()) - 1; }
    int charOffset(int word) const { return int(m_starts[word]); }
    int length(int word) const { return int(m_starts[word + 1] - m_starts[word] - 1); }
    int letterCount(int word) const { return m_letterCounts[word]; }
    // The characters of the words joined with single spaces.
    int totalCharCount() const { return m_totalCharCount; }

private:
    // The first character of every word, then where a word after the last would start.
    QList<qint64> m_starts{0};
    QList<int> m_letterCounts;
    int m_totalCharCount = 0;
};
