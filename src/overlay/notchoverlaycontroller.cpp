#include "notchoverlaycontroller.h"

#include "overlay/boundedpixels.h"
#include "overlay/externaldisplayview.h"
#include "overlay/floatingoverlayview.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/model/overlaydocumentservice.h"
#include "overlay/notchframetracker.h"
#include "overlay/notchoverlayview.h"
#include "overlay/overlaypanel.h"
#include "overlay/stickyinstance.h"
#include "overlay/stopbuttonview.h"
#include "platform/captureshield.h"
#include "platform/globalhotkeys.h"
#include "platform/overlaywindow.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"
#include "speech/speechrecognizer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>

namespace {

// The pinned panel hangs from the display's top edge and ends above any bottom panel.
QSize pinnedMaximumSize(const ScreenInfo &screen)
{
    const QRect visible = screen.availableGeometry;
    return {visible.width(), visible.y() + visible.height() - screen.geometry.y()};
}

} // namespace

NotchOverlayController::NotchOverlayController(NotchSettings &settings, Screens &screens,
                                               ActiveWindow &activeWindow,
                                               const CaptureShield &captureShield,
                                               std::unique_ptr<GlobalHotKeys> hotKeys,
                                               QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_screens(screens)
    , m_activeWindow(activeWindow)
    , m_captureShield(captureShield)
    , m_hotKeys(std::move(hotKeys))
    , m_speechRecognizer(new SpeechRecognizer(this))
    , m_overlayContent(new OverlayContent(this))
{
    m_poll.setInterval(pollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, &NotchOverlayController::poll);
    m_mouseTrackingTimer.setInterval(screenFollowIntervalMs);
    connect(&m_mouseTrackingTimer, &QTimer::timeout, this,
            &NotchOverlayController::followMouseScreen);
    m_cursorTrackingTimer.setInterval(cursorFollowIntervalMs);
    connect(&m_cursorTrackingTimer, &QTimer::timeout, this, &NotchOverlayController::followCursor);
    connect(&m_arrowScrollTimer, &QTimer::timeout, this, [this] {
        // The first firing only ends the initial delay; the steps repeat from then on.
        if (m_arrowScrollTimer.interval() != arrowRepeatIntervalMs) {
            m_arrowScrollTimer.setInterval(arrowRepeatIntervalMs);
            return;
        }
        if (m_arrowScrollTarget)
            m_arrowScrollTarget->setArrowScrollDelta(m_arrowScrollTarget->arrowScrollDelta()
                                                     + m_arrowScrollDirection);
    });
    // Hot keys are handled on the next turn of the event loop, never inside the event filter.
    connect(
        m_hotKeys.get(), &GlobalHotKeys::pressed, this, [this](int id) { handleHotKey(id, false); },
        Qt::QueuedConnection);
    connect(
        m_hotKeys.get(), &GlobalHotKeys::released, this, [this](int id) { handleHotKey(id, true); },
        Qt::QueuedConnection);
    connect(&m_settings, &NotchSettings::effectiveHideFromScreenShareChanged, this,
            &NotchOverlayController::applyCaptureVisibility, Qt::QueuedConnection);
    // The keys follow the window that last took the keyboard or a click. The filter also
    // carries the local key handling while a panel wants it.
    if (qGuiApp)
        connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
                &NotchOverlayController::focusDuplicate);
    if (QCoreApplication *application = QCoreApplication::instance())
        application->installEventFilter(this);
    watchScreens();
}

NotchOverlayController::~NotchOverlayController()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeEventFilter(this);
    closeAllStickyDuplicates();
    unregisterAllHotKeys();
    removeKeyMonitor();
    closePanel();
}

void NotchOverlayController::setDocumentService(OverlayDocumentService *service)
{
    m_service = service;
}

