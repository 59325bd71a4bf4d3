#include "highlightingtexteditor.h"

#include "editor/bulletediting.h"
#include "editor/documentmap.h"
#include "editor/linepieces.h"
#include "editor/slashcommandpalette.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

// Keys: the palette's and bullet lists' own keys first, and every edit Qt would split into two
// undo steps made as one.

bool HighlightingTextEditor::event(QEvent *event)
{
    // A shortcut of the window must not take a key that the open palette uses.
    if (event->type() == QEvent::ShortcutOverride
        && m_slashPalette->wantsKey(*static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void HighlightingTextEditor::keyPressEvent(QKeyEvent *event)
{
    stepOverPieceBreak(*event);
    // The command palette, once open, takes its keys before the bullet commands do.
    if (m_slashPalette->handleKey(*event)) {
        event->accept();
        return;
    }
    if (handleBulletKey(*event)) {
        event->accept();
        return;
    }
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && !isReadOnly()
        && !(event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))) {
        // Shift+Return would put a line separator inside the line; a page knows only "\n". The
        // new line takes no piece mark from the block it splits.
        QTextCursor cursor = textCursor();
        cursor.insertBlock(QTextBlockFormat());
        setTextCursor(cursor);
        ensureCursorVisible();
        event->accept();
        return;
    }
    const int viewCaret = textCursor().position();
    const int caret = toText(viewCaret);
    if (editAsOneStep(*event) || deleteToWordStop(*event)) {
        event->accept();
        return;
    }
    const int revision = document()->revision();
    QPlainTextEdit::keyPressEvent(event);
    // Between two pieces of a line one offset has two caret places: a step takes it past both.
    const bool characterStep = event->matches(QKeySequence::MoveToNextChar)
                               || event->matches(QKeySequence::MoveToPreviousChar)
                               || event->matches(QKeySequence::SelectNextChar)
                               || event->matches(QKeySequence::SelectPreviousChar);
    if (characterStep && textCursor().position() != viewCaret
        && toText(textCursor().position()) == caret)
        QPlainTextEdit::keyPressEvent(event);
    if (document()->revision() == revision)
        keepCaretOnClusters(viewCaret);
}

void HighlightingTextEditor::keepCaretOnClusters(int caretBefore)
{
    // Qt's word stops fall inside a cluster where a word separator begins it: between "#" and
    // U+FE0F in the keycap "#️⃣". A move goes on to the cluster's boundary in its direction.
    QTextCursor cursor = textCursor();
    const int position = cursor.position();
    const int snapped = clusterBoundary(
        position, position < caretBefore ? ClusterSide::Before : ClusterSide::After, 0);
    if (snapped == position)
        return;
    cursor.setPosition(snapped,
                       cursor.hasSelection() ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    setTextCursor(cursor);
}

bool HighlightingTextEditor::deleteToWordStop(const QKeyEvent &event)
{
    // Ctrl+Backspace and Ctrl+Delete, as Qt makes them, but to a word stop moved out of the
    // cluster it would split.
    const bool back = event.matches(QKeySequence::DeleteStartOfWord);
    if (isReadOnly() || textCursor().hasSelection()
        || !(back || event.matches(QKeySequence::DeleteEndOfWord)))
        return false;
    QTextCursor cursor = textCursor();
    cursor.movePosition(back ? QTextCursor::PreviousWord : QTextCursor::NextWord,
                        QTextCursor::KeepAnchor);
    cursor.setPosition(
        clusterBoundary(cursor.position(), back ? ClusterSide::Before : ClusterSide::After, 0),
        QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

void HighlightingTextEditor::stepOverPieceBreak(const QKeyEvent &event)
{
    // Backspace at the start of a piece or Delete at its end would remove only the break that
    // the view shows: they act on the character beyond it.
    QTextCursor cursor = textCursor();
    const bool deletes = event.key() == Qt::Key_Backspace || event.key() == Qt::Key_Delete;
    if (isReadOnly() || !deletes)
        return;
    // A selection of nothing but a break selects nothing of the text.
    if (cursor.hasSelection() && toText(cursor.selectionStart()) != toText(cursor.selectionEnd()))
        return;
    bool moved = cursor.hasSelection();
    cursor.clearSelection();
    // Past every break, empty pieces included.
    while (event.key() == Qt::Key_Backspace && cursor.atBlockStart()
           && LinePieces::continuesLine(cursor.block())) {
        cursor.setPosition(cursor.position() - 1);
        moved = true;
    }
    while (event.key() == Qt::Key_Delete && cursor.atBlockEnd()
           && LinePieces::continuesLine(cursor.block().next())) {
        cursor.setPosition(cursor.position() + 1);
        moved = true;
    }
    if (moved)
        setTextCursor(cursor);
}

bool HighlightingTextEditor::editAsOneStep(const QKeyEvent &event)
{
    // Qt joins the pieces made after an edit to its undo step only when the edit is an edit
    // block. Typing, Backspace and Delete that join two blocks or grow one past the limit are
    // therefore made here, as QPlainTextEdit would make them but in a block.
    if (isReadOnly() || (event.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)))
        return false;
    const bool backspace = event.key() == Qt::Key_Backspace;
    const bool del = event.key() == Qt::Key_Delete;
    QString typed;
    if (!backspace && !del && !event.text().isEmpty()
        && (QChar::isPrint(event.text().toUcs4().front()) || event.text().front() == u'\t'))
        typed = event.text();
    if (!backspace && !del && typed.isEmpty())
        return false;
    QTextCursor cursor = textCursor();
    const QTextBlock block = cursor.block();
    const bool joins = cursor.hasSelection()
                           ? document()->findBlock(cursor.selectionStart()) != block
                                 || document()->findBlock(cursor.selectionEnd()) != block
                           : (backspace && cursor.atBlockStart()) || (del && cursor.atBlockEnd());
    // Delete before a cut cluster removes its start and its placeholder: two fragments of
    // different formats, which Qt records as two undo steps, so that one undo would bring back
    // only the placeholder.
    const bool cutsRest = del && !cursor.hasSelection() && [&] {
        QTextCursor removed = cursor;
        removed.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        return toText(removed.position()) - toText(removed.anchor())
               != removed.position() - removed.anchor();
    }();
    // Typing or deleting beside a cluster can make it so long that it is cut, which undo must
    // take back with the edit.
    const auto growsCluster = [&] {
        if (cursor.hasSelection())
            return false;
        QTextCursor removed = cursor;
        if (del) {
            removed.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        } else if (backspace) {
            // One unit, or one surrogate pair.
            const int at = cursor.positionInBlock();
            const bool pair = at > 1 && block.text().at(at - 1).isLowSurrogate();
            removed.setPosition(cursor.position() - (pair ? 2 : 1), QTextCursor::KeepAnchor);
        }
        return growsLongCluster(removed.selectionStart(), removed.selectionEnd(), typed);
    };
    const int clusterStart
        = backspace && !cursor.hasSelection() ? backspaceStart(cursor.position()) : -1;
    // An edit at a piece's edge can move its break, which undo must take back with the edit.
    const QTextBlock first = document()->findBlock(cursor.selectionStart());
    const QTextBlock last = document()->findBlock(cursor.selectionEnd());
    const bool atBreak
        = (cursor.selectionStart() == first.position() && LinePieces::continuesLine(first))
          || (cursor.selectionEnd() == last.position() + last.length() - 1
              && LinePieces::continuesLine(last.next()));
    if (!joins && !cutsRest && clusterStart < 0 && !atBreak
        && !LinePieces::isLong(QString(block.text() + typed)) && !growsCluster())
        return false;
    cursor.beginEditBlock();
    if (clusterStart >= 0) {
        cursor.setPosition(clusterStart, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    } else if (backspace) {
        cursor.deletePreviousChar();
    } else if (del) {
        cursor.deleteChar();
    } else {
        cursor.insertText(typed);
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

bool HighlightingTextEditor::handleBulletKey(const QKeyEvent &event)
{
    // Shift leaves Return and Backspace what they are; Ctrl or Alt make them other commands.
    if (isReadOnly() || (event.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)))
        return false;
    QTextCursor cursor = textCursor();
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!BulletEditing::continueBulletOnNewline(cursor, m_map))
            return false;
        break;
    case Qt::Key_Backspace:
        if (!BulletEditing::deleteBulletPrefix(cursor))
            return false;
        break;
    case Qt::Key_Tab:
        return !(event.modifiers() & Qt::ShiftModifier)
               && BulletEditing::indentBulletLine(document(), cursor.selectionStart(), true);
    case Qt::Key_Backtab:
        return BulletEditing::indentBulletLine(document(), cursor.selectionStart(), false);
    default:
        return false;
    }
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}
