#include "onboardingflow.h"

#include "settings/notchsettings.h"

#include <QTimer>

OnboardingFlow::OnboardingFlow(NotchSettings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{}

OnboardingFlow::Step OnboardingFlow::stepFor(const Flags &flags)
{
    if (flags.showWelcome)
        return Step::welcome;
    if (flags.showLanguagePicker)
        return Step::languagePicker;
    if (flags.showPersonalize)
        return Step::personalize;
    if (flags.showTutorial)
        return Step::tutorial;
    if (flags.showInvisibility)
        return Step::invisibility;
    if (flags.showCelebration)
        return Step::celebration;
    return Step::introCarousel;
}

void OnboardingFlow::schedule(int delayMs, std::function<void()> task)
{
    if (m_scheduler)
        m_scheduler(delayMs, std::move(task));
    else
        QTimer::singleShot(delayMs, this, std::move(task));
}

// All the flags of a transition are written first and observers hear once, so no handler sees
// a half-made step in between (such as the carousel between personalize and tutorial).
void OnboardingFlow::apply(const Flags &flags)
{
    if (flags == m_flags)
        return;
    const Step before = step();
    const bool previewBefore = m_flags.showPersonalize;
    m_flags = flags;
    if (previewBefore != m_flags.showPersonalize && m_previewHook)
        m_previewHook(m_flags.showPersonalize);
    if (step() != before)
        Q_EMIT stepChanged(step());
}

void OnboardingFlow::beginFromWelcome()
{
    if (m_exiting || step() != Step::welcome)
        return;
    Flags next = m_flags;
    next.showWelcome = false;
    next.showLanguagePicker = true;
    apply(next);
}

void OnboardingFlow::selectLanguage(const QString &code)
{
    if (m_exiting || step() != Step::languagePicker)
        return;
    m_settings.setAppLanguage(code);
    if (!m_preloaded) {
        m_preloaded = true;
        if (m_preload)
            m_preload();
    }
    // Each press schedules its own change; both leave the language step.
    schedule(languageDelayMs, [this] {
        if (m_exiting || !m_flags.showLanguagePicker)
            return;
        Flags next = m_flags;
        next.showLanguagePicker = false;
        apply(next);
    });
}

void OnboardingFlow::continuePressed()
{
    if (m_exiting || step() != Step::introCarousel)
        return;
    if (!isLastPage()) {
        ++m_currentPage;
        Q_EMIT currentPageChanged(m_currentPage);
        return;
    }
    Flags next = m_flags;
    next.showPersonalize = true;
    apply(next);
}

void OnboardingFlow::backPressed()
{
    if (m_exiting || step() != Step::introCarousel)
        return;
    if (m_currentPage > 0) {
        --m_currentPage;
        Q_EMIT currentPageChanged(m_currentPage);
        return;
    }
    Flags next = m_flags;
    next.showLanguagePicker = true;
    apply(next);
}

void OnboardingFlow::skip()
{
    if (m_exiting || step() != Step::introCarousel)
        return;
    finishOnboarding();
}

void OnboardingFlow::showTutorialStep()
{
    if (m_exiting || step() != Step::personalize)
        return;
    Flags next = m_flags;
    next.showPersonalize = false;
    next.showTutorial = true;
    apply(next);
}

void OnboardingFlow::tutorialBack()
{
    if (m_exiting || step() != Step::tutorial)
        return;
    if (m_tutorialPanelHook)
        m_tutorialPanelHook();
    Flags next = m_flags;
    next.showTutorial = false;
    apply(next);
}

void OnboardingFlow::finishTutorialStep()
{
    if (m_exiting || step() != Step::tutorial)
        return;
    Flags next = m_flags;
    next.showTutorial = false;
    next.showInvisibility = true;
    apply(next);
}

void OnboardingFlow::closeInvisibilityStep()
{
    if (m_exiting || step() != Step::invisibility)
        return;
    if (m_tutorialPanelHook)
        m_tutorialPanelHook();
    Flags next = m_flags;
    next.showInvisibility = false;
    next.showCelebration = true;
    apply(next);
}

void OnboardingFlow::startUsingApp()
{
    if (m_exiting || step() != Step::celebration)
        return;
    m_exiting = true;
    Flags next = m_flags;
    next.showCelebration = false;
    apply(next);
    schedule(finishDelayMs, [this] { finishOnboarding(); });
}

void OnboardingFlow::finishOnboarding()
{
    if (m_finished)
        return;
    m_finished = true;
    m_exiting = true;
    if (auto complete = std::exchange(m_onComplete, {}))
        complete();
}
