#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPointF>
#include <QSet>
#include <QStringList>

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
    qreal x = 0;         // left edge within its line
    qreal width = 0;     // the word and the space after it
    int line = 0;
};

struct WordStyle
{
    QColor highlightColor = Qt::white;
    QColor cueColor;
    double cueUnreadOpacity = 0.2;
    double cueReadOpacity = 0.5;
    bool highlightWords = true; // style read and unread words
};

// Lays a page out as lines of words filling the width, once per content, font and width, and
// keeps the exact geometry so that every later question (where is word k, which word is at
// the centre, which lines are visible) is answered without walking the page.
class WordFlowLayout
{
public:
    void setContent(const QStringList &words, const QSet<int> &lineBreaks);
    void setFont(const QFont &font);
    // Only whole pixels of width count: a fraction of a pixel never reflows the page.
    void setWidth(qreal width);

    const QFont &font() const { return m_font; }
    int wordCount() const { return int(m_words.size()); }
    // Lays out if anything changed since the last time.
    void ensureLayout();
    bool isLaidOut() const { return m_valid; }

    const QList<WordItem> &items() const { return m_items; }
    int lineCount() const { return int(m_lineStarts.size()); }
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
    // The word being read at a character count: the first whose end reaches it, else the last.
    int wordIndexForCharCount(int charCount) const;
    // The fractional word index at a vertical position, interpolated between word centres.
    double wordProgressAtY(qreal y) const;
    // The word under a point in layout coordinates, or -1.
    int wordAt(QPointF point) const;
    // A word counts as read once its letters and numbers are reached; trailing punctuation
    // need not be.
    static bool isRead(const WordItem &item, int highlightedCharCount);

    // Paints the lines that meet [top, top + height) of the layout, shifted up by top.
    void paint(QPainter &painter, qreal top, qreal height, int highlightedCharCount,
               const WordStyle &style) const;

private:
    void layout();
    int firstLineBelow(qreal y) const;

    QStringList m_words;
    QSet<int> m_lineBreaks;
    QFont m_font;
    QFont m_italicFont;
    int m_width = 0;
    bool m_valid = false;

    QList<WordItem> m_items;
    QList<int> m_lineStarts; // first item of each line
    QList<qreal> m_lineTops;
    QList<qreal> m_linePaddings;
    qreal m_naturalHeight = 0;
    qreal m_lineSpacing = 8;
    qreal m_pointSize = 16;
    qreal m_ascent = 0;
    qreal m_textHeight = 0;
};
