#include "linepieces.h"

#include "settings/tokenizer.h"

#include <QTextBlock>
#include <QTextBlockFormat>

#include <algorithm>
#include <vector>

namespace LinePieces {

namespace {

constexpr int continuationProperty = QTextFormat::UserProperty + 1;

// How many units a piece starting at `start` may hold: pieceLength, or fewer where as many would
// hold more than astralPieceLength characters beyond U+FFFF.
int pieceReach(QStringView line, int start)
{
    const int end = int(std::min<qsizetype>(line.size(), start + pieceLength));
    int astral = 0;
    for (int i = start; i < end; ++i) {
        if (line[i].isHighSurrogate() && ++astral > astralPieceLength)
            return i - start;
    }
    return end - start;
}

// The ends of the characters of `rest` up to one that ends at or past `reach`. Counted as the
// reading area counts them, over the piece and a margin past it: Qt's finder would run libthai's
// word dictionary over the whole line, in more than linear time.
void characterEnds(QStringView rest, int reach, std::vector<qsizetype> &ends)
{
    for (qsizetype window = reach + 64;; window *= 2) {
        window = std::min(window, rest.size());
        ends.clear();
        appendCharacterEnds(rest.first(window), ends);
        // The window's end may cut a character of the line; an end before it is the line's.
        if (window == rest.size() || (ends.size() > 1 && ends[ends.size() - 2] >= reach))
            return;
    }
}

// A break for the piece at the start of `rest`, which may hold `reach` units: the last fitting
// place of the best kind.
int pieceEnd(QStringView rest, int reach, std::vector<qsizetype> &ends)
{
    characterEnds(rest, reach, ends);
    const auto endsAt
        = [&ends](qsizetype at) { return std::binary_search(ends.cbegin(), ends.cend(), at); };
    int spaceOutsideCue = -1;
    int space = -1;
    bool inCue = false;
    for (int i = 0; i < reach; ++i) {
        const QChar c = rest[i];
        if (c == u'[')
            inCue = true;
        else if (c == u']')
            inCue = false;
        // After a space, unless a combining mark clings to the space.
        if (c == u' ' && i >= reach / 2 && endsAt(i + 1)) {
            space = i + 1;
            if (!inCue)
                spaceOutsideCue = i + 1;
        }
    }
    if (spaceOutsideCue > 0)
        return spaceOutsideCue;
    if (space > 0)
        return space;
    // The last character that fits; one character longer than a piece stays whole.
    const auto after = std::lower_bound(ends.cbegin(), ends.cend(), qsizetype(reach));
    if (*after == reach || after == ends.cbegin())
        return int(*after);
    return int(*(after - 1));
}

} // namespace

bool isLong(QStringView line)
{
    if (line.size() > maxLineLength)
        return true;
    if (line.size() <= 2 * astralPieceLength)
        return false;
    return std::count_if(line.cbegin(), line.cend(), [](QChar c) { return c.isHighSurrogate(); })
           > 2 * astralPieceLength;
}

QList<int> breaksIn(QStringView line)
{
    QList<int> breaks;
    if (!isLong(line))
        return breaks;
    std::vector<qsizetype> ends;
    int start = 0;
    for (int reach = pieceReach(line, 0); reach < line.size() - start;
         reach = pieceReach(line, start)) {
        start += pieceEnd(line.sliced(start), reach, ends);
        if (start >= line.size())
            break;
        breaks.append(start);
    }
    return breaks;
}

QTextBlockFormat continuationFormat()
{
    QTextBlockFormat format;
    format.setProperty(continuationProperty, true);
    return format;
}

bool continuesLine(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(continuationProperty);
}

} // namespace LinePieces
