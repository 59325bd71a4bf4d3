// A display that goes away while reading (a monitor unplugged): the session's panels on it come
// back onto a display that is left, each by the rule that placed it. The full-screen panel is
// left to its window state, which refits it.

#include "notchoverlaycontroller.h"

#include "overlay/overlaypanel.h"
#include "overlay/stickyinstance.h"
#include "platform/screens.h"

void NotchOverlayController::watchScreens()
{
    m_screens.whenScreenRemoved(this,
                                [this](const ScreenInfo &removed) { bringBackFrom(removed); });
    m_screenSettle.setInterval(screenSettleCheckMs);
    connect(&m_screenSettle, &QTimer::timeout, this, [this] {
        keepPanelsOnScreen();
        if (--m_screenSettleChecks <= 0)
            m_screenSettle.stop();
    });
}

void NotchOverlayController::bringBackFrom(const ScreenInfo &removed)
{
    QList<ScreenInfo> before = m_screens.screens();
    before.append(removed);
    struct Stranded
    {
        QPointer<OverlayPanel> panel;
        QRect frame;
    };
    // Their frames as they were: Qt keeps each window's device frame on the display it moves
    // it to, so one that lands on a display of another scale changes its size in points.
    QList<Stranded> stranded;
    const auto collect = [&](OverlayPanel *panel) {
        const std::optional<ScreenInfo> holder
            = panel ? Screens::screenOfFrame(before, panel->geometry()) : std::nullopt;
        if (holder && holder->name == removed.name)
            stranded.append({panel, panel->geometry()});
    };
    if (m_panel && !m_panel->windowState().testFlag(Qt::WindowFullScreen))
        collect(m_panel);
    for (const StickyInstance *duplicate : std::as_const(m_stickyDuplicates))
        collect(duplicate->panel());
    collect(m_stopButtonPanel);

    m_screenSettleChecks = screenSettleMs / screenSettleCheckMs;
    m_screenSettle.start();
    // The displays that are left have their new frames once the change is through.
    QTimer::singleShot(0, this, [this, stranded] {
        for (const Stranded &each : stranded) {
            if (each.panel)
                placeOnScreen(*each.panel, each.frame);
        }
    });
}

void NotchOverlayController::keepPanelsOnScreen()
{
    QList<OverlayPanel *> panels{m_stopButtonPanel};
    if (m_panel && !m_panel->windowState().testFlag(Qt::WindowFullScreen))
        panels << m_panel;
    for (const StickyInstance *duplicate : std::as_const(m_stickyDuplicates))
        panels << duplicate->panel();
    for (OverlayPanel *panel : std::as_const(panels)) {
        if (panel && !m_screens.showsWhole(panel->geometry()))
            placeOnScreen(*panel, panel->geometry());
    }
}

void NotchOverlayController::placeOnScreen(OverlayPanel &panel, const QRect &frame)
{
    std::optional<ScreenInfo> screen = m_screens.screenUnderMouse();
    if (!screen)
        screen = m_screens.mainScreen();
    if (!screen)
        return;
    if (&panel == m_stopButtonPanel) {
        panel.setGeometry(stopButtonFrame(*screen));
    } else if (&panel == m_panel && m_frameTracker) {
        pinTo(*screen);
    } else if (&panel == m_panel && m_cursorTrackingTimer.isActive()) {
        panel.resize(frame.size());
        m_lastCursorPosition = {};
        followCursor();
    } else {
        // A floating window or a duplicate, clamped into the visible part as a new duplicate is.
        const QRect visible = screen->availableGeometry;
        const QSize size = frame.size().boundedTo(visible.size());
        panel.setMinimumSize(panel.minimumSize().boundedTo(size));
        panel.setGeometry(QRect(placedWithin(frame.topLeft(), size, visible), size));
    }
}
