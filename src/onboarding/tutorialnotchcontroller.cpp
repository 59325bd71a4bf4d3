#include "tutorialnotchcontroller.h"

#include "platform/captureshield.h"
#include "platform/screens.h"

#include <QTimer>

TutorialPanelWindow::~TutorialPanelWindow() = default;

TutorialNotchController::TutorialNotchController(Screens &screens,
                                                 const CaptureShield &captureShield,
                                                 PanelFactory factory, QObject *parent)
    : QObject(parent)
    , m_screens(screens)
    , m_captureShield(captureShield)
    , m_factory(std::move(factory))
{
    connect(&m_model, &TutorialNotchModel::isInvisibleDemoChanged, this,
            &TutorialNotchController::scheduleApply);
}

TutorialNotchController::~TutorialNotchController()
{
    closePanel();
}

QRect TutorialNotchController::panelFrame(const QRect &screenGeometry, int menuBarHeight)
{
    const int height = std::max(0, menuBarHeight) + panelExtraHeight;
    return QRect(screenGeometry.x() + screenGeometry.width() / 2 - panelWidth / 2,
                 screenGeometry.top(), panelWidth, height);
}

void TutorialNotchController::show(bool interactive, ScrollClamp onScrollClamp)
{
    if (m_panel) {
        m_panel->setInteractive(interactive);
        m_panel->orderFront();
        return;
    }
    const std::optional<ScreenInfo> screen = m_screens.mainScreen();
    if (!screen || !m_factory)
        return;
    const int menuBar = std::max(minimumTopBand, screen->menuBarHeight());
    m_panel = m_factory(m_model, panelFrame(screen->geometry, menuBar), menuBar, interactive,
                        std::move(onScrollClamp));
    if (!m_panel)
        return;
    if (QWindow *window = m_panel->window())
        m_captureShield.setHiddenFromCapture(window, m_model.isInvisibleDemo());
    m_panel->orderFront();
}

void TutorialNotchController::closePanel()
{
    if (!m_panel)
        return;
    m_panel->orderOut();
    m_panel.reset();
}

// Changes made within one turn of the event loop are applied once, with the value they end on.
void TutorialNotchController::scheduleApply()
{
    if (m_applyQueued)
        return;
    m_applyQueued = true;
    QTimer::singleShot(0, this, &TutorialNotchController::applyInvisibleDemo);
}

void TutorialNotchController::applyInvisibleDemo()
{
    m_applyQueued = false;
    if (!m_panel)
        return;
    if (QWindow *window = m_panel->window()) {
        m_captureShield.setHiddenFromCapture(window, m_model.isInvisibleDemo());
        ++m_applyCount;
    }
}
