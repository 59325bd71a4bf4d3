#pragma once

#include <QWidget>

class AnimatedValue;
class QAbstractScrollArea;
class QTimer;

// A thin vertical scroll indicator over a scroll area's content, in the manner of the desktop's
// overlay scrollers: it shows where the view is while the content scrolls and fades away soon
// after. It takes no room from the content and no clicks; the area's own scroll bar stays off.
class OverlayScroller : public QWidget
{
    Q_OBJECT

public:
    static constexpr int thumbWidth = 6;
    static constexpr int inset = 2;
    static constexpr int minimumThumbLength = 24;
    // How long the indicator stays after the last scroll.
    static constexpr int lingerMs = 800;

    // Lies over the area's viewport, along its right edge; the area owns it.
    explicit OverlayScroller(QAbstractScrollArea *area);

    // 1 while scrolling, falling to 0 as it fades; 0 while hidden.
    double opacity() const;
    // Where the thumb is drawn, in this widget's coordinates.
    QRectF thumbRect() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void flash();
    void followViewport();

    QAbstractScrollArea *const m_area;
    // Kept apart from the area: events of the viewport still arrive while the area is being
    // destroyed, when it is no scroll area any more.
    QWidget *const m_viewport;
    AnimatedValue *const m_opacity;
    QTimer *const m_linger;
};
