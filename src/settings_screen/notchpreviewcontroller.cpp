#include "notchpreviewcontroller.h"

#include "overlay/boundedpixels.h"
#include "overlay/notchoverlaycontroller.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"

#include <QMetaObject>

#include <algorithm>
#include <cmath>

namespace {

// The frame moved as little as needed to lie on the display (its top-left wins when too big).
QRect keptOn(QRect frame, const QRect &area)
{
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    return frame;
}

// A frame of the size (cut to the display) hanging from the top edge of the display, centred.
QRect hangingFrom(const QRect &area, QSize size)
{
    size = size.boundedTo(area.size());
    return {QPoint(area.left() + (area.width() - size.width()) / 2, area.top()), size};
}

} // namespace

int NotchPreviewController::topStripHeight(const ScreenInfo &screen)
{
    return std::max(screen.menuBarHeight(), NotchOverlayController::minimumTopStripHeight);
}

NotchPreviewController::NotchPreviewController(Screens &screens, const CaptureShield &captureShield,
                                               QObject *notifications, QObject *parent)
    : QObject(parent)
    , m_screens(screens)
    , m_captureShield(captureShield)
    , m_notifications(notifications ? notifications : this)
{
    m_windowFactory = [](NotchPreviewContent::Options options, const QRect &frame,
                         bool interactive) -> std::unique_ptr<PreviewPanelWindow> {
        return std::make_unique<OverlayPreviewWindow>(std::move(options), frame, interactive);
    };
    m_scheduler = [this](int delayMs, std::function<void()> task) {
        QTimer::singleShot(delayMs, this, std::move(task));
    };
    m_cursorTimer.setInterval(cursorFollowIntervalMs);
    m_cursorTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_cursorTimer, &QTimer::timeout, this, &NotchPreviewController::followCursorTick);
    m_screens.whenScreenRemoved(this,
                                [this](const ScreenInfo &removed) { bringBackFrom(removed); });
    m_screenSettle.setInterval(NotchOverlayController::screenSettleCheckMs);
    connect(&m_screenSettle, &QTimer::timeout, this, [this] {
        keepWindowsOnScreen();
        if (--m_screenSettleChecks <= 0)
            m_screenSettle.stop();
    });
}

NotchPreviewController::~NotchPreviewController() = default;

void NotchPreviewController::setWindowFactory(WindowFactory factory)
{
    m_windowFactory = std::move(factory);
}

void NotchPreviewController::setScheduler(Scheduler scheduler)
{
    m_scheduler = std::move(scheduler);
}

NotchPreviewContent::Options NotchPreviewController::contentOptions(NotchSettings &settings,
                                                                    double menuBarHeight, bool glow,
                                                                    bool showStickyHint,
                                                                    bool forcePinned)
{
    NotchPreviewContent::Options options;
    options.settings = &settings;
    options.captureShield = &m_captureShield;
    options.menuBarHeight = menuBarHeight;
    options.glow = glow;
    options.showStickyHint = showStickyHint;
    options.forcePinned = forcePinned;
    options.dismissNotifier = m_notifications;
    QPointer<NotchPreviewController> self(this);
    QPointer<NotchSettings> target(&settings);
    options.onDuplicate = [self, target] {
        if (self && target)
            self->duplicateWindow(*target);
    };
    return options;
}

void NotchPreviewController::show(NotchSettings &settings, bool glow, bool forcePinned)
{
    m_forcePinned = forcePinned;
    if (m_panel) {
        m_panel->orderFront();
        applyMode(settings);
        return;
    }
    const std::optional<ScreenInfo> screen = m_screens.mainScreen();
    if (!screen)
        return;
    const int menuBar = topStripHeight(*screen);
    const QRect frame = hangingFrom(screen->geometry, {panelWidth, menuBar + panelExtraHeight});
    m_panel
        = m_windowFactory(contentOptions(settings, menuBar, glow, true, forcePinned), frame, false);
    m_panel->orderFront();
    applyMode(settings);
}

void NotchPreviewController::applyMode(NotchSettings &settings)
{
    const bool interactive = settings.overlayMode() == OverlayMode::floating && !m_forcePinned;
    if (m_panel)
        m_panel->setInteractive(interactive);
    if (interactive) {
        shrinkToStickySize(settings);
        return;
    }
    if (m_panel && m_fullFrame) {
        m_panel->setFrame(*m_fullFrame);
        m_fullFrame.reset();
    }
    closeAllDuplicates();
}

