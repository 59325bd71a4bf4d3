#include "prominentbutton.h"

#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/painting.h"

#include <QPainter>

namespace {

constexpr int controlHeight = 22;
constexpr int horizontalPadding = 10;
constexpr double cornerRadius = 6;

} // namespace

ProminentButton::ProminentButton(QWidget *parent)
    : QPushButton(parent)
{
    setFont(Fonts::systemFont(11, QFont::Medium));
    setAutoDefault(true);
    setCursor(Qt::PointingHandCursor);
}

QSize ProminentButton::sizeHint() const
{
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return {textWidth + 2 * horizontalPadding, controlHeight};
}

void ProminentButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(1, 1, -1, -1);
    QColor fill = palette().color(QPalette::Highlight);
    if (!isEnabled())
        fill = whiteAt(0.1);
    else if (isDown())
        fill = fill.darker(125);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPath(roundedRectPath(body, cornerRadius));
    // Where the keyboard is: a light edge inside the fill.
    if (hasFocus())
        strokeInsideRoundedRect(&painter, body, cornerRadius, QPen(whiteAt(0.55), 1));
    painter.setPen(isEnabled() ? QColor(Qt::white) : whiteAt(0.25));
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, text());
}
