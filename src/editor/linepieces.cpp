#include "linepieces.h"

#include "settings/characterends.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
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

DocumentLayout::DocumentLayout(QTextDocument *document)
    : QPlainTextDocumentLayout(document)
{}

QRectF DocumentLayout::blockBoundingRect(const QTextBlock &block) const
{
    // Laid out here when it was not; Qt lays a piece out in its own direction, which this
    // layout then notes in the piece's option, or lays it out again in its line's.
    const QRectF rect = QPlainTextDocumentLayout::blockBoundingRect(block);
    if (!block.isValid() || !continuesLine(block)
        || block.layout()->textOption().textDirection() != Qt::LayoutDirectionAuto)
        return rect;
    layOut(block, lineDirection(block));
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void DocumentLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
    // A change can turn the pieces after it: by editing a line's first piece, by breaking a line
    // inside it, or by joining a line to one that reads the other way.
    const int end = from + charsAdded;
    for (QTextBlock block = document()->findBlock(from);
         block.isValid() && block.position() <= end;) {
        const Qt::LayoutDirection direction
            = continuesLine(block) ? lineDirection(block) : block.textDirection();
        for (block = block.next(); block.isValid() && continuesLine(block); block = block.next()) {
            const Qt::LayoutDirection laidOut = block.layout()->textOption().textDirection();
            if (laidOut != Qt::LayoutDirectionAuto && laidOut != direction)
                layOut(block, direction);
        }
    }
}

Qt::LayoutDirection DocumentLayout::lineDirection(QTextBlock block) const
{
    // The piece before usually knows it already.
    while (continuesLine(block) && block.previous().isValid()) {
        block = block.previous();
        const Qt::LayoutDirection laidOut = block.layout()->textOption().textDirection();
        if (continuesLine(block) && laidOut != Qt::LayoutDirectionAuto)
            return laidOut;
    }
    return block.textDirection();
}

void DocumentLayout::layOut(const QTextBlock &block, Qt::LayoutDirection direction) const
{
    QTextLayout *layout = block.layout();
    const bool inItsOwnDirection = layout->textOption().textDirection() == Qt::LayoutDirectionAuto
                                   && block.textDirection() == direction;
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(direction);
    layout->setTextOption(option);
    // Lines that Qt made in the line's direction stay, and a piece not laid out yet is laid out
    // by Qt again.
    if (inItsOwnDirection || layout->lineCount() == 0)
        return;
    // The lines as QPlainTextDocumentLayout makes them, as wide as it made them.
    const qreal margin = document()->documentMargin();
    const qreal width = layout->lineAt(0).width();
    qreal height = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(width);
        line.setPosition(QPointF(margin, height));
        height += line.height();
        if (line.leading() < 0)
            height += std::ceil(line.leading());
    }
    layout->endLayout();
    if (layout->lineCount() != block.lineCount()) {
        QTextBlock(block).setLineCount(layout->lineCount());
        Q_EMIT const_cast<DocumentLayout *>(this)->documentSizeChanged(documentSize());
    }
}

} // namespace LinePieces
