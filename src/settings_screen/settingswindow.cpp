#include "settingswindow.h"

#include <QPropertyAnimation>
#include <QScreen>
#include <QWidget>

SettingsWindow::~SettingsWindow() = default;

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
