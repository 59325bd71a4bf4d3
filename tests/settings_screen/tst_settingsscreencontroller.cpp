#include "common/appfakes.h"
#include "common/overlayfakes.h"
#include "document/globalhotkeymanager.h"
#include "platform/motionpreference.h"
#include "settings_screen/settingsfakes.h"
#include "settings_screen/settingsscreencontroller.h"

#include <QDBusVariant>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using Motion = SettingsWindow::Motion;

namespace {

struct Scheduled
{
    int delayMs = 0;
    std::function<void()> step;
};

// A screen over fakes whose delayed steps wait until the test runs them.
struct Fixture
{
    InMemoryKeyValueStore store;
    FakeCaptureShield shield{false};
    NotchSettings settings{store, shield, u"es"_qs};
    FakeSettingsWindow window;
    FakeDialogs dialogs;
    FakeGlobalHotKeys *hotKeys = new FakeGlobalHotKeys;
    GlobalHotkeyManager hotkeyManager{std::unique_ptr<GlobalHotKeys>(hotKeys)};
    FakePreview *preview = new FakePreview;
    SettingsScreenController controller{settings, std::unique_ptr<NotchPreviewControlling>(preview),
                                        window, dialogs, &hotkeyManager};
    QList<Scheduled> scheduled;

    Fixture()
    {
        controller.scheduler = [this](int delayMs, std::function<void()> step) {
            scheduled.append({delayMs, std::move(step)});
        };
    }
    void runScheduled()
    {
        for (const Scheduled &step : std::exchange(scheduled, {}))
            step.step();
    }
};

} // namespace

class TestSettingsScreenController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { NotchSettings::shared().setAppLanguage(u"en"_qs); }
    void closingSequence_data();
    void closingSequence();
    void appearingPlacesThePreviewAndTheWindow_data();
    void appearingPlacesThePreviewAndTheWindow();
    void modeChangesMoveThePreviewAndTheWindow();
    void aPreviewOnAnotherScreenLeavesTheWindowInPlace();
    void resetAsksFirstThenWritesItsValues();
    void previewHidesWhileTheApplicationIsInactive();
    void desktopMotionSwitches();
};

void TestSettingsScreenController::closingSequence_data()
{
    QTest::addColumn<std::optional<QRect>>("frame");
    QTest::addColumn<bool>("reduceMotion");
    QTest::addColumn<QStringList>("previewCalls");
    QTest::addColumn<QList<Motion>>("motions");
    QTest::addColumn<int>("doneDelayMs"); // -1: at once

    const QRect offCentre(10, 300, 700, 400);
    const QRect centred(290, 212, 700, 400); // centred in the free area below the top panel
    QTest::newRow("glides back") << std::optional(offCentre) << false << QStringList{u"dismiss"_qs}
                                 << QList{Motion::recentre} << 420;
    QTest::newRow("already centred")
        << std::optional(centred) << false << QStringList{u"dismiss"_qs} << QList<Motion>{} << 150;
    QTest::newRow("no window") << std::optional<QRect>() << false << QStringList{u"dismiss"_qs}
                               << QList<Motion>{} << 150;
    QTest::newRow("reduce motion") << std::optional(offCentre) << true
                                   << QStringList{u"tearDown"_qs} << QList{Motion::none} << -1;
}

void TestSettingsScreenController::closingSequence()
{
    QFETCH(std::optional<QRect>, frame);
    QFETCH(bool, reduceMotion);
    QFETCH(QStringList, previewCalls);
    QFETCH(QList<Motion>, motions);
    QFETCH(int, doneDelayMs);

    Fixture f;
    f.window.m_frame = frame;
    f.controller.reduceMotion = [reduceMotion] { return reduceMotion; };
    QSignalSpy done(&f.controller, &SettingsScreenController::done);
    f.controller.closeSettings();
    f.controller.closeSettings(); // a second "Listo" while closing changes nothing

    QCOMPARE(f.preview->calls, previewCalls);
    QList<Motion> seen;
    for (const FakeSettingsWindow::Move &move : std::as_const(f.window.moves))
        seen << move.motion;
    QCOMPARE(seen, motions);
    if (!motions.isEmpty())
        QCOMPARE(f.window.moves.last().to, QPoint(290, 212));
    if (doneDelayMs < 0) {
        QCOMPARE(done.count(), 1);
        QVERIFY(f.scheduled.isEmpty());
    } else {
        QCOMPARE(done.count(), 0);
        QCOMPARE(f.scheduled.size(), 1);
        QCOMPARE(f.scheduled[0].delayMs, doneDelayMs);
        f.runScheduled();
        QCOMPARE(done.count(), 1);
    }
}

