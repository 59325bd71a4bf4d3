#include "wordflowlayout.h"

#include <QVarLengthArray>

#include <algorithm>

// Right-to-left paragraphs: each word's level, as the bidirectional algorithm resolves it with
// words as its units, and the order a line's words are placed in.

namespace {

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

} // namespace

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
