#include "wordflowlayout.h"

#include "platform/fonts.h"
#include "settings/displaytext.h"
#include "settings/palette.h"
#include "settings/presets.h"
#include "settings/tokenizer.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace {

const QString bullet = QStringLiteral("•");

// The first units of a word up to a cluster boundary at or after `units`. Clusters of the
// display form are short, so the boundary is found in a short stretch past `units`.
qsizetype clusterEnd(const QString &word, qsizetype units)
{
    if (units >= word.size())
        return word.size();
    const qsizetype scanned
        = std::min(word.size(), units + 2 * qsizetype(DisplayText::maximumClusterLength) + 2);
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, word.constData(), scanned);
    graphemes.setPosition(units);
    if (graphemes.isAtBoundary())
        return units;
    const qsizetype next = graphemes.toNextBoundary();
    return next == -1 ? scanned : next;
}

} // namespace

bool WordFlowLayout::isRead(const WordItem &item, int highlightedCharCount)
{
    const int reach = std::min(highlightedCharCount - item.charOffset, item.length);
    if (item.letterCount == 0)
        return reach > 0;
    return reach >= item.letterCount;
}

void WordFlowLayout::setContent(const QStringList &words, const QSet<int> &lineBreaks,
                                const WordCharOffsets &offsets)
{
    if (words == m_words && lineBreaks == m_lineBreaks)
        return;
    m_words = words;
    m_lineBreaks = lineBreaks;
    m_offsets = offsets;
    m_itemsValid = false;
    m_items.clear();
    m_linesValid = false;
}

void WordFlowLayout::setFont(const QFont &font)
{
    if (font == m_font)
        return;
    m_font = font;
    m_italicFont = font;
    m_italicFont.setItalic(true);
    m_itemsValid = false;
}

void WordFlowLayout::setWidth(qreal width)
{
    const int whole = std::isfinite(width) ? int(std::max<qreal>(0, width)) : 0;
    if (whole == m_width)
        return;
    m_width = whole;
    m_linesValid = false;
}

void WordFlowLayout::ensureLayout()
{
    if (!m_itemsValid)
        measureWords();
    fill([] { return false; });
}

bool WordFlowLayout::layoutFor(qint64 budgetNs)
{
    if (!m_itemsValid)
        measureWords();
    QElapsedTimer clock;
    clock.start();
    int placed = 0;
    // The clock is read now and then: reading it costs more than placing a word.
    fill([&] { return ++placed % 64 == 0 && clock.nsecsElapsed() >= budgetNs; });
    return m_complete;
}

qreal WordFlowLayout::measure(const QString &text) const
{
    m_measuredUnits += text.size();
    return QFontMetricsF(m_font).horizontalAdvance(text);
}

void WordFlowLayout::measureWords()
{
    m_itemsValid = true;
    m_linesValid = false;
    m_measuredUnits = 0;
    m_widthsByWord.clear();
    m_widthsByCharacter.clear();
    m_prefixes.clear();
    const QFontMetricsF metrics(m_font);
    m_pointSize = Fonts::pixelSize(m_font);
    m_ascent = metrics.ascent();
    m_textHeight = metrics.ascent() + metrics.descent();
    const qreal natural = metrics.ascent() + metrics.descent() + metrics.leading();
    m_naturalHeight = std::ceil(natural);
    // Tall designs (the dyslexia face) already carry their own air between lines.
    m_lineSpacing = m_pointSize > 0 && natural / m_pointSize > 1.5 ? 2 : 8;
    m_spaceWidth = measure(QStringLiteral(" "));

    if (m_offsets.wordCount() != m_words.size())
        m_offsets = WordCharOffsets(m_words);
    m_inCue = cueWords(m_words, m_lineBreaks);
    m_breaks = QList<int>(m_lineBreaks.cbegin(), m_lineBreaks.cend());
    std::sort(m_breaks.begin(), m_breaks.end());

    // Items are made as lines reach them, so that the first screen of a long page does not wait
    // for its last word. Directions need every word, but only a page with right-to-left text
    // has any to resolve.
    m_items.clear();
    m_items.reserve(m_words.size());
    m_wordWidths.clear();
    m_wordWidths.reserve(m_words.size());
    m_hasRightToLeft = false;
    if (std::any_of(m_words.cbegin(), m_words.cend(), mayHoldRightToLeft)) {
        makeItemsThrough(wordCount() - 1);
        resolveLevels();
    }
}

