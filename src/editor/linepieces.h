#pragma once

#include <QList>
#include <QPlainTextDocumentLayout>
#include <QStringView>

class QTextBlock;
class QTextBlockFormat;

// Qt lays a paragraph out whole on every change to it, and a paragraph without spaces costs it
// quadratic time, so one long line could freeze the editor for seconds per keystroke. The editor
// therefore shows a long line as pieces of about pieceLength UTF-16 units, each a text block of
// its own. The break between two pieces belongs to the view only: the block after it is marked as
// continuing the line, and the text never contains it.
//
// Characters beyond U+FFFF are mostly emoji, and those of a colour bitmap font cost far more:
// Qt keeps no glyph of such a font, and decodes its PNG image again for every glyph it shapes, a
// tenth of a millisecond each. A piece therefore holds at most astralPieceLength of them.
namespace LinePieces {

inline constexpr int pieceLength = 3'000;
inline constexpr int maxLineLength = 2 * pieceLength;
inline constexpr int astralPieceLength = 256;

// Whether the line is shown in pieces: longer than maxLineLength, or holding more than twice
// astralPieceLength characters beyond U+FFFF.
bool isLong(QStringView line);
// Offsets into `line` where it is shown broken, ascending; none when it is not long. A break goes
// after a space outside a cue marker where there is one in the second half of a piece, else after
// any space, else between two user-perceived characters.
QList<int> breaksIn(QStringView line);

// The format of a block that carries on the line of the block before it.
QTextBlockFormat continuationFormat();
bool continuesLine(const QTextBlock &block);

// The editor's layout: Qt gives each block the direction of its first strong character, so a
// piece of an Arabic line that begins with a Latin word would run left to right. Every piece
// here takes the direction of its line's first piece.
class DocumentLayout : public QPlainTextDocumentLayout
{
    Q_OBJECT

public:
    explicit DocumentLayout(QTextDocument *document);

    QRectF blockBoundingRect(const QTextBlock &block) const override;

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    Qt::LayoutDirection lineDirection(QTextBlock block) const;
    void layOut(const QTextBlock &block, Qt::LayoutDirection direction) const;
};

} // namespace LinePieces
