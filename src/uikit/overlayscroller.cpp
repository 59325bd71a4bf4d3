#include "overlayscroller.h"

#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/painting.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

OverlayScroller::OverlayScroller(QAbstractScrollArea *area)
    : QWidget(area)
    , m_area(area)
    , m_viewport(area->viewport())
    , m_opacity(new AnimatedValue(0, this))
    , m_linger(new QTimer(this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    m_linger->setSingleShot(true);
    m_linger->setInterval(lingerMs);
    connect(m_linger, &QTimer::timeout, this,
            [this] { m_opacity->animateTo(0, AnimationTiming::easeInOut(0.3)); });
    connect(m_opacity, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    connect(m_opacity, &AnimatedValue::finished, this, [this] {
        if (m_opacity->value() <= 0)
            hide();
    });
    // A child of the area, not of its viewport: the viewport scrolls its children along.
    QScrollBar *bar = area->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, &OverlayScroller::flash);
    connect(bar, &QScrollBar::rangeChanged, this, qOverload<>(&QWidget::update));
    m_viewport->installEventFilter(this);
    followViewport();
}

double OverlayScroller::opacity() const
{
    return isVisible() ? m_opacity->value() : 0;
}

QRectF OverlayScroller::thumbRect() const
{
    const QScrollBar *bar = m_area->verticalScrollBar();
    const double range = bar->maximum() - bar->minimum();
    const double track = height() - 2 * inset;
    if (range <= 0 || track <= 0)
        return {};
    const double length = std::clamp(track * bar->pageStep() / (range + bar->pageStep()),
                                     std::min(double(minimumThumbLength), track), track);
    const double top = inset + (track - length) * (bar->value() - bar->minimum()) / range;
    return {double(inset), top, double(thumbWidth), length};
}

void OverlayScroller::flash()
{
    const QScrollBar *bar = m_area->verticalScrollBar();
    if (bar->maximum() <= bar->minimum())
        return;
    m_opacity->setValue(1);
    show();
    raise();
    m_linger->start();
}

void OverlayScroller::followViewport()
{
    const QRect viewport = m_viewport->geometry();
    setGeometry(viewport.right() + 1 - thumbWidth - 2 * inset, viewport.top(),
                thumbWidth + 2 * inset, viewport.height());
}

bool OverlayScroller::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        followViewport();
    return QWidget::eventFilter(watched, event);
}

void OverlayScroller::paintEvent(QPaintEvent *)
{
    const QRectF thumb = thumbRect();
    if (thumb.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(std::clamp(m_opacity->value(), 0.0, 1.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(whiteAt(0.45));
    painter.drawPath(capsulePath(thumb));
}
