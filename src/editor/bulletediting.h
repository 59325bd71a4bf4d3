#pragma once

class DocumentMap;
class QTextCursor;
class QTextDocument;

// The editor's bullet lists: a line that starts with "• " (after any indentation) continues,
// ends, loses its bullet or moves it as the user types. Each returns whether it took the key.
namespace BulletEditing {

// "- " or "* " just typed at the start of a line becomes a bullet.
void autoBulletLine(QTextDocument *document, int caret);
// Return on a bullet line.
bool continueBulletOnNewline(QTextCursor &cursor, DocumentMap &map);
// Backspace right after a line's bullet.
bool deleteBulletPrefix(QTextCursor &cursor);
// Tab (inward) and Shift+Tab on the selection's first line.
bool indentBulletLine(QTextDocument *document, int selectionStart, bool inward);

} // namespace BulletEditing