void WordFlowLayout::makeItemsThrough(int last) const
{
    if (!m_itemsValid)
        return;
    for (int i = int(m_items.size()); i <= last; ++i) {
        WordItem item;
        item.id = i;
        // The stored word is counted; what is laid out and painted is its display form, which
        // differs only for a word longer than a cluster may be.
        const QString &word = m_words.at(i);
        if (word.size() > DisplayText::maximumClusterLength)
            item.word = DisplayText::shown(word);
        else
            item.word = word;
        item.charOffset = m_offsets.charOffset(i);
        item.length = m_offsets.length(i);
        item.letterCount = m_offsets.letterCount(i);
        item.isAnnotation = m_inCue[i] || item.letterCount == 0;
        item.shownUnits = int(item.word.size());
        m_items.append(std::move(item));
        m_wordWidths.append(-1);
    }
}

const QList<WordItem> &WordFlowLayout::items() const
{
    makeItemsThrough(wordCount() - 1);
    return m_items;
}

const WordItem &WordFlowLayout::item(int index) const
{
    makeItemsThrough(index);
    return m_items.at(index);
}

qreal WordFlowLayout::wordWidth(WordItem &item) const
{
    qreal &known = m_wordWidths[item.id];
    if (known >= 0)
        return known;
    const QString &word = item.word;
    if (word.size() > longWordUnits)
        return measureLong(item);
    // Scripts repeat their words, and Chinese and Japanese pages are words of one character:
    // each distinct one is measured once.
    const bool oneScalar
        = word.size() == 1
          || (word.size() == 2 && word[0].isHighSurrogate() && word[1].isLowSurrogate());
    if (oneScalar) {
        const char32_t scalar
            = word.size() == 1 ? word[0].unicode() : QChar::surrogateToUcs4(word[0], word[1]);
        auto measured = m_widthsByCharacter.constFind(scalar);
        if (measured == m_widthsByCharacter.cend())
            measured = m_widthsByCharacter.insert(scalar, measure(word));
        known = *measured;
    } else {
        auto measured = m_widthsByWord.constFind(word);
        if (measured == m_widthsByWord.cend())
            measured = m_widthsByWord.insert(word, measure(word));
        known = *measured;
    }
    return known;
}

qreal WordFlowLayout::measureLong(WordItem &item) const
{
    const QString &word = item.word;
    Prefix &prefix = m_prefixes[item.id];
    if (prefix.units == 0 || prefix.width <= m_width) {
        qsizetype units = prefix.units == 0 ? longWordUnits : prefix.units * 2;
        for (;;) {
            const qsizetype end = clusterEnd(word, units);
            prefix = {end, measure(word.left(end))};
            if (prefix.width > m_width || end == word.size())
                break;
            units = end * 2;
        }
    }
    item.shownUnits = int(prefix.units);
    if (prefix.units == word.size())
        m_wordWidths[item.id] = prefix.width;
    return prefix.width;
}

qreal WordFlowLayout::pieceWidth(const WordItem &item, WordPiece &piece) const
{
    if (piece.width < 0) {
        const QString text = item.word.sliced(piece.start, piece.length);
        auto measured = m_widthsByWord.constFind(text);
        if (measured == m_widthsByWord.cend())
            measured = m_widthsByWord.insert(text, measure(text));
        piece.width = *measured;
    }
    return piece.width;
}

