#pragma once

#include "overlay/floatingoverlayview.h"

#include <QWidget>

class QPainter;

// What lies over everything else: the resize grip and the border that shows the panel is
// hidden from capture. Clicks pass through; the panel itself handles resizing.
class FloatingOverlayView::Ornaments : public QWidget
{
public:
    explicit Ornaments(FloatingOverlayView &view);

    void setGripShown(bool shown);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    static void paintHairline(QPainter &painter, const Shape &shape);

    FloatingOverlayView &m_view;
    bool m_gripShown = false;
};
