#include "visibilitytoastview.h"

#include "icons.h"
#include "settings/palette.h"

#include "platform/fonts.h"
#include "settings/localization.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr double iconSide = 20;
constexpr double spacing = 8;
constexpr double horizontalPadding = 12;
constexpr double verticalPadding = 6;

QFont labelFont()
{
    QFont font = Fonts::systemFont(12, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.2);
    return font;
}

QString labelText()
{
    return localizedString("Invisible");
}

QPainterPath capsule(const QRectF &rect)
{
    const double radius = std::min(rect.width(), rect.height()) / 2;
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace

VisibilityToastView::VisibilityToastView(QWidget *parent)
    : QWidget(parent)
{}

QSizeF VisibilityToastView::capsuleSize() const
{
    const QFontMetricsF metrics(labelFont());
    const double contentWidth = iconSide + spacing + metrics.horizontalAdvance(labelText());
    const double contentHeight = std::max(iconSide, metrics.height());
    return {contentWidth + 2 * horizontalPadding, contentHeight + 2 * verticalPadding};
}

QRectF VisibilityToastView::capsuleRect() const
{
    return QRectF(QPointF(shadowMargins.left(), shadowMargins.top()), capsuleSize());
}

QSize VisibilityToastView::sizeHint() const
{
    const QSizeF capsule = capsuleSize();
    return QSize(int(std::ceil(capsule.width())) + shadowMargins.left() + shadowMargins.right(),
                 int(std::ceil(capsule.height())) + shadowMargins.top() + shadowMargins.bottom());
}

void VisibilityToastView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF body = capsuleRect();

    // A soft shadow 4 pt below: stacked capsules, each wider and fainter, stand in for a blur
    // of radius 10 that the panels cannot have without a compositor.
    constexpr int shadowLayers = 5;
    constexpr double shadowReach = 10;
    const QRectF shadowBody = body.translated(0, 4);
    for (int i = shadowLayers; i >= 1; --i) {
        const double grow = shadowReach * i / shadowLayers;
        painter.setBrush(accentTeal(0.25 / shadowLayers));
        painter.drawPath(capsule(shadowBody.adjusted(-grow, -grow, grow, grow)));
    }
    painter.setBrush(accentTeal(0.25 / shadowLayers));
    painter.drawPath(capsule(shadowBody));

    painter.setBrush(QColor::fromRgbF(0.075f, 0.085f, 0.095f));
    painter.drawPath(capsule(body));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(accentTeal(0.35), 1));
    painter.drawPath(capsule(body.adjusted(0.5, 0.5, -0.5, -0.5)));

    QRectF icon(0, 0, iconSide, iconSide);
    icon.moveCenter(QPointF(body.left() + horizontalPadding + iconSide / 2, body.center().y()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(accentTeal(0.2));
    painter.drawEllipse(icon);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(accentTeal(0.4), 0.5));
    painter.drawEllipse(icon.adjusted(0.25, 0.25, -0.25, -0.25));
    Icons::paint(&painter, u"eye.slash"_qs, icon, accentTeal(1), 9.5, QFont::DemiBold);

    const QRectF label(icon.right() + spacing, body.top(),
                       body.right() - horizontalPadding - icon.right() - spacing, body.height());
    painter.setFont(labelFont());
    painter.setPen(Qt::white);
    painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, labelText());
}
