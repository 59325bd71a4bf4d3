#include "tokenizer.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

char32_t firstScalar(QStringView text)
{
    if (text.isEmpty())
        return 0;
    if (text.size() > 1 && text[0].isHighSurrogate() && text[1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[0], text[1]);
    return text[0].unicode();
}

bool isLetterOrNumber(char32_t scalar)
{
    return QChar::isLetterOrNumber(scalar);
}

// The letters and numbers among the characters of a word, each character judged by its first
// scalar.
int letterOrNumberCount(QStringView word)
{
    int count = 0;
    qsizetype start = 0;
    visitCharacterEnds(word, [&](qsizetype end) {
        count += isLetterOrNumber(firstScalar(word.sliced(start))) ? 1 : 0;
        start = end;
    });
    return count;
}

// Pages of Chinese, Japanese and Korean are a word per character. A word of one unit does not
// own a copy of it: it reads it from a table of every unit, which lives as long as the program,
// so that such a page costs no allocation and no shared count per word.
QString oneUnitWord(QChar c)
{
    static const std::vector<char16_t> units = [] {
        std::vector<char16_t> table(0x10000);
        for (size_t u = 0; u < table.size(); ++u)
            table[u] = char16_t(u);
        return table;
    }();
    return QString::fromRawData(reinterpret_cast<const QChar *>(&units[c.unicode()]), 1);
}

void appendPieceWords(QStringView piece, QStringList &words)
{
    if (!containsCJK(piece)) {
        words.append(piece.toString());
        return;
    }
    qsizetype runStart = 0;
    const auto character = [&](qsizetype start, qsizetype end) {
        if (!isCJKScalar(firstScalar(piece.sliced(start))))
            return;
        if (start > runStart)
            words.append(piece.sliced(runStart, start - runStart).toString());
        words.append(end - start == 1 ? oneUnitWord(piece[start])
                                      : piece.sliced(start, end - start).toString());
        runStart = end;
    };
    if (eachUnitIsACharacter(piece)) {
        for (qsizetype at = 0; at < piece.size(); ++at)
            character(at, at + 1);
    } else {
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, piece.data(), piece.size());
        qsizetype start = 0;
        for (qsizetype end = graphemes.toNextBoundary(); end != -1;
             end = graphemes.toNextBoundary()) {
            character(start, end);
            start = end;
        }
    }
    if (piece.size() > runStart)
        words.append(piece.sliced(runStart).toString());
}

// A line whose every unit is a character, read in one pass: white space among such units is
// Latin-1's or the ideographic space, and each CJK unit is a word of its own.
void appendSimpleLineWords(QStringView text, QStringList &words)
{
    qsizetype runStart = -1;
    const auto endRun = [&](qsizetype end) {
        if (runStart >= 0)
            words.append(text.sliced(runStart, end - runStart).toString());
        runStart = -1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x100 ? c.isSpace() : c.unicode() == 0x3000) {
            endRun(i);
        } else if (isCJKScalar(c.unicode())) {
            endRun(i);
            words.append(oneUnitWord(c));
        } else if (runStart < 0) {
            runStart = i;
        }
    }
    endRun(text.size());
}

void appendLineWords(QStringView text, QStringList &words)
{
    if (eachUnitIsACharacter(text)) {
        appendSimpleLineWords(text, words);
        return;
    }
    // A line feed is whitespace as well, so splitting at whitespace covers it.
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && text[i].isSpace())
            ++i;
        const qsizetype start = i;
        while (i < n && !text[i].isSpace())
            ++i;
        if (i > start)
            appendPieceWords(text.sliced(start, i - start), words);
    }
}

} // namespace

bool isCJKScalar(char32_t s)
{
    return (s >= 0x3040 && s <= 0x30FF) || (s >= 0xAC00 && s <= 0xD7AF)
           || (s >= 0x4E00 && s <= 0x9FFF) || (s >= 0x3400 && s <= 0x4DBF)
           || (s >= 0x20000 && s <= 0x2A6DF) || (s >= 0xF900 && s <= 0xFAFF);
}

bool containsCJK(QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x3040)
            continue;
        char32_t scalar = c.unicode();
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            scalar = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
        }
        if (isCJKScalar(scalar))
            return true;
    }
    return false;
}

QStringList tokenizeLine(QStringView text)
{
    QStringList words;
    appendLineWords(text, words);
    return words;
}

TokenizedScript tokenizeScript(QStringView text)
{
    TokenizedScript script;
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const qsizetype wordsBefore = script.words.size();
        appendLineWords(text.sliced(lineStart, lineEnd - lineStart), script.words);
        if (wordsBefore > 0 && script.words.size() > wordsBefore)
            script.lineBreaks.insert(int(wordsBefore));
        lineStart = lineEnd + 1;
    }
    return script;
}

