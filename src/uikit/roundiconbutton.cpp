#include "roundiconbutton.h"

#include "uikit/icons.h"

#include <QPainter>

#include <cmath>

void roundIconLabel(QPainter *painter, const QRectF &rect, const QString &symbol, double side,
                    double symbolSize)
{
    QRectF disc(0, 0, side, side);
    disc.moveCenter(rect.center());

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor::fromRgbF(1, 1, 1, 0.1));
    painter->drawEllipse(disc);
    Icons::paint(painter, symbol, disc, QColor::fromRgbF(1, 1, 1, 0.5), symbolSize, QFont::Bold);
    painter->restore();
}

RoundIconButton::RoundIconButton(const QString &symbol, double side, double symbolSize,
                                 QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_side(side)
    , m_symbolSize(symbolSize)
{
    const int extent = int(std::ceil(side));
    setFixedSize(extent, extent);
    setFocusPolicy(Qt::NoFocus);
}

void RoundIconButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    roundIconLabel(&painter, rect(), m_symbol, m_side, m_symbolSize);
}

bool RoundIconButton::hitButton(const QPoint &pos) const
{
    const QPointF offset = QPointF(pos) + QPointF(0.5, 0.5) - QRectF(rect()).center();
    return std::hypot(offset.x(), offset.y()) <= m_side / 2;
}
