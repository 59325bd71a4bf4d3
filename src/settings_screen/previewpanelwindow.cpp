#include "previewpanelwindow.h"

#include "overlay/overlaypanel.h"
#include "uikit/animation.h"

#include <QPainterPathStroker>
#include <QVariantAnimation>

PreviewPanelWindow::~PreviewPanelWindow() = default;

OverlayPreviewWindow::OverlayPreviewWindow(NotchPreviewContent::Options options, const QRect &frame,
                                           bool interactive)
{
    const bool glow = options.glow;
    auto *content = new NotchPreviewContent(std::move(options));
    m_content = content;
    m_panel = new OverlayPanel(content, interactive ? OverlayPanel::NoOption
                                                    : OverlayPanel::TransparentForInput);
    m_panel->setClickThrough(!interactive);
    m_panel->setGeometry(frame);
    // No compositor: whatever lies outside the mock would be black, so the panel is cut to it,
    // with room for the glow around it where there is one.
    m_panel->setShape([content, glow] {
        const QPainterPath outline = content->outlinePath();
        if (!glow || outline.isEmpty())
            return outline;
        QPainterPathStroker stroker;
        stroker.setWidth(2 * NotchPreviewContent::glowReach);
        return outline.united(stroker.createStroke(outline));
    });
    QObject::connect(content, &NotchPreviewContent::outlineChanged, m_panel,
                     &OverlayPanel::refreshShape);
}

OverlayPreviewWindow::~OverlayPreviewWindow()
{
    stopAnimation();
    if (m_panel) {
        m_panel->hide();
        m_panel->deleteLater();
    }
}

QRect OverlayPreviewWindow::frame() const
{
    return m_panel ? m_panel->geometry() : QRect();
}

void OverlayPreviewWindow::setFrame(const QRect &frame)
{
    stopAnimation();
    if (m_panel)
        m_panel->setGeometry(frame);
}

void OverlayPreviewWindow::moveTo(const QPoint &topLeft)
{
    if (m_panel)
        m_panel->move(topLeft);
}

void OverlayPreviewWindow::animateFrame(const QRect &target, int milliseconds,
                                        std::function<void()> arrived)
{
    stopAnimation();
    if (!m_panel)
        return;
    auto *animation = new QVariantAnimation(m_panel);
    animation->setStartValue(m_panel->geometry());
    animation->setEndValue(target);
    animation->setDuration(milliseconds);
    animation->setEasingCurve(easingCurve(AnimationTiming::easeInOut(milliseconds / 1000.0)));
    OverlayPanel *panel = m_panel;
    QObject::connect(animation, &QVariantAnimation::valueChanged, panel,
                     [panel](const QVariant &value) { panel->setGeometry(value.toRect()); });
    QObject::connect(animation, &QVariantAnimation::finished, panel,
                     [arrived = std::move(arrived)] {
                         if (arrived)
                             arrived();
                     });
    m_animation = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void OverlayPreviewWindow::stopAnimation()
{
    if (!m_animation)
        return;
    // Stopping by hand must not report an arrival.
    m_animation->disconnect();
    m_animation->stop();
    m_animation = nullptr;
}

bool OverlayPreviewWindow::isAnimating() const
{
    return m_animation && m_animation->state() == QAbstractAnimation::Running;
}

void OverlayPreviewWindow::orderFront()
{
    if (m_panel)
        m_panel->orderFront();
}

void OverlayPreviewWindow::orderOut()
{
    if (m_panel)
        m_panel->hide();
}

bool OverlayPreviewWindow::isShown() const
{
    return m_panel && m_panel->isVisible();
}

void OverlayPreviewWindow::setInteractive(bool interactive)
{
    if (m_panel)
        m_panel->setClickThrough(!interactive);
}

bool OverlayPreviewWindow::isInteractive() const
{
    return m_panel && !m_panel->isClickThrough();
}
