#include "bulletediting.h"

#include "editor/documentmap.h"
#include "editor/linepieces.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString bullet = u"\u2022 "_qs;

int leadingSpaces(QStringView text)
{
    int count = 0;
    while (count < text.size() && text[count] == u' ')
        ++count;
    return count;
}

// The block that opens the line `block` belongs to.
QTextBlock lineStart(QTextBlock block)
{
    while (LinePieces::continuesLine(block))
        block = block.previous();
    return block;
}

// The text from the start of the caret's line up to the caret.
QString lineBeforeCaret(const QTextCursor &cursor)
{
    const QTextBlock block = cursor.block();
    QString text = block.text().left(cursor.position() - block.position());
    if (!LinePieces::continuesLine(block))
        return text;
    // Of a line in pieces only a bullet line needs more than its start.
    const QString head = lineStart(block).text();
    if (!QStringView(head).mid(leadingSpaces(head)).startsWith(u'\u2022'))
        return head;
    for (QTextBlock piece = block; LinePieces::continuesLine(piece);) {
        piece = piece.previous();
        text.prepend(piece.text());
    }
    return text;
}

} // namespace

namespace BulletEditing {

// "- " or "* " typed at the start of a line becomes a bullet.
void autoBulletLine(QTextDocument *document, int caret)
{
    const QTextBlock block = document->findBlock(caret);
    if (caret < 2 || caret - block.position() != 2 || LinePieces::continuesLine(block))
        return;
    const QString text = block.text();
    if (!text.startsWith(u"- ") && !text.startsWith(u"* "))
        return;
    // The bullet goes in before the typed pair is removed: typing that follows then cannot
    // merge into this step, so undo takes it back on its own.
    QTextCursor edit(block);
    edit.beginEditBlock();
    edit.insertText(bullet);
    edit.setPosition(block.position() + 2 * int(bullet.size()), QTextCursor::KeepAnchor);
    edit.removeSelectedText();
    edit.endEditBlock();
}

// Return. With a selection, Return is an ordinary edit of the selection.
bool continueBulletOnNewline(QTextCursor &cursor, DocumentMap &map)
{
    if (cursor.hasSelection())
        return false;
    const QString before = lineBeforeCaret(cursor);
    const int spaces = leadingSpaces(before);
    if (!QStringView(before).mid(spaces).startsWith(bullet))
        return false;
    cursor.beginEditBlock();
    if (before.size() == spaces + bullet.size()) {
        // An empty bullet ends the list: it goes, and no new line comes.
        cursor.setPosition(lineStart(cursor.block()).position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    } else {
        DocumentText::insertLines(cursor, QString(u'\n' + before.left(spaces) + bullet), map);
    }
    cursor.endEditBlock();
    return true;
}

// Backspace right after a line's bullet removes the bullet and keeps its indentation. With a
// selection, Backspace is an ordinary edit of the selection.
bool deleteBulletPrefix(QTextCursor &cursor)
{
    if (cursor.hasSelection() || cursor.position() < 2)
        return false;
    const QString before = lineBeforeCaret(cursor);
    const int spaces = leadingSpaces(before);
    if (before.size() != spaces + bullet.size()
        || !QStringView(before).mid(spaces).startsWith(bullet))
        return false;
    cursor.beginEditBlock();
    cursor.setPosition(cursor.position() - int(bullet.size()), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    return true;
}

// Tab and Shift+Tab move the bullet of the selection's first line by two spaces.
bool indentBulletLine(QTextDocument *document, int selectionStart, bool inward)
{
    const QTextBlock block = lineStart(document->findBlock(selectionStart));
    const QString text = block.text();
    const int spaces = leadingSpaces(text);
    if (!QStringView(text).mid(spaces).startsWith(bullet) || (!inward && spaces < 2))
        return false;
    QTextCursor edit(block);
    edit.beginEditBlock();
    if (inward) {
        edit.insertText(u"  "_qs);
    } else {
        edit.setPosition(block.position() + 2, QTextCursor::KeepAnchor);
        edit.removeSelectedText();
    }
    edit.endEditBlock();
    return true;
}

} // namespace BulletEditing
