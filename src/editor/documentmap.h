#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringView>

#include <vector>

class QTextCharFormat;
class QTextCursor;
class QTextDocument;

// The editor's document shows the page's text, not the text itself. It also holds the breaks
// between the pieces of long lines (LinePieces), which the text never contains; and where a
// grapheme cluster is too long to lay out (DisplayText), it holds the cluster's start and one
// placeholder that stands for the rest: an invisible combining character, so the caret never
// rests between the two. This map turns positions in the document into offsets in the text and
// back, gives back the text of any part of the document, and follows the document's changes.
class DocumentMap
{
public:
    // A position of the document that does not hold one character of the text: a piece break
    // (hiddenId 0), or a placeholder for the hidden units kept under hiddenId.
    struct Mark
    {
        int position = 0;
        int hiddenId = 0;
    };

    // A change of the document, as it changes the text.
    struct TextChange
    {
        int position = 0;
        int removedLength = 0;
    };

    static constexpr QChar placeholder = QChar(0x034f);
    // The format that makes a placeholder of the character it is given to; undo and redo bring
    // it back with the character.
    static QTextCharFormat placeholderFormat(int hiddenId);
    // The hidden units' id of a placeholder's format, or 0.
    static int hiddenIdOf(const QTextCharFormat &format);

    // Keeps units that a placeholder stands for, for the life of the editor's history.
    int keepHidden(QString units);

    // The document as just made from a text (DocumentText::documentText()), with its marks in
    // ascending order.
    void reset(std::vector<Mark> marks);

    int toText(int documentPosition) const;
    // An offset at a break is the end of the piece before it; one inside hidden units is the
    // position after their placeholder.
    int toDocument(int textPosition) const;
    // The length of the text less that of the document.
    int lengthDifference() const { return m_lengthDifference; }
    bool isBreak(int documentPosition) const;
    // The position of the first mark from `from` on and before `to`, else `to`.
    int firstMark(int from, int to) const;
    // The text of the whole document's raw text.
    QString textOf(QString raw) const;
    // Appends the text of `part`, the document's characters from `position` on, to `text`.
    void appendText(QString &text, QStringView part, int position) const;

    // Follows a change of the document: `removedLength` positions at `position` replaced by
    // `addedLength` that hold the marks `added` (ascending). A placeholder whose hidden units
    // are already shown elsewhere is only a copy of its character, and is left as text.
    TextChange update(int position, int removedLength, int addedLength, std::vector<Mark> added);

private:
    struct Entry
    {
        int position = 0;
        int hiddenId = 0;
        // What the text holds here: nothing for a break, the hidden units for a placeholder.
        int textLength = 0;
        // toText() of the position after this entry, less that position.
        int shiftAfter = 0;
    };

    int shiftBefore(size_t index) const;
    void recount(size_t from);

    std::vector<Entry> m_entries;
    QHash<int, QString> m_hidden;
    QSet<int> m_shownIds;
    int m_nextId = 1;
    int m_lengthDifference = 0;
};

namespace DocumentText {

// The text as the document holds it: each line break one paragraph separator, long clusters cut
// with a placeholder (their hidden units kept by `map`), and long lines in pieces. `pieceStarts`
// receives the offsets of the blocks that carry on a line; `placeholders` the placeholders.
QString documentText(QStringView text, DocumentMap &map, QList<int> &pieceStarts,
                     std::vector<DocumentMap::Mark> &placeholders);

// Gives each block from `from` on, up to the block at `to`, the format of a piece or of a line.
// Blocks made by QTextCursor::insertText() take the format of the block they split.
void markPieces(QTextDocument *document, int from, int to, const QList<int> &pieceStarts);

// Makes placeholders of the characters at `from` plus each of their positions.
void markPlaceholders(QTextDocument *document, int from,
                      const std::vector<DocumentMap::Mark> &placeholders);

// Replaces the cursor's selection with plain text, with one insertText(): a step built of
// smaller insertions would take in the typing that follows it.
void insertLines(QTextCursor &cursor, QStringView text, DocumentMap &map);

} // namespace DocumentText