QList<bool> cueWords(const QStringList &words, const QSet<int> &lineBreaks)
{
    const int count = int(words.size());
    QList<bool> inCue(count, false);
    // Walking backwards, the nearest word ahead that closes a bracket on the same line.
    int closing = -1;
    for (int i = count - 1; i >= 0; --i) {
        const QString &word = words[i];
        if (closing >= 0 && i + 1 < count && lineBreaks.contains(i + 1))
            closing = -1;
        if (!word.isEmpty() && word.back() == u']')
            closing = i;
        if (closing >= i && !word.isEmpty() && word.front() == u'[') {
            for (int k = i; k <= closing && !inCue[k]; ++k)
                inCue[k] = true;
        }
    }
    return inCue;
}

int charOffsetForWordProgress(const QStringList &words, int limit, double progress)
{
    // Callers count up from 0; anything else is treated as the start.
    if (!std::isfinite(progress) || progress < 0)
        progress = 0;
    const qsizetype count = words.size();
    const double whole = std::trunc(progress);
    const qsizetype wholeWords = whole >= double(count) ? count : qsizetype(whole);
    qint64 offset = 0;
    for (qsizetype k = 0; k < wholeWords; ++k)
        offset += characterCount(words[k]) + 1;
    if (wholeWords < count)
        offset += qint64((progress - whole) * characterCount(words[wholeWords]));
    return int(std::min<qint64>(limit, offset));
}

double wordProgressForCharOffset(int offset, const QStringList &words)
{
    offset = std::max(offset, 0);
    qint64 start = 0;
    for (qsizetype k = 0; k < words.size(); ++k) {
        const int length = characterCount(words[k]);
        const qint64 end = start + length;
        if (end >= offset)
            return double(k) + double(offset - start) / std::max(length, 1);
        start = end + 1;
    }
    return double(words.size());
}

WordCharOffsets::WordCharOffsets(const QStringList &words)
{
    // Where every unit is a character, a word's characters are its units.
    m_starts.resize(words.size() + 1);
    m_letterCounts.resize(words.size());
    qint64 *starts = m_starts.data();
    int *letterCounts = m_letterCounts.data();
    qsizetype simple = 0;
    for (; simple < words.size(); ++simple) {
        const QString &word = words[simple];
        int letters = 0;
        bool eachAlone = true;
        for (const QChar c : word) {
            eachAlone = eachAlone && joinsNoNeighbour(c);
            letters += c.isLetterOrNumber() ? 1 : 0;
        }
        if (!eachAlone)
            break;
        starts[simple + 1] = starts[simple] + word.size() + 1;
        letterCounts[simple] = letters;
    }
    if (simple == words.size()) {
        m_totalCharCount = int(std::max<qint64>(starts[simple] - 1, 0));
        return;
    }
    m_starts = {0};
    m_starts.reserve(words.size() + 1);
    m_letterCounts.clear();
    m_letterCounts.reserve(words.size());
    const QString text = words.join(u' ');
    std::vector<bool> boundaries(size_t(text.size()) + 1, false);
    boundaries[0] = true;
    visitCharacterEnds(text, [&](qsizetype end) {
        boundaries[size_t(end)] = true;
        ++m_totalCharCount;
    });
    qsizetype wordStart = 0;
    for (const QString &word : words) {
        const qsizetype wordEnd = wordStart + word.size();
        int length = 0;
        int letters = 0;
        if (boundaries[size_t(wordStart)] && boundaries[size_t(wordEnd)]) {
            for (qsizetype at = wordStart; at < wordEnd; ++at) {
                if (!boundaries[size_t(at)])
                    continue;
                ++length;
                letters += isLetterOrNumber(firstScalar(QStringView(text).sliced(at))) ? 1 : 0;
            }
        } else {
            // A cluster reaches over the space beside the word (a word opening with a combining
            // mark): the word is counted as it stands.
            length = characterCount(word);
            letters = letterOrNumberCount(word);
        }
        m_starts.append(m_starts.last() + length + 1);
        m_letterCounts.append(letters);
        wordStart = wordEnd + 1;
    }
}

int WordCharOffsets::charOffsetForWordProgress(int limit, double progress) const
{
    if (!std::isfinite(progress) || progress < 0)
        progress = 0;
    const qsizetype count = wordCount();
    const double whole = std::trunc(progress);
    const qsizetype wholeWords = whole >= double(count) ? count : qsizetype(whole);
    qint64 offset = m_starts[wholeWords];
    if (wholeWords < count)
        offset += qint64((progress - whole) * double(length(wholeWords)));
    return int(std::min<qint64>(limit, offset));
}

double WordCharOffsets::wordProgressForCharOffset(int offset) const
{
    offset = std::max(offset, 0);
    // The first word whose end reaches the offset; a word ends one before the next one starts.
    const auto next = std::lower_bound(m_starts.cbegin() + 1, m_starts.cend(), offset,
                                       [](qint64 start, int value) { return start - 1 < value; });
    if (next == m_starts.cend())
        return double(wordCount());
    const qsizetype word = next - m_starts.cbegin() - 1;
    return double(word)
           + double(offset - m_starts[word]) / double(std::max<qint64>(length(word), 1));
}
