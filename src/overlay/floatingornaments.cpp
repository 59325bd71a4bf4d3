#include "floatingornaments.h"

#include "overlay/invisibilityglow.h"
#include "overlay/overlayshapes.h"
#include "settings/palette.h"
#include "uikit/painting.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <utility>

namespace {

constexpr double gripSide = 11;
constexpr double gripPadding = 5;
constexpr double hairlineWidth = 1;
constexpr double hairlineOpacity = 0.1; // the platform's separator colour

} // namespace

FloatingOverlayView::Ornaments::Ornaments(FloatingOverlayView &view)
    : QWidget(&view)
    , m_view(view)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void FloatingOverlayView::Ornaments::setGripShown(bool shown)
{
    if (shown == m_gripShown)
        return;
    m_gripShown = shown;
    update();
}

void FloatingOverlayView::Ornaments::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_gripShown) {
        const QRectF grip(width() - gripPadding - gripSide, height() - gripPadding - gripSide,
                          gripSide, gripSide);
        QPen pen(whiteAt(0.35), 1.5);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawPath(ResizeGripShape().path(grip));
    }
    paintHairline(painter, m_view.panelShape());
    paintFloatingPanelBorder(painter, rect(), cornerRadius, m_view.borderOpacity());
}

// Without a compositor's shadow, overlapping panels keep apart by this line along the edge.
// Stroking the whole outline is costly on every frame: the straight runs are filled as whole
// pixels, only the corners are stroked.
void FloatingOverlayView::Ornaments::paintHairline(QPainter &painter, const Shape &shape)
{
    const QColor color = whiteAt(hairlineOpacity);
    const QRectF r = shape.rect;
    const double radius = std::min(shape.radius, std::min(r.width(), r.height()) / 2);
    const double w = hairlineWidth;
    painter.fillRect(QRectF(r.left() + radius, r.top(), r.width() - 2 * radius, w), color);
    painter.fillRect(QRectF(r.left() + radius, r.bottom() - w, r.width() - 2 * radius, w), color);
    painter.fillRect(QRectF(r.left(), r.top() + radius, w, r.height() - 2 * radius), color);
    painter.fillRect(QRectF(r.right() - w, r.top() + radius, w, r.height() - 2 * radius), color);
    // The corners as quarter circles of the line's centre, inside the edge.
    const double half = w / 2;
    const double d = 2 * (radius - half);
    const QRectF inner = r.adjusted(half, half, -half, -half);
    QPainterPath corners;
    for (const auto &[origin, startAngle] :
         {std::pair(inner.topLeft(), 90.0), std::pair(QPointF(inner.right() - d, inner.top()), 0.0),
          std::pair(QPointF(inner.right() - d, inner.bottom() - d), 270.0),
          std::pair(QPointF(inner.left(), inner.bottom() - d), 180.0)}) {
        const QRectF box(origin, QSizeF(d, d));
        corners.arcMoveTo(box, startAngle);
        corners.arcTo(box, startAngle, 90);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, w, Qt::SolidLine, Qt::FlatCap));
    painter.drawPath(corners);
}
