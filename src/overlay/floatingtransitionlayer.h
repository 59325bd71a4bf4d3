#pragma once

#include "overlay/floatingoverlayview.h"

#include <QPixmap>
#include <QWidget>

// Lies over the whole view while it grows in or shrinks away, and while a change cross-fades.
// A widget tree cannot be drawn translucent or scaled by itself, so this layer draws a picture
// of the view instead: scaled about the centre and faded over the panel's black while it
// appears or disappears, or the view as it was before a change fading out over the new one.
class FloatingOverlayView::TransitionLayer : public QWidget
{
public:
    explicit TransitionLayer(FloatingOverlayView &view);

    void setLive(const QPixmap &picture) { m_live = picture; }
    void setBefore(const QPixmap &picture) { m_before = picture; }
    bool hasBefore() const { return !m_before.isNull(); }
    void clear()
    {
        m_live = {};
        m_before = {};
    }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    FloatingOverlayView &m_view;
    QPixmap m_live;
    QPixmap m_before;
};
