#pragma once

#include "platform/screens.h"

#include <QPointer>
#include <QRect>

#include <optional>

class QWidget;

// The main window as the settings screen moves it out of the preview's way. Global
// coordinates, y growing downwards; the frame includes the window manager's decorations.
class SettingsWindow
{
public:
    enum class Motion {
        none,    // at once
        window,  // the window's own short move
        recentre // the slower glide back to the centre
    };

    virtual ~SettingsWindow();

    // Nothing when there is no main window.
    virtual std::optional<QRect> frame() const = 0;
    // The screen the window is on; nothing without one.
    virtual std::optional<ScreenInfo> screen() const = 0;
    virtual void moveTo(const QPoint &topLeft, Motion motion) = 0;
};

// The top-level window of a widget.
class WidgetSettingsWindow : public SettingsWindow
{
public:
    static constexpr double windowMoveSeconds = 0.2;
    static constexpr int recentreMs = 550;

    explicit WidgetSettingsWindow(QWidget *insideWindow);

    std::optional<QRect> frame() const override;
    std::optional<ScreenInfo> screen() const override;
    void moveTo(const QPoint &topLeft, Motion motion) override;

private:
    QWidget *window() const;

    QPointer<QWidget> m_widget;
};
