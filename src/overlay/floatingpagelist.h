#pragma once

#include <QRectF>
#include <QWidget>

class AnimatedValue;
class OverlayContent;
class QScrollArea;

// The page list of the floating panels: a header and one row per page. A click on a row asks
// for that page in notes mode, also from a collapsed or minimised window. The highlight is the
// model's, moved by the keys; the list scrolls to keep a moved highlight centred, and a list
// shown afresh starts at its top. Transparent: it lies on the panel's own fill.
class FloatingPageList : public QWidget
{
    Q_OBJECT

public:
    explicit FloatingPageList(OverlayContent &content, QWidget *parent = nullptr);

    // Where row i is now, in this widget's coordinates, scrolling included; null for a page
    // that does not exist.
    QRectF rowRect(int index) const;
    // How far the list is scrolled down, and where an animation under way will leave it.
    int scrollOffset() const;
    double targetScrollOffset() const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh();
    void layoutRows();
    void scrollToHighlight();
    void jumpTo(int offset);

    OverlayContent &m_content;
    QScrollArea *const m_scrollArea;
    QWidget *const m_rows;
    AnimatedValue *const m_scroll;
    bool m_applyingScroll = false;
};
