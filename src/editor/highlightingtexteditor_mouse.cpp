#include "highlightingtexteditor.h"

#include "editor/documentmap.h"

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

// The mouse, drops and pastes: wherever Qt's hit test lands, the caret and the text go to a
// cluster boundary of the stored text.

void HighlightingTextEditor::mousePressEvent(QMouseEvent *event)
{
    QPlainTextEdit::mousePressEvent(event);
    keepSelectionOnClusters(event->position().x());
}

void HighlightingTextEditor::mouseMoveEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseMoveEvent(event);
    if (event->buttons() & Qt::LeftButton)
        keepSelectionOnClusters(event->position().x());
}

void HighlightingTextEditor::mouseReleaseEvent(QMouseEvent *event)
{
    // A press inside the selection moves the caret only now, when it did not start a drag.
    QPlainTextEdit::mouseReleaseEvent(event);
    keepSelectionOnClusters(event->position().x());
}

void HighlightingTextEditor::mouseDoubleClickEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseDoubleClickEvent(event);
    keepSelectionOnClusters(event->position().x());
}

void HighlightingTextEditor::dropEvent(QDropEvent *event)
{
    m_dropX = event->position().x();
    QPlainTextEdit::dropEvent(event);
    m_dropX.reset();
}

void HighlightingTextEditor::keepSelectionOnClusters(qreal x)
{
    // Qt's hit test can land inside a cluster: before a cut cluster's placeholder, or between
    // the consonants of a conjunct drawn as one. Typing there would split the cluster. The caret
    // goes to the nearer boundary; a selection takes in every cluster it reaches into.
    QTextCursor cursor = textCursor();
    const int anchor = cursor.anchor();
    const int position = cursor.position();
    const auto outward
        = [](int end, int other) { return end < other ? ClusterSide::Before : ClusterSide::After; };
    const int newAnchor = anchor == position
                              ? clusterBoundary(anchor, ClusterSide::Nearer, x)
                              : clusterBoundary(anchor, outward(anchor, position), x);
    const int newPosition
        = anchor == position ? newAnchor : clusterBoundary(position, outward(position, anchor), x);
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
    const auto simple = [](QChar c) { return c.unicode() < 0x300 && c != u'\xa9' && c != u'\xae'; };
    // Below U+0300 only the copyright and registered signs join a cluster after its first
    // character, and a block holds no line break: between two other such units is a boundary.
    if (inBlock <= 0 || inBlock >= text.size()
        || (simple(text[inBlock - 1]) && simple(text[inBlock])))
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
    // Qt drops where its hit test lands, which can be inside a cluster.
    if (m_dropX && !cursor.hasSelection())
        cursor.setPosition(clusterBoundary(cursor.position(), ClusterSide::Nearer, *m_dropX));
    DocumentText::insertLines(cursor, source->text(), m_map);
    setTextCursor(cursor);
    ensureCursorVisible();
}
