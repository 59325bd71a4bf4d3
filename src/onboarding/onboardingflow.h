#pragma once

#include <QObject>
#include <QString>

#include <functional>

class NotchSettings;

// The first-run flow without any widget: the step flags, the rule that picks the visible step,
// every transition between the steps and the once-only finish. Delays go through a scheduler
// whose tasks die with the flow, so nothing runs on a flow that is gone. Main thread only.
class OnboardingFlow : public QObject
{
    Q_OBJECT

public:
    enum class Step {
        welcome,
        languagePicker,
        personalize,
        tutorial,
        invisibility,
        celebration,
        introCarousel
    };
    Q_ENUM(Step)

    struct Flags
    {
        bool showWelcome = true;
        bool showLanguagePicker = false;
        bool showPersonalize = false;
        bool showTutorial = false;
        bool showInvisibility = false;
        bool showCelebration = false;

        bool operator==(const Flags &other) const = default;
    };

    // Runs the task on the main thread after the delay, unless the flow is gone by then.
    using Scheduler = std::function<void(int delayMs, std::function<void()> task)>;

    static constexpr int pageCount = 3;
    static constexpr int languageDelayMs = 250;
    static constexpr int finishDelayMs = 450;
    static constexpr double stepChangeSeconds = 0.45;

    explicit OnboardingFlow(NotchSettings &settings, QObject *parent = nullptr);

    // Replaces the timer-based scheduler (tests run the delays by hand).
    void setScheduler(Scheduler scheduler) { m_scheduler = std::move(scheduler); }
    // Called once, when the flow finishes.
    void setOnComplete(std::function<void()> onComplete) { m_onComplete = std::move(onComplete); }
    // Called by a language choice while no first video has been preloaded.
    void setPreloadFirstVideo(std::function<void()> preload) { m_preload = std::move(preload); }
    // The practice steps' panels: the preview follows the personalize flag, the tutorial panel
    // is ordered out when the tutorial is left backwards or the invisibility step closes.
    void setPersonalizePreviewChanged(std::function<void(bool)> hook)
    {
        m_previewHook = std::move(hook);
    }
    void setOrderOutTutorialPanel(std::function<void()> hook)
    {
        m_tutorialPanelHook = std::move(hook);
    }

    const Flags &flags() const { return m_flags; }
    Step step() const { return stepFor(m_flags); }
    static Step stepFor(const Flags &flags);
    int currentPage() const { return m_currentPage; }
    bool isLastPage() const { return m_currentPage == pageCount - 1; }
    // From the celebration's "Empezar" or "Omitir" on, input is ignored.
    bool isExiting() const { return m_exiting; }
    bool isFinished() const { return m_finished; }

    // Transitions, called by the steps' buttons.
    void beginFromWelcome();
    void selectLanguage(const QString &code);
    void continuePressed();
    void backPressed();
    void skip();
    void showTutorialStep();
    void tutorialBack();
    void finishTutorialStep();
    void closeInvisibilityStep();
    void startUsingApp();

Q_SIGNALS:
    // Once per transition, after all its flags are written.
    void stepChanged(OnboardingFlow::Step step);
    void currentPageChanged(int page);

private:
    void apply(const Flags &flags);
    void finishOnboarding();
    void schedule(int delayMs, std::function<void()> task);

    NotchSettings &m_settings;
    Flags m_flags;
    int m_currentPage = 0;
    bool m_preloaded = false;
    bool m_exiting = false;
    bool m_finished = false;
    Scheduler m_scheduler;
    std::function<void()> m_onComplete;
    std::function<void()> m_preload;
    std::function<void(bool)> m_previewHook;
    std::function<void()> m_tutorialPanelHook;
};
