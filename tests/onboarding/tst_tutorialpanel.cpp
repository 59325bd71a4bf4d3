#include "common/fakecaptureshield.h"
#include "common/overlayfakes.h"
#include "common/speechfakes.h"
#include "onboarding/invisibilitypage.h"
#include "onboarding/onboardingflow.h"
#include "onboarding/onboardingvisuals.h"
#include "onboarding/personalizepage.h"
#include "onboarding/tutorialnotchcontent.h"
#include "onboarding/tutorialnotchcontroller.h"
#include "onboarding/tutorialpage.h"
#include "onboarding/tutorialpractice.h"
#include "overlay/overlaypanel.h"
#include "overlay/speechscrollview.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings_screen/settingcontrols.h"
#include "speech/speechrecognizer.h"
#include "uikit/animation.h"
#include "uikit/segmentedcontrol.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QWindow>

#include <cmath>

using namespace Qt::StringLiterals;
using Key = TutorialPractice::Key;
using VoiceState = TutorialPractice::VoiceState;
using Status = Permissions::Status;

namespace {

ScreenInfo screen(int menuBar = 30)
{
    return {u"main"_s, QRect(0, 0, 1920, 1080), QRect(0, menuBar, 1920, 1080 - menuBar), 1};
}

// A window that records what it was told, with a native window for the shield.
struct FakePanel : TutorialPanelWindow
{
    QRect frame() const override { return rect; }
    void orderFront() override { ++fronts; }
    void orderOut() override { ++outs; }
    void setInteractive(bool on) override { interactive = on; }
    bool isInteractive() const override { return interactive; }
    QWindow *window() const override { return const_cast<QWindow *>(&native); }

    QRect rect;
    bool interactive = false;
    int fronts = 0;
    int outs = 0;
    TutorialNotchController::ScrollClamp clamp;
    QWindow native;
};

struct Fixture
{
    explicit Fixture(bool supported = true, bool realPanel = false)
        : shield(supported)
        , settings(store, shield, u"es"_s)
        , notch(screens, shield,
                realPanel ? OverlayTutorialPanel::factory(settings, shield)
                          : TutorialNotchController::PanelFactory(
                              [this](TutorialNotchModel &, const QRect &frame, double, bool on,
                                     TutorialNotchController::ScrollClamp clamp) {
                                  auto panel = std::make_unique<FakePanel>();
                                  panel->rect = frame;
                                  panel->interactive = on;
                                  panel->clamp = std::move(clamp);
                                  ++built;
                                  return panel;
                              }))
        , practice(notch, permissions,
                   [this] { return std::make_unique<SpeechRecognizer>(device.services()); })
    {
        screens.m_screens = {screen()};
    }

    FakePanel *fake() const { return static_cast<FakePanel *>(notch.panel()); }
    TutorialNotchContent *content() const
    {
        return static_cast<OverlayTutorialPanel *>(notch.panel())->content();
    }

    FakeScreens screens;
    InMemoryKeyValueStore store;
    FakeCaptureShield shield;
    NotchSettings settings;
    FakePermissions permissions;
    FakeSpeechDevice device;
    int built = 0;
    TutorialNotchController notch;
    TutorialPractice practice;
};

// Runs the queued model-to-view and clamp round trips.
void settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class TestTutorialPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Hung from the top centre over the top strip; a second show only changes the clicks; no
    // screen builds nothing and the next show tries again; the closers drop it.
    void controllerPlacesAndReusesThePanel()
    {
        Fixture f;
        f.screens.m_screens.clear();
        f.notch.show(false, [](double) {});
        QVERIFY(!f.notch.panel());
        f.screens.m_screens = {screen(30)};
        int clamps = 0;
        f.notch.show(false, [&clamps](double) { ++clamps; });
        QCOMPARE(f.fake()->frame(), QRect(710, 0, 500, 470));
        QVERIFY(!f.fake()->isInteractive());
        f.notch.show(true);
        QCOMPARE(f.built, 1);
        QVERIFY(f.fake()->isInteractive());
        f.fake()->clamp(-3);
        QCOMPARE(clamps, 1); // the first callback stays
        f.notch.closePanel();
        QVERIFY(!f.notch.panel());
        // Without a top strip, the panel keeps a band that holds its text clear of the hint.
        f.screens.m_screens = {screen(0)};
        f.notch.show(false);
        QCOMPARE(f.fake()->frame().height(), 24 + 440);
    }

