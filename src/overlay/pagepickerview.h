#pragma once

#include <QRectF>
#include <QWidget>

class AnimatedValue;
class OverlayContent;
class QScrollArea;

// The page list of the pinned panel: a header with the key hints and one row per page. A click
// on a row asks for that page in notes mode; the highlight follows the model, which the keys
// move, and the list scrolls to keep it centred. Transparent: it sits on the panel's fill.
class PagePickerView : public QWidget
{
    Q_OBJECT

public:
    explicit PagePickerView(OverlayContent &content, QWidget *parent = nullptr);
    QSize sizeHint() const override;

    // Where row i is now, in this view's coordinates (scrolling included); null for a page
    // that does not exist.
    QRectF rowRect(int index) const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh();
    void layoutList();
    void scrollToHighlight();
    void jumpTo(int scrollValue);

    OverlayContent &m_content;
    QScrollArea *const m_scrollArea;
    QWidget *const m_list;
    AnimatedValue *const m_scroll;
    bool m_applyingScroll = false;
};
