#include "overlay/notchframetracker.h"
#include "overlay/notchoverlaycontroller.h"
#include "overlay/overlaypanel.h"
#include "overlay/stickyinstance.h"
#include "overlaycontrollerfixture.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"
#include "speech/speechrecognizer.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <limits>

class TestNotchOverlayController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showHangsThePanelFromTheTopOfTheScreenUnderTheMouse();
    void textFromOutsideKeepsNoLineBreaks();
    void dismissFinishesOnce();
    void finishBelongsToItsSession();
    void viewDismissDuringDismissalSchedulesNothingMore();
    void pollTurnsRequestsIntoServiceCalls();
    void updateContentKeepsThePanel();
    void collapseHandsTheKeyboardBack();
    void closedPanelOutlivingItsControllerStandsStill();
    void panelFollowsTheMouseToAnotherScreen();
    void captureVisibilityFollowsTheSetting();
    void eachModeOpensItsOwnPanel();
    void cursorPanelStaysOnTheScreenUnderThePointer_data();
    void cursorPanelStaysOnTheScreenUnderThePointer();
    void storedSizesStayWithinTheScreen_data();
    void storedSizesStayWithinTheScreen();
    void stopButtonEndsTheCursorSession();
    void fullscreenUsesTheStoredDisplayWhenConnected();
    void newSessionDropsAPendingNextPage();
};

void TestNotchOverlayController::showHangsThePanelFromTheTopOfTheScreenUnderTheMouse()
{
    Fixture f;
    f.settings.setNotchWidth(340);
    f.settings.setTextAreaHeight(160);
    f.open();
    OverlayPanel *panel = f.controller.panel();
    QVERIFY(panel);
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->geometry(), QRect(640 - 170, 0, 340, 160 + 30));
    QCOMPARE(f.controller.currentScreenID(), Screens::displayNumberForName(u"left"_qs));
    QVERIFY(panel->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(panel->testAttribute(Qt::WA_ShowWithoutActivating));

    // A display without a top panel still leaves the panel's top bar its strip.
    f.screens.m_cursor = {2000, 500};
    f.open();
    QCOMPARE(f.controller.panel()->geometry(),
             QRect(1280 + 960 - 170, 0, 340, 160 + NotchOverlayController::minimumTopStripHeight));
}

void TestNotchOverlayController::textFromOutsideKeepsNoLineBreaks()
{
    Fixture f;
    f.open(u"uno\ndos\ntres"_qs, false);
    OverlayContent &content = f.controller.overlayContent();
    QCOMPARE(content.words().size(), 3);
    QVERIFY(content.lineBreaks().isEmpty());
    QVERIFY(!content.isNotesMode());
    QCOMPARE(content.totalCharCount(), 12);
    f.open(u"uno\ndos\ntres"_qs, true);
    QCOMPARE(content.lineBreaks(), QSet<int>({1, 2}));
}

void TestNotchOverlayController::dismissFinishesOnce()
{
    Fixture f;
    f.open();
    f.controller.dismiss();
    f.controller.dismiss();
    QVERIFY(f.controller.speechRecognizer().shouldDismiss());
    QVERIFY(f.controller.panel());
    // Closing: a page started now must open a session of its own, not refill this one.
    QVERIFY(!f.controller.hasPanel());
    QTRY_COMPARE(f.completions, 1);
    QVERIFY(!f.controller.panel());
    QVERIFY(f.hotKeys->registeredIds().isEmpty());
    QVERIFY(!f.controller.speechRecognizer().shouldDismiss());
    QTest::qWait(NotchOverlayController::dismissDelayMs + 100);
    QCOMPARE(f.completions, 1);
}

// A session opened while the previous one is closing stays open, and the old finish neither
// closes it nor reports the new session's end.
void TestNotchOverlayController::finishBelongsToItsSession()
{
    Fixture f;
    int firstCompletions = 0;
    f.controller.show(u"primera"_qs, false, true, [&] { ++firstCompletions; });
    f.controller.dismiss();
    f.open(u"segunda"_qs);
    QTest::qWait(NotchOverlayController::dismissDelayMs + 150);
    QVERIFY(f.controller.panel());
    QCOMPARE(firstCompletions, 0);
    QCOMPARE(f.completions, 0);
    QVERIFY(!f.controller.isDismissing());

    f.controller.dismiss();
    QTRY_COMPARE(f.completions, 1);
}