template <typename Enough>
void WordFlowLayout::fill(Enough enough) const
{
    if (!m_linesValid) {
        m_linesValid = true;
        m_lineStarts = {0};
        m_lineTops = {0};
        m_linePaddings = {0};
        m_nextItem = 0;
        m_closedEnd = 0;
        m_lineX = 0;
        m_complete = false;
        m_nextBreak = 0;
    }
    const int count = itemCount();
    while (m_nextItem < count && !enough()) {
        const int i = m_nextItem;
        makeItemsThrough(i);
        WordItem &item = m_items[i];
        item.width = wordWidth(item) + m_spaceWidth;
        const bool lineIsEmpty = m_lineStarts.last() == i;
        while (m_nextBreak < m_breaks.size() && m_breaks[m_nextBreak] < i)
            ++m_nextBreak;
        const bool breaksHere = m_nextBreak < m_breaks.size() && m_breaks[m_nextBreak] == i;
        const bool scriptLineStarts = breaksHere && !lineIsEmpty;
        if (scriptLineStarts || (m_lineX + item.width > m_width && !lineIsEmpty)) {
            closeLine();
            const qreal previousBottom
                = m_lineTops.last() + m_linePaddings.last() + m_naturalHeight;
            const qreal padding = scriptLineStarts ? (m_words[i] == bullet ? 4 : 8) : 0;
            m_lineStarts.append(i);
            m_lineTops.append(previousBottom + m_lineSpacing);
            m_linePaddings.append(padding);
            m_lineX = 0;
        }
        item.x = m_lineX;
        item.line = int(m_lineStarts.size()) - 1;
        m_lineX += item.width;
        ++m_nextItem;
    }
    if (m_nextItem == count && !m_complete) {
        closeLine();
        m_complete = true;
    }
}

void WordFlowLayout::closeLine() const
{
    m_closedEnd = m_nextItem;
    if (m_hasRightToLeft)
        placeLine(int(m_lineStarts.size()) - 1);
}

int WordFlowLayout::closedLineCount() const
{
    return int(m_lineStarts.size()) - (m_complete ? 0 : 1);
}

void WordFlowLayout::fillThroughLine(int line) const
{
    fill([&] { return closedLineCount() > line; });
}

void WordFlowLayout::fillThroughItem(int item) const
{
    fill([&] { return m_closedEnd > item; });
}

void WordFlowLayout::fillDownTo(qreal y) const
{
    fill([&] {
        const int closed = closedLineCount();
        return closed > 0 && m_lineTops[closed - 1] > y;
    });
}

int WordFlowLayout::lineCount() const
{
    fill([] { return false; });
    return int(m_lineStarts.size());
}

int WordFlowLayout::lineFirstItem(int line) const
{
    fillThroughLine(line);
    return m_lineStarts.at(line);
}

int WordFlowLayout::lineEndItem(int line) const
{
    fillThroughLine(line);
    return line + 1 < m_lineStarts.size() ? m_lineStarts.at(line + 1) : itemCount();
}

qreal WordFlowLayout::lineTop(int line) const
{
    fillThroughLine(line);
    return m_lineTops.at(line);
}

qreal WordFlowLayout::lineTopPadding(int line) const
{
    fillThroughLine(line);
    return m_linePaddings.at(line);
}

qreal WordFlowLayout::wordCenterY(int index) const
{
    fillThroughItem(index);
    const int line = m_items.at(index).line;
    return m_lineTops.at(line) + m_linePaddings.at(line) + m_naturalHeight / 2;
}

qreal WordFlowLayout::maxWordCenterY() const
{
    return itemCount() == 0 ? 0 : wordCenterY(itemCount() - 1);
}

qreal WordFlowLayout::maxWordCenterYDownTo(qreal y) const
{
    fillDownTo(y);
    if (m_complete)
        return maxWordCenterY();
    // Filling stopped at a closed line that starts below y.
    const int line = closedLineCount() - 1;
    return m_lineTops.at(line) + m_linePaddings.at(line) + m_naturalHeight / 2;
}

int WordFlowLayout::wordIndexForCharCount(int charCount) const
{
    const int count = itemCount();
    int low = 0, high = count;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (m_offsets.charOffset(mid) + m_offsets.length(mid) < charCount)
            low = mid + 1;
        else
            high = mid;
    }
    return low == count ? std::max(count - 1, 0) : low;
}

double WordFlowLayout::wordProgressAtY(qreal y) const
{
    // Word centres never decrease with the index, so the bracketing pair is found by search
    // among the words laid out down to y: the first word below it is one of them.
    fillDownTo(y);
    const int count = m_complete ? itemCount() : m_closedEnd;
    int low = 0, high = count;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (wordCenterY(mid) < y)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == itemCount())
        return low - 1;
    if (low == 0)
        return 0;
    const qreal before = wordCenterY(low - 1);
    const qreal after = wordCenterY(low);
    return (low - 1) + (after > before ? (y - before) / (after - before) : 0.0);
}