    // The demo reaches the window through the shield once per turn, with its final value; a
    // panel built while the demo is on starts hidden.
    void invisibleDemoAppliedOncePerTurn()
    {
        Fixture f;
        f.notch.show(true);
        QWindow *window = f.fake()->window();
        QCOMPARE(f.shield.isHidden(window), std::optional<bool>(false));
        for (int i = 0; i < 50; ++i)
            f.notch.model().toggleInvisibleDemo();
        f.notch.model().toggleInvisibleDemo();
        QVERIFY(f.notch.model().invisibilityTried());
        settle();
        QCOMPARE(f.notch.captureApplyCount(), 1);
        QCOMPARE(f.shield.isHidden(window), std::optional<bool>(true));
        f.notch.model().setIsInvisibleDemo(true); // unchanged: nothing scheduled
        settle();
        QCOMPARE(f.notch.captureApplyCount(), 1);
        f.notch.closePanel();
        f.notch.show(false);
        QCOMPARE(f.shield.isHidden(f.fake()->window()), std::optional<bool>(true));
    }

    // The arrows on the real panel: the slide change writes index and offset before any
    // handler, so the new slide rests at 0 and is not marked; down to the end and back up to the
    // top; auto-repeat cannot run the offset away; modifiers do not matter; other keys pass,
    // and once the filter goes the arrows reach the editor again.
    void arrowPracticeOnTheRealPanel()
    {
        Fixture f(true, true);
        QLineEdit editor;
        editor.show();
        editor.activateWindow();
        editor.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        TutorialKeyFilter filter(f.practice);
        filter.install();
        f.practice.start();
        settle();
        QCOMPARE(f.notch.model().arrowInstruction(),
                 std::optional(localizedString("Presioná → para ir a la siguiente nota")));

        QTest::keyClick(&editor, Qt::Key_Right, Qt::ControlModifier);
        settle();
        QCOMPARE(f.practice.noteIndex(), 1);
        SpeechScrollView *view = f.content()->scrollView();
        for (int i = 0; i < 200 && !f.practice.reachedBottom(); ++i) {
            QTest::keyClick(&editor, Qt::Key_Down, i % 2 ? Qt::ShiftModifier : Qt::AltModifier);
            settle();
        }
        QVERIFY(f.practice.reachedBottom());
        QCOMPARE(f.practice.scrollDelta(), view->manualRange().first);
        QCOMPARE(*f.notch.model().arrowInstruction(),
                 localizedString("Presioná ↑ para volver arriba"));
        for (int i = 0; i < 1000; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, {}, true);
            QApplication::sendEvent(&editor, &repeat);
        }
        settle();
        QCOMPARE(f.practice.scrollDelta(), view->manualRange().first);