void TestNotchOverlayController::viewDismissDuringDismissalSchedulesNothingMore()
{
    Fixture f;
    f.open();
    // A close button: the view stops the follower and raises the flag; the poll finishes.
    f.controller.speechRecognizer().setShouldDismiss(true);
    QTRY_VERIFY(f.controller.isDismissing());
    f.controller.dismiss();
    QTRY_COMPARE(f.completions, 1);
    QTest::qWait(NotchOverlayController::dismissDelayMs + 100);
    QCOMPARE(f.completions, 1);
}

void TestNotchOverlayController::pollTurnsRequestsIntoServiceCalls()
{
    Fixture f;
    f.open();
    OverlayContent &content = f.controller.overlayContent();
    f.controller.speechRecognizer().setShouldAdvancePage(true);
    content.setJumpToPageIndex(2);
    content.setShowPagePicker(true);
    content.setJumpToPageNotesMode(1);
    QTRY_COMPARE(f.service.calls,
                 QStringList({u"next"_qs, u"goToPage 2"_qs, u"startReading 1"_qs}));
    QVERIFY(!f.controller.speechRecognizer().shouldAdvancePage());
    QCOMPARE(content.jumpToPageIndex(), std::nullopt);
    QCOMPARE(content.jumpToPageNotesMode(), std::nullopt);
    QVERIFY(!content.showPagePicker());
}

void TestNotchOverlayController::updateContentKeepsThePanel()
{
    Fixture f;
    f.open();
    OverlayPanel *panel = f.controller.panel();
    OverlayContent &content = f.controller.overlayContent();
    content.setArrowScrollDelta(-44.8);
    content.setIsCollapsed(true);
    f.controller.speechRecognizer().setRecognizedCharCount(9);
    QSignalSpy loaded(&content, &OverlayContent::pageLoaded);

    // The same text again still counts as a new page: its reading starts over.
    f.controller.updateContent(u"Hola a todos\nsegunda línea"_qs, false, true);
    QCOMPARE(f.controller.panel(), panel);
    QCOMPARE(content.arrowScrollDelta(), 0.0);
    QVERIFY(!content.isCollapsed());
    QVERIFY(!content.hasNextPage());
    QCOMPARE(f.controller.speechRecognizer().recognizedCharCount(), 0);
    QCOMPARE(loaded.count(), 1);
}

void TestNotchOverlayController::collapseHandsTheKeyboardBack()
{
    Fixture f;
    f.open();
    QCOMPARE(f.hotKeys->registeredIds().size(), 6);
    f.activeWindow.m_current = 0; // the panel session is now in front
    f.controller.overlayContent().setIsCollapsed(true);
    QCOMPARE(f.activeWindow.activations, QList<ActiveWindow::WindowId>({77}));
    QCOMPARE(f.hotKeys->registeredIds(), QList<int>({Id::escHotKey, Id::cmdMHotKey}));

    f.controller.overlayContent().setIsCollapsed(false);
    QCOMPARE(f.hotKeys->registeredIds().size(), 6);

    // Text from outside never takes the arrows back on expanding.
    f.open(u"texto"_qs, false);
    f.controller.overlayContent().setIsCollapsed(true);
    f.controller.overlayContent().setIsCollapsed(false);
    QVERIFY(f.hotKeys->registeredIds().isEmpty());
}

void TestNotchOverlayController::closedPanelOutlivingItsControllerStandsStill()
{
    QPointer<OverlayPanel> panel;
    {
        Fixture f;
        f.open();
        panel = f.controller.panel();
        QVERIFY(panel);
    }
    // The panel goes with the event loop, after the content it showed; its timers, due by then,
    // must not run into that content (the sanitizer build fails here otherwise).
    QThread::msleep(80);
    Fixture::settle();
    QTest::qWait(50);
    QVERIFY(!panel);
}

void TestNotchOverlayController::panelFollowsTheMouseToAnotherScreen()
{
    Fixture f;
    f.open();
    NotchFrameTracker *tracker = f.controller.frameTracker();
    tracker->setVisibleHeight(30 + 36); // collapsed bar on the first display
    f.screens.m_cursor = {1500, 300};
    QTRY_COMPARE(f.controller.currentScreenID(), Screens::displayNumberForName(u"right"_qs));
    QTRY_COMPARE(f.controller.panel()->geometry(), QRect(1280 + 960 - 170, 0, 340, 66));
    // Outside every screen the panel stays.
    f.screens.m_cursor = {-500, -500};
    QTest::qWait(NotchOverlayController::screenFollowIntervalMs + 100);
    QCOMPARE(f.controller.panel()->geometry().x(), 1280 + 960 - 170);
}