std::optional<ScreenInfo> NotchPreviewController::screen() const
{
    if (m_panel) {
        const QPoint centre = m_panel->frame().center();
        for (const ScreenInfo &screen : m_screens.screens()) {
            if (screen.geometry.contains(centre))
                return screen;
        }
    }
    return m_screens.mainScreen();
}

void NotchPreviewController::shrinkToStickySize(NotchSettings &settings)
{
    if (!m_panel || m_originalFrame)
        return;
    const QRect current = m_panel->frame();
    if (!m_fullFrame)
        m_fullFrame = current;
    // Stored sizes come from a file a person may have edited: the window stays on its display.
    const std::optional<ScreenInfo> screen = this->screen();
    const QSize room = screen ? screen->geometry.size() : current.size();
    const int width = boundedPixels(settings.notchWidth() + stickyExtraWidth, 1, room.width());
    const int height
        = boundedPixels(settings.textAreaHeight() + stickyExtraHeight, 1, room.height());
    const double centre = current.left() + current.width() / 2.0;
    m_panel->setFrame(QRect(int(std::lround(centre - width / 2.0)), current.top(), width, height));
}

void NotchPreviewController::duplicateWindow(NotchSettings &settings)
{
    if (settings.overlayMode() != OverlayMode::floating || !m_panel)
        return;
    if (int(m_duplicatePanels.size()) + 1 > maximumDuplicates)
        return;
    const std::optional<ScreenInfo> screen = this->screen();
    if (!screen)
        return;
    const QSize room = screen->geometry.size();
    const int width = boundedPixels(settings.notchWidth() + stickyExtraWidth, 1, room.width());
    const int height
        = boundedPixels(settings.textAreaHeight() + stickyExtraHeight, 1, room.height());
    const QRect reference
        = m_duplicatePanels.empty() ? m_panel->frame() : m_duplicatePanels.back()->frame();
    const double centre = reference.left() + reference.width() / 2.0;
    const QRect frame = keptOn(QRect(int(std::lround(centre - width / 2.0)) + duplicateCascade,
                                     reference.top() + duplicateCascade, width, height),
                               screen->geometry);
    std::unique_ptr<PreviewPanelWindow> duplicate = m_windowFactory(
        contentOptions(settings, topStripHeight(*screen), false, false, false), frame, true);
    duplicate->orderFront();
    m_duplicatePanels.push_back(std::move(duplicate));
}

void NotchPreviewController::closeAllDuplicates()
{
    for (const std::unique_ptr<PreviewPanelWindow> &duplicate : m_duplicatePanels)
        duplicate->orderOut();
    m_duplicatePanels.clear();
}

void NotchPreviewController::hideAll()
{
    if (m_panel)
        m_panel->orderOut();
    for (const std::unique_ptr<PreviewPanelWindow> &duplicate : m_duplicatePanels)
        duplicate->orderOut();
}

void NotchPreviewController::tearDown()
{
    m_cursorTimer.stop();
    ++m_move; // a move to the pointer under way never starts the follow
    closeAllDuplicates();
    if (m_panel) {
        m_panel->stopAnimation();
        m_panel->orderOut();
    }
    m_panel.reset();
    m_originalFrame.reset();
    m_fullFrame.reset();
}

void NotchPreviewController::dismiss()
{
    if (!m_panel)
        return;
    if (m_notifications)
        QMetaObject::invokeMethod(m_notifications, "notchPreviewWillDismiss", Qt::DirectConnection);
    QPointer<NotchPreviewController> self(this);
    m_scheduler(dismissDelayMs, [self] {
        if (self)
            self->tearDown();
    });
}

