#include "highlightingtexteditor.h"

#include "editor/documentmap.h"
#include "settings/characterends.h"

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>

// The mouse, drops and pastes: wherever Qt's hit test lands, the caret and the text go to a
// cluster boundary of the stored text.

void HighlightingTextEditor::mousePressEvent(QMouseEvent *event)
{
    QPlainTextEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        keepSelectionOnClusters(event->position());
}

void HighlightingTextEditor::mouseMoveEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseMoveEvent(event);
    if (event->buttons() & Qt::LeftButton)
        keepSelectionOnClusters(event->position());
}

void HighlightingTextEditor::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes X11's primary selection where Qt's hit test lands.
    if (event->button() == Qt::MiddleButton)
        pasteAt(event->position());
    // A press inside the selection moves the caret only now, when it did not start a drag.
    QPlainTextEdit::mouseReleaseEvent(event);
    m_pasteAt.reset();
    if (event->button() == Qt::LeftButton)
        keepSelectionOnClusters(event->position());
}

void HighlightingTextEditor::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        keepSelectionOnClusters(event->position());
}

void HighlightingTextEditor::dropEvent(QDropEvent *event)
{
    pasteAt(event->position());
    QPlainTextEdit::dropEvent(event);
    m_pasteAt.reset();
}

void HighlightingTextEditor::pasteAt(QPointF point)
{
    // Qt drops and pastes where its hit test lands, which can be inside a cluster; the text goes
    // where a click would put the caret, found before a drag's text leaves the line.
    m_pasteAt = QTextCursor(document());
    m_pasteAt->setPosition(
        pointerBoundary(cursorForPosition(point.toPoint()).position(), ClusterSide::Nearer, point));
}

void HighlightingTextEditor::keepSelectionOnClusters(QPointF point)
{
    // Qt's hit test can land inside a cluster: before a cut cluster's placeholder, or between
    // the consonants of a conjunct drawn as one. Typing there would split the cluster. The caret
    // goes to the nearer boundary; a selection takes in every cluster it reaches into.
    QTextCursor cursor = textCursor();
    const int anchor = cursor.anchor();
    const int position = cursor.position();
    // Only an end where the hit test landed came from the pointer; a word or line that a double
    // or triple click selects ends elsewhere.
    const int hit = cursorForPosition(point.toPoint()).position();
    const auto snapped = [&](int end, ClusterSide side) {
        return end == hit ? pointerBoundary(hit, side, point)
                          : clusterBoundary(end, side, point.x());
    };
    const auto outward
        = [](int end, int other) { return end < other ? ClusterSide::Before : ClusterSide::After; };
    const int newAnchor = anchor == position
                              ? snapped(anchor, ClusterSide::Nearer)
                              : clusterBoundary(anchor, outward(anchor, position), 0);
    const int newPosition
        = anchor == position ? newAnchor : snapped(position, outward(position, anchor));
    if (newAnchor == anchor && newPosition == position)
        return;
    cursor.setPosition(newAnchor);
    cursor.setPosition(newPosition, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

std::pair<int, int> HighlightingTextEditor::clusterAround(int viewPosition) const
{
    // Blocks begin and end on boundaries, and a placeholder belongs to its cluster, so the
    // boundaries of a block's text are those of the text it shows.
    const QTextBlock block = document()->findBlock(viewPosition);
    const QString text = block.text();
    const int inBlock = viewPosition - block.position();
    if (inBlock <= 0 || inBlock >= text.size()
        || eachUnitIsACharacter(QStringView(text).sliced(inBlock - 1, 2)))
        return {viewPosition, viewPosition};
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    graphemes.setPosition(inBlock);
    if (graphemes.isAtBoundary())
        return {viewPosition, viewPosition};
    const qsizetype before = graphemes.toPreviousBoundary();
    graphemes.setPosition(inBlock);
    const qsizetype after = graphemes.toNextBoundary();
    if (before < 0 || after < 0)
        return {viewPosition, viewPosition};
    return {block.position() + int(before), block.position() + int(after)};
}

int HighlightingTextEditor::clusterBoundary(int viewPosition, ClusterSide side, qreal x) const
{
    const auto [before, after] = clusterAround(viewPosition);
    if (before == after)
        return viewPosition;
    if (side != ClusterSide::Nearer)
        return side == ClusterSide::Before ? before : after;
    const auto distance = [this, x](int position) {
        QTextCursor at(document());
        at.setPosition(position);
        return std::abs(cursorRect(at).x() - x);
    };
    return distance(after) < distance(before) ? after : before;
}

int HighlightingTextEditor::pointerBoundary(int hit, ClusterSide side, QPointF point) const
{
    // Over a run drawn by several glyphs, such as emoji joined by zero-width joiners, Qt's hit
    // test can land anywhere up to the word before it. What decides is the cluster drawn under
    // the pointer: the narrowest span between two neighbouring boundaries of its line.
    const QTextBlock block = document()->findBlock(hit);
    const QTextLayout *layout = block.layout();
    const QPointF at = point - blockBoundingGeometry(block).topLeft() - contentOffset();
    int lineNumber = 0;
    while (lineNumber + 1 < layout->lineCount()
           && layout->lineAt(lineNumber).rect().bottom() <= at.y())
        ++lineNumber;
    const QTextLine line = layout->lineAt(lineNumber);
    if (!line.isValid())
        return clusterBoundary(hit, side, point.x());
    const int lineStart = line.textStart();
    const int lineEnd = lineStart + line.textLength();
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, block.text());
    graphemes.setPosition(lineStart);
    int start = -1;
    int end = -1;
    qreal startX = 0;
    qreal endX = 0;
    qreal previousX = line.cursorToX(lineStart);
    for (int from = lineStart, to = int(graphemes.toNextBoundary()); to > from && to <= lineEnd;
         from = to, to = int(graphemes.toNextBoundary())) {
        const qreal toX = line.cursorToX(to);
        const qreal width = std::abs(toX - previousX);
        if (at.x() >= std::min(previousX, toX) && at.x() <= std::max(previousX, toX)
            && (start < 0 || width < std::abs(endX - startX))) {
            start = from;
            end = to;
            startX = previousX;
            endX = toX;
        }
        previousX = toX;
    }
    if (start < 0)
        return clusterBoundary(hit, side, point.x());
    const bool startNearer = std::abs(startX - at.x()) <= std::abs(endX - at.x());
    const qreal nearerX = startNearer ? startX : endX;
    const int inBlock = hit - block.position();
    // Qt's own answer stands where it is as near to the pointer, as it is in ordinary text.
    if (inBlock >= lineStart && inBlock <= lineEnd
        && std::abs(line.cursorToX(inBlock) - at.x()) <= std::abs(nearerX - at.x()) + 0.5)
        return clusterBoundary(hit, side, point.x());
    const int chosen = side == ClusterSide::Nearer   ? (startNearer ? start : end)
                       : side == ClusterSide::Before ? start
                                                     : end;
    // The end of a line that wraps is shown at the start of the next.
    if (chosen == lineEnd && lineNumber + 1 < layout->lineCount())
        return clusterBoundary(hit, side, point.x());
    return block.position() + chosen;
}

QMimeData *HighlightingTextEditor::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto *data = new QMimeData;
    data->setText(textBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

void HighlightingTextEditor::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    if (m_pasteAt && !cursor.hasSelection())
        cursor.setPosition(m_pasteAt->position());
    DocumentText::insertLines(cursor, source->text(), m_map);
    setTextCursor(cursor);
    ensureCursorVisible();
}
