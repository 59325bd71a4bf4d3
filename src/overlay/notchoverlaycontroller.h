#pragma once

#include "overlay/model/readingoverlay.h"
#include "overlay/notchframetracker.h"
#include "overlay/overlaypanel.h"
#include "platform/activewindow.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class CaptureShield;
class GlobalHotKeys;
class NotchSettings;
class OverlayContent;
class OverlayDocumentService;
class Screens;
class SpeechRecognizer;
struct ScreenInfo;

// Runs a reading session: shows the page in an overlay panel, keeps the panel's model filled,
// turns what views and keys leave in the model into calls of the document service, and takes
// everything down when the session ends. One per process, owned by the document service.
class NotchOverlayController : public QObject, public ReadingOverlay
{
    Q_OBJECT

public:
    // Ids of the session's global keys.
    enum HotKeyId {
        arrowLeftHotKey = 10,
        arrowRightHotKey = 11,
        arrowUpHotKey = 12,
        arrowDownHotKey = 13,
        escHotKey = 15,
        cmdMHotKey = 16,
    };

    static constexpr int pollIntervalMs = 100;
    static constexpr int dismissDelayMs = 400;
    static constexpr int screenFollowIntervalMs = 300;
    static constexpr int cursorFollowIntervalMs = 16;
    // The floating panel may be resized between these bounds (heights add the text height).
    static constexpr int floatingMinimumWidth = 280;
    static constexpr int floatingMaximumWidth = 500;
    static constexpr int floatingExtraHeight = 350;
    static constexpr int arrowRepeatDelayMs = 350;
    static constexpr int arrowRepeatIntervalMs = 50;
    // Room for the pinned panel's top bar on a display without a top panel.
    static constexpr int minimumTopStripHeight = 28;

    NotchOverlayController(NotchSettings &settings, Screens &screens, ActiveWindow &activeWindow,
                           const CaptureShield &captureShield,
                           std::unique_ptr<GlobalHotKeys> hotKeys, QObject *parent = nullptr);
    ~NotchOverlayController() override;

    void setDocumentService(OverlayDocumentService *service);

    // Opens a session on the text, tearing down any previous one without its completion.
    void show(const QString &text, bool hasNextPage, bool isNotesMode,
              std::function<void()> onComplete) override;
    // Loads another page into the open session without rebuilding the panel.
    void updateContent(const QString &text, bool hasNextPage, bool isNotesMode) override;
    // Ends the session; the panel closes and the completion runs 0.4 s later.
    void dismiss() override;

    // The session's global keys: the arrows, Esc and Ctrl+M.
    void registerHotKeys() override;
    void unregisterArrowHotKeys();
    void unregisterAllHotKeys();

    // The local key handling of the floating, cursor and fullscreen panels.
    void installKeyMonitor();
    void removeKeyMonitor();
    // True when the key was consumed.
    bool handleLocalKeyDown(int key, Qt::KeyboardModifiers modifiers);

    OverlayPanel *panel() const { return m_panel; }
    OverlayPanel *stopButtonPanel() const { return m_stopButtonPanel; }
    bool hasPanel() const override { return m_panel; }
    OverlayContent &overlayContent() const override { return *m_overlayContent; }
    SpeechRecognizer &speechRecognizer() const override { return *m_speechRecognizer; }
    NotchFrameTracker *frameTracker() const { return m_frameTracker; }
    bool isDismissing() const { return m_isDismissing; }
    quint32 currentScreenID() const { return m_currentScreenID; }
    GlobalHotKeys &hotKeys() const { return *m_hotKeys; }
    bool isArrowRepeating() const { return m_arrowScrollTimer.isActive(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void tearDown();
    void poll();
    void finishDismissal(quint64 session);
    void scheduleDismissalFinish();
    void handleCollapseChanged(bool collapsed);
    void presentPinned(const ScreenInfo &screen);
    void presentFloating(const ScreenInfo &screen);
    void presentCursor(const ScreenInfo &screen);
    void presentFullscreen(const ScreenInfo &chosen);
    void presentStopButton(const ScreenInfo &screen);
    void followMouseScreen();
    void followCursor();
    OverlayPanel *makePanel(QWidget *view, OverlayPanel::Options options);
    void closePanel();
    void applyCaptureVisibility();

    void handleHotKey(int id, bool released);
    void handleEscape();
    void handleCmdM();
    void handleArrowHotKey(int id, bool released);
    void stopArrowRepeat();
    void openNeighbourPage(int step);
    double arrowScrollStep() const;

    NotchSettings &m_settings;
    Screens &m_screens;
    ActiveWindow &m_activeWindow;
    const CaptureShield &m_captureShield;
    std::unique_ptr<GlobalHotKeys> m_hotKeys;
    OverlayDocumentService *m_service = nullptr;

    QPointer<OverlayPanel> m_panel;
    SpeechRecognizer *m_speechRecognizer = nullptr;
    OverlayContent *m_overlayContent = nullptr;
    std::function<void()> m_onComplete;
    std::function<void()> m_onNextPage;
    QTimer m_poll;
    bool m_isDismissing = false;
    // Each show() opens a new session; a delayed finish belongs to the session that asked.
    quint64 m_session = 0;
    QPointer<NotchFrameTracker> m_frameTracker;
    QTimer m_mouseTrackingTimer;
    QTimer m_cursorTrackingTimer;
    QPoint m_lastCursorPosition;
    QPointer<OverlayPanel> m_stopButtonPanel;
    quint32 m_currentScreenID = 0;
    bool m_keyMonitorInstalled = false;
    bool m_hotKeyHandlerInstalled = false;
    QTimer m_arrowScrollTimer;
    double m_arrowScrollDirection = 0;
    ActiveWindow::WindowId m_previouslyActiveWindow = 0;
};