void TestSettingsScreenController::appearingPlacesThePreviewAndTheWindow_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<double>("textAreaHeight");
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("screen"); // without a top panel; none: the fake's, with one of 24
    QTest::addColumn<QStringList>("previewCalls");
    QTest::addColumn<int>("top"); // -1: the window stays

    const QRect window(290, 100, 700, 400);
    const QStringList show{u"show"_qs};
    // Below the preview: its strip (the top panel, but at least 28) + 160 + 24.
    QTest::newRow("pinned") << u"pinned"_qs << 160.0 << window << QRect() << show << 212;
    QTest::newRow("already clear")
        << u"pinned"_qs << 160.0 << QRect(290, 300, 700, 400) << QRect() << show << -1;
    QTest::newRow("no top panel") << u"pinned"_qs << 160.0 << window << QRect(0, 0, 1280, 800)
                                  << show << 212;
    QTest::newRow("screen right of another") << u"pinned"_qs << 160.0 << QRect(1600, 100, 700, 400)
                                             << QRect(1280, 0, 1440, 900) << show << 212;
    // On a short screen the window's bottom stops 10 above the free area's bottom.
    QTest::newRow("tall text area") << u"floating"_qs << 400.0 << window << QRect() << show << 390;
    // A stored height beyond any screen is the screen's height, not undefined behaviour.
    QTest::newRow("absurd height") << u"pinned"_qs << 1e300 << window << QRect() << show << 390;
    QTest::newRow("infinite height") << u"pinned"_qs << std::numeric_limits<double>::infinity()
                                     << window << QRect() << show << 390;
    QTest::newRow("negative height") << u"pinned"_qs << -5.0 << window << QRect() << show << -1;
    QTest::newRow("taller than the screen")
        << u"pinned"_qs << 160.0 << QRect(0, 0, 900, 900) << QRect() << show << 24;
    QTest::newRow("cursor") << u"cursor"_qs << 160.0 << window << QRect()
                            << QStringList{u"show"_qs, u"startCursorFollow"_qs} << 212;
    QTest::newRow("fullscreen") << u"fullscreen"_qs << 160.0 << window << QRect() << QStringList{}
                                << -1;
}

void TestSettingsScreenController::appearingPlacesThePreviewAndTheWindow()
{
    QFETCH(QString, mode);
    QFETCH(double, textAreaHeight);
    QFETCH(QRect, frame);
    QFETCH(QRect, screen);
    QFETCH(QStringList, previewCalls);
    QFETCH(int, top);

    Fixture f;
    f.settings.setOverlayMode(*presetFromRawValue<OverlayMode>(mode));
    f.settings.setTextAreaHeight(textAreaHeight);
    f.preview->calls.clear();
    f.window.moves.clear();
    f.window.m_frame = frame;
    if (!screen.isNull())
        f.window.m_screen = f.preview->m_screen = ScreenInfo{u"other"_qs, screen, screen, 2};
    f.controller.appeared();
    f.controller.appeared();
    if (mode == u"cursor") {
        // The follow starts a tenth of a second later.
        QCOMPARE(f.scheduled.size(), 1);
        QCOMPARE(f.scheduled[0].delayMs, 100);
        f.runScheduled();
    }
    QCOMPARE(f.preview->calls, previewCalls);
    if (top < 0) {
        QVERIFY(f.window.moves.isEmpty());
    } else {
        QCOMPARE(f.window.moves.size(), 1);
        QCOMPARE(f.window.moves[0].to, QPoint(frame.left(), top));
        QCOMPARE(f.window.moves[0].motion, Motion::window);
    }
}