void TestNotchOverlayController::captureVisibilityFollowsTheSetting()
{
    Fixture f;
    f.open();
    QWindow *window = f.controller.panel()->windowHandle();
    QCOMPARE(f.shield.isHidden(window), std::optional<bool>(true));
    f.settings.setHideFromScreenShare(false);
    QTRY_COMPARE(f.shield.isHidden(window), std::optional<bool>(false));
}

void TestNotchOverlayController::eachModeOpensItsOwnPanel()
{
    const QList<std::pair<OverlayMode, const char *>> modes{
        {OverlayMode::pinned, "NotchOverlayView"},
        {OverlayMode::floating, "FloatingOverlayView"},
        {OverlayMode::cursor, "FloatingOverlayView"},
        {OverlayMode::fullscreen, "ExternalDisplayView"}};
    for (const auto &[mode, viewClass] : modes) {
        Fixture f;
        f.settings.setOverlayMode(mode);
        f.open();
        QVERIFY(f.controller.panel());
        QCOMPARE(f.controller.panel()->content()->metaObject()->className(), viewClass);
        QCOMPARE(bool(f.controller.stopButtonPanel()), mode == OverlayMode::cursor);
        const Qt::WindowFlags flags = f.controller.panel()->windowFlags();
        // Only the full screen takes the keyboard as it shows (a floating panel when clicked);
        // the cursor panel lets clicks through to the window beneath.
        QCOMPARE(flags.testFlag(Qt::WindowDoesNotAcceptFocus), mode != OverlayMode::fullscreen);
        QCOMPARE(flags.testFlag(Qt::WindowTransparentForInput), mode == OverlayMode::cursor);
    }

    Fixture floating;
    floating.settings.setOverlayMode(OverlayMode::floating);
    floating.open();
    OverlayPanel *panel = floating.controller.panel();
    QCOMPARE(panel->geometry(), QRect(640 - 170, 400 - 80 - 100, 340, 160));
    QCOMPARE(panel->minimumSize(), QSize(280, 160));
    QCOMPARE(panel->maximumSize(), QSize(500, 160 + 350));
}

void TestNotchOverlayController::cursorPanelStaysOnTheScreenUnderThePointer_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QPoint>("position");
    // The panel is 340 x 160; the first display has a 30 px top bar, the second a 40 px bottom
    // panel.
    QTest::newRow("middle") << QPoint(300, 400) << QPoint(308, 400);
    QTest::newRow("under the top bar") << QPoint(500, 10) << QPoint(508, 30);
    QTest::newRow("left edge") << QPoint(0, 400) << QPoint(8, 400);
    QTest::newRow("right edge") << QPoint(1250, 400) << QPoint(1280 - 340, 400);
    QTest::newRow("bottom edge") << QPoint(400, 790) << QPoint(408, 800 - 160);
    QTest::newRow("bottom right") << QPoint(1279, 799) << QPoint(1280 - 340, 800 - 160);
    QTest::newRow("second display, right edge") << QPoint(3190, 500) << QPoint(3200 - 340, 500);
    QTest::newRow("second display, over its bottom panel")
        << QPoint(2000, 1070) << QPoint(2008, 1040 - 160);
    QTest::newRow("outside every display") << QPoint(-200, -50) << QPoint(-192, -50);
    QTest::newRow("beyond the second display") << QPoint(3300, 1200) << QPoint(3308, 1200);
}

void TestNotchOverlayController::cursorPanelStaysOnTheScreenUnderThePointer()
{
    QFETCH(QPoint, pointer);
    Fixture f;
    f.screens.m_screens[1].availableGeometry.setBottom(1040 - 1);
    f.settings.setOverlayMode(OverlayMode::cursor);
    f.screens.m_cursor = {300, 400};
    f.open();
    OverlayPanel *panel = f.controller.panel();
    QCOMPARE(panel->pos(), QPoint(308, 400));
    f.screens.m_cursor = pointer;
    QFETCH(QPoint, position);
    QTRY_COMPARE(panel->pos(), position);
}

