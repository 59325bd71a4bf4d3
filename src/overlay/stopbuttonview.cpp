#include "stopbuttonview.h"

#include "uikit/icons.h"

#include <QPainter>

#include <cmath>

StopButtonView::StopButtonView(QWidget *parent)
    : QAbstractButton(parent)
{
    setFixedSize(side, side);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, &StopButtonView::stopRequested);
}

void StopButtonView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(0, 0, side, side);
    painter.setPen(Qt::NoPen);
    QColor red(255, 69, 58);
    red.setAlphaF(0.85);
    painter.setBrush(red);
    painter.drawEllipse(disc);
    Icons::paint(&painter, u"stop.fill"_qs, disc, Qt::white, 14, QFont::Bold);
}

bool StopButtonView::hitButton(const QPoint &pos) const
{
    const QPointF offset = QPointF(pos) + QPointF(0.5, 0.5) - QPointF(side / 2.0, side / 2.0);
    return std::hypot(offset.x(), offset.y()) <= side / 2.0;
}
