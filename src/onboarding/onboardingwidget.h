#pragma once

#include "onboarding/heroplayer.h"
#include "onboarding/onboardingflow.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class CaptureShield;
class HeroVideoView;
class NotchSettings;

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
        bool practiceSteps = false;
        // Makes the heroes' players; the bundle's clips through Qt Multimedia by default.
        HeroPlayerFactory playerFactory;
        // Where windows cannot be kept out of captures, no page claims they are.
        const CaptureShield *captureShield = nullptr;
    };

    static constexpr double crossFadeSeconds = 0.45;

    OnboardingWidget(NotchSettings &settings, std::function<void()> onComplete,
                     QWidget *parent = nullptr);
    OnboardingWidget(NotchSettings &settings, std::function<void()> onComplete,
                     const Options &options, QWidget *parent = nullptr);
    ~OnboardingWidget() override;

    OnboardingFlow &flow() { return *m_flow; }
    // The page of a step; null for the practice steps, which have none here.
    QWidget *page(OnboardingFlow::Step step) const;
    HeroPlayer *preloadedPlayer() const { return m_preloaded.get(); }
    const QList<HeroVideoView *> &heroes() const { return m_heroes; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showStep(OnboardingFlow::Step step);
    void preloadFirstVideo();
    void stopEveryPlayer();

    NotchSettings &m_settings;
    Options m_options;
    OnboardingFlow *m_flow;
    std::unique_ptr<HeroPlayer> m_preloaded;
    QList<HeroVideoView *> m_heroes;
    QWidget *m_welcome = nullptr;
    QWidget *m_language = nullptr;
    class CarouselPage *m_carousel = nullptr;
    class CelebrationPage *m_celebration = nullptr;
    QPointer<QWidget> m_shown;
};
