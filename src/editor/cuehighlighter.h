#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class QRegularExpression;

// Styles one line of a script at a time (one piece of a long line, see LinePieces): cue markers,
// separator lines and a bullet that opens its line. Nothing carries from one block to the next,
// so an edit restyles only the blocks it touched, however long the page. Each block it styles
// keeps the glyphs Qt shaped for it until it is laid out again.
class CueHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit CueHighlighter(QTextDocument *document);

    // A "[" with at least one other character before the next "]", on one line.
    static const QRegularExpression &cueMarkerRegex();
    // A line made only of box-drawing horizontals (U+2500) and spaces.
    static const QRegularExpression &separatorLineRegex();

protected:
    void highlightBlock(const QString &text) override;

private:
    QTextCharFormat m_cueFormat;
    QTextCharFormat m_separatorFormat;
    QTextCharFormat m_bulletFormat;
};
