#pragma once

#include "onboarding/heroplayer.h"
#include "onboarding/onboardingflow.h"
#include "onboarding/tutorialnotchcontroller.h"
#include "onboarding/tutorialpractice.h"
#include "settings_screen/notchpreviewcontroller.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class CaptureShield;
class HeroVideoView;
class InvisibilityPage;
class NotchSettings;
class Permissions;
class PersonalizePage;
class Screens;
class SettingsWindow;
class TutorialPage;

// One intro page of the carousel.
struct OnboardingPage
{
    const char *heroVideo; // clip of the main bundle, without ".mp4"
    const char *title;
    const char *description;
    bool topAlignVideo = true;
    double videoYOffset = 0;

    // The three pages, in order; built once.
    static const QList<OnboardingPage> &introPages();
};

// The first-run flow on screen: each step a page over black, cross-fading into the next. It
// calls its completion once, from "Omitir" or after the celebration's "Empezar".
class OnboardingWidget : public QWidget
{
    Q_OBJECT

public:
    struct Options
    {
        // Makes the heroes' players; the bundle's clips through Qt Multimedia by default.
        HeroPlayerFactory playerFactory;
        // Where windows cannot be kept out of captures, no page claims they are.
        const CaptureShield *captureShield = nullptr;
        // The displays the panels hang from; the application's by default.
        Screens *screens = nullptr;
        // The tutorial panel's and the preview's windows; the real overlay panels by default.
        TutorialNotchController::PanelFactory tutorialPanelFactory;
        NotchPreviewController::WindowFactory previewWindowFactory;
        // The main window, kept clear of the preview; the widget's own window by default.
        SettingsWindow *window = nullptr;
        // The voice practice's permissions and voice follower; the system's by default.
        Permissions *permissions = nullptr;
        TutorialPractice::RecognizerFactory makeRecognizer;
    };

    static constexpr double crossFadeSeconds = 0.45;

    OnboardingWidget(NotchSettings &settings, std::function<void()> onComplete,
                     QWidget *parent = nullptr);
    OnboardingWidget(NotchSettings &settings, std::function<void()> onComplete,
                     const Options &options, QWidget *parent = nullptr);
    ~OnboardingWidget() override;

    OnboardingFlow &flow() { return *m_flow; }
    // The page of a step.
    QWidget *page(OnboardingFlow::Step step) const;
    HeroPlayer *preloadedPlayer() const { return m_preloaded.get(); }
    TutorialNotchController &tutorialNotch() { return *m_tutorialNotch; }
    TutorialPractice &tutorialPractice() { return *m_practice; }
    NotchPreviewController &preview() { return *m_preview; }
    const QList<HeroVideoView *> &heroes() const { return m_heroes; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showStep(OnboardingFlow::Step step);
    void preloadFirstVideo();
    void stopEveryPlayer();
    void keepWindowClearOfPreview();

    NotchSettings &m_settings;
    Options m_options;
    OnboardingFlow *m_flow;
    std::unique_ptr<HeroPlayer> m_preloaded;
    QList<HeroVideoView *> m_heroes;
    QWidget *m_welcome = nullptr;
    QWidget *m_language = nullptr;
    class CarouselPage *m_carousel = nullptr;
    class CelebrationPage *m_celebration = nullptr;
    NotchPreviewController *m_preview = nullptr;
    std::unique_ptr<SettingsWindow> m_ownWindow;
    TutorialNotchController *m_tutorialNotch = nullptr;
    TutorialPractice *m_practice = nullptr;
    PersonalizePage *m_personalize = nullptr;
    TutorialPage *m_tutorial = nullptr;
    InvisibilityPage *m_invisibility = nullptr;
    OnboardingFlow::Step m_step = OnboardingFlow::Step::welcome;
    QPointer<QWidget> m_shown;
};
