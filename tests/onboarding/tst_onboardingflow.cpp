#include "common/fakecaptureshield.h"
#include "onboarding/onboardingflow.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using Step = OnboardingFlow::Step;

namespace {

// A flow whose delays run only when the test says so.
struct Fixture
{
    Fixture()
        : flow(settings)
    {
        flow.setScheduler([this](int delay, std::function<void()> task) {
            pending.append({delay, std::move(task)});
        });
        flow.setOnComplete([this] { ++completions; });
        flow.setPreloadFirstVideo([this] { ++preloads; });
        flow.setPersonalizePreviewChanged([this](bool shown) { previews.append(shown); });
        flow.setOrderOutTutorialPanel([this] { ++tutorialPanelOrderedOut; });
    }

    void runPending()
    {
        const auto tasks = std::exchange(pending, {});
        for (const auto &task : tasks)
            task.second();
    }

    void toCarousel(const QString &code = u"es"_s)
    {
        flow.beginFromWelcome();
        flow.selectLanguage(code);
        runPending();
    }

    InMemoryKeyValueStore store;
    FakeCaptureShield shield{false};
    NotchSettings settings{store, shield, u"es"_s};
    OnboardingFlow flow;
    QList<std::pair<int, std::function<void()>>> pending;
    int completions = 0;
    int preloads = 0;
    QList<bool> previews;
    int tutorialPanelOrderedOut = 0;
};

} // namespace

