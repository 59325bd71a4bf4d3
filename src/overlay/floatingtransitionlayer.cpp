#include "floatingtransitionlayer.h"

#include "uikit/animation.h"

#include <QPainter>

#include <algorithm>

FloatingOverlayView::TransitionLayer::TransitionLayer(FloatingOverlayView &view)
    : QWidget(&view)
    , m_view(view)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FloatingOverlayView::TransitionLayer::paintEvent(QPaintEvent *)
{
    if (m_view.m_takingPicture)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double presence = std::clamp(m_view.presence(), 0.0, 1.0);
    if (presence < 1) {
        painter.fillPath(m_view.outlinePath(), Qt::black);
        if (m_live.isNull())
            return;
        const double s = m_view.scale();
        const QPointF centre = QRectF(rect()).center();
        painter.translate(centre);
        painter.scale(s, s);
        painter.translate(-centre);
        painter.setOpacity(presence);
        painter.drawPixmap(0, 0, m_live);
        return;
    }
    const double before = m_view.m_crossfade->value();
    if (before > 0 && !m_before.isNull()) {
        painter.setOpacity(before);
        painter.drawPixmap(0, 0, m_before);
    }
}
