#include "invisibilityglow.h"

#include "settings/palette.h"
#include "uikit/painting.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double fadeTop = 6;
constexpr double fadeHeight = 40;
constexpr double faintOpacity = 0.3;
constexpr double stripTop = 2;
constexpr double stripHeight = 4;

QPen outlinePen(const QColor &color, double width)
{
    QPen pen(color, width);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

// The soft stroke: a 5 point line blurred with radius 3 at 0.55. Without a blur it is a stack of
// ever wider faint strokes whose overlap rises towards the centre line like the blurred profile.
void paintSoftStroke(QPainter &painter, const QPainterPath &outline)
{
    constexpr double widths[] = {13, 11, 9, 7, 5, 3};
    constexpr double layerOpacity = 0.065;
    for (double width : widths) {
        painter.setPen(outlinePen(accentTeal(layerOpacity), width));
        painter.drawPath(outline);
    }
}

void paintMask(QPainter &painter, const QRectF &frame, double cornerStripWidth)
{
    const double w = frame.width();
    painter.fillRect(QRectF(0, fadeTop, w, std::max(0.0, frame.height() - fadeTop)),
                     edgeFadeGradient(fadeTop));

    const double strip = std::min(cornerStripWidth, w / 2);
    QLinearGradient left(0, 0, strip, 0);
    left.setColorAt(0, whiteAt(faintOpacity));
    left.setColorAt(0.5, whiteAt(faintOpacity));
    left.setColorAt(1, Qt::transparent);
    painter.fillRect(QRectF(0, stripTop, strip, stripHeight), left);
    QLinearGradient right(w - strip, 0, w, 0);
    right.setColorAt(0, Qt::transparent);
    right.setColorAt(0.5, whiteAt(faintOpacity));
    right.setColorAt(1, whiteAt(faintOpacity));
    painter.fillRect(QRectF(w - strip, stripTop, strip, stripHeight), right);
}

} // namespace

QLinearGradient edgeFadeGradient(double top)
{
    QLinearGradient gradient(0, top, 0, top + fadeHeight);
    gradient.setColorAt(0, whiteAt(faintOpacity));
    gradient.setColorAt(1, Qt::white);
    return gradient;
}

void paintInvisibilityGlow(QPainter &painter, const QPainterPath &outline, const QRectF &frame,
                           double cornerStripWidth, double opacity)
{
    if (opacity <= 0 || frame.isEmpty())
        return;
    // The glow is drawn apart, in the frame's own coordinates, so that the mask cuts only the
    // glow and not what the painter already holds.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels(int(std::ceil(frame.width() * ratio)),
                       int(std::ceil(frame.height() * ratio)));
    QImage layer(pixels, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(ratio);
    layer.fill(Qt::transparent);
    {
        QPainter glow(&layer);
        glow.setRenderHint(QPainter::Antialiasing);
        const QPainterPath local = outline.translated(-frame.topLeft());
        paintSoftStroke(glow, local);
        glow.setPen(outlinePen(accentTeal(1), 1.5));
        glow.drawPath(local);

        QImage mask(pixels, QImage::Format_ARGB32_Premultiplied);
        mask.setDevicePixelRatio(ratio);
        mask.fill(Qt::transparent);
        QPainter maskPainter(&mask);
        paintMask(maskPainter, frame, cornerStripWidth);
        maskPainter.end();

        glow.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        glow.drawImage(0, 0, mask);
    }
    painter.save();
    painter.setOpacity(painter.opacity() * std::min(1.0, opacity));
    painter.drawImage(frame.topLeft(), layer);
    painter.restore();
}

void paintSoftAccentStroke(QPainter &painter, const QPainterPath &outline)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    paintSoftStroke(painter, outline);
    painter.restore();
}

void paintFloatingPanelBorder(QPainter &painter, const QRectF &panelRect, double cornerRadius,
                              double opacity)
{
    if (opacity <= 0 || panelRect.isEmpty())
        return;
    constexpr double glowInset = 3;
    constexpr double lineWidth = 1.5;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(painter.opacity() * std::min(1.0, opacity));
    painter.setBrush(Qt::NoBrush);
    QPainterPath glow;
    // An inset rounded rectangle keeps its corners concentric with the panel's.
    const double glowRadius = std::max(0.0, cornerRadius - glowInset);
    glow.addRoundedRect(panelRect.adjusted(glowInset, glowInset, -glowInset, -glowInset),
                        glowRadius, glowRadius);
    paintSoftStroke(painter, glow);
    strokeInsideRoundedRect(&painter, panelRect, cornerRadius,
                            outlinePen(accentTeal(1), lineWidth));
    painter.restore();
}
