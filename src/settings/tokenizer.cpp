#include "tokenizer.h"

#include "platform/runtimemodule.h"

#include <QTextBoundaryFinder>

#include <thai/thcell.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Below U+0300 every UTF-16 unit is a character of its own (no combining marks, no
// surrogates), except CR LF, which is one.
bool isSimpleText(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x0300 || c == u'\r')
            return false;
    }
    return true;
}

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

// Thai as Qt cuts it into characters: libthai's cells. Qt runs libthai's dictionary word breaker
// over every Thai run whenever it looks for any boundary, characters included, and on a long
// page that dictionary is most of the cost; the cells alone are cheap.
bool isThaiUnit(char16_t u)
{
    return u >= 0x0E01 && u <= 0x0E5B && !(u >= 0x0E3B && u <= 0x0E3E);
}

// A Thai letter that always opens a cell: not a vowel or tone mark written above or below, nor
// SARA AM, which libthai joins to the letter before it. The baht sign is common to all scripts,
// so it does not open a Thai run.
bool opensThaiCell(char16_t u)
{
    return isThaiUnit(u) && u != 0x0E31 && !(u >= 0x0E33 && u <= 0x0E3A)
           && !(u >= 0x0E47 && u <= 0x0E4E) && u != 0x0E3F;
}

// Text that Qt cuts exactly into libthai's cells: Thai, printable ASCII and line feeds, with every
// Thai mark after a Thai letter. Each ASCII unit is a character of its own either way; a mark
// after anything else would fall into a run of another script, where other rules join it.
bool isPlainThai(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (isThaiUnit(u)) {
            if (!opensThaiCell(u) && (i == 0 || !isThaiUnit(text[i - 1].unicode())))
                return false;
        } else if (u != u'\n' && (u < 0x20 || u > 0x7E)) {
            return false;
        }
    }
    return true;
}

// libthai's cell finder, loaded with the first Thai counted; null where the library is missing,
// and then Qt, which loads the same library, cuts Thai by the Unicode rules as well.
decltype(&th_next_cell) thaiNextCell()
{
    static const auto nextCell = [] {
        decltype(&th_next_cell) function = nullptr;
        RuntimeModule::system(THAI_SONAME).resolve(function, "th_next_cell");
        return function;
    }();
    return nextCell;
}

template <typename Visit>
void forEachThaiCellEnd(QStringView text, qsizetype offset, Visit &visit)
{
    const auto nextCell = thaiNextCell();
    std::vector<thchar_t> tis(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        tis[size_t(i)] = thchar_t(u < 0x80 ? u : u - 0x0E00 + 0xA0);
    }
    thcell_t cell;
    for (size_t at = 0; at < tis.size();) {
        at += std::max<size_t>(nextCell(tis.data() + at, tis.size() - at, &cell, 1), 1);
        visit(offset + qsizetype(at));
    }
}

template <typename Visit>
void visitCharacterEnds(QStringView text, Visit &&visit)
{
    // A Thai letter after white space always begins a character, so the text is cut there and
    // only the pieces that are not plain Thai go through Qt's finder.
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start + 1;
        while (end < text.size()
               && !(opensThaiCell(text[end].unicode()) && text[end - 1].isSpace()))
            ++end;
        const QStringView piece = text.sliced(start, end - start);
        if (isSimpleText(piece)) {
            for (qsizetype at = start + 1; at <= end; ++at)
                visit(at);
        } else if (isPlainThai(piece) && thaiNextCell()) {
            forEachThaiCellEnd(piece, start, visit);
        } else {
            QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, piece.data(),
                                          piece.size());
            for (qsizetype at = graphemes.toNextBoundary(); at != -1;
                 at = graphemes.toNextBoundary())
                visit(start + at);
        }
        start = end;
    }
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

void appendPieceWords(QStringView piece, QStringList &words)
{
    if (!containsCJK(piece)) {
        words.append(piece.toString());
        return;
    }
    qsizetype runStart = 0;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, piece.data(), piece.size());
    qsizetype start = 0;
    for (qsizetype end = graphemes.toNextBoundary(); end != -1; end = graphemes.toNextBoundary()) {
        const QStringView character = piece.sliced(start, end - start);
        if (isCJKScalar(firstScalar(character))) {
            if (start > runStart)
                words.append(piece.sliced(runStart, start - runStart).toString());
            words.append(character.toString());
            runStart = end;
        }
        start = end;
    }
    if (piece.size() > runStart)
        words.append(piece.sliced(runStart).toString());
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

void appendCharacterEnds(QStringView text, std::vector<qsizetype> &ends)
{
    visitCharacterEnds(text, [&ends](qsizetype end) { ends.push_back(end); });
}

int characterCount(QStringView text)
{
    if (isSimpleText(text))
        return int(text.size());
    int count = 0;
    visitCharacterEnds(text, [&count](qsizetype) { ++count; });
    return count;
}

QStringList tokenizeLine(QStringView text)
{
    // A line feed is whitespace as well, so splitting at whitespace covers it.
    QStringList words;
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
        QStringList tokens = tokenizeLine(text.sliced(lineStart, lineEnd - lineStart));
        if (!script.words.isEmpty() && !tokens.isEmpty())
            script.lineBreaks.insert(int(script.words.size()));
        script.words.append(std::move(tokens));
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
        if (i + 1 < count && lineBreaks.contains(i + 1))
            closing = -1;
        if (word.endsWith(u']'))
            closing = i;
        if (word.startsWith(u'[') && closing >= i) {
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
    m_starts.reserve(words.size() + 1);
    m_letterCounts.reserve(words.size());
    const QString text = words.join(u' ');
    if (isSimpleText(text)) {
        for (const QString &word : words) {
            m_starts.append(m_starts.last() + word.size() + 1);
            m_letterCounts.append(int(std::count_if(word.cbegin(), word.cend(),
                                                    [](QChar c) { return c.isLetterOrNumber(); })));
        }
        m_totalCharCount = int(text.size());
        return;
    }
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