void NotchOverlayController::show(const QString &text, bool hasNextPage, bool isNotesMode,
                                  std::function<void()> onComplete)
{
    // A text that replaces a full screen's finds the keyboard with it: the reader still came
    // from the program before.
    const ActiveWindow::WindowId active = m_activeWindow.current();
    if (!m_panel || active != ActiveWindow::WindowId(m_panel->winId()))
        m_previouslyActiveWindow = active;
    m_overlayContent->setOnCollapseChanged(
        [self = QPointer<NotchOverlayController>(this)](bool collapsed) {
            if (self)
                self->handleCollapseChanged(collapsed);
        });
    m_onComplete = std::move(onComplete);
    m_onNextPage = [this] {
        if (m_service)
            m_service->goToNextNonBlankPage();
    };
    m_isDismissing = false;
    ++m_session;
    tearDown();
    m_poll.start();
    // However the last session ended (Esc from its picker, a close button, collapsed or mini),
    // this one shows its own page; the editor opens the picker itself when it wants it.
    m_overlayContent->resetSessionState();
    m_overlayContent->loadPage(text, hasNextPage, isNotesMode);

    std::optional<ScreenInfo> screen = m_screens.screenUnderMouse();
    if (!screen)
        screen = m_screens.mainScreen();
    if (!screen) {
        updateDuplicateAvailability();
        return;
    }
    switch (m_settings.overlayMode()) {
    case OverlayMode::fullscreen:
        presentFullscreen(*screen);
        break;
    case OverlayMode::cursor:
        presentCursor(*screen);
        if (!m_stopButtonPanel)
            presentStopButton(*screen);
        break;
    case OverlayMode::floating:
        presentFloating(*screen);
        break;
    case OverlayMode::pinned:
        presentPinned(*screen);
        break;
    }
    updateDuplicateAvailability();
}

void NotchOverlayController::updateContent(const QString &text, bool hasNextPage, bool isNotesMode)
{
    m_speechRecognizer->setRecognizedCharCount(0);
    m_speechRecognizer->setShouldDismiss(false);
    m_speechRecognizer->setShouldAdvancePage(false);
    m_speechRecognizer->setLastSpokenText(QString());
    m_overlayContent->loadPage(text, hasNextPage, isNotesMode);
    // A page read outside notes mode offers no duplicates.
    updateDuplicateAvailability();
}

void NotchOverlayController::poll()
{
    if (m_speechRecognizer->shouldAdvancePage()) {
        m_speechRecognizer->setShouldAdvancePage(false);
        if (m_onNextPage)
            m_onNextPage();
    }
    if (const std::optional<int> index = m_overlayContent->jumpToPageIndex()) {
        m_overlayContent->setJumpToPageIndex(std::nullopt);
        if (m_service)
            m_service->goToPage(*index);
    }
    if (const std::optional<int> index = m_overlayContent->jumpToPageNotesMode()) {
        m_overlayContent->setJumpToPageNotesMode(std::nullopt);
        if (m_service)
            m_service->startReading(*index);
        m_overlayContent->setShowPagePicker(false);
    }
    if (m_speechRecognizer->shouldDismiss() && !m_isDismissing) {
        m_isDismissing = true;
        scheduleDismissalFinish();
    }
}

void NotchOverlayController::dismiss()
{
    if (m_isDismissing)
        return;
    m_isDismissing = true;
    m_speechRecognizer->setShouldDismiss(true);
    m_speechRecognizer->stopListening();
    scheduleDismissalFinish();
}

void NotchOverlayController::scheduleDismissalFinish()
{
    // A show() within the delay opens a new session; this finish must not close it.
    const quint64 session = m_session;
    QTimer::singleShot(dismissDelayMs, this, [this, session] { finishDismissal(session); });
}

