#pragma once

#include "settings/tokenizer.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QSet>
#include <QStringList>

#include <utility>

class QPainter;

// One word of the flow.
struct WordItem
{
    int id = 0;         // index of the word in the page
    QString word;       // as shown: long clusters cut (DisplayText)
    int charOffset = 0; // first character of the word in the page's character count
    bool isAnnotation = false;
    int length = 0;      // user-perceived characters
    int letterCount = 0; // characters that are letters or numbers
    // Units of `word` drawn: all of them, but of a word wider than the line only what the line
    // shows, from the word's start.
    int shownUnits = 0;
    // Embedding level of the word's characters, as the bidirectional algorithm resolves them in
    // their paragraph (of a word drawn in pieces, that of its first); odd levels read right to
    // left.
    quint8 level = 0;
    // The word's space lies on its left, as in a right-to-left paragraph.
    bool spaceOnLeft = false;
    // A word whose characters stand at different levels (a number or a Latin word with
    // punctuation at its edge, in a right-to-left line) is placed and drawn as pieces, each of
    // one level: WordFlowLayout::pieces() [firstPiece, firstPiece + pieceCount). A word longer
    // than WordFlowLayout::longWordUnits never is.
    quint8 pieceCount = 0;
    qreal x = 0;     // left edge within its line: of its leftmost piece, if in pieces
    qreal width = 0; // the word (as shown) and the space after it
    int line = 0;
    int firstPiece = 0;

    bool isRightToLeft() const { return level % 2 == 1; }
    bool isClipped() const { return shownUnits < word.size(); }
};

// Of a word drawn in pieces, the units [start, start + length) of its shown form, all at one
// level and so drawn in one direction.
struct WordPiece
{
    int start = 0;
    int length = 0;
    quint8 level = 0;
    qreal x = 0;      // left edge within its line
    qreal width = -1; // not measured yet

    bool isRightToLeft() const { return level % 2 == 1; }
};

struct WordStyle
{
    QColor highlightColor = Qt::white;
    QColor cueColor;
    double cueUnreadOpacity = 0.2;
    double cueReadOpacity = 0.5;
    bool highlightWords = true; // style read and unread words
};

// Lays a page out as lines of words filling the width and keeps the exact geometry, so that
// every later question (where is word k, which word is at the centre, which lines are visible)
// is answered without walking the page. Words are counted and measured once per content and
// font; a new width only refills the lines. Lines are filled from the top as far as a question
// needs, so the first screen of a long page is ready long before its end: layoutFor() fills the
// rest in slices, and any question about a word further down fills up to it first.
//
// A paragraph (the words up to the next line break) whose first strong character reads right to
// left flows right to left: its lines start at the right edge. Every line shows its characters
// in the order the bidirectional algorithm gives the paragraph, as the editor does: numbers and
// left-to-right words keep their own order, and punctuation at their edges stands where the
// paragraph puts it.
class WordFlowLayout
{
public:
    // A word longer than this, in UTF-16 units, is measured from its start on doubling lengths,
    // only until it is wider than the line: a giant word is never shaped whole.
    static constexpr int longWordUnits = 64;

    // The words' counts may come with them; without, they are counted here.
    void setContent(const QStringList &words, const QSet<int> &lineBreaks,
                    const WordCharOffsets &offsets = WordCharOffsets());
    void setFont(const QFont &font);
    // Only whole pixels of width count: a fraction of a pixel never reflows the page.
    void setWidth(qreal width);

    const QFont &font() const { return m_font; }
    int wordCount() const { return int(m_words.size()); }
    // Lays the whole page out if anything changed since the last time.
    void ensureLayout();
    // Readies the words and lays lines out for about `budgetNs`; true once the page is laid out
    // to its end.
    bool layoutFor(qint64 budgetNs);
    bool isLaidOut() const { return m_itemsValid; }
    // Whether every line is laid out for the present width.
    bool isComplete() const { return m_linesValid && m_complete; }
    // UTF-16 units handed to the text engine to measure since the words were last measured.
    qsizetype measuredUnits() const { return m_measuredUnits; }

    // Every word; the position fields (x, width, line, shownUnits) are set once its line is laid
    // out, which ensureLayout() or any question about the word brings about.
    const QList<WordItem> &items() const;
    const WordItem &item(int index) const;
    // The pieces of the words drawn in pieces; their positions are set with the words'.
    const QList<WordPiece> &pieces() const { return m_pieces; }
    int lineCount() const;
    // The words of a line: [first, end).
    int lineFirstItem(int line) const;
    int lineEndItem(int line) const;
    qreal lineTop(int line) const;
    qreal lineTopPadding(int line) const;

