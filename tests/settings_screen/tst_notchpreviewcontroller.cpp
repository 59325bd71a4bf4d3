// The preview's windows as the controller moves them, against fake windows, screens and a
// scheduler that runs delayed steps when the test says so.

#include "common/fakecaptureshield.h"
#include "common/overlayfakes.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"
#include "settings_screen/notchpreviewcontroller.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Remembers what it was told; a move runs only when the test lets it arrive.
struct FakeWindow : PreviewPanelWindow
{
    FakeWindow(NotchPreviewContent::Options options, const QRect &frame, bool interactive)
        : options(std::move(options))
        , rect(frame)
        , interactive(interactive)
    {}

    QRect frame() const override { return rect; }
    void setFrame(const QRect &frame) override
    {
        stopAnimation();
        rect = frame;
    }
    void moveTo(const QPoint &topLeft) override { rect.moveTopLeft(topLeft); }
    void animateFrame(const QRect &target, int, std::function<void()> arrived) override
    {
        pendingTarget = target;
        pendingArrival = lastArrival = std::move(arrived);
    }
    void stopAnimation() override
    {
        pendingTarget.reset();
        pendingArrival = nullptr;
    }
    bool isAnimating() const override { return pendingTarget.has_value(); }
    void orderFront() override { shown = true; }
    void orderOut() override { shown = false; }
    bool isShown() const override { return shown; }
    void setInteractive(bool on) override { interactive = on; }
    bool isInteractive() const override { return interactive; }
    NotchPreviewContent *content() const override { return nullptr; }

    void arrive()
    {
        rect = pendingTarget.value_or(rect);
        auto arrived = std::exchange(pendingArrival, nullptr);
        pendingTarget.reset();
        if (arrived)
            arrived();
    }

    NotchPreviewContent::Options options;
    QRect rect;
    bool interactive = false;
    bool shown = false;
    std::optional<QRect> pendingTarget;
    std::function<void()> pendingArrival;
    std::function<void()> lastArrival; // kept after a stop: a late report of a cancelled move
};

struct Fixture
{
    Fixture()
        : controller(screens, shield)
    {
        screens.m_screens = {{u"one"_qs, {0, 0, 1280, 800}, {0, 30, 1280, 770}, 1}};
        screens.m_cursor = {600, 400};
        controller.setWindowFactory(
            [](NotchPreviewContent::Options options, const QRect &frame, bool interactive) {
                return std::make_unique<FakeWindow>(std::move(options), frame, interactive);
            });
        controller.setScheduler([this](int delayMs, std::function<void()> task) {
            delays.append(delayMs);
            tasks.push_back(std::move(task));
        });
    }

    FakeWindow &panel() { return *static_cast<FakeWindow *>(controller.panel()); }
    FakeWindow &duplicate(int i)
    {
        return *static_cast<FakeWindow *>(controller.duplicatePanels().at(i).get());
    }

    InMemoryKeyValueStore store;
    FakeCaptureShield shield{false};
    NotchSettings settings{store, shield, u"es"_qs};
    FakeScreens screens;
    NotchPreviewController controller;
    QList<int> delays;
    std::vector<std::function<void()>> tasks;
};

// The main preview window: 500 wide, the top strip + 440 high, top centre of the main screen.
const QRect fullFrame(390, 0, 500, 30 + 440);

} // namespace