void NotchOverlayController::finishDismissal(quint64 session)
{
    if (session != m_session)
        return;
    if (promoteStickyDuplicate())
        return;
    closeAllStickyDuplicates();
    m_mouseTrackingTimer.stop();
    m_cursorTrackingTimer.stop();
    removeKeyMonitor();
    m_poll.stop();
    const bool tookKeyboard = m_panel && m_panel->takesKeyboardWhenShown();
    closePanel();
    // The full screen took the keyboard; the program the reader came from gets it back once
    // nothing covers it.
    if (tookKeyboard && m_previouslyActiveWindow)
        m_activeWindow.activate(m_previouslyActiveWindow);
    m_speechRecognizer->setShouldDismiss(false);
    if (m_onComplete)
        m_onComplete();
}

void NotchOverlayController::tearDown()
{
    closeAllStickyDuplicates();
    m_mouseTrackingTimer.stop();
    m_cursorTrackingTimer.stop();
    removeKeyMonitor();
    m_poll.stop();
    m_speechRecognizer->stopListening();
    m_speechRecognizer->setRecognizedCharCount(0);
    closePanel();
    m_speechRecognizer->setShouldDismiss(false);
    m_speechRecognizer->setShouldAdvancePage(false);
}

void NotchOverlayController::closePanel()
{
    if (m_stopButtonPanel) {
        m_stopButtonPanel->hide();
        m_stopButtonPanel->deleteLater();
    }
    m_stopButtonPanel = nullptr;
    if (m_panel) {
        m_panel->hide();
        m_panel->deleteLater();
    }
    m_panel = nullptr;
    if (m_frameTracker)
        m_frameTracker->deleteLater();
    m_frameTracker = nullptr;
}

void NotchOverlayController::handleCollapseChanged(bool collapsed)
{
    // A full screen never stays without the keyboard: collapsing it (Ctrl+M) ends the reading.
    if (collapsed && m_panel && m_panel->takesKeyboardWhenShown()) {
        dismiss();
    } else if (collapsed) {
        unregisterArrowHotKeys();
        // The application the reader came from gets the keyboard back.
        if (m_previouslyActiveWindow)
            m_activeWindow.activate(m_previouslyActiveWindow);
    } else if (m_overlayContent->isNotesMode() && m_settings.effectiveGlobalArrowKeysEnabled()) {
        registerHotKeys();
    }
}

void NotchOverlayController::presentPinned(const ScreenInfo &screen)
{
    // The panel's top bar lives in the strip beside the notch, the height of the desktop's top
    // panel. Many Linux desktops have none at the top; the strip then keeps room for the bar.
    const int menuBar = std::max(screen.menuBarHeight(), minimumTopStripHeight);
    const QSize largest = pinnedMaximumSize(screen);
    const int width = boundedPixels(m_settings.notchWidth(), 1, largest.width());
    const int height = boundedPixels(m_settings.textAreaHeight(), 1, largest.height() - menuBar);

    auto *tracker = new NotchFrameTracker(this);
    tracker->setScreenMidX(screen.geometry.x() + screen.geometry.width() / 2.0);
    tracker->setScreenTop(screen.geometry.top());
    tracker->setMenuBarHeight(menuBar);
    tracker->setMaximumSize(largest);
    tracker->setVisibleWidth(width);
    tracker->setVisibleHeight(height + menuBar);
    m_frameTracker = tracker;
    m_currentScreenID = screen.displayNumber;

    auto *view = new NotchOverlayView(*m_overlayContent, *m_speechRecognizer, m_settings, menuBar,
                                      height, *tracker);
    OverlayPanel *panel = makePanel(view, OverlayPanel::NoOption);
    m_panel = panel;
    panel->setGeometry(tracker->targetFrame());
    panel->setShape([view] { return view->outlinePath(); });
    connect(view, &NotchOverlayView::outlineChanged, panel, &OverlayPanel::refreshShape);
    tracker->setPanel(panel);
    panel->orderFront();
    m_mouseTrackingTimer.start();
}

