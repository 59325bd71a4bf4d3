#include "linepieces.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>

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
    // A change to a line's first piece can turn the whole line.
    const QTextBlock first = document()->findBlock(from);
    if (continuesLine(first))
        return;
    const Qt::LayoutDirection direction = first.textDirection();
    for (QTextBlock piece = first.next(); piece.isValid() && continuesLine(piece);
         piece = piece.next()) {
        const Qt::LayoutDirection laidOut = piece.layout()->textOption().textDirection();
        if (laidOut != Qt::LayoutDirectionAuto && laidOut != direction)
            layOut(piece, direction);
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
