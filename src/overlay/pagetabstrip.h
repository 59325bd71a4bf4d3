#pragma once

#include <QWidget>

// The row of round page numbers in the overlay footers. The current page's tab is teal; a
// click on another tab chooses that page, a click on the current one does nothing. When the
// tabs do not fit, the wheel scrolls them sideways.
class PageTabStrip : public QWidget
{
    Q_OBJECT

public:
    static constexpr double tabSide = 20;
    static constexpr double spacing = 4;

    explicit PageTabStrip(QWidget *parent = nullptr);

    // The tabs take the place of the page title only in notes mode, with page numbers on, and
    // when there is more than one page.
    static bool isShown(bool isNotesMode, bool showsPageNumbers, int pageCount);

    void setPages(int pageCount, int currentIndex);
    int pageCount() const { return m_pageCount; }
    int currentIndex() const { return m_currentIndex; }

    // Where tab i is now, scrolling included; the tab under a point, or -1.
    QRectF tabRect(int index) const;
    int tabAt(const QPointF &point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // Another page than the current one was clicked.
    void pageChosen(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    double contentWidth() const;
    void setScrollOffset(double offset);

    int m_pageCount = 0;
    int m_currentIndex = 0;
    double m_scrollOffset = 0;
    int m_pressedTab = -1;
};
