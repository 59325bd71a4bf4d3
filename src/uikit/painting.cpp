#include "painting.h"

#include "settings/displaytext.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>

QPainterPath roundedRectPath(const QRectF &rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void strokeInsideRoundedRect(QPainter *painter, const QRectF &rect, double radius, const QPen &pen)
{
    const double half = pen.widthF() / 2;
    painter->setBrush(Qt::NoBrush);
    painter->setPen(pen);
    painter->drawPath(roundedRectPath(rect.adjusted(half, half, -half, -half), radius - half));
}

QPainterPath capsulePath(const QRectF &rect)
{
    const double radius = std::min(rect.width(), rect.height()) / 2;
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void paintSoftShadow(QPainter *painter, const QRectF &body, double cornerRadius,
                     const QColor &color, double blurRadius, double offsetY)
{
    constexpr int layers = 5;
    QColor layer = color;
    layer.setAlphaF(color.alphaF() / layers);
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(layer);
    const QRectF shadow = body.translated(0, offsetY);
    for (int i = layers; i >= 0; --i) {
        const double grow = blurRadius * i / layers;
        const double radius = cornerRadius + grow;
        painter->drawRoundedRect(shadow.adjusted(-grow, -grow, grow, grow), radius, radius);
    }
    painter->restore();
}

void drawTextLine(QPainter &painter, const QRectF &rect, const QString &text)
{
    const QString line = QFontMetricsF(painter.font())
                             .elidedText(DisplayText::oneLine(text), Qt::ElideRight, rect.width());
    const Qt::LayoutDirection direction = painter.layoutDirection();
    painter.setLayoutDirection(line.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    painter.drawText(rect, Qt::AlignLeading | Qt::AlignVCenter, line);
    painter.setLayoutDirection(direction);
}
