#pragma once

#include <QRectF>
#include <QString>
#include <QWidget>

class AnimatedValue;
class OverlayContent;
class QPainter;
class QScrollArea;

// The rows, label rule and scrolling of the page lists; the pinned picker and the floating list
// draw the same rows at their own sizes under their own headers.

// The label of page i: trimmed title, else the preview as stored, else localizedString("Vacío").
QString pageLabel(const OverlayContent &content, int index);

struct PageRowMetrics
{
    double numberPointSize;
    double labelPointSize;
    double numberWidth;
    double spacing = 6; // between the number's frame and the label
};

// Paints the row text: number i+1 (bold monospaced, white 0.8, centred in numberWidth) then the
// label (regular, white 0.5, one line, in its own direction from its own side, elided at its
// end), inside rect.
void paintPageRowText(QPainter &painter, const QRectF &rect, int index, const QString &label,
                      const PageRowMetrics &metrics);

// The height of one line of row text at these sizes, rounded up to whole points so that rows
// stacked on it stay on the pixel grid.
double pageRowTextHeight(const PageRowMetrics &metrics);

// The sizes of a list: the header over a stack of rounded rows, all inside the paddings.
struct PageListMetrics
{
    double horizontalPadding;
    double verticalPadding;
    double headerHeight; // in whole points, so that the rows below stay on the pixel grid
    double headerBottomPadding;
    double rowHorizontalPadding;
    double rowVerticalPadding;
    double rowRadius;
    PageRowMetrics row;
    double stackSpacing = 6;
};

// A page list: a header and one row per page, scrolled. A click on a row asks for that page in
// notes mode, also from a collapsed or minimised window. The highlight is the model's, moved by
// the keys; the list scrolls to keep a moved highlight centred, and a list shown afresh opens
// with its highlighted row centred, as far as the list can scroll. Transparent: it lies on the
// panel's own fill. The views paint the header.
class PageList : public QWidget
{
    Q_OBJECT

public:
    ~PageList() override;

    // Where row i is now, in this widget's coordinates, scrolling included; null for a page
    // that does not exist.
    QRectF rowRect(int index) const;
    // How far the list is scrolled down, and where an animation under way will leave it.
    int scrollOffset() const;
    double targetScrollOffset() const;
    // The height that shows rows: whole rows of a list taller than the widget.
    int shownHeight() const;
    // The band at the list's top that controls drawn over it cover: a row scrolled into it is
    // cut at its lower edge and fades, so that no row shows whole under them.
    void setTopClearance(int height);

    // The whole list of `pageCount` rows, header and paddings included.
    static double contentHeight(const PageListMetrics &metrics, int pageCount);
    // How much of `available` a list taller than it shows: down to where the row after the
    // last one that fits whole would begin, so that at the list's top its edge cuts no row.
    static double wholeRowsHeight(const PageListMetrics &metrics, int pageCount, double available);

protected:
    PageList(OverlayContent &content, const PageListMetrics &metrics, QWidget *parent);

    // Paints the header at the top of the scrolled content, which is as wide as the list.
    virtual void paintHeader(QPainter &painter) const = 0;
    // Lays the rows out again after a change of the pages or of the language.
    virtual void refresh();
    double contentHeight() const;

    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    OverlayContent &m_content;
    const PageListMetrics m_metrics;

private:
    class Rows;

    double rowHeight() const;
    double rowTop(int index) const;
    // Row i in the scrolled content's coordinates.
    QRectF contentRowRect(int index) const;
    void layoutRows();
    // Where the list rests with the highlighted row centred, within what it can scroll.
    double centredOffset(int index) const;
    void scrollToHighlight();
    void placeHighlight();
    void jumpTo(int offset);

    QScrollArea *const m_scrollArea;
    Rows *const m_rows;
    AnimatedValue *const m_scroll;
    int m_topClearance = 0;
    bool m_applyingScroll = false;
    // A freshly shown list keeps its highlight in place through the layouts that size it, until
    // the reader scrolls or moves the highlight.
    bool m_placingHighlight = false;
};
