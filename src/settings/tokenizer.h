#pragma once

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

// User-perceived characters (grapheme clusters).
int characterCount(QStringView text);

int charOffsetForWordProgress(const QStringList &words, int limit, double progress);
double wordProgressForCharOffset(int offset, const QStringList &words);
