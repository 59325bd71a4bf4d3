#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

class QTextCursor;
class QTextDocument;

// The editor's document shows the page's text, not the text itself: it also holds the breaks
// between the pieces of long lines (LinePieces), which the text never contains. This map turns
// positions in the document into offsets in the text and back, and follows the document's
// changes.
class DocumentMap
{
public:
    // A change of the document, as it changes the text.
    struct TextChange
    {
        int position = 0;
        int removedLength = 0;
    };

    // The document as made from a text (documentText()); `breaks` are the document positions of
    // its piece breaks.
    void reset(std::vector<int> breaks);

    int toText(int documentPosition) const;
    // An offset at a break is the end of the piece before it.
    int toDocument(int textPosition) const;
    // How many more positions the document has than the text.
    int extraLength() const { return int(m_breaks.size()); }
    bool isBreak(int documentPosition) const;
    // The text of the document's raw text, without the breaks.
    QString textOf(QString raw) const;

    // Follows a change of the document: `removedLength` positions at `position` replaced by
    // `addedLength` that hold the breaks `addedBreaks` (ascending document positions).
    TextChange update(int position, int removedLength, int addedLength,
                      const std::vector<int> &addedBreaks);

private:
    // Document positions of the piece breaks, ascending.
    std::vector<int> m_breaks;
};

namespace DocumentText {

// The text as the document holds it: each line break one paragraph separator, and long lines in
// pieces. `pieceStarts` receives the offsets of the blocks that carry on a line.
QString documentText(QStringView text, QList<int> &pieceStarts);

// Gives each block from `from` on, up to the block at `to`, the format of a piece or of a line.
// Blocks made by QTextCursor::insertText() take the format of the block they split.
void markPieces(QTextDocument *document, int from, int to, const QList<int> &pieceStarts);

// Replaces the cursor's selection with plain text, with one insertText(): a step built of
// smaller insertions would take in the typing that follows it.
void insertLines(QTextCursor &cursor, QStringView text);

} // namespace DocumentText
