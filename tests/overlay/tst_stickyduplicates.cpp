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

// Floating windows' duplicates: how many, where, which pages, and which keys reach which.
class TestStickyDuplicates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fourWindowsAtMost();
    void duplicatesOnlyInFloatingNotesMode_data();
    void duplicatesOnlyInFloatingNotesMode();
    void duplicatePlacement_data();
    void duplicatePlacement();
    void duplicateTurnsItsOwnPages();
    void closingTheMainWindowPromotesTheFirstDuplicate();
    void closingDuplicateIsNeverPromoted_data();
    void closingDuplicateIsNeverPromoted();
    void hotKeysActOnTheFocusedWindow();
    void escapeOnADuplicateClosesOnlyIt();
    void hideSettingReachesDuplicates();
    void duplicatePageLeavesMiniMode();
    void promotionStopsAHeldArrow();
};

void TestStickyDuplicates::fourWindowsAtMost()
{
    Fixture f;
    f.openFloating();
    OverlayPanel *main = f.controller.panel();
    QVERIFY(f.controller.overlayContent().duplicateAvailable());

    StickyInstance *first = f.duplicate(main);
    QVERIFY(first);
    // It opens on its source's page, in its page list, and takes the keys.
    QCOMPARE(first->content().words(), QStringList({u"uno"_qs}));
    QVERIFY(first->content().isNotesMode());
    QVERIFY(first->content().showPagePicker());
    QCOMPARE(first->content().pageCount(), 3);
    QCOMPARE(f.controller.focusedDuplicate(), first);
    QVERIFY(f.duplicate(first->panel())); // a duplicate duplicates too
    QVERIFY(f.duplicate(main));

    QList<OverlayPanel *> windows{main};
    for (StickyInstance *duplicate : f.controller.stickyDuplicates())
        windows.append(duplicate->panel());
    QCOMPARE(windows.size(), NotchOverlayController::maximumWindowCount);
    for (OverlayPanel *window : std::as_const(windows))
        QVERIFY(Fixture::duplicateButton(window)->isHidden());
    f.controller.duplicateWindow(f.controller.overlayContent());
    QCOMPARE(f.controller.stickyDuplicates().size(), 3);

    // A closing window still counts until it is gone.
    QPointer<StickyInstance> closing = f.controller.stickyDuplicates().at(1);
    QPointer<OverlayPanel> closingPanel = closing->panel();
    closing->recognizer().setShouldDismiss(true);
    QTRY_VERIFY(!closing->isOpen());
    QVERIFY(!f.controller.overlayContent().duplicateAvailable());
    QTRY_COMPARE(f.controller.stickyDuplicates().size(), 2);
    QVERIFY(f.controller.overlayContent().duplicateAvailable());
    QVERIFY(!Fixture::duplicateButton(main)->isHidden());
    for (StickyInstance *duplicate : f.controller.stickyDuplicates())
        QVERIFY(!Fixture::duplicateButton(duplicate->panel())->isHidden());
    QTRY_VERIFY(!closingPanel);

    // A new session starts without the old one's duplicates.
    QPointer<OverlayPanel> firstPanel = first->panel();
    f.open();
    QVERIFY(f.controller.stickyDuplicates().isEmpty());
    QVERIFY(!f.controller.focusedDuplicate());
    QTRY_VERIFY(!firstPanel);
}

void TestStickyDuplicates::duplicatesOnlyInFloatingNotesMode_data()
{
    QTest::addColumn<OverlayMode>("mode");
    QTest::addColumn<bool>("notesMode");

    QTest::newRow("pinned") << OverlayMode::pinned << true;
    QTest::newRow("cursor") << OverlayMode::cursor << true;
    QTest::newRow("fullscreen") << OverlayMode::fullscreen << true;
    QTest::newRow("floating, text from outside") << OverlayMode::floating << false;
}

void TestStickyDuplicates::duplicatesOnlyInFloatingNotesMode()
{
    QFETCH(OverlayMode, mode);
    QFETCH(bool, notesMode);

    Fixture f;
    f.settings.setOverlayMode(mode);
    f.open(u"uno dos"_qs, notesMode);
    QVERIFY(!f.controller.overlayContent().duplicateAvailable());
    f.controller.duplicateWindow(f.controller.overlayContent());
    QVERIFY(f.controller.stickyDuplicates().isEmpty());

    // A floating notes reading that turns to text read outside notes mode stops offering them.
    if (mode == OverlayMode::floating) {
        f.open();
        StickyInstance *duplicate = f.duplicate(f.controller.panel());
        QVERIFY(duplicate);
        f.controller.updateContent(u"uno dos"_qs, false, false);
        QVERIFY(!f.controller.overlayContent().duplicateAvailable());
        QVERIFY(!duplicate->content().duplicateAvailable());
        QVERIFY(!f.duplicate(duplicate->panel()));
        f.controller.duplicateWindow(duplicate->content());
        QCOMPARE(f.controller.stickyDuplicates().size(), 1);
    }
}