void TestSettingsScreenController::modeChangesMoveThePreviewAndTheWindow()
{
    Fixture f;
    f.controller.appeared();
    f.preview->calls.clear();
    f.window.moves.clear();

    f.settings.setOverlayMode(OverlayMode::fullscreen);
    QCOMPARE(f.preview->calls, QStringList{u"hideAll"_qs});
    QCOMPARE(f.window.moves.last().to, QPoint(290, 212));

    // Sticky: the window's bottom 200 above the free area's bottom.
    f.settings.setOverlayMode(OverlayMode::floating);
    QCOMPARE(f.window.moves.last().to, QPoint(290, 200));

    f.preview->calls.clear();
    f.settings.setOverlayMode(OverlayMode::cursor);
    QCOMPARE(f.preview->calls, (QStringList{u"show"_qs, u"applyMode"_qs, u"startCursorFollow"_qs}));

    // Leaving the cursor: the preview goes back to its place, and only then takes the layout.
    f.preview->calls.clear();
    f.settings.setOverlayMode(OverlayMode::pinned);
    QCOMPARE(f.preview->calls, (QStringList{u"show"_qs, u"applyMode"_qs, u"stopCursorFollow"_qs}));
    f.preview->pendingCompletion();
    QCOMPARE(f.preview->calls.last(), u"applyMode"_qs);

    // Back to the notch, a window too tall to clear the preview when centred comes down as far
    // as the screen lets it; the cursor form leaves it centred.
    f.window.m_frame = QRect(290, 100, 700, 600);
    f.settings.setOverlayMode(OverlayMode::cursor);
    QCOMPARE(f.window.moves.last().to, QPoint(290, 24 + 88));
    f.settings.setOverlayMode(OverlayMode::pinned);
    QCOMPARE(f.window.moves.last().to, QPoint(290, 800 - 10 - 600));
    QCOMPARE(f.window.moves.last().motion, Motion::none);

    // The height moves the window and the preview; the width only the preview.
    f.preview->calls.clear();
    f.window.moves.clear();
    f.window.m_frame = QRect(290, 100, 700, 400);
    f.settings.setTextAreaHeight(300);
    QCOMPARE(f.window.moves.last().to, QPoint(290, 28 + 300 + 24));
    f.settings.setNotchWidth(400);
    QCOMPARE(f.preview->calls, (QStringList{u"applyMode"_qs, u"applyMode"_qs}));
}

void TestSettingsScreenController::aPreviewOnAnotherScreenLeavesTheWindowInPlace()
{
    Fixture f;
    f.preview->m_screen->name = u"other"_qs;
    f.settings.setTextAreaHeight(300);
    f.controller.appeared();
    QVERIFY(f.window.moves.isEmpty());
    // Back to the notch, the window is centred and not pushed below the other screen's preview.
    f.settings.setOverlayMode(OverlayMode::floating);
    f.settings.setOverlayMode(OverlayMode::pinned);
    QCOMPARE(f.window.moves.last().to, QPoint(290, 24 + 188));
}

