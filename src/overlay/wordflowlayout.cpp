#include "wordflowlayout.h"

#include "platform/fonts.h"
#include "settings/displaytext.h"
#include "settings/palette.h"
#include "settings/presets.h"
#include "settings/tokenizer.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace {

const QString bullet = QStringLiteral("•");

bool isLetterOrNumber(QStringView character)
{
    const char32_t scalar = character.size() > 1 && character[0].isHighSurrogate()
                                ? QChar::surrogateToUcs4(character[0], character[1])
                                : character[0].unicode();
    return QChar::isLetterOrNumber(scalar);
}

// Counts the letters and numbers among the word's characters (by their first scalar).
int letterOrNumberCount(const QString &word, int length)
{
    if (length == word.size()) {
        int count = 0;
        for (QChar c : word)
            count += c.isLetterOrNumber() ? 1 : 0;
        return count;
    }
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, word);
    int count = 0;
    qsizetype start = 0;
    for (qsizetype end = graphemes.toNextBoundary(); end != -1; end = graphemes.toNextBoundary()) {
        count += isLetterOrNumber(QStringView(word).sliced(start, end - start)) ? 1 : 0;
        start = end;
    }
    return count;
}

} // namespace

bool WordFlowLayout::isRead(const WordItem &item, int highlightedCharCount)
{
    const int reach = std::min(highlightedCharCount - item.charOffset, item.length);
    if (item.letterCount == 0)
        return reach > 0;
    return reach >= item.letterCount;
}

void WordFlowLayout::setContent(const QStringList &words, const QSet<int> &lineBreaks)
{
    if (words == m_words && lineBreaks == m_lineBreaks)
        return;
    m_words = words;
    m_lineBreaks = lineBreaks;
    m_valid = false;
}

void WordFlowLayout::setFont(const QFont &font)
{
    if (font == m_font)
        return;
    m_font = font;
    m_italicFont = font;
    m_italicFont.setItalic(true);
    m_valid = false;
}

void WordFlowLayout::setWidth(qreal width)
{
    const int whole = std::isfinite(width) ? int(std::max<qreal>(0, width)) : 0;
    if (whole == m_width)
        return;
    m_width = whole;
    m_valid = false;
}

void WordFlowLayout::ensureLayout()
{
    if (!m_valid)
        layout();
}

void WordFlowLayout::layout()
{
    m_valid = true;
    const QFontMetricsF metrics(m_font);
    m_pointSize = Fonts::pixelSize(m_font);
    m_ascent = metrics.ascent();
    m_textHeight = metrics.ascent() + metrics.descent();
    const qreal natural = metrics.ascent() + metrics.descent() + metrics.leading();
    m_naturalHeight = std::ceil(natural);
    // Tall designs (the dyslexia face) already carry their own air between lines.
    m_lineSpacing = m_pointSize > 0 && natural / m_pointSize > 1.5 ? 2 : 8;
    const qreal spaceWidth = metrics.horizontalAdvance(QStringLiteral(" "));

    m_items.clear();
    m_items.reserve(m_words.size());
    m_lineStarts = {0};
    m_lineTops = {0};
    m_linePaddings = {0};

    const QList<bool> inCue = cueWords(m_words, m_lineBreaks);

    // Scripts repeat their words; measure each distinct one once.
    QHash<QString, qreal> widths;
    int offset = 0;
    qreal x = 0;
    for (int i = 0; i < m_words.size(); ++i) {
        const QString &word = m_words[i];
        WordItem item;
        item.id = i;
        // The stored word is counted; what is laid out and painted is its display form.
        item.word = DisplayText::shown(word);
        item.charOffset = offset;
        item.length = characterCount(word);
        item.letterCount = letterOrNumberCount(word, item.length);
        item.isAnnotation = inCue[i] || item.letterCount == 0;
        offset += item.length + 1;

        auto measured = widths.constFind(word);
        if (measured == widths.cend())
            measured = widths.insert(word, metrics.horizontalAdvance(item.word));
        item.width = *measured + spaceWidth;

        const bool lineIsEmpty = m_lineStarts.last() == m_items.size();
        const bool scriptLineStarts = m_lineBreaks.contains(i) && !lineIsEmpty;
        if (scriptLineStarts || (x + item.width > m_width && !lineIsEmpty)) {
            const qreal previousBottom
                = m_lineTops.last() + m_linePaddings.last() + m_naturalHeight;
            const qreal padding = scriptLineStarts ? (word == bullet ? 4 : 8) : 0;
            m_lineStarts.append(int(m_items.size()));
            m_lineTops.append(previousBottom + m_lineSpacing);
            m_linePaddings.append(padding);
            x = 0;
        }
        item.x = x;
        item.line = int(m_lineStarts.size()) - 1;
        x += item.width;
        m_items.append(std::move(item));
    }
}

int WordFlowLayout::lineFirstItem(int line) const
{
    return m_lineStarts.at(line);
}

int WordFlowLayout::lineEndItem(int line) const
{
    return line + 1 < m_lineStarts.size() ? m_lineStarts.at(line + 1) : int(m_items.size());
}

qreal WordFlowLayout::lineTop(int line) const
{
    return m_lineTops.at(line);
}

qreal WordFlowLayout::lineTopPadding(int line) const
{
    return m_linePaddings.at(line);
}

qreal WordFlowLayout::wordCenterY(int index) const
{
    const int line = m_items.at(index).line;
    return m_lineTops.at(line) + m_linePaddings.at(line) + m_naturalHeight / 2;
}

qreal WordFlowLayout::maxWordCenterY() const
{
    return m_items.isEmpty() ? 0 : wordCenterY(int(m_items.size()) - 1);
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
    const int count = int(m_items.size());
    // Word centres never decrease with the index, so the bracketing pair is found by search.
    int low = 0, high = count;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (wordCenterY(mid) < y)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == count)
        return count - 1;
    if (low == 0)
        return 0;
    const qreal before = wordCenterY(low - 1);
    const qreal after = wordCenterY(low);
    return (low - 1) + (after > before ? (y - before) / (after - before) : 0.0);
}

int WordFlowLayout::firstLineBelow(qreal y) const
{
    // The first line whose bottom lies below y.
    int low = 0, high = int(m_lineTops.size());
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
    if (line >= m_lineTops.size() || point.y() < m_lineTops[line] + m_linePaddings[line])
        return -1;
    for (int i = lineFirstItem(line); i < lineEndItem(line); ++i) {
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
    const int firstLine = firstLineBelow(top);
    QColor dimmed = style.highlightColor;
    dimmed.setAlphaF(dimmed.alphaF() * 0.3f);
    QColor cueUnread = style.cueColor;
    cueUnread.setAlphaF(float(style.cueUnreadOpacity));
    QColor cueRead = style.cueColor;
    cueRead.setAlphaF(float(style.cueReadOpacity));

    for (int line = firstLine; line < m_lineTops.size() && m_lineTops[line] < top + height;
         ++line) {
        const qreal baseline = m_lineTops[line] + m_linePaddings[line]
                               + (m_naturalHeight - m_textHeight) / 2 + m_ascent - top;
        for (int i = lineFirstItem(line); i < lineEndItem(line); ++i) {
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
            painter.drawText(QPointF(item.x, baseline), item.word);
        }
    }
}