void TestStickyDuplicates::duplicatePlacement_data()
{
    QTest::addColumn<QPoint>("source");
    QTest::addColumn<QPoint>("expected");

    // The first display is 1280 × 800 under a 30 px top bar, the second 1920 × 1080 beside it;
    // a new window is 340 × 160.
    QTest::newRow("right of and below the source") << QPoint(100, 100) << QPoint(128, 128);
    QTest::newRow("near the right edge") << QPoint(1000, 300) << QPoint(1280 - 340, 328);
    QTest::newRow("near the bottom edge") << QPoint(300, 700) << QPoint(328, 800 - 160);
    QTest::newRow("over the top bar") << QPoint(-50, -20) << QPoint(0, 30);
    QTest::newRow("second display's corner")
        << QPoint(3000, 1000) << QPoint(1280 + 1920 - 340, 1080 - 160);
}

void TestStickyDuplicates::duplicatePlacement()
{
    QFETCH(QPoint, source);
    QFETCH(QPoint, expected);

    Fixture f;
    f.openFloating();
    // The reader moved and enlarged the window; a duplicate still opens at the set size.
    f.controller.panel()->setGeometry(QRect(source, QSize(480, 300)));
    StickyInstance *duplicate = f.duplicate(f.controller.panel());
    QVERIFY(duplicate);
    QCOMPARE(duplicate->panel()->geometry(), QRect(expected, QSize(340, 160)));
}

void TestStickyDuplicates::duplicateTurnsItsOwnPages()
{
    Fixture f;
    f.openFloating();
    OverlayContent &main = f.controller.overlayContent();
    const QStringList mainWords = main.words();
    StickyInstance *duplicate = f.duplicate(f.controller.panel());
    QVERIFY(duplicate);
    OverlayContent &content = duplicate->content();
    const auto button = [&](const QString &name) {
        return duplicate->panel()->findChild<QAbstractButton *>(name);
    };

    // Back to the list from the reading view, which reads the list outside notes mode, and a
    // page chosen there.
    content.setShowPagePicker(false);
    button(u"backToListButton"_qs)->click();
    QVERIFY(!content.isNotesMode());
    content.setJumpToPageNotesMode(1);
    QTRY_COMPARE(content.currentPageIndex(), 1);
    QCOMPARE(content.words(), QStringList({u"dos"_qs}));
    QVERIFY(content.isNotesMode());
    QVERIFY(content.hasNextPage());
    QVERIFY(!content.showPagePicker());

    // Its next-page button is served by its own poll.
    button(u"nextButton"_qs)->click();
    QTRY_COMPARE(content.currentPageIndex(), 2);
    QCOMPARE(content.words(), QStringList({u"tres"_qs}));
    QVERIFY(!duplicate->recognizer().shouldAdvancePage());
    QVERIFY(!content.hasNextPage());

    // The main window and the document's page stay where they were.
    QCOMPARE(main.words(), mainWords);
    QCOMPARE(main.currentPageIndex(), 0);
    QCOMPARE(f.service.m_current, 0);
    QVERIFY(f.service.calls.isEmpty());
}

