#pragma once

#include "overlay/model/readingoverlay.h"
#include "overlay/notchframetracker.h"
#include "overlay/overlaypanel.h"
#include "overlay/stickyinstance.h"
#include "platform/activewindow.h"

#include <QList>
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
class QWindow;
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
    // The floating main window and its sticky duplicates together.
    static constexpr int maximumWindowCount = 4;
    // A new duplicate opens this far right of and below its source's top-left corner.
    static constexpr int duplicateOffset = 28;
    static constexpr int duplicateCloseDelayMs = 350;
    // How long after a display goes away panels are kept whole on the displays, and how often
    // they are looked at: window managers move windows they find off the displays late.
    static constexpr int screenSettleMs = 3000;
    static constexpr int screenSettleCheckMs = 100;

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
    // True when the key was consumed. keyWindow is the window the key went to.
    bool handleLocalKeyDown(int key, Qt::KeyboardModifiers modifiers, QWindow *keyWindow = nullptr);

    // Sticky duplicates of the floating mode. duplicateWindow opens one on the page of the
    // window whose model is given; it is each floating window's duplicate action.
    void duplicateWindow(OverlayContent &source);
    void updateDuplicateAvailability();
    void closeStickyDuplicate(StickyInstance &duplicate);
    void closeAllStickyDuplicates();
    // The first duplicate that is still open becomes the main window; false when none is.
    bool promoteStickyDuplicate();
    // The keys act on the duplicate whose panel this is; the main panel takes them back.
    void focusDuplicate(QWindow *window);
    const QList<StickyInstance *> &stickyDuplicates() const { return m_stickyDuplicates; }
    StickyInstance *focusedDuplicate() const { return m_focusedDuplicate; }

    OverlayPanel *panel() const { return m_panel; }
    OverlayPanel *stopButtonPanel() const { return m_stopButtonPanel; }
    // A panel that is closing no longer counts: a page opened now needs a session of its own.
    bool hasPanel() const override { return m_panel && !m_isDismissing; }
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
    // Top centre of the display, below its top bar.
    static QRect stopButtonFrame(const ScreenInfo &screen);
    void followMouseScreen();
    // Hangs the pinned panel from the top edge of the display at once.
    void pinTo(const ScreenInfo &screen);
    // The session's panels on a display that went away come back onto one that is left, each
    // by the rule that placed it; for a while after, so does any the window manager leaves
    // partly off the displays.
    void watchScreens();
    void bringBackFrom(const ScreenInfo &removed);
    void keepPanelsOnScreen();
    // `frame` is the panel's frame before it left its display.
    void placeOnScreen(OverlayPanel &panel, const QRect &frame);
    void followCursor();
    OverlayPanel *makePanel(QWidget *view, OverlayPanel::Options options);
    OverlayPanel *makeFloatingPanel(OverlayContent &content, SpeechRecognizer &recognizer,
                                    const QRect &visible);
    // The stored width and height, cut to what fits the visible part of a display.
    QSize storedPanelSize(const QRect &visible) const;
    // The top-left corner moved as little as needed for a frame of the size to fit.
    static QPoint placedWithin(QPoint topLeft, QSize size, const QRect &visible);
    void closePanel();
    void applyCaptureVisibility();

    bool canDuplicate() const;
    int windowCount() const;
    void loadStickyPage(int index, StickyInstance &duplicate);
    void pollStickyDuplicate(StickyInstance &duplicate);
    StickyInstance *duplicateWithWindow(const QWindow *window) const;

    // The model the hot keys act on: the focused duplicate's, else the main window's.
    OverlayContent &keyTarget() const;
    void handleHotKey(int id, bool released);
    void handleEscape();
    void handleEscHotKey();
    void handleCmdM(OverlayContent &target);
    void handleArrowHotKey(OverlayContent &target, int id, bool released);
    void stopArrowRepeat();
    void openNeighbourPage(OverlayContent &target, int step);
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
    QTimer m_screenSettle;
    int m_screenSettleChecks = 0;
    bool m_keyMonitorInstalled = false;
    bool m_hotKeyHandlerInstalled = false;
    QTimer m_arrowScrollTimer;
    double m_arrowScrollDirection = 0;
    QPointer<OverlayContent> m_arrowScrollTarget;
    // In opening order; a closing duplicate stays listed (and counted) until it is gone.
    QList<StickyInstance *> m_stickyDuplicates;
    QPointer<StickyInstance> m_focusedDuplicate;
    ActiveWindow::WindowId m_previouslyActiveWindow = 0;
};
