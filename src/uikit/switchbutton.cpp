#include "switchbutton.h"

#include "uikit/painting.h"

#include <QPainter>

#include <cmath>

namespace {

const QColor platformAccent(10, 132, 255);

} // namespace

SwitchButton::SwitchButton(QWidget *parent)
    : QAbstractButton(parent)
    , m_position(new AnimatedValue(0, this))
    , m_onColor(platformAccent)
{
    setCheckable(true);
    setFixedSize(switchSize);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    connect(m_position, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (isVisible() && m_motion.runs())
            m_position->animateTo(on ? 1 : 0, m_motion.timing);
        else
            m_position->setValue(on ? 1 : 0);
        update();
    });
}

void SwitchButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double t = m_position->value();
    const QRectF track = QRectF(QPointF(0, 0), m_size).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor off(255, 255, 255, int(0.16 * 255));
    QColor fill = m_onColor;
    fill.setAlphaF(float(t));
    p.setPen(Qt::NoPen);
    p.setBrush(off);
    p.drawPath(capsulePath(track));
    p.setBrush(fill);
    p.drawPath(capsulePath(track));
    if (!isEnabled()) {
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawPath(capsulePath(track));
    }
    const double knob = track.height() - 3;
    const double x = track.left() + 1.5 + t * (track.width() - knob - 3);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(x, track.top() + 1.5, knob, knob));
    if (hasFocus()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(m_onColor.lighter(130), 1));
        p.drawPath(capsulePath(track));
    }
}

QSize SwitchButton::sizeHint() const
{
    return {int(std::ceil(m_size.width())), int(std::ceil(m_size.height()))};
}

void SwitchButton::setSwitchSize(const QSizeF &size)
{
    m_size = size;
    setFixedSize(sizeHint());
    update();
}

void SwitchButton::setOnColor(const QColor &color)
{
    m_onColor = color;
    update();
}

bool SwitchButton::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}