void TestStickyDuplicates::closingTheMainWindowPromotesTheFirstDuplicate()
{
    Fixture f;
    f.openFloating();
    QPointer<OverlayPanel> oldMain = f.controller.panel();
    StickyInstance *first = f.duplicate(oldMain);
    StickyInstance *second = f.duplicate(oldMain);
    QVERIFY(first && second);
    first->content().setJumpToPageNotesMode(2);
    QTRY_COMPARE(first->content().currentPageIndex(), 2);
    OverlayPanel *firstPanel = first->panel();
    OverlayPanel *secondPanel = second->panel();
    OverlayContent *firstContent = &first->content();
    SpeechRecognizer *firstRecognizer = &first->recognizer();

    // The main window's close button.
    f.controller.speechRecognizer().setShouldDismiss(true);
    QTRY_COMPARE(f.controller.panel(), firstPanel);
    QCOMPARE(&f.controller.overlayContent(), firstContent);
    QCOMPARE(&f.controller.speechRecognizer(), firstRecognizer);
    QCOMPARE(f.service.m_current, 2);
    QVERIFY(f.service.calls.contains(u"indicator"_qs));
    QCOMPARE(f.controller.stickyDuplicates(), QList<StickyInstance *>({second}));
    QVERIFY(!f.controller.isDismissing());
    QCOMPARE(f.completions, 0);
    QTRY_VERIFY(!oldMain);
    QVERIFY(firstPanel->isVisible());

    // The session goes on in the promoted window: the main poll serves it, and collapsing it
    // gives the arrows back.
    firstContent->setJumpToPageNotesMode(1);
    QTRY_VERIFY(f.service.calls.contains(u"startReading 1"_qs));
    firstContent->setIsCollapsed(true);
    QCOMPARE(f.hotKeys->registeredIds(), QList<int>({Id::escHotKey, Id::cmdMHotKey}));

    // Closing it promotes the second; closing that one ends the session.
    f.controller.dismiss();
    QTRY_COMPARE(f.controller.panel(), secondPanel);
    f.controller.dismiss();
    QTRY_COMPARE(f.completions, 1);
    QVERIFY(!f.controller.panel());
}

void TestStickyDuplicates::closingDuplicateIsNeverPromoted_data()
{
    QTest::addColumn<int>("duplicates");
    QTest::newRow("the only duplicate closing") << 1;
    QTest::newRow("the first closing, the second open") << 2;
}

void TestStickyDuplicates::closingDuplicateIsNeverPromoted()
{
    QFETCH(int, duplicates);

    Fixture f;
    f.openFloating();
    QList<QPointer<OverlayPanel>> panels;
    for (int i = 0; i < duplicates; ++i)
        panels.append(f.duplicate(f.controller.panel())->panel());
    QPointer<StickyInstance> closing = f.controller.stickyDuplicates().first();

    // The duplicate starts closing after the main window did, so it is still fading out when
    // the main window's close completes; timers fire in order, so this holds however late.
    f.controller.dismiss();
    QTimer::singleShot(NotchOverlayController::dismissDelayMs / 3, &f.controller, [&] {
        QVERIFY(closing);
        f.controller.closeStickyDuplicate(*closing);
    });

    if (duplicates == 1) {
        QTRY_COMPARE(f.completions, 1);
        QVERIFY(!f.controller.panel());
        QVERIFY(f.controller.stickyDuplicates().isEmpty());
        QTRY_VERIFY(!panels.first());
    } else {
        QTRY_VERIFY(f.controller.panel() == panels.at(1));
        QCOMPARE(f.completions, 0);
        QVERIFY(f.controller.panel()->isVisible());
        QTRY_VERIFY(!panels.first());
        QVERIFY(f.controller.stickyDuplicates().isEmpty());
    }
}

void TestStickyDuplicates::hotKeysActOnTheFocusedWindow()
{
    Fixture f;
    // Pages long enough that the reading area never clamps an arrow step.
    const QString longPage = QString(u"palabra "_qs).repeated(2000);
    f.service.m_pages = {longPage, longPage, longPage};
    f.settings.setOverlayMode(OverlayMode::floating);
    f.open(longPage);
    OverlayContent &main = f.controller.overlayContent();
    StickyInstance *duplicate = f.duplicate(f.controller.panel());
    QVERIFY(duplicate);
    OverlayContent &content = duplicate->content();

    // The new duplicate has the keys, and opened on its page list.
    f.pressHotKey(Id::arrowDownHotKey);
    QCOMPARE(content.highlightedPickerIndex(), 1);
    f.pressHotKey(Id::arrowRightHotKey);
    QTRY_COMPARE(content.currentPageIndex(), 1);
    f.pressHotKey(Id::arrowDownHotKey);
    QCOMPARE(content.arrowScrollDelta(), -22.4);
    f.pressHotKey(Id::arrowRightHotKey);
    QTRY_COMPARE(content.currentPageIndex(), 2);
    QCOMPARE(main.arrowScrollDelta(), 0.0);
    QVERIFY(f.service.calls.isEmpty());

    // A click on the main window takes the keys back; one on the duplicate gives them again.
    const auto click = [](OverlayPanel *panel) {
        QTest::mouseClick(panel->windowHandle(), Qt::LeftButton, {}, QPoint(60, 60));
    };
    click(f.controller.panel());
    QVERIFY(!f.controller.focusedDuplicate());
    f.pressHotKey(Id::arrowDownHotKey);
    QCOMPARE(main.arrowScrollDelta(), -22.4);
    f.pressHotKey(Id::arrowRightHotKey);
    QCOMPARE(f.service.calls, QStringList({u"startReading 1"_qs}));

    click(duplicate->panel());
    QCOMPARE(f.controller.focusedDuplicate(), duplicate);
    f.pressHotKey(Id::cmdMHotKey);
    QVERIFY(content.isCollapsed() && content.isMiniMode());
    QVERIFY(!main.isCollapsed());
    // The main window keeps its arrows: only its own collapse releases them.
    QCOMPARE(f.hotKeys->registeredIds().size(), 6);
}

