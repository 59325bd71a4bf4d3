#include "linepieces.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextBoundaryFinder>

namespace LinePieces {

namespace {

constexpr int continuationProperty = QTextFormat::UserProperty + 1;

// A break for the piece that starts at `start`: the last fitting place of the best kind.
int pieceEnd(QStringView line, int start, QTextBoundaryFinder &graphemes)
{
    const int end = start + pieceLength;
    int spaceOutsideCue = -1;
    int space = -1;
    bool inCue = false;
    for (int i = start; i < end; ++i) {
        const QChar c = line[i];
        if (c == u'[')
            inCue = true;
        else if (c == u']')
            inCue = false;
        // After a space, unless a combining mark clings to the space.
        if (c == u' ' && i >= start + pieceLength / 2) {
            graphemes.setPosition(i + 1);
            if (graphemes.isAtBoundary()) {
                space = i + 1;
                if (!inCue)
                    spaceOutsideCue = i + 1;
            }
        }
    }
    if (spaceOutsideCue > 0)
        return spaceOutsideCue;
    if (space > 0)
        return space;
    graphemes.setPosition(end);
    if (graphemes.isAtBoundary())
        return end;
    const int before = int(graphemes.toPreviousBoundary());
    if (before > start)
        return before;
    // One character longer than a piece: it stays whole.
    graphemes.setPosition(end);
    return int(graphemes.toNextBoundary());
}

} // namespace

QList<int> breaksIn(QStringView line)
{
    QList<int> breaks;
    if (line.size() <= maxLineLength)
        return breaks;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line);
    int start = 0;
    while (line.size() - start > pieceLength) {
        start = pieceEnd(line, start, graphemes);
        if (start <= 0 || start >= line.size())
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