void TestSettingsScreenController::resetAsksFirstThenWritesItsValues()
{
    Fixture f;
    f.settings.setAppLanguage(u"en"_qs);
    f.settings.setNotchWidth(480);
    f.settings.setOverlayMode(OverlayMode::cursor);
    f.settings.setGlobalHotkeyKeyCode(Qt::Key_K);
    f.settings.setGlobalHotkeyModifiers(Qt::ControlModifier);
    f.settings.setNotchShowsPageNumbers(true);
    f.hotkeyManager.registerHotKey(Qt::Key_K, Qt::ControlModifier);
    QVERIFY(f.hotkeyManager.isRegistered());

    f.dialogs.destructiveAnswer = false;
    f.controller.confirmReset();
    QCOMPARE(f.dialogs.destructiveQuestions.size(), 1);
    QCOMPARE(
        f.dialogs.destructiveQuestions[0],
        (QStringList{u"Reset all settings?"_qs,
                     u"This will restore all settings to their default values."_qs, u"Reset"_qs}));
    QCOMPARE(f.settings.notchWidth(), 480.0);

    f.dialogs.destructiveAnswer = true;
    f.controller.confirmReset();
    // Each value written through its setter, so stored at once.
    const QList<std::pair<QString, QVariant>> written{
        {u"notchWidth"_qs, 340.0},           {u"textAreaHeight"_qs, 160.0},
        {u"fontSizePreset"_qs, u"sm"_qs},    {u"fontFamilyPreset"_qs, u"sans"_qs},
        {u"highlightColor_g"_qs, 1.0},       {u"cueColor_g"_qs, 1.0},
        {u"cueBrightness"_qs, u"medium"_qs}, {u"overlayMode"_qs, u"pinned"_qs},
        {u"floatingGlassEffect"_qs, false},  {u"glassOpacity"_qs, 0.7},
        {u"fullscreenScreenID"_qs, 0u},      {u"showElapsedTime"_qs, true},
        {u"hideFromScreenShare"_qs, true},   {u"globalArrowKeysEnabled"_qs, false},
        {u"arrowScrollsText"_qs, false},     {u"globalHotkeyKeyCode"_qs, 0u},
        {u"globalHotkeyModifiers"_qs, 0u}};
    for (const auto &[key, value] : written)
        QCOMPARE(f.store.value(key), value);
    QVERIFY(!f.hotkeyManager.isRegistered());
    QVERIFY(f.hotKeys->registeredIds().isEmpty());
    // What the reset leaves alone stays.
    QCOMPARE(f.settings.appLanguage(), u"en"_qs);
    QCOMPARE(f.settings.notchShowsPageNumbers(), true);
}

void TestSettingsScreenController::previewHidesWhileTheApplicationIsInactive()
{
    Fixture f;
    f.controller.applicationActiveChanged(false); // not on screen yet: nothing
    QVERIFY(f.preview->calls.isEmpty());
    f.controller.appeared();
    f.window.moves.clear();
    f.controller.applicationActiveChanged(false);
    f.controller.applicationActiveChanged(true);
    QCOMPARE(f.preview->calls, (QStringList{u"show"_qs, u"hideAll"_qs, u"show"_qs}));
    QVERIFY(f.window.moves.isEmpty());
    f.controller.disappeared();
    QCOMPARE(f.preview->calls.last(), u"tearDown"_qs);
}

void TestSettingsScreenController::desktopMotionSwitches()
{
    QTemporaryDir home;
    const QString kdeglobals = home.filePath(u"kdeglobals"_qs);
    QVERIFY(!MotionPreference::kdeAnimationsOff(kdeglobals));
    for (const auto &[factor, off] : {std::pair{"0", true}, {"0.5", false}, {"x", false}}) {
        QFile file(kdeglobals);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[KDE]\nAnimationDurationFactor=" + QByteArray(factor) + '\n');
        file.close();
        QCOMPARE(MotionPreference::kdeAnimationsOff(kdeglobals), off);
    }
    const auto wrapped
        = [](const QVariant &value) { return QVariant::fromValue(QDBusVariant(value)); };
    QVERIFY(MotionPreference::portalAnimationsOff(wrapped(wrapped(false))));
    QVERIFY(MotionPreference::portalAnimationsOff(false));
    QVERIFY(!MotionPreference::portalAnimationsOff(wrapped(wrapped(true))));
    QVERIFY(!MotionPreference::portalAnimationsOff(wrapped(u"false"_qs)));
    QVERIFY(!MotionPreference::portalAnimationsOff(QVariant()));
}

QTEST_GUILESS_MAIN(TestSettingsScreenController)

#include "tst_settingsscreencontroller.moc"