void NotchPreviewController::bringBackFrom(const ScreenInfo &removed)
{
    QList<ScreenInfo> before = m_screens.screens();
    before.append(removed);
    // Frames as they were (Qt keeps a window's device frame on the display it moves it to), the
    // saved ones too: each of them would take the window back there.
    const auto stranded = [&](const std::optional<QRect> &frame) -> std::optional<QRect> {
        const std::optional<ScreenInfo> holder
            = frame ? Screens::screenOfFrame(before, *frame) : std::nullopt;
        return holder && holder->name == removed.name ? frame : std::nullopt;
    };
    const std::optional<QRect> main = m_panel ? stranded(m_panel->frame()) : std::nullopt;
    const std::optional<QRect> full = stranded(m_fullFrame);
    const std::optional<QRect> original = stranded(m_originalFrame);
    std::vector<std::pair<PreviewPanelWindow *, QRect>> duplicates;
    for (const std::unique_ptr<PreviewPanelWindow> &duplicate : m_duplicatePanels) {
        if (const std::optional<QRect> frame = stranded(duplicate->frame()))
            duplicates.emplace_back(duplicate.get(), *frame);
    }

    m_screenSettleChecks
        = NotchOverlayController::screenSettleMs / NotchOverlayController::screenSettleCheckMs;
    m_screenSettle.start();
    QPointer<NotchPreviewController> self(this);
    // The displays that are left have their new frames once the change is through.
    m_scheduler(0, [self, main, full, original, duplicates] {
        if (!self)
            return;
        if (main)
            self->bringBack(self->m_panel.get(), *main);
        if (const std::optional<ScreenInfo> screen = self->m_screens.mainScreen()) {
            if (full && self->m_fullFrame)
                self->m_fullFrame = hangingFrom(screen->geometry, full->size());
            if (original && self->m_originalFrame)
                self->m_originalFrame = hangingFrom(screen->geometry, original->size());
        }
        for (const auto &[window, frame] : duplicates)
            self->bringBack(window, frame);
    });
}

void NotchPreviewController::keepWindowsOnScreen()
{
    if (m_panel && !m_screens.showsWhole(m_panel->frame()))
        bringBack(m_panel.get(), m_panel->frame());
    for (const std::unique_ptr<PreviewPanelWindow> &duplicate : m_duplicatePanels) {
        if (!m_screens.showsWhole(duplicate->frame()))
            bringBack(duplicate.get(), duplicate->frame());
    }
}

void NotchPreviewController::bringBack(PreviewPanelWindow *window, const QRect &frame)
{
    const std::optional<ScreenInfo> screen = m_screens.mainScreen();
    // A window following the pointer goes on following it.
    if (!screen || (window == m_panel.get() && m_originalFrame))
        return;
    const QRect area = screen->geometry;
    if (window == m_panel.get()) {
        window->setFrame(hangingFrom(area, frame.size()));
        return;
    }
    const bool open = std::any_of(
        m_duplicatePanels.cbegin(), m_duplicatePanels.cend(),
        [window](const std::unique_ptr<PreviewPanelWindow> &each) { return each.get() == window; });
    if (open)
        window->setFrame(keptOn(QRect(frame.topLeft(), frame.size().boundedTo(area.size())), area));
}

QRect NotchPreviewController::cursorTarget(const QRect &frame, double notchWidth) const
{
    // The mock is centred in the window and, in this form, 60 points below its top: this puts
    // its top-left corner 8 points right of the pointer, level with it.
    const QPoint pointer = m_screens.cursorPosition();
    const int mockWidth = boundedPixels(notchWidth, 0, frame.width());
    const int left = pointer.x() + cursorOffsetX - (frame.width() - mockWidth) / 2;
    const int top = pointer.y() - int(NotchPreviewContent::stickyShift);
    return QRect(left, top, frame.width(), frame.height());
}

void NotchPreviewController::startCursorFollow(NotchSettings &settings)
{
    if (!m_panel)
        return;
    if (!m_originalFrame)
        m_originalFrame = m_panel->frame();
    m_trackingSettings = &settings;
    // The ticks would fight the move; its arrival starts them again.
    m_cursorTimer.stop();
    const quint64 move = ++m_move;
    QPointer<NotchPreviewController> self(this);
    m_panel->animateFrame(cursorTarget(m_panel->frame(), settings.notchWidth()), moveDurationMs,
                          [self, move] {
                              // Only the latest move, and only while still following.
                              if (self && self->m_move == move && self->m_originalFrame)
                                  self->startCursorTimer();
                          });
}

void NotchPreviewController::startCursorTimer()
{
    m_cursorTimer.start();
}

void NotchPreviewController::followCursorTick()
{
    if (!m_panel || !m_trackingSettings)
        return;
    const QRect frame = m_panel->frame();
    const QRect target = cursorTarget(frame, m_trackingSettings->notchWidth());
    if (target.topLeft() != frame.topLeft())
        m_panel->moveTo(target.topLeft());
}

void NotchPreviewController::stopCursorFollow(std::function<void()> completion)
{
    m_cursorTimer.stop();
    ++m_move; // stops a move to the pointer that is still under way
    if (m_panel && m_originalFrame) {
        m_panel->animateFrame(*m_originalFrame, moveDurationMs, std::move(completion));
        m_originalFrame.reset();
        m_trackingSettings = nullptr;
        return;
    }
    if (completion)
        completion();
}