int WordFlowLayout::firstLineBelow(qreal y) const
{
    // The first line whose bottom lies below y, among the lines laid out.
    fillDownTo(y);
    int low = 0, high = closedLineCount();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (m_lineTops[mid] + m_linePaddings[mid] + m_naturalHeight <= y)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

std::pair<int, int> WordFlowLayout::linesMeeting(qreal top, qreal height) const
{
    if (itemCount() == 0)
        return {0, 0};
    fillDownTo(top + height);
    const int first = firstLineBelow(top);
    int end = first;
    while (end < closedLineCount() && m_lineTops[end] < top + height)
        ++end;
    return {first, end};
}

int WordFlowLayout::wordAt(QPointF point) const
{
    const int line = firstLineBelow(point.y());
    if (line >= closedLineCount() || point.y() < m_lineTops[line] + m_linePaddings[line])
        return -1;
    // A word drawn in pieces takes the taps on its pieces, which may lie among other words.
    const int end = lineEndItem(line);
    int inBox = -1;
    for (int i = m_lineStarts[line]; i < end; ++i) {
        const WordItem &item = m_items[i];
        for (int k = item.firstPiece; k < item.firstPiece + item.pieceCount; ++k) {
            const WordPiece &piece = m_pieces[k];
            if (point.x() >= piece.x && point.x() < piece.x + piece.width)
                return i;
        }
        if (inBox < 0 && item.pieceCount == 0 && point.x() >= item.x
            && point.x() < item.x + item.width)
            inBox = i;
    }
    return inBox;
}

void WordFlowLayout::paint(QPainter &painter, qreal top, qreal height, int highlightedCharCount,
                           const WordStyle &style) const
{
    const auto [firstLine, endLine] = linesMeeting(top, height);
    QColor dimmed = style.highlightColor;
    dimmed.setAlphaF(dimmed.alphaF() * 0.3f);
    QColor cueUnread = style.cueColor;
    cueUnread.setAlphaF(float(style.cueUnreadOpacity));
    QColor cueRead = style.cueColor;
    cueRead.setAlphaF(float(style.cueReadOpacity));

    const Qt::LayoutDirection direction = painter.layoutDirection();
    for (int line = firstLine; line < endLine; ++line) {
        const qreal lineTop = m_lineTops[line] + m_linePaddings[line] - top;
        const qreal baseline = lineTop + (m_naturalHeight - m_textHeight) / 2 + m_ascent;
        const int end = lineEndItem(line);
        for (int i = m_lineStarts[line]; i < end; ++i) {
            const WordItem &item = m_items[i];
            const bool read = style.highlightWords && isRead(item, highlightedCharCount);
            if (item.word == bullet) {
                painter.setFont(m_font);
                painter.setPen(accentTeal()); // whatever the cue colour
            } else if (item.isAnnotation) {
                painter.setFont(m_italicFont);
                painter.setPen(read ? cueRead : cueUnread);
            } else {
                painter.setFont(m_font);
                painter.setPen(read ? dimmed : style.highlightColor);
            }
            // Each word, or each piece of one, reads in the direction of its level.
            for (int k = item.firstPiece; k < item.firstPiece + item.pieceCount; ++k) {
                const WordPiece &piece = m_pieces[k];
                painter.setLayoutDirection(piece.isRightToLeft() ? Qt::RightToLeft
                                                                 : Qt::LeftToRight);
                painter.drawText(QPointF(piece.x, baseline),
                                 item.word.sliced(piece.start, piece.length));
            }
            if (item.pieceCount > 0)
                continue;
            painter.setLayoutDirection(item.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
            const QPointF origin(item.x + (item.spaceOnLeft ? m_spaceWidth : 0), baseline);
            if (!item.isClipped()) {
                painter.drawText(origin, item.word);
                continue;
            }
            painter.save();
            painter.setClipRect(QRectF(0, lineTop - m_naturalHeight, m_width, 3 * m_naturalHeight),
                                Qt::IntersectClip);
            painter.drawText(origin, item.word.left(item.shownUnits));
            painter.restore();
        }
    }
    painter.setLayoutDirection(direction);
}