OverlayPanel *NotchOverlayController::makePanel(QWidget *view, OverlayPanel::Options options)
{
    auto *panel = new OverlayPanel(view, options);
    panel->setLocale(m_settings.currentLocale());
    m_captureShield.setHiddenFromCapture(panel->windowHandle(),
                                         m_settings.effectiveHideFromScreenShare());
    return panel;
}

// The main floating window and every sticky duplicate: the reader moves and resizes it, and
// its duplicate action opens a duplicate of whatever page this window shows at the time.
OverlayPanel *NotchOverlayController::makeFloatingPanel(OverlayContent &content,
                                                        SpeechRecognizer &recognizer,
                                                        const QRect &visible)
{
    const int height = storedPanelSize(visible).height();
    auto *view = new FloatingOverlayView(content, recognizer, m_settings, false,
                                         [this, model = QPointer<OverlayContent>(&content)] {
                                             if (model)
                                                 duplicateWindow(*model);
                                         });
    OverlayPanel *panel = makePanel(view, OverlayPanel::TakesKeyboardWhenClicked
                                              | OverlayPanel::MovableAndResizable);
    panel->setShape([view] { return view->outlinePath(); });
    connect(view, &FloatingOverlayView::outlineChanged, panel, &OverlayPanel::refreshShape);
    panel->setMinimumSize(std::min(floatingMinimumWidth, visible.width()), height);
    panel->setMaximumSize(std::min(floatingMaximumWidth, visible.width()),
                          std::min(height + floatingExtraHeight, visible.height()));
    return panel;
}

QSize NotchOverlayController::storedPanelSize(const QRect &visible) const
{
    return {boundedPixels(m_settings.notchWidth(), 1, visible.width()),
            boundedPixels(m_settings.textAreaHeight(), 1, visible.height())};
}

QPoint NotchOverlayController::placedWithin(QPoint topLeft, QSize size, const QRect &visible)
{
    return {std::min(std::max(topLeft.x(), visible.left()),
                     visible.left() + visible.width() - size.width()),
            std::min(std::max(topLeft.y(), visible.top()),
                     visible.top() + visible.height() - size.height())};
}

void NotchOverlayController::presentFloating(const ScreenInfo &screen)
{
    const QRect visible = screen.availableGeometry;
    const QSize size = storedPanelSize(visible);
    OverlayPanel *panel = makeFloatingPanel(*m_overlayContent, *m_speechRecognizer, visible);
    m_panel = panel;
    // Centred across the display, a little above its middle.
    const QRect frame = screen.geometry;
    const QPoint centred(frame.x() + frame.width() / 2 - size.width() / 2,
                         frame.y() + frame.height() / 2 - size.height() / 2 - 100);
    panel->setGeometry(QRect(placedWithin(centred, size, visible), size));
    panel->orderFront();
    installKeyMonitor();
    updateDuplicateAvailability();
}

void NotchOverlayController::presentCursor(const ScreenInfo &screen)
{
    const QSize size = storedPanelSize(screen.availableGeometry);
    auto *view
        = new FloatingOverlayView(*m_overlayContent, *m_speechRecognizer, m_settings, true, {});
    OverlayPanel *panel = makePanel(view, OverlayPanel::TransparentForInput);
    m_panel = panel;
    panel->setShape([view] { return view->outlinePath(); });
    connect(view, &FloatingOverlayView::outlineChanged, panel, &OverlayPanel::refreshShape);
    const QPoint cursor = m_screens.cursorPosition();
    panel->setGeometry(QRect(QPoint(cursor.x() + 8, cursor.y()), size));
    m_lastCursorPosition = {};
    followCursor();
    panel->orderFront();
    m_cursorTrackingTimer.start();
    installKeyMonitor();
}

