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
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace {

const QString bullet = QStringLiteral("•");

// A word's direction as the bidirectional algorithm sees it: its first strong character, or
// without one the kind of number it holds, or nothing.
enum class WordDirection : quint8 {
    neutral,
    leftToRight,
    rightToLeft,
    europeanNumber,
    arabicNumber
};

WordDirection wordDirection(QStringView word)
{
    WordDirection number = WordDirection::neutral;
    for (qsizetype i = 0; i < word.size(); ++i) {
        char32_t scalar = word[i].unicode();
        if (word[i].isHighSurrogate() && i + 1 < word.size() && word[i + 1].isLowSurrogate()) {
            scalar = QChar::surrogateToUcs4(word[i], word[i + 1]);
            ++i;
        }
        switch (QChar::direction(scalar)) {
        case QChar::DirL:
            return WordDirection::leftToRight;
        case QChar::DirR:
        case QChar::DirAL:
            return WordDirection::rightToLeft;
        case QChar::DirEN:
            if (number == WordDirection::neutral)
                number = WordDirection::europeanNumber;
            break;
        case QChar::DirAN:
            if (number == WordDirection::neutral)
                number = WordDirection::arabicNumber;
            break;
        default:
            break;
        }
    }
    return number;
}

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
    const QList<bool> inCue = cueWords(m_words, m_lineBreaks);

    m_items.clear();
    m_items.reserve(m_words.size());
    for (int i = 0; i < m_words.size(); ++i) {
        WordItem item;
        item.id = i;
        // The stored word is counted; what is laid out and painted is its display form.
        item.word = DisplayText::shown(m_words[i]);
        item.charOffset = m_offsets.charOffset(i);
        item.length = m_offsets.length(i);
        item.letterCount = m_offsets.letterCount(i);
        item.isAnnotation = inCue[i] || item.letterCount == 0;
        item.shownUnits = int(item.word.size());
        m_items.append(std::move(item));
    }
    m_wordWidths = QList<qreal>(m_items.size(), -1);
    resolveLevels();
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
    }
    const int count = int(m_items.size());
    while (m_nextItem < count && !enough()) {
        const int i = m_nextItem;
        WordItem &item = m_items[i];
        item.width = wordWidth(item) + m_spaceWidth;
        const bool lineIsEmpty = m_lineStarts.last() == i;
        const bool scriptLineStarts = m_lineBreaks.contains(i) && !lineIsEmpty;
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

void WordFlowLayout::resolveLevels()
{
    const int count = int(m_items.size());
    m_paragraphLevels = QList<quint8>(count, 0);
    m_readsLeftToRight = QList<bool>(count, true);
    QList<WordDirection> directions;
    directions.reserve(count);
    m_hasRightToLeft = false;
    for (const WordItem &item : std::as_const(m_items)) {
        directions.append(wordDirection(item.word));
        m_hasRightToLeft = m_hasRightToLeft || directions.last() == WordDirection::rightToLeft
                           || directions.last() == WordDirection::arabicNumber;
    }
    if (!m_hasRightToLeft)
        return;

    using enum WordDirection;
    for (int first = 0; first < count;) {
        int end = first + 1;
        while (end < count && !m_lineBreaks.contains(end))
            ++end;
        const auto strong
            = std::find_if(directions.cbegin() + first, directions.cbegin() + end,
                           [](WordDirection d) { return d == leftToRight || d == rightToLeft; });
        const quint8 base = strong != directions.cbegin() + end && *strong == rightToLeft ? 1 : 0;
        const WordDirection embedding = base == 1 ? rightToLeft : leftToRight;

        // A number after left-to-right text (or at the start of a left-to-right paragraph) is
        // part of it; numbers otherwise count as right to left for the words around them.
        QList<WordDirection> resolved(directions.cbegin() + first, directions.cbegin() + end);
        WordDirection lastStrong = embedding;
        for (WordDirection &d : resolved) {
            if (d == leftToRight || d == rightToLeft)
                lastStrong = d;
            else if (d == europeanNumber && lastStrong == leftToRight)
                d = leftToRight;
        }
        const auto side = [](WordDirection d) {
            return d == neutral ? neutral : d == leftToRight ? leftToRight : rightToLeft;
        };
        // Words without a direction take that of their neighbours when both agree, else the
        // paragraph's.
        for (qsizetype k = 0; k < resolved.size();) {
            if (resolved[k] != neutral) {
                ++k;
                continue;
            }
            qsizetype runEnd = k;
            while (runEnd < resolved.size() && resolved[runEnd] == neutral)
                ++runEnd;
            const WordDirection before = k > 0 ? side(resolved[k - 1]) : embedding;
            const WordDirection after
                = runEnd < resolved.size() ? side(resolved[runEnd]) : embedding;
            const WordDirection taken = before == after ? before : embedding;
            for (; k < runEnd; ++k)
                resolved[k] = taken;
        }
        for (qsizetype k = 0; k < resolved.size(); ++k) {
            quint8 level = 2; // a number
            if (resolved[k] == leftToRight)
                level = base == 1 ? 2 : 0;
            else if (resolved[k] == rightToLeft)
                level = 1;
            m_items[first + k].level = level;
            m_paragraphLevels[first + k] = base;
            m_readsLeftToRight[first + k] = resolved[k] == leftToRight;
        }
        first = end;
    }
}

void WordFlowLayout::placeLine(int line) const
{
    const int first = m_lineStarts[line];
    const int end = m_nextItem;
    if (first == end)
        return;
    // The line as the algorithm sees it: each word, then the space after it, which reads with
    // the words beside it when they agree and with the paragraph otherwise. Words are kept as
    // i + 1, spaces as -1.
    const quint8 base = m_paragraphLevels[first];
    QVarLengthArray<int, 128> order;
    QVarLengthArray<int, 128> levels;
    for (int i = first; i < end; ++i) {
        order.append(i + 1);
        levels.append(m_items[i].level);
        int spaceLevel = base;
        if (i + 1 < end && m_readsLeftToRight[i] == m_readsLeftToRight[i + 1])
            spaceLevel = m_readsLeftToRight[i] ? (base == 1 ? 2 : 0) : 1;
        order.append(-1);
        levels.append(spaceLevel);
    }
    const int highest = *std::max_element(levels.cbegin(), levels.cend());
    int lowestOdd = 255;
    for (int level : levels) {
        if (level % 2 == 1)
            lowestOdd = std::min(lowestOdd, level);
    }
    // From the highest level down to the lowest odd one, every run at that level or above is
    // reversed: right-to-left runs read backwards, the runs nested in them forwards again.
    for (int level = highest; level >= lowestOdd; --level) {
        for (qsizetype k = 0; k < order.size();) {
            if (levels[k] < level) {
                ++k;
                continue;
            }
            qsizetype runEnd = k;
            while (runEnd < order.size() && levels[runEnd] >= level)
                ++runEnd;
            std::reverse(order.begin() + k, order.begin() + runEnd);
            std::reverse(levels.begin() + k, levels.begin() + runEnd);
            k = runEnd;
        }
    }
    // One space between two neighbours whatever their directions, the last one at the end the
    // paragraph reads towards.
    qreal x = base == 1 ? m_width - m_lineX : 0;
    for (int element : order) {
        if (element < 0)
            continue;
        WordItem &item = m_items[element - 1];
        item.x = x;
        item.spaceOnLeft = base == 1;
        x += item.width;
    }
    // A word the line cannot hold shows its start, on the side it is read from.
    WordItem &only = m_items[first];
    if (end - first == 1 && only.width > m_width) {
        only.spaceOnLeft = only.isRightToLeft();
        only.x = only.isRightToLeft() ? m_width - m_lineX : 0;
    }
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
    return line + 1 < m_lineStarts.size() ? m_lineStarts.at(line + 1) : int(m_items.size());
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
    return m_items.isEmpty() ? 0 : wordCenterY(int(m_items.size()) - 1);
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
    if (m_items.isEmpty())
        return 0;
    const auto it = std::lower_bound(
        m_items.cbegin(), m_items.cend(), charCount,
        [](const WordItem &item, int count) { return item.charOffset + item.length < count; });
    return it == m_items.cend() ? int(m_items.size()) - 1 : int(it - m_items.cbegin());
}

double WordFlowLayout::wordProgressAtY(qreal y) const
{
    // Word centres never decrease with the index, so the bracketing pair is found by search
    // among the words laid out down to y: the first word below it is one of them.
    fillDownTo(y);
    const int count = m_complete ? int(m_items.size()) : m_closedEnd;
    int low = 0, high = count;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (wordCenterY(mid) < y)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == int(m_items.size()))
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

int WordFlowLayout::wordAt(QPointF point) const
{
    const int line = firstLineBelow(point.y());
    if (line >= closedLineCount() || point.y() < m_lineTops[line] + m_linePaddings[line])
        return -1;
    const int end = lineEndItem(line);
    for (int i = m_lineStarts[line]; i < end; ++i) {
        const WordItem &item = m_items[i];
        if (point.x() >= item.x && point.x() < item.x + item.width)
            return i;
    }
    return -1;
}

void WordFlowLayout::paint(QPainter &painter, qreal top, qreal height, int highlightedCharCount,
                           const WordStyle &style) const
{
    if (m_items.isEmpty())
        return;
    fillDownTo(top + height);
    const int firstLine = firstLineBelow(top);
    const int lines = closedLineCount();
    QColor dimmed = style.highlightColor;
    dimmed.setAlphaF(dimmed.alphaF() * 0.3f);
    QColor cueUnread = style.cueColor;
    cueUnread.setAlphaF(float(style.cueUnreadOpacity));
    QColor cueRead = style.cueColor;
    cueRead.setAlphaF(float(style.cueReadOpacity));

    const Qt::LayoutDirection direction = painter.layoutDirection();
    for (int line = firstLine; line < lines && m_lineTops[line] < top + height; ++line) {
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
            // Each word reads in its own direction.
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
