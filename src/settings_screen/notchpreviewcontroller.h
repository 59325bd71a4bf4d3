#pragma once

#include "settings_screen/notchpreviewcontrolling.h"
#include "settings_screen/previewpanelwindow.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CaptureShield;
class NotchSettings;
class Screens;
struct ScreenInfo;

// The live preview of the reading panel: one window hanging from the top centre of the main
// screen, mirroring the overlay mode, plus up to three duplicates in the floating mode. Pinned
// and fullscreen keep the full-size, click-through window; floating shrinks it to a sticky
// window that takes clicks and is moved by its background; cursor makes it follow the pointer.
// It never writes a setting.
class NotchPreviewController : public QObject, public NotchPreviewControlling
{
    Q_OBJECT

public:
    // Builds one window showing the mock, at `frame`, click-through unless `interactive`.
    using WindowFactory = std::function<std::unique_ptr<PreviewPanelWindow>(
        NotchPreviewContent::Options options, const QRect &frame, bool interactive)>;
    // Runs `task` once, `delayMs` later, on the main thread.
    using Scheduler = std::function<void(int delayMs, std::function<void()> task)>;

    static constexpr int panelWidth = 500;
    static constexpr int panelExtraHeight = 440;
    static constexpr int stickyExtraWidth = 16;
    static constexpr int stickyExtraHeight = 82; // 14 top band + 60 shift + 8 below
    static constexpr int duplicateCascade = 36;
    static constexpr int maximumDuplicates = 3;
    static constexpr int cursorOffsetX = 8;
    static constexpr int moveDurationMs = 500;
    static constexpr int dismissDelayMs = 500;
    static constexpr int cursorFollowIntervalMs = 16;

    // `notifications` is an object with a notchPreviewWillDismiss() signal (the application's
    // notifications); without one the controller's own signal carries the announcement.
    NotchPreviewController(Screens &screens, const CaptureShield &captureShield,
                           QObject *notifications = nullptr, QObject *parent = nullptr);
    ~NotchPreviewController() override;

    void setWindowFactory(WindowFactory factory);
    void setScheduler(Scheduler scheduler);

    // Shows the preview and applies the mode. On a live preview it only orders the main window
    // front and applies the mode again: `glow` is then ignored, `forcePinned` takes effect.
    void show(NotchSettings &settings, bool glow, bool forcePinned) override;
    // Makes the windows mirror the overlay mode.
    void applyMode(NotchSettings &settings) override;
    // Resizes the main window to the sticky size, keeping its horizontal centre and its top.
    void shrinkToStickySize(NotchSettings &settings);
    // Opens one duplicate below and right of the newest window (floating mode, at most three).
    void duplicateWindow(NotchSettings &settings);
    void closeAllDuplicates();
    // Hides every window, keeping them and the saved frames.
    void hideAll() override;
    // Removes the preview at once. Nothing shown: nothing happens.
    void tearDown() override;
    // Announces the dismissal, then tears down 0.5 s later.
    void dismiss() override;
    // Moves the main window to the pointer over 0.5 s, then follows the pointer.
    void startCursorFollow(NotchSettings &settings) override;
    // Stops following and moves the main window back to where following began; `completion`
    // runs once it is there (at once when nothing was following).
    void stopCursorFollow(std::function<void()> completion = {}) override;
    void startCursorTimer();
    void followCursorTick();

    PreviewPanelWindow *panel() const { return m_panel.get(); }
    NotchPreviewContent *hostingView() const { return m_panel ? m_panel->content() : nullptr; }
    std::optional<QRect> originalFrame() const { return m_originalFrame; }
    bool hasOriginalFrame() const override { return m_originalFrame.has_value(); }
    // The display under the panel's centre; the main screen before the panel exists.
    std::optional<ScreenInfo> screen() const override;
    std::optional<QRect> fullFrame() const { return m_fullFrame; }
    const std::vector<std::unique_ptr<PreviewPanelWindow>> &duplicatePanels() const
    {
        return m_duplicatePanels;
    }
    bool forcePinned() const { return m_forcePinned; }
    bool isFollowingCursor() const { return m_cursorTimer.isActive(); }

    // The strip the mock's top band spans on `screen`: the desktop's top panel, with the same
    // room for the bar as the reading panel keeps on a display without one. Whatever keeps clear
    // of the preview reads the same strip.
    static int topStripHeight(const ScreenInfo &screen);

Q_SIGNALS:
    void notchPreviewWillDismiss();

private:
    // Windows on a display that went away come back onto the main screen; for a while after, so
    // does any the window manager leaves partly off the displays.
    void bringBackFrom(const ScreenInfo &removed);
    void keepWindowsOnScreen();
    // The main window hangs from the top centre, as it was placed; a duplicate moves as little
    // as fits. `frame` is the window's frame before it left its display.
    void bringBack(PreviewPanelWindow *window, const QRect &frame);
    QRect cursorTarget(const QRect &frame, double notchWidth) const;
    NotchPreviewContent::Options contentOptions(NotchSettings &settings, double menuBarHeight,
                                                bool glow, bool showStickyHint, bool forcePinned);

    Screens &m_screens;
    const CaptureShield &m_captureShield;
    QPointer<QObject> m_notifications;
    WindowFactory m_windowFactory;
    Scheduler m_scheduler;

    std::unique_ptr<PreviewPanelWindow> m_panel;
    std::optional<QRect> m_originalFrame;
    QTimer m_cursorTimer;
    QPointer<NotchSettings> m_trackingSettings;
    std::vector<std::unique_ptr<PreviewPanelWindow>> m_duplicatePanels;
    std::optional<QRect> m_fullFrame;
    bool m_forcePinned = false;
    QTimer m_screenSettle;
    int m_screenSettleChecks = 0;
    // Each move to the pointer; a move that was stopped or replaced never starts the follow.
    quint64 m_move = 0;
};