void TestStickyDuplicates::escapeOnADuplicateClosesOnlyIt()
{
    Fixture f;
    f.openFloating();
    OverlayContent &main = f.controller.overlayContent();

    // Esc in the duplicate that has the keyboard.
    StickyInstance *keyWindow = f.duplicate(f.controller.panel());
    QVERIFY(keyWindow);
    QTest::keyClick(keyWindow->panel()->windowHandle(), Qt::Key_Escape);
    QTRY_VERIFY(f.controller.stickyDuplicates().isEmpty());

    // The Esc hot key on the focused duplicate: its page list first, then the window closes.
    StickyInstance *focused = f.duplicate(f.controller.panel());
    QVERIFY(focused);
    focused->content().setShowPagePicker(false);
    f.pressHotKey(Id::escHotKey);
    QVERIFY(focused->content().showPagePicker());
    QVERIFY(focused->isOpen());
    f.pressHotKey(Id::escHotKey);
    QVERIFY(!f.controller.focusedDuplicate());
    QTRY_VERIFY(f.controller.stickyDuplicates().isEmpty());

    QVERIFY(f.controller.panel());
    QVERIFY(!f.controller.isDismissing());
    QVERIFY(!main.showPagePicker());
    QCOMPARE(f.completions, 0);
}

void TestStickyDuplicates::hideSettingReachesDuplicates()
{
    Fixture f;
    f.openFloating();
    StickyInstance *duplicate = f.duplicate(f.controller.panel());
    QVERIFY(duplicate);
    QWindow *window = duplicate->panel()->windowHandle();
    QCOMPARE(f.shield.isHidden(window), std::optional<bool>(true));
    f.settings.setHideFromScreenShare(false);
    QTRY_COMPARE(f.shield.isHidden(window), std::optional<bool>(false));
}

void TestStickyDuplicates::duplicatePageLeavesMiniMode()
{
    Fixture f;
    f.openFloating();
    StickyInstance *duplicate = f.duplicate(f.controller.panel());
    QVERIFY(duplicate);
    OverlayContent &content = duplicate->content();
    content.setIsCollapsed(true);
    content.setIsMiniMode(true);
    content.setJumpToPageNotesMode(2);
    QTRY_COMPARE(content.currentPageIndex(), 2);
    QVERIFY(!content.isMiniMode());
    QVERIFY(!content.isCollapsed());
}

void TestStickyDuplicates::promotionStopsAHeldArrow()
{
    Fixture f;
    const QString longPage = QString(u"palabra "_qs).repeated(2000);
    f.service.m_pages = {longPage, longPage};
    f.settings.setOverlayMode(OverlayMode::floating);
    f.open(longPage);
    StickyInstance *duplicate = f.duplicate(f.controller.panel());
    QVERIFY(duplicate);
    OverlayPanel *duplicatePanel = duplicate->panel();
    // Once the new duplicate has the keyboard, a click gives the keys back to the main window;
    // ↓ is held there.
    QTRY_COMPARE(QGuiApplication::focusWindow(), duplicatePanel->windowHandle());
    QTest::mouseClick(f.controller.panel()->windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!f.controller.focusedDuplicate());
    f.hotKeys->press(Id::arrowDownHotKey);
    Fixture::settle();
    QVERIFY(f.controller.isArrowRepeating());

    f.controller.speechRecognizer().setShouldDismiss(true);
    QTRY_COMPARE(f.controller.panel(), duplicatePanel);
    QVERIFY(!f.controller.isArrowRepeating());
}

QTEST_MAIN(TestStickyDuplicates)
#include "tst_stickyduplicates.moc"
