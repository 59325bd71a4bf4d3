#pragma once

#include "onboarding/tutorialnotchmodel.h"

#include <QObject>
#include <QRect>

#include <functional>
#include <memory>

class CaptureShield;
class QWindow;
class Screens;

// The tutorial panel's window as its controller sees it. The real one is an overlay panel
// holding a TutorialNotchContent; tests give their own.
class TutorialPanelWindow
{
public:
    virtual ~TutorialPanelWindow();
    virtual QRect frame() const = 0;
    // Shows it without activating the application or taking the keyboard.
    virtual void orderFront() = 0;
    virtual void orderOut() = 0;
    virtual void setInteractive(bool interactive) = 0;
    virtual bool isInteractive() const = 0;
    // The native window the capture shield works on; none in tests without one.
    virtual QWindow *window() const = 0;
};

// Owns the tutorial panel and its model. The panel hangs from the top centre of the main screen
// over the top strip; the model's invisibility demo is applied to it through the capture shield.
class TutorialNotchController : public QObject
{
    Q_OBJECT

public:
    using ScrollClamp = std::function<void(double)>;
    using PanelFactory = std::function<std::unique_ptr<TutorialPanelWindow>(
        TutorialNotchModel &model, const QRect &frame, double menuBarHeight, bool interactive,
        ScrollClamp onScrollClamp)>;

    static constexpr int panelWidth = 500;
    static constexpr int panelExtraHeight = 440;
    // The shortest top band the panel's layout holds: under a lower strip, or none, the text
    // would rise into the hint below the eye, which stays 8 from the top.
    static constexpr int minimumTopBand = 24;

    TutorialNotchController(Screens &screens, const CaptureShield &captureShield,
                            PanelFactory factory, QObject *parent = nullptr);
    ~TutorialNotchController() override;

    TutorialNotchModel &model() { return m_model; }
    TutorialPanelWindow *panel() const { return m_panel.get(); }

    // Builds the panel on the first call (nothing without a screen; the next call tries again).
    // On a panel already shown it only sets whether it takes clicks and fronts it: the place and
    // the clamp callback it was built with stay.
    void show(bool interactive, ScrollClamp onScrollClamp = {});
    // Orders the panel out and drops it.
    void closePanel();

    // How often the demo was applied to a panel; several changes in one turn apply once.
    int captureApplyCount() const { return m_applyCount; }

    static QRect panelFrame(const QRect &screenGeometry, int menuBarHeight);

private:
    void scheduleApply();
    void applyInvisibleDemo();

    Screens &m_screens;
    const CaptureShield &m_captureShield;
    PanelFactory m_factory;
    TutorialNotchModel m_model;
    std::unique_ptr<TutorialPanelWindow> m_panel;
    bool m_applyQueued = false;
    int m_applyCount = 0;
};