    qreal naturalLineHeight() const { return m_naturalHeight; }
    qreal lineSpacing() const { return m_lineSpacing; }
    qreal pointSize() const { return m_pointSize; }

    // Vertical centre of a word in layout coordinates (line 0 starts at y = 0).
    qreal wordCenterY(int index) const;
    // The largest word centre; 0 with no words.
    qreal maxWordCenterY() const;
    // The same, laying lines out only down to y: while the page goes on below y, a centre
    // below y stands in for it.
    qreal maxWordCenterYDownTo(qreal y) const;
    // The word being read at a character count: the first whose end reaches it, else the last.
    int wordIndexForCharCount(int charCount) const;
    // The fractional word index at a vertical position, interpolated between word centres.
    double wordProgressAtY(qreal y) const;
    // The word under a point in layout coordinates, or -1.
    int wordAt(QPointF point) const;
    // A word counts as read once its letters and numbers are reached; trailing punctuation
    // need not be.
    static bool isRead(const WordItem &item, int highlightedCharCount);

    // The lines that meet [top, top + height) of the layout, laid out: [first, end).
    std::pair<int, int> linesMeeting(qreal top, qreal height) const;
    // Paints the lines that meet [top, top + height) of the layout, shifted up by top.
    void paint(QPainter &painter, qreal top, qreal height, int highlightedCharCount,
               const WordStyle &style) const;

private:
    // What is known of a long word's width: its first `units` units measure `width`.
    struct Prefix
    {
        qsizetype units = 0;
        qreal width = 0;
    };

    void measureWords();
    // The words the lines and questions go by: none until they are measured.
    int itemCount() const { return m_itemsValid ? wordCount() : 0; }
    void makeItemsThrough(int last) const;
    // Whether any unit of the word may belong to a character that reads right to left.
    static bool mayHoldRightToLeft(QStringView word);
    void resolveLevels();
    qreal measure(const QString &text) const;
    qreal wordWidth(WordItem &item) const;
    qreal measureLong(WordItem &item) const;
    qreal pieceWidth(const WordItem &item, WordPiece &piece) const;
    // Lays words out until `enough` holds or the page ends; questions are answered only from
    // lines that are closed.
    template <typename Enough>
    void fill(Enough enough) const;
    void fillThroughLine(int line) const;
    void fillThroughItem(int item) const;
    void fillDownTo(qreal y) const;
    void closeLine() const;
    void placeLine(int line) const;
    int closedLineCount() const;
    int firstLineBelow(qreal y) const;

    QStringList m_words;
    QSet<int> m_lineBreaks;
    WordCharOffsets m_offsets;
    QList<bool> m_inCue;
    // The line breaks in order, which lines are filled in.
    QList<int> m_breaks;
    QFont m_font;
    QFont m_italicFont;
    int m_width = 0;
    bool m_itemsValid = false;
    qreal m_naturalHeight = 0;
    qreal m_lineSpacing = 8;
    qreal m_pointSize = 16;
    qreal m_ascent = 0;
    qreal m_textHeight = 0;
    qreal m_spaceWidth = 0;
    // Level of the paragraph of each word: 1 when it flows right to left, else 0.
    QList<quint8> m_paragraphLevels;
    // Level of the space after each word.
    QList<quint8> m_spaceLevels;
    bool m_hasRightToLeft = false;

    // Laid out on demand: what a question needs is filled in then, unseen by the asker. Items
    // are made as far as the lines or a question reach.
    mutable QList<WordItem> m_items;
    mutable QList<WordPiece> m_pieces;
    // The width of each word as shown, or -1 while not known whole.
    mutable QList<qreal> m_wordWidths;
    mutable QHash<int, Prefix> m_prefixes;
    mutable QHash<QString, qreal> m_widthsByWord;
    mutable QHash<char32_t, qreal> m_widthsByCharacter;
    mutable qsizetype m_measuredUnits = 0;
    mutable bool m_linesValid = false;
    mutable QList<int> m_lineStarts; // first item of each line, the open one last
    mutable QList<qreal> m_lineTops;
    mutable QList<qreal> m_linePaddings;
    mutable int m_nextItem = 0;  // the first word not on a line yet
    mutable int m_nextBreak = 0; // the first of m_breaks not passed yet
    mutable int m_closedEnd = 0; // the words before it are on lines that are complete
    mutable qreal m_lineX = 0;   // where the open line ends
    mutable bool m_complete = false;
};
