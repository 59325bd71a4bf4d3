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

    // The window keeps this far below a preview, and this far above the bottom of the screen's
    // free area.
    static constexpr int previewClearance = 24;
    static constexpr int bottomMargin = 10;

    virtual ~SettingsWindow();

    // Nothing when there is no main window.
    virtual std::optional<QRect> frame() const = 0;
    // The screen the window is on; nothing without one.
    virtual std::optional<ScreenInfo> screen() const = 0;
    virtual void moveTo(const QPoint &topLeft, Motion motion) = 0;

    // Moves the window down just clear of a preview hanging from the top of `previewScreen`
    // with a text area this tall; a window on another screen stays where it is.
    void keepClearOfPreview(const ScreenInfo &previewScreen, double textAreaHeight, Motion motion);
    // The top that keeps a window of this frame clear of that preview on its screen, raised on
    // a short screen; nothing when the window is already clear.
    static std::optional<int> topClearOfPreview(const QRect &frame, const ScreenInfo &screen,
                                                double textAreaHeight);
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
