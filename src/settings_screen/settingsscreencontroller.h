#pragma once

#include "settings/presets.h"

#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>

class Dialogs;
class GlobalHotkeyManager;
class NotchPreviewControlling;
class NotchSettings;
class SettingsWindow;
struct ScreenInfo;

// The settings screen's sequences, free of any widget: the live preview kept in step with the
// settings, the main window kept out of the preview's way, the closing sequence and the reset.
// Main thread only.
class SettingsScreenController : public QObject
{
    Q_OBJECT

public:
    // Runs a step after a delay in milliseconds; tests run the steps by hand.
    using Scheduler = std::function<void(int delayMs, std::function<void()> step)>;

    static constexpr int cursorFollowDelayMs = 100;
    static constexpr double recentreSeconds = 0.55;
    static constexpr int doneAfterRecentreMs = 420;
    static constexpr int doneWithoutMoveMs = 150;
    // In the floating mode the window's bottom sits this far above the free area's bottom.
    static constexpr int floatingBottomOffset = 200;

    // The preview may be absent: the screen then moves only the window. Without a hot-key
    // manager the reset clears only the stored key.
    SettingsScreenController(NotchSettings &settings,
                             std::unique_ptr<NotchPreviewControlling> preview,
                             SettingsWindow &window, Dialogs &dialogs,
                             GlobalHotkeyManager *hotkeyManager, QObject *parent = nullptr);
    ~SettingsScreenController() override;

    Scheduler scheduler;
    // Whether the desktop asks for less motion; none means motion.
    std::function<bool()> reduceMotion;

    NotchPreviewControlling *preview() const { return m_preview.get(); }
    bool isClosing() const { return m_isClosing; }

    // The screen came on screen: the preview, then the window's place.
    void appeared();
    // The screen went away: the preview goes with it.
    void disappeared();
    void applicationActiveChanged(bool active);

    // "Listo": the preview leaves, the window glides back to the centre, then done(). Later
    // calls do nothing.
    void closeSettings();
    // "Restablecer todo": asks, and resets only on "Restablecer".
    void confirmReset();
    void resetAllSettings();

    void showPreview();
    void placeSettingsWindow();
    void handleOverlayModeChange(OverlayMode mode);
    // Whether the window moves.
    bool recenterSettingsWindow(double seconds);

    // Where a frame of this size sits centred in the screen's free area (kept inside it).
    static QPoint centredTopLeft(const QRect &frame, const QRect &availableGeometry);

Q_SIGNALS:
    // The closing sequence has finished; emitted once.
    void done();

private:
    void showPreviewStep();
    // The screen the preview hangs from: without a preview, the window's own.
    std::optional<ScreenInfo> previewScreen() const;
    void schedule(int delayMs, std::function<void()> step);

    NotchSettings &m_settings;
    std::unique_ptr<NotchPreviewControlling> m_preview;
    SettingsWindow &m_window;
    Dialogs &m_dialogs;
    GlobalHotkeyManager *m_hotkeyManager = nullptr;
    bool m_isClosing = false;
    bool m_appeared = false;
    bool m_asking = false;
};
