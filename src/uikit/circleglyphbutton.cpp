#include "circleglyphbutton.h"

#include "settings/palette.h"
#include "uikit/glyphshapes.h"
#include "uikit/icons.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <utility>

namespace {

constexpr double chevronLineWidth = 1.5;

CircleGlyphButton::Face chevronFace(CircleGlyphButton::Glyph glyph)
{
    CircleGlyphButton::Face face;
    face.glyph = glyph;
    face.diameter = 22;
    face.glyphSize = 14;
    face.glyphColor = whiteAt(0.4);
    face.background = whiteAt(0.08);
    return face;
}

} // namespace

CircleGlyphButton::Face CircleGlyphButton::Face::previousPage()
{
    return chevronFace(Glyph::chevronLeft);
}

CircleGlyphButton::Face CircleGlyphButton::Face::nextPage()
{
    return chevronFace(Glyph::chevronRight);
}

CircleGlyphButton::Face CircleGlyphButton::Face::restart()
{
    Face face;
    face.symbol = u"backward.end.fill"_qs;
    face.diameter = 20;
    face.glyphSize = 8;
    face.weight = QFont::DemiBold;
    face.glyphColor = whiteAt(0.4);
    face.background = whiteAt(0.08);
    return face;
}

CircleGlyphButton::Face CircleGlyphButton::Face::playPause(bool paused)
{
    Face face;
    face.symbol = paused ? u"play.fill"_qs : u"pause.fill"_qs;
    face.diameter = 24;
    face.glyphSize = 10;
    // The platform's yellow in the dark appearance.
    face.glyphColor = paused ? whiteAt(0.6) : QColor::fromRgbF(1, 214 / 255.0f, 10 / 255.0f, 0.8f);
    face.background = whiteAt(0.15);
    return face;
}

CircleGlyphButton::Face CircleGlyphButton::Face::backToList()
{
    Face face;
    face.symbol = u"xmark"_qs;
    face.diameter = 24;
    face.glyphSize = 10;
    face.glyphColor = whiteAt(0.6);
    face.background = whiteAt(0.15);
    return face;
}

CircleGlyphButton::CircleGlyphButton(const Face &face, QWidget *parent)
    : QAbstractButton(parent)
    , m_face(face)
{
    setFocusPolicy(Qt::NoFocus);
    const int extent = int(std::ceil(face.diameter));
    setFixedSize(extent, extent);
    m_longPressTimer.setSingleShot(true);
    m_longPressTimer.setInterval(longPressMs);
    connect(&m_longPressTimer, &QTimer::timeout, this, [this] {
        m_longPressFired = true;
        setDown(false);
        Q_EMIT longPressed();
    });
}

void CircleGlyphButton::setFace(const Face &face)
{
    if (face == m_face)
        return;
    m_face = face;
    const int extent = int(std::ceil(face.diameter));
    setFixedSize(extent, extent);
    update();
}

void CircleGlyphButton::setLongPressEnabled(bool enabled)
{
    m_longPressEnabled = enabled;
    if (!enabled)
        m_longPressTimer.stop();
}

void CircleGlyphButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF disc(0, 0, m_face.diameter, m_face.diameter);
    disc.moveCenter(QRectF(rect()).center());
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_face.background);
    painter.drawEllipse(disc);

    if (m_face.glyph == Glyph::symbol) {
        Icons::paint(&painter, m_face.symbol, disc, m_face.glyphColor, m_face.glyphSize,
                     m_face.weight);
        return;
    }
    QRectF frame(0, 0, m_face.glyphSize, m_face.glyphSize);
    frame.moveCenter(disc.center());
    const QRectF shapeRect(0, 0, frame.width(), frame.height());
    const QPainterPath chevron = m_face.glyph == Glyph::chevronLeft
                                     ? ChevronLeftShape().path(shapeRect)
                                     : ChevronRightShape().path(shapeRect);
    QPen pen(m_face.glyphColor, chevronLineWidth);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(chevron.translated(frame.topLeft()));
}

bool CircleGlyphButton::hitButton(const QPoint &pos) const
{
    const QPointF offset = QPointF(pos) + QPointF(0.5, 0.5) - QRectF(rect()).center();
    return std::hypot(offset.x(), offset.y()) <= m_face.diameter / 2;
}

void CircleGlyphButton::mousePressEvent(QMouseEvent *event)
{
    m_longPressFired = false;
    QAbstractButton::mousePressEvent(event);
    if (m_longPressEnabled && event->button() == Qt::LeftButton && isDown()) {
        m_pressPosition = event->position();
        m_longPressTimer.start();
    }
}

void CircleGlyphButton::mouseMoveEvent(QMouseEvent *event)
{
    if (m_longPressFired) {
        // The press became a long press; moving back over the disc must not arm a click.
        event->accept();
        return;
    }
    const QPointF moved = event->position() - m_pressPosition;
    if (m_longPressTimer.isActive() && std::hypot(moved.x(), moved.y()) > longPressSlop)
        m_longPressTimer.stop();
    QAbstractButton::mouseMoveEvent(event);
}

void CircleGlyphButton::mouseReleaseEvent(QMouseEvent *event)
{
    m_longPressTimer.stop();
    if (std::exchange(m_longPressFired, false))
        setDown(false);
    QAbstractButton::mouseReleaseEvent(event);
}
