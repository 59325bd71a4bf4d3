#include "cuehighlighter.h"

#include "editor/linepieces.h"
#include "settings/palette.h"

#include <QRegularExpression>
#include <QTextLayout>

CueHighlighter::CueHighlighter(QTextDocument *document)
    : QSyntaxHighlighter(document)
{
    m_cueFormat.setFontItalic(true);
    m_cueFormat.setForeground(whiteAt(0.55));
    m_cueFormat.setBackground(whiteAt(0.08));
    m_separatorFormat.setForeground(whiteAt(0.42));
    m_bulletFormat.setForeground(accentTeal());
}

const QRegularExpression &CueHighlighter::cueMarkerRegex()
{
    static const QRegularExpression regex(u"\\[[^\\]]+\\]"_qs);
    return regex;
}

const QRegularExpression &CueHighlighter::separatorLineRegex()
{
    static const QRegularExpression regex(u"^[\u2500 ]+$"_qs);
    return regex;
}

void CueHighlighter::highlightBlock(const QString &text)
{
    // Qt would otherwise shape the block again at every paint and every caret query, and a
    // colour emoji font decodes each glyph's image whenever it is shaped: the layout keeps its
    // glyphs until the block changes.
    currentBlock().layout()->setCacheEnabled(true);
    // A block is one line, or a piece of a long one broken outside its cues, so a cue never
    // reaches past its line break, as in the reading panel.
    // None of the three styles can overlap another: a cue starts with "[", a separator line
    // holds no bracket and no bullet.
    if (text.contains(u'[')) {
        for (auto matches = cueMarkerRegex().globalMatch(text); matches.hasNext();) {
            const QRegularExpressionMatch match = matches.next();
            setFormat(int(match.capturedStart()), int(match.capturedLength()), m_cueFormat);
        }
    }
    if (separatorLineRegex().match(text).hasMatch())
        setFormat(0, int(text.size()), m_separatorFormat);
    // Only a bullet in the first column; an indented one keeps the text colour, and so does one
    // that opens a later piece of a long line.
    if (text.startsWith(u'\u2022') && !LinePieces::continuesLine(currentBlock()))
        setFormat(0, 1, m_bulletFormat);
}