class TestNotchPreviewController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pinnedAndStickyForms()
    {
        Fixture f;
        f.controller.show(f.settings, true, false);
        QCOMPARE(f.panel().frame(), fullFrame);
        QVERIFY(f.panel().isShown());
        QVERIFY(!f.panel().isInteractive());
        QCOMPARE(f.panel().options.menuBarHeight, 30.0);
        QVERIFY(f.panel().options.glow && f.panel().options.showStickyHint);

        // Floating: a sticky window around the same centre with the same top, taking clicks.
        f.settings.setOverlayMode(OverlayMode::floating);
        f.controller.applyMode(f.settings);
        QCOMPARE(f.panel().frame(), QRect(640 - 178, 0, 356, 242));
        QVERIFY(f.panel().isInteractive());
        QCOMPARE(f.controller.fullFrame().value_or(QRect()), fullFrame);
        f.settings.setNotchWidth(400);
        f.settings.setTextAreaHeight(200);
        f.controller.applyMode(f.settings);
        QCOMPARE(f.panel().frame(), QRect(640 - 208, 0, 416, 282));
        QCOMPARE(f.controller.fullFrame().value_or(QRect()), fullFrame); // saved once

        // A second show keeps the window; forcePinned takes effect, the glow does not.
        f.controller.show(f.settings, false, true);
        QCOMPARE(f.panel().frame(), fullFrame);
        QVERIFY(!f.panel().isInteractive());
        QVERIFY(!f.controller.fullFrame());
        QVERIFY(f.panel().options.glow);

        // No screen, no preview.
        f.controller.tearDown();
        QVERIFY(!f.controller.panel());
        QVERIFY(f.controller.forcePinned()); // tear-down keeps it
        f.screens.m_screens.clear();
        f.controller.show(f.settings, false, false);
        QVERIFY(!f.controller.panel());
    }

    void duplicates()
    {
        Fixture f;
        f.controller.show(f.settings, false, false);
        f.controller.duplicateWindow(f.settings);
        QVERIFY(f.controller.duplicatePanels().empty()); // pinned: none

        f.settings.setOverlayMode(OverlayMode::floating);
        f.controller.applyMode(f.settings);
        const QRect sticky = f.panel().frame();
        for (int i = 0; i < 4; ++i)
            f.controller.duplicateWindow(f.settings);
        QCOMPARE(int(f.controller.duplicatePanels().size()), 3); // four windows in all
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(f.duplicate(i).frame(), sticky.translated(36 * (i + 1), 36 * (i + 1)));
            QVERIFY(f.duplicate(i).isShown() && f.duplicate(i).isInteractive());
            QVERIFY(!f.duplicate(i).options.glow && !f.duplicate(i).options.showStickyHint);
        }

        // A duplicate's own button cascades from the newest one, not from itself.
        f.controller.closeAllDuplicates();
        f.controller.duplicateWindow(f.settings);
        f.duplicate(0).setFrame(QRect(100, 300, 356, 242));
        f.controller.duplicateWindow(f.settings);
        f.duplicate(0).options.onDuplicate();
        QCOMPARE(f.duplicate(2).frame().topLeft(),
                 f.duplicate(1).frame().topLeft() + QPoint(36, 36));

        // Hidden, not forgotten; leaving floating closes them and restores the full frame.
        f.controller.hideAll();
        QVERIFY(!f.panel().isShown() && !f.duplicate(0).isShown());
        QCOMPARE(int(f.controller.duplicatePanels().size()), 3);
        f.settings.setOverlayMode(OverlayMode::cursor);
        f.controller.show(f.settings, false, false);
        QVERIFY(f.panel().isShown());
        QVERIFY(f.controller.duplicatePanels().empty());
        QCOMPARE(f.panel().frame(), fullFrame);
    }

    void followsThePointer()
    {
        Fixture f;
        f.settings.setOverlayMode(OverlayMode::cursor);
        f.controller.show(f.settings, false, false);
        f.controller.startCursorFollow(f.settings);
        // The mock (340 wide, centred, 60 down) starts 8 right of the pointer, level with it.
        QCOMPARE(f.panel().pendingTarget.value_or(QRect()),
                 QRect(600 + 8 - 80, 400 - 60, 500, 470));
        QVERIFY(!f.controller.isFollowingCursor());
        f.panel().arrive();
        QVERIFY(f.controller.isFollowingCursor());

        f.screens.m_cursor = {100, 700};
        f.controller.followCursorTick();
        QCOMPARE(f.panel().frame().topLeft(), QPoint(100 + 8 - 80, 640));

        f.controller.startCursorFollow(f.settings); // keeps the first saved frame
        QCOMPARE(f.controller.originalFrame().value_or(QRect()), fullFrame);
        int completions = 0;
        f.controller.stopCursorFollow([&] { ++completions; });
        QVERIFY(!f.controller.isFollowingCursor());
        QVERIFY(!f.controller.originalFrame());
        QCOMPARE(completions, 0);
        f.panel().arrive();
        QCOMPARE(f.panel().frame(), fullFrame);
        QCOMPARE(completions, 1);

        // Nothing following: the completion runs at once.
        f.controller.stopCursorFollow([&] { ++completions; });
        QCOMPARE(completions, 2);
    }

    // A stop or a tear-down during the move to the pointer cancels it for good: the window ends
    // on its saved frame and the follow never starts, even if the move reports late.
    void stopDuringTheMoveCancelsIt()
    {
        Fixture f;
        f.settings.setOverlayMode(OverlayMode::cursor);
        f.controller.show(f.settings, false, false);
        f.controller.startCursorFollow(f.settings);
        const std::function<void()> lateArrival = f.panel().lastArrival;
        f.controller.stopCursorFollow();
        QCOMPARE(f.panel().pendingTarget.value_or(QRect()), fullFrame);
        lateArrival();
        QVERIFY(!f.controller.isFollowingCursor());
        f.panel().arrive();
        QCOMPARE(f.panel().frame(), fullFrame);
        QVERIFY(!f.controller.isFollowingCursor());

        f.controller.startCursorFollow(f.settings);
        const std::function<void()> torn = f.panel().lastArrival;
        f.controller.tearDown();
        torn();
        QVERIFY(!f.controller.isFollowingCursor());
        QVERIFY(!f.controller.panel());
    }

    void storedSizesStayOnTheScreen()
    {
        Fixture f;
        f.settings.setNotchWidth(1e300);
        f.settings.setTextAreaHeight(1e9);
        f.settings.setOverlayMode(OverlayMode::floating);
        f.controller.show(f.settings, false, false);
        QCOMPARE(f.panel().frame().size(), QSize(1280, 800));
        f.controller.duplicateWindow(f.settings);
        QVERIFY(QRect(0, 0, 1280, 800).contains(f.duplicate(0).frame()));

        f.settings.setOverlayMode(OverlayMode::cursor);
        f.controller.applyMode(f.settings);
        f.controller.startCursorFollow(f.settings);
        QCOMPARE(f.panel().pendingTarget->left(), 600 + 8); // the mock fills the window
    }

    // The key window's screen right of a 1280-wide primary one, without a top panel: the
    // preview hangs from its own top centre, the strip at least 28, and sticky windows stay on it.
    void mainScreenRightOfAnother()
    {
        Fixture f;
        const QRect main(1280, 0, 1440, 900);
        f.screens.m_screens
            = {{u"left"_qs, {0, 0, 1280, 800}, {0, 0, 1280, 800}, 1}, {u"right"_qs, main, main, 2}};
        f.screens.m_keyWindowScreen = u"right"_qs;
        f.controller.show(f.settings, false, false);
        QCOMPARE(f.controller.screen()->name, u"right"_qs);
        QCOMPARE(f.panel().frame(), QRect(1280 + 470, 0, 500, 28 + 440));
        QCOMPARE(f.panel().options.menuBarHeight, 28.0);

        f.settings.setOverlayMode(OverlayMode::floating);
        f.controller.applyMode(f.settings);
        QCOMPARE(f.panel().frame(), QRect(1280 + 720 - 178, 0, 356, 242));
        f.panel().setFrame(QRect(2720 - 356, 700, 356, 242)); // dragged to the corner
        f.controller.duplicateWindow(f.settings);
        QCOMPARE(f.duplicate(0).frame(), QRect(2720 - 356, 900 - 242, 356, 242));
    }

    void dismissAnnouncesThenTearsDown()
    {
        Fixture f;
        QSignalSpy announced(&f.controller, &NotchPreviewController::notchPreviewWillDismiss);
        f.controller.dismiss(); // nothing shown: nothing posted
        QCOMPARE(announced.count(), 0);
        QVERIFY(f.tasks.empty());

        f.controller.show(f.settings, false, false);
        QCOMPARE(f.panel().options.dismissNotifier, &f.controller);
        f.controller.dismiss();
        QCOMPARE(announced.count(), 1);
        QCOMPARE(f.delays, QList<int>{500});
        QVERIFY(f.controller.panel());
        f.tasks.front()();
        QVERIFY(!f.controller.panel());
    }
};

QTEST_MAIN(TestNotchPreviewController)
#include "tst_notchpreviewcontroller.moc"
