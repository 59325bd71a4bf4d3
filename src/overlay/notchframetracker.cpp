#include "notchframetracker.h"

#include "overlay/boundedpixels.h"
#include "uikit/animation.h"

#include <QPropertyAnimation>
#include <QWidget>

#include <cmath>

NotchFrameTracker::NotchFrameTracker(QObject *parent)
    : QObject(parent)
    , m_maximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)
{}

void NotchFrameTracker::setVisibleHeight(double height)
{
    const bool changed = height != m_visibleHeight;
    m_visibleHeight = height;
    if (changed)
        Q_EMIT visibleHeightChanged();
    updatePanelFrame();
}

void NotchFrameTracker::setVisibleWidth(double width)
{
    const bool changed = width != m_visibleWidth;
    m_visibleWidth = width;
    if (changed)
        Q_EMIT visibleWidthChanged();
    updatePanelFrame();
}

void NotchFrameTracker::setPanel(QWidget *panel)
{
    m_panel = panel;
}

QRect NotchFrameTracker::targetFrame() const
{
    // The pinned view writes the stored width as it is.
    const int width = boundedPixels(m_visibleWidth, 1, m_maximumSize.width());
    const int height = boundedPixels(m_visibleHeight, 1, m_maximumSize.height());
    return QRect(int(std::lround(m_screenMidX - width / 2.0)), int(std::lround(m_screenTop)), width,
                 height);
}

QPropertyAnimation *NotchFrameTracker::frameAnimation(bool create)
{
    // One animation per panel: a new target continues from wherever the frame is now.
    auto *animation = m_panel->findChild<QPropertyAnimation *>(QStringLiteral("frameAnimation"),
                                                               Qt::FindDirectChildrenOnly);
    if (!animation && create) {
        animation = new QPropertyAnimation(m_panel, "geometry", m_panel);
        animation->setObjectName(QStringLiteral("frameAnimation"));
        animation->setDuration(frameAnimationMs);
        animation->setEasingCurve(easingCurve(AnimationTiming::easeInOut(0.3)));
    }
    return animation;
}

void NotchFrameTracker::updatePanelFrame()
{
    if (!m_panel)
        return;
    QPropertyAnimation *animation = frameAnimation(true);
    animation->stop();
    animation->setStartValue(m_panel->geometry());
    animation->setEndValue(targetFrame());
    animation->start();
}

void NotchFrameTracker::movePanelNow()
{
    if (!m_panel)
        return;
    if (QPropertyAnimation *animation = frameAnimation(false))
        animation->stop();
    m_panel->setGeometry(targetFrame());
}