void NotchOverlayController::followCursor()
{
    if (!m_panel)
        return;
    // Moving is all it does, and only when the pointer moved: no repaint, nothing per tick.
    const QPoint cursor = m_screens.cursorPosition();
    if (cursor == m_lastCursorPosition)
        return;
    m_lastCursorPosition = cursor;
    int left = cursor.x() + 8;
    int top = cursor.y();
    for (const ScreenInfo &screen : m_screens.screens()) {
        // The panel hangs from the pointer and stays in the visible part of the display: its
        // right and bottom edges stay in, and it never rises under the top bar, which wins on
        // a display too small for the panel.
        if (screen.geometry.contains(cursor)) {
            const QRect visible = screen.availableGeometry;
            left = std::min(left, visible.x() + visible.width() - m_panel->width());
            top = std::min(top, visible.y() + visible.height() - m_panel->height());
            top = std::max(top, visible.top());
            break;
        }
    }
    m_panel->move(left, top);
}

void NotchOverlayController::presentStopButton(const ScreenInfo &screen)
{
    auto *button = new StopButtonView;
    auto *panel = new OverlayPanel(button);
    connect(button, &StopButtonView::stopRequested, this, &NotchOverlayController::dismiss);
    // The stop button is never captured, whatever the setting.
    m_captureShield.setHiddenFromCapture(panel->windowHandle(), true);
    panel->setGeometry(stopButtonFrame(screen));
    panel->setShape([side = StopButtonView::side] {
        QPainterPath circle;
        circle.addEllipse(QRectF(0, 0, side, side));
        return circle;
    });
    panel->orderFront();
    m_stopButtonPanel = panel;
}

QRect NotchOverlayController::stopButtonFrame(const ScreenInfo &screen)
{
    const int side = StopButtonView::side;
    return {screen.geometry.x() + screen.geometry.width() / 2 - side / 2,
            screen.availableGeometry.top() + 8, side, side};
}

void NotchOverlayController::presentFullscreen(const ScreenInfo &chosen)
{
    // The display chosen in the settings when it is connected, else the one under the pointer.
    ScreenInfo screen = chosen;
    if (m_settings.fullscreenScreenID() != 0) {
        if (const auto stored = m_screens.screenWithDisplayNumber(m_settings.fullscreenScreenID()))
            screen = *stored;
    }
    auto *view = new ExternalDisplayView(*m_overlayContent, *m_speechRecognizer, m_settings);
    // Esc must reach it: the full screen takes the keyboard.
    OverlayPanel *panel = makePanel(view, OverlayPanel::TakesKeyboard);
    m_panel = panel;
    panel->setGeometry(screen.geometry);
    // Asked of the window manager, which otherwise keeps its own bars beside the window; it
    // covers the screen the window is on.
    if (!OverlayWindow::fullScreenWhenShown(panel->windowHandle()))
        panel->setWindowState(Qt::WindowFullScreen);
    panel->orderFront();
    installKeyMonitor();
}

void NotchOverlayController::followMouseScreen()
{
    if (!m_panel || !m_frameTracker)
        return;
    const std::optional<ScreenInfo> screen = m_screens.screenUnderMouse();
    if (!screen || screen->displayNumber == m_currentScreenID)
        return;
    pinTo(*screen);
}

void NotchOverlayController::pinTo(const ScreenInfo &screen)
{
    m_currentScreenID = screen.displayNumber;
    m_frameTracker->setScreenMidX(screen.geometry.x() + screen.geometry.width() / 2.0);
    m_frameTracker->setScreenTop(screen.geometry.top());
    m_frameTracker->setMaximumSize(pinnedMaximumSize(screen));
    m_frameTracker->movePanelNow();
}

void NotchOverlayController::applyCaptureVisibility()
{
    const bool hidden = m_settings.effectiveHideFromScreenShare();
    if (m_panel)
        m_captureShield.setHiddenFromCapture(m_panel->windowHandle(), hidden);
    for (const StickyInstance *duplicate : std::as_const(m_stickyDuplicates)) {
        if (duplicate->panel())
            m_captureShield.setHiddenFromCapture(duplicate->panel()->windowHandle(), hidden);
    }
}