        for (int i = 0; i < 200 && !f.practice.returnedToTop(); ++i) {
            QTest::keyClick(&editor, Qt::Key_Up);
            settle();
        }
        QVERIFY(f.practice.scrollDelta() >= -TutorialPractice::topTolerance);
        QCOMPARE(*f.notch.model().arrowInstruction(),
                 localizedString("Presioná ← para volver a la anterior"));
        // Up past the top: the note stays where it begins, its first line clear of the capsule.
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(&editor, Qt::Key_Up);
            settle();
        }
        QCOMPARE(f.practice.scrollDelta(), 0.0);
        QCOMPARE(view->targetManualOffset(), 0.0);

        // Down to the end again, then on to the next slide: it rests at 0, unmarked.
        for (int i = 0; i < 200 && f.practice.scrollDelta() > view->manualRange().first; ++i) {
            QTest::keyClick(&editor, Qt::Key_Down);
            settle();
        }
        QTest::keyClick(&editor, Qt::Key_Right);
        settle();
        QCOMPARE(f.practice.noteIndex(), 2);
        QCOMPARE(f.practice.scrollDelta(), 0.0);
        QVERIFY(!f.practice.reachedBottom());
        QCOMPARE(view->targetManualOffset(), 0.0);
        QTest::keyClick(&editor, Qt::Key_Left);
        settle();
        QCOMPARE(*f.notch.model().arrowInstruction(), localizedString("Presioná ↓ para scrollear"));
        QVERIFY(f.practice.canContinue());
        QCOMPARE(QString::fromUtf8(f.practice.statusText()), u"Perfecto. Tocá Continuar."_s);

        // Other keys pass; with the filter gone, so do the arrows.
        QTest::keyClicks(&editor, u"ab"_s);
        QTest::keyClick(&editor, Qt::Key_Return);
        QTest::keyClick(&editor, Qt::Key_Escape);
        QTest::keyClick(&editor, Qt::Key_Left); // caught: back to the first slide
        QCOMPARE(editor.cursorPosition(), 2);
        QCOMPARE(f.practice.noteIndex(), 0);
        filter.remove();
        QTest::keyClick(&editor, Qt::Key_Left);
        QTest::keyClicks(&editor, u"X"_s);
        QCOMPARE(editor.text(), u"aXb"_s);
        QCOMPARE(f.practice.noteIndex(), 0);
    }

    // "Continuar" waits for all four arrows, whichever one is missing; after the page has gone,
    // a clamp reported late leaves the shared panel's note as the next step wrote it.
    void everyArrowNeededAndLateClampsIgnored()
    {
        using Key = TutorialPractice::Key;
        const QList<Key> keys{Key::left, Key::right, Key::down, Key::up};
        for (const Key missing : keys) {
            Fixture f;
            f.practice.start();
            for (const Key key : keys) {
                if (key != missing)
                    f.practice.pressKey(key);
            }
            QVERIFY(!f.practice.canContinue());
            f.practice.pressKey(missing);
            QVERIFY(f.practice.canContinue());
        }

        Fixture f;
        f.practice.start();
        f.practice.leave();
        TutorialNotchModel &model = f.notch.model();
        model.setNoteTitle(u"Invisible"_s);
        model.setNoteBody(u"Otra nota"_s);
        f.fake()->clamp(-50);
        settle();
        QCOMPARE(model.noteTitle(), u"Invisible"_s);
        QCOMPARE(model.noteBody(), u"Otra nota"_s);
        QCOMPARE(model.scrollDelta(), 0.0);
    }

    // Stored values no slider could give: the panel draws finite, inside its window.
    void badStoredAppearance()
    {
        const double inf = std::numeric_limits<double>::infinity();
        for (const double value : {inf, 1e308, -5.0, 0.0, std::nan("")}) {
            Fixture f(false, true);
            f.store.setValue(u"notchWidth"_s, value);
            f.store.setValue(u"textAreaHeight"_s, value);
            f.store.setValue(u"glassOpacity"_s, 5.0);
            NotchSettings settings(f.store, f.shield, u"es"_s);
            settings.setGlassEffect(true);
            TutorialNotchModel model;
            model.setNoteBody(u"uno dos tres"_s);
            TutorialNotchContent content(model, settings, f.shield, 30, {});
            content.resize(500, 470);
            const QSizeF size = content.panelSize();
            QVERIFY(std::isfinite(size.width()) && size.width() <= 500 && size.width() > 0);
            QVERIFY(std::isfinite(size.height()) && size.height() <= 470);
            QVERIFY(!content.grab().isNull());
            QVERIFY(!content.outlinePath().isEmpty());
            const int percent = rangePercent(value, 310, 500);
            QVERIFY(std::abs(percent) <= 1000000000);
            QVERIFY(!std::isnan(value) || percent == 0);
        }
    }

    // The appearance page: the glass switch brings the opacity tile at 70 %, the reset writes
    // its values (the invisibility switch off), and showing a stored value out of a slider's
    // range never writes it back.
    void personalizePage()
    {
        Fixture f;
        f.store.setValue(u"notchWidth"_s, 1e308);
        NotchSettings settings(f.store, f.shield, u"es"_s);
        settings.setCueColor(Qt::red);
        const double stored = settings.notchWidth();
        OnboardingFlow flow(settings);
        PersonalizePage page(flow, settings, f.shield);
        page.resize(720, 560);
        page.show();
        QCOMPARE(settings.notchWidth(), stored);
        QCOMPARE(page.widthSlider()->value(), 1000);
        QVERIFY(!page.opacityTile()->isVisible());
        page.findChild<QAbstractButton *>(u"glassSwitch"_s)->click();
        QVERIFY(settings.glassEffect());
        QCOMPARE(settings.glassOpacity(), 0.7);
        QVERIFY(page.opacityTile()->isVisible());
        page.heightSlider()->setValue(1000); // a user's move writes
        QCOMPARE(settings.textAreaHeight(), 400.0);
        page.findChild<QAbstractButton *>(u"resetAppearance"_s)->click();
        QCOMPARE(settings.notchWidth(), 340.0);
        QCOMPARE(settings.textAreaHeight(), 160.0);
        QVERIFY(!settings.glassEffect() && !settings.hideFromScreenShare());
        QCOMPARE(settings.glassOpacity(), 0.7);
        QCOMPARE(settings.cueColor(), QColor(Qt::red));
        QVERIFY(!page.opacityTile()->isVisible());
        QCOMPARE(rangePercent(340, 310, 500), 15);
        QCOMPARE(rangePercent(160, 140, 400), 7);
        // The tiles' subtitles tell the share of each range.
        QStringList texts;
        for (const QLabel *label : page.findChildren<QLabel *>())
            texts << label->text();
        QVERIFY(texts.contains(localizedString("%lld%", 15)));
        QVERIFY(texts.contains(localizedString("%lld%", 7)));
        // A size segment writes its preset and shows it chosen.
        auto *size = page.findChild<SegmentedControl *>();
        QTest::mouseClick(size, Qt::LeftButton, {}, size->segmentRect(2).center());
        QCOMPARE(settings.fontSizePreset(), FontSizePreset::lg);
        QCOMPARE(size->currentIndex(), 2);
        // The selection slides there, and jumps when less motion is asked for.
        auto *selection = size->findChild<AnimatedValue *>();
        QVERIFY(selection->isAnimating());
        QTRY_COMPARE(selection->value(), 2.0);
        Motion::overrideReduceMotion(true);
        QTest::mouseClick(size, Qt::LeftButton, {}, size->segmentRect(0).center());
        Motion::overrideReduceMotion(std::nullopt);
        QVERIFY(!selection->isAnimating());
        QCOMPARE(selection->value(), 0.0);
        QCOMPARE(page.findChild<QAbstractButton *>(u"glassSwitch"_s)->size(), QSize(34, 20));
    }

    // The invisibility page says what is true: as written where the shield works, without any
    // claim of hiding where it does not; the eye toggle leads to the success either way.
    void invisibilityPageTexts()
    {
        for (const bool supported : {true, false}) {
            Fixture f(supported, true);
            OnboardingFlow flow(f.settings);
            InvisibilityPage page(flow, f.notch, f.shield);
            page.resize(720, 560);
            page.show();
            page.enter();
            QVERIFY(f.notch.panel()->isInteractive());
            const auto text = [&page](const char *name) {
                return page.findChild<QLabel *>(QString::fromLatin1(name))->text();
            };
            QCOMPARE(text("introTitle"),
                     localizedString(supported ? "Hacelo invisible" : "Probá el ojo del notch"));
            QCOMPARE(f.notch.model().noteBody().contains(
                         localizedString("En este sistema, quien vea tu pantalla compartida, una "
                                         "grabación o una captura también ve esta ventana.")
                             .left(12)),
                     !supported);
            f.content()->invisibilityToggle()->click();
            QVERIFY(page.successContent());
            QCOMPARE(text("successTitle"), localizedString(supported ? "La pantalla es invisible"
                                                                     : "Así funciona el ojo"));
            QVERIFY(!page.skipButton()->isVisible());
            settle();
            QCOMPARE(f.shield.isHidden(f.notch.panel()->window()), std::optional(true));
            page.leave();
            QVERIFY(!f.notch.panel());
            QVERIFY(!f.notch.model().isInvisibleDemo());
        }
    }

    // The voice stage, reached only from here: permissions of every kind, progress up to the
    // threshold, the wrap-up that closes the panel, and its cancellation when the page goes.
    void voiceStage()
    {
        Fixture f;
        const QList<std::tuple<Status, Status, VoiceState>> cases{
            {Status::Authorized, Status::Authorized, VoiceState::ready},
            {Status::Authorized, Status::Denied, VoiceState::denied},
            {Status::Restricted, Status::NotDetermined, VoiceState::denied},
            {Status::Authorized, Status::NotDetermined, VoiceState::notDetermined},
        };
        for (const auto &[mic, speech, state] : cases) {
            f.permissions.microphone = mic;
            f.permissions.speech = speech;
            f.practice.checkVoicePermissions();
            QCOMPARE(f.practice.voiceState(), state);
        }
        f.practice.openPrivacySettings();
        QCOMPARE(f.permissions.speechPanesOpened, 1);
        f.practice.requestVoicePermissions();
        QCOMPARE(f.practice.voiceState(), VoiceState::checking);
        f.permissions.speech = Status::Authorized;
        f.permissions.grantAll();
        QTRY_COMPARE(f.practice.voiceState(), VoiceState::ready);

        f.practice.enterVoiceStage();
        f.practice.start();
        QVERIFY(f.practice.canContinue());
        f.practice.startVoiceListening();
        QCOMPARE(f.practice.voiceState(), VoiceState::listening);
        QVERIFY(f.notch.model().voiceMode());
        const int threshold = int(localizedString(TutorialPractice::voicePracticeLine()).size()
                                  * TutorialPractice::voiceCompletionRatio);
        f.practice.handleVoiceProgress(threshold - 1);
        QCOMPARE(f.practice.voiceState(), VoiceState::listening);
        f.practice.handleVoiceProgress(std::nullopt);
        f.practice.recognizer()->setRecognizedCharCount(threshold);
        QCOMPARE(f.practice.voiceState(), VoiceState::completed);
        QCOMPARE(f.notch.model().voiceProgress(), threshold);
        QVERIFY(f.practice.isWrapUpPending());
        // Leaving the page cancels the wrap-up: the panel is the invisibility step's now.
        f.practice.leave();
        QVERIFY(!f.practice.isWrapUpPending());
        QVERIFY(!f.practice.recognizer());
        QVERIFY(f.notch.panel());

        // Left alone, the wrap-up closes the panel 1.5 s later.
        f.practice.start();
        f.practice.startVoiceListening();
        f.practice.handleVoiceProgress(0);
        f.practice.handleVoiceProgress(threshold);
        QVERIFY(f.practice.isWrapUpPending());
        QTRY_VERIFY_WITH_TIMEOUT(!f.notch.panel(), 3000);
        QVERIFY(!f.practice.back()); // the voice stage goes back to the arrows
        QCOMPARE(f.practice.stage(), TutorialPractice::Stage::arrows);
    }
};

QTEST_MAIN(TestTutorialPanel)
#include "tst_tutorialpanel.moc"
