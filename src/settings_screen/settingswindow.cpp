#include "settingswindow.h"

#include "overlay/boundedpixels.h"
#include "settings_screen/notchpreviewcontroller.h"

#include <QPropertyAnimation>
#include <QScreen>
#include <QWidget>

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::keepClearOfPreview(const ScreenInfo &previewScreen, double textAreaHeight,
                                        Motion motion)
{
    const std::optional<QRect> frame = this->frame();
    const std::optional<ScreenInfo> screen = this->screen();
    if (!frame || !screen || screen->name != previewScreen.name)
        return;
    if (const std::optional<int> top = topClearOfPreview(*frame, *screen, textAreaHeight))
        moveTo(QPoint(frame->left(), *top), motion);
}

std::optional<int> SettingsWindow::topClearOfPreview(const QRect &frame, const ScreenInfo &screen,
                                                     double textAreaHeight)
{
    const QRect &whole = screen.geometry;
    const QRect &available = screen.availableGeometry;
    // The preview's text area, as tall as the setting but never taller than the screen, under
    // the strip the preview itself leaves for the top bar.
    const int textArea = boundedPixels(textAreaHeight, 0, whole.height());
    const int limit = whole.top() + NotchPreviewController::topStripHeight(screen) + textArea
                      + previewClearance;
    if (frame.top() >= limit)
        return std::nullopt;
    const int availableBottom = available.top() + available.height();
    const int top = std::min(limit, availableBottom - bottomMargin - frame.height());
    // A window taller than the free area keeps its title bar within reach.
    return std::max(top, available.top());
}

WidgetSettingsWindow::WidgetSettingsWindow(QWidget *insideWindow)
    : m_widget(insideWindow)
{}

QWidget *WidgetSettingsWindow::window() const
{
    return m_widget ? m_widget->window() : nullptr;
}

std::optional<QRect> WidgetSettingsWindow::frame() const
{
    const QWidget *window = this->window();
    if (!window || !window->isVisible())
        return std::nullopt;
    return window->frameGeometry();
}

std::optional<ScreenInfo> WidgetSettingsWindow::screen() const
{
    const QWidget *window = this->window();
    const QScreen *screen = window ? window->screen() : nullptr;
    if (!screen)
        return std::nullopt;
    return ScreenInfo{screen->name(), screen->geometry(), screen->availableGeometry(),
                      Screens::displayNumberForName(screen->name())};
}

void WidgetSettingsWindow::moveTo(const QPoint &topLeft, Motion motion)
{
    QWidget *window = this->window();
    if (!window)
        return;
    // A newer move replaces one under way.
    qDeleteAll(window->findChildren<QPropertyAnimation *>(QStringLiteral("settingsWindowMove"),
                                                          Qt::FindDirectChildrenOnly));
    if (motion == Motion::none || window->pos() == topLeft) {
        window->move(topLeft);
        return;
    }
    auto *animation = new QPropertyAnimation(window, "pos", window);
    animation->setObjectName(QStringLiteral("settingsWindowMove"));
    animation->setEndValue(topLeft);
    if (motion == Motion::recentre) {
        QEasingCurve glide(QEasingCurve::BezierSpline);
        glide.addCubicBezierSegment({0.22, 1.0}, {0.36, 1.0}, {1, 1});
        animation->setEasingCurve(glide);
        animation->setDuration(recentreMs);
    } else {
        animation->setEasingCurve(QEasingCurve::InOutCubic);
        animation->setDuration(int(windowMoveSeconds * 1000));
    }
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}