class TestOnboardingFlow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Welcome, language, the pages forth and back, the language again, the practice steps and
    // the celebration: each transition is announced once, after all its flags are written.
    void roadThroughEveryStep()
    {
        Fixture f;
        QSignalSpy steps(&f.flow, &OnboardingFlow::stepChanged);
        QCOMPARE(f.flow.step(), Step::welcome);
        QCOMPARE(f.flow.flags(), OnboardingFlow::Flags{});

        f.flow.beginFromWelcome();
        QCOMPARE(f.flow.step(), Step::languagePicker);
        f.flow.selectLanguage(u"en"_s);
        QCOMPARE(f.settings.appLanguage(), u"en"_s);
        QCOMPARE(f.flow.step(), Step::languagePicker); // for 0.25 s
        QCOMPARE(f.pending.size(), 1);
        QCOMPARE(f.pending.first().first, OnboardingFlow::languageDelayMs);
        f.runPending();
        QCOMPARE(f.flow.step(), Step::introCarousel);
        QCOMPARE(f.flow.currentPage(), 0);

        // Mashed continue and back keep the page within 0…2.
        for (int i = 0; i < 2; ++i)
            f.flow.continuePressed();
        QCOMPARE(f.flow.currentPage(), 2);
        for (int i = 0; i < 2; ++i)
            f.flow.backPressed();
        QCOMPARE(f.flow.currentPage(), 0);
        f.flow.backPressed();
        QCOMPARE(f.flow.step(), Step::languagePicker);
        f.flow.selectLanguage(u"es"_s);
        f.runPending();
        QCOMPARE(f.flow.step(), Step::introCarousel);
        QCOMPARE(f.preloads, 1); // the second choice preloads nothing

        f.flow.continuePressed();
        f.flow.continuePressed();
        f.flow.continuePressed(); // "Empezar" on the last page
        QCOMPARE(f.flow.step(), Step::personalize);
        f.flow.showTutorialStep();
        f.flow.finishTutorialStep();
        f.flow.closeInvisibilityStep();
        QCOMPARE(f.flow.step(), Step::celebration);
        QCOMPARE(f.previews, (QList<bool>{true, false}));
        const QList<Step> expected{Step::languagePicker, Step::introCarousel, Step::languagePicker,
                                   Step::introCarousel,  Step::personalize,   Step::tutorial,
                                   Step::invisibility,   Step::celebration};
        QCOMPARE(steps.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(steps.at(i).at(0).value<Step>(), expected[i]);

        // "Empezar" twice: the carousel shows while the step fades, then one completion.
        f.flow.startUsingApp();
        f.flow.startUsingApp();
        QCOMPARE(f.flow.step(), Step::introCarousel);
        QCOMPARE(f.flow.currentPage(), 2);
        QCOMPARE(f.completions, 0);
        // The fading carousel's buttons are live, and ignored.
        f.flow.skip();
        f.flow.continuePressed();
        f.flow.backPressed();
        QCOMPARE(f.completions, 0);
        QCOMPARE(f.flow.step(), Step::introCarousel);
        QCOMPARE(f.flow.currentPage(), 2);
        QCOMPARE(f.pending.size(), 1);
        QCOMPARE(f.pending.first().first, OnboardingFlow::finishDelayMs);
        f.runPending();
        QCOMPARE(f.completions, 1);
        QVERIFY(f.flow.isFinished());
    }

    // With the practice steps on: personalize with its preview, the tutorial and its "Atrás",
    // the invisibility step, the celebration.
    void roadWithPracticeSteps()
    {
        Fixture f;
        f.toCarousel();
        f.flow.continuePressed();
        f.flow.continuePressed();
        QSignalSpy steps(&f.flow, &OnboardingFlow::stepChanged);
        f.flow.continuePressed();
        QCOMPARE(f.flow.step(), Step::personalize);
        QCOMPARE(f.previews, QList<bool>{true});

        // One announcement, straight to the tutorial: no carousel in between.
        f.flow.showTutorialStep();
        QCOMPARE(f.flow.step(), Step::tutorial);
        QCOMPARE(f.previews, (QList<bool>{true, false}));
        QCOMPARE(steps.size(), 2);

        f.flow.tutorialBack();
        QCOMPARE(f.flow.step(), Step::introCarousel);
        QCOMPARE(f.flow.currentPage(), 2);
        QCOMPARE(f.tutorialPanelOrderedOut, 1);
        f.flow.continuePressed();
        f.flow.showTutorialStep();
        f.flow.finishTutorialStep();
        QCOMPARE(f.flow.step(), Step::invisibility);
        f.flow.closeInvisibilityStep();
        QCOMPARE(f.flow.step(), Step::celebration);
        QCOMPARE(f.tutorialPanelOrderedOut, 2);
        QCOMPARE(steps.size(), 7);
        // No two flags are ever left true together.
        const auto &flags = f.flow.flags();
        QCOMPARE(int(flags.showWelcome) + flags.showLanguagePicker + flags.showPersonalize
                     + flags.showTutorial + flags.showInvisibility + flags.showCelebration,
                 1);
        f.flow.startUsingApp();
        f.runPending();
        QCOMPARE(f.completions, 1);
    }

    // Both language buttons within 0.25 s: the later code is stored, one preload, and the two
    // scheduled changes leave the language step once.
    void bothLanguagesQuickly()
    {
        Fixture f;
        f.flow.beginFromWelcome();
        QSignalSpy steps(&f.flow, &OnboardingFlow::stepChanged);
        f.flow.selectLanguage(u"es"_s);
        f.flow.selectLanguage(u"en"_s);
        QCOMPARE(f.settings.appLanguage(), u"en"_s);
        QCOMPARE(f.preloads, 1);
        f.runPending();
        QCOMPARE(f.flow.step(), Step::introCarousel);
        QCOMPARE(steps.size(), 1);
    }

    // "Omitir" completes at once, once; input after it is ignored; buttons of steps not shown
    // do nothing.
    void skipAndStrayInput()
    {
        Fixture f;
        f.flow.skip();
        f.flow.startUsingApp();
        f.flow.continuePressed();
        f.flow.selectLanguage(u"en"_s);
        QCOMPARE(f.flow.step(), Step::welcome);
        QCOMPARE(f.settings.appLanguage(), u"es"_s);
        f.toCarousel();
        f.flow.skip();
        f.flow.skip();
        QCOMPARE(f.completions, 1);
        f.flow.backPressed();
        QCOMPARE(f.flow.step(), Step::introCarousel);
        QVERIFY(!f.store.contains(u"hasCompletedOnboarding"_s));
    }

    // With the real timers, the delays die with the flow.
    void delaysDieWithTheFlow()
    {
        Fixture f;
        int completions = 0;
        {
            OnboardingFlow flow(f.settings);
            flow.setOnComplete([&completions] { ++completions; });
            flow.beginFromWelcome();
            flow.selectLanguage(u"en"_s);
        }
        {
            OnboardingFlow flow(f.settings);
            flow.setOnComplete([&completions] { ++completions; });
            flow.beginFromWelcome();
            flow.selectLanguage(u"en"_s);
            QTRY_COMPARE(flow.step(), Step::introCarousel);
            for (int i = 0; i < 3; ++i)
                flow.continuePressed();
            flow.startUsingApp();
        }
        QTest::qWait(600);
        QCOMPARE(completions, 0);
    }
};

QTEST_GUILESS_MAIN(TestOnboardingFlow)
#include "tst_onboardingflow.moc"