void TestNotchOverlayController::storedSizesStayWithinTheScreen_data()
{
    QTest::addColumn<OverlayMode>("mode");
    QTest::addColumn<double>("stored");
    const QList<std::pair<const char *, OverlayMode>> modes{
        {"pinned", OverlayMode::pinned},
        {"floating", OverlayMode::floating},
        {"cursor", OverlayMode::cursor},
        {"fullscreen", OverlayMode::fullscreen}};
    const QList<std::pair<const char *, double>> values{
        {"1e308", 1e308},
        {"inf", std::numeric_limits<double>::infinity()},
        {"nan", std::numeric_limits<double>::quiet_NaN()},
        {"-5", -5},
        {"0", 0},
        {"99,999,999", 99'999'999}};
    for (const auto &[modeName, mode] : modes) {
        for (const auto &[valueName, value] : values)
            QTest::addRow("%s, %s", modeName, valueName) << mode << value;
    }
}

void TestNotchOverlayController::storedSizesStayWithinTheScreen()
{
    QFETCH(OverlayMode, mode);
    QFETCH(double, stored);
    Fixture f;
    f.settings.setOverlayMode(mode);
    f.settings.setNotchWidth(stored);
    f.settings.setTextAreaHeight(stored);
    f.open();
    // The pinned panel covers the top bar's strip; every other one stays below it.
    const ScreenInfo &screen = f.screens.m_screens.first();
    const QRect allowed = mode == OverlayMode::pinned || mode == OverlayMode::fullscreen
                              ? screen.geometry
                              : screen.availableGeometry;
    const auto checkFits = [&allowed, mode](const OverlayPanel *panel) {
        QVERIFY(panel);
        const QRect frame = panel->geometry();
        QVERIFY(!frame.isEmpty());
        QCOMPARE(frame.intersected(allowed), frame);
        // Nor can the reader make a floating window larger.
        if (mode == OverlayMode::floating)
            QVERIFY(allowed.size().expandedTo(panel->maximumSize()) == allowed.size());
    };
    checkFits(f.controller.panel());
    if (mode == OverlayMode::pinned) {
        // The view writes the stored width again as its state changes.
        f.controller.overlayContent().setShowPagePicker(true);
        QTest::qWait(NotchFrameTracker::frameAnimationMs + 100);
        checkFits(f.controller.panel());
    }
    if (mode == OverlayMode::floating) {
        const StickyInstance *duplicate = f.duplicate(f.controller.panel());
        QVERIFY(duplicate);
        checkFits(duplicate->panel());
    }
}

void TestNotchOverlayController::stopButtonEndsTheCursorSession()
{
    Fixture f;
    f.settings.setOverlayMode(OverlayMode::cursor);
    f.open();
    OverlayPanel *stop = f.controller.stopButtonPanel();
    QCOMPARE(stop->geometry(), QRect(640 - 18, 30 + 8, 36, 36));
    QCOMPARE(f.shield.isHidden(stop->windowHandle()), std::optional<bool>(true));
    // Turning hiding off never exposes the stop button.
    f.settings.setHideFromScreenShare(false);
    QTRY_COMPARE(f.shield.isHidden(f.controller.panel()->windowHandle()),
                 std::optional<bool>(false));
    QCOMPARE(f.shield.isHidden(stop->windowHandle()), std::optional<bool>(true));

    QTest::mouseClick(stop->content(), Qt::LeftButton, {}, QPoint(18, 18));
    QVERIFY(f.controller.isDismissing());
    QTRY_COMPARE(f.completions, 1);
    QVERIFY(!f.controller.stopButtonPanel());
}

void TestNotchOverlayController::fullscreenUsesTheStoredDisplayWhenConnected()
{
    Fixture f;
    f.settings.setOverlayMode(OverlayMode::fullscreen);
    f.settings.setFullscreenScreenID(Screens::displayNumberForName(u"right"_qs));
    f.open();
    QCOMPARE(f.controller.panel()->geometry(), QRect(1280, 0, 1920, 1080));

    // A display that is not connected: the one under the pointer.
    f.settings.setFullscreenScreenID(12345);
    f.open();
    QCOMPARE(f.controller.panel()->geometry(), QRect(0, 0, 1280, 800));
}

void TestNotchOverlayController::newSessionDropsAPendingNextPage()
{
    Fixture f;
    f.open();
    f.controller.speechRecognizer().setShouldAdvancePage(true);
    f.open(u"otra página"_qs);
    QVERIFY(!f.controller.speechRecognizer().shouldAdvancePage());
    QTest::qWait(NotchOverlayController::pollIntervalMs * 2);
    QVERIFY(!f.service.calls.contains(u"next"_qs));
}

QTEST_MAIN(TestNotchOverlayController)
#include "tst_notchoverlaycontroller.moc"
