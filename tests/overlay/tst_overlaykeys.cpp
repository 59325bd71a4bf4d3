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

// The reader's keys during a session: the local monitor and the global hot keys.
class TestOverlayKeys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hotKeyBindings();
    void escape_data();
    void escape();
    void cmdMCollapsesToMini();
    void fullScreenEndsAndHandsTheKeyboardBackOnceGone();
    void heldArrowRepeats();
    void arrowsNeedArrowScrollingOrCursorMode();
    void leftAndRightOpenNeighbourPages();
    void pickerKeys();
    void heldArrowRepeatsFromTheDelayOn();
};

void TestOverlayKeys::hotKeyBindings()
{
    Fixture f;
    f.open();
    QCOMPARE(f.hotKeys->binding(Id::arrowLeftHotKey).first, int(Qt::Key_Left));
    QCOMPARE(f.hotKeys->binding(Id::arrowDownHotKey).first, int(Qt::Key_Down));
    QCOMPARE(f.hotKeys->binding(Id::escHotKey).first, int(Qt::Key_Escape));
    QCOMPARE(f.hotKeys->binding(Id::cmdMHotKey),
             std::make_pair(int(Qt::Key_M), Qt::KeyboardModifiers(Qt::ControlModifier)));
}

void TestOverlayKeys::escape_data()
{
    QTest::addColumn<bool>("picker");
    QTest::addColumn<bool>("notesMode");
    QTest::addColumn<bool>("collapsed");
    QTest::addColumn<OverlayMode>("mode");
    QTest::addColumn<QString>("outcome");

    const OverlayMode pinned = OverlayMode::pinned;
    QTest::newRow("picker in notes mode ends") << true << true << false << pinned << u"dismiss"_qs;
    QTest::newRow("picker of outside text closes")
        << true << false << false << pinned << u"picker closed"_qs;
    QTest::newRow("expanded notes opens the picker")
        << false << true << false << pinned << u"picker open"_qs;
    QTest::newRow("expanded notes in cursor mode ends")
        << false << true << false << OverlayMode::cursor << u"dismiss"_qs;
    QTest::newRow("collapsed ends") << false << true << true << pinned << u"dismiss"_qs;
    QTest::newRow("outside text collapses") << false << false << false << pinned << u"collapsed"_qs;
    // The full screen has no collapsed form: Esc ends it at once.
    QTest::newRow("outside text in full screen ends")
        << false << false << false << OverlayMode::fullscreen << u"dismiss"_qs;
}

void TestOverlayKeys::escape()
{
    QFETCH(bool, picker);
    QFETCH(bool, notesMode);
    QFETCH(bool, collapsed);
    QFETCH(OverlayMode, mode);
    QFETCH(QString, outcome);

    for (bool fromHotKey : {false, true}) {
        Fixture f;
        f.settings.setOverlayMode(mode);
        f.open(u"uno dos"_qs, notesMode);
        OverlayContent &content = f.controller.overlayContent();
        content.setIsCollapsed(collapsed);
        content.setShowPagePicker(picker);
        f.controller.registerHotKeys();
        f.controller.speechRecognizer().setIsListening(true);

        if (fromHotKey) {
            f.hotKeys->press(Id::escHotKey);
            f.hotKeys->release(Id::escHotKey);
            Fixture::settle();
        } else {
            QVERIFY(f.controller.handleLocalKeyDown(Qt::Key_Escape, Qt::NoModifier));
        }

        if (outcome == u"dismiss") {
            QVERIFY(f.controller.isDismissing());
        } else {
            QVERIFY(!f.controller.isDismissing());
            QCOMPARE(content.showPagePicker(), outcome == u"picker open");
            QCOMPARE(content.isCollapsed(), collapsed || outcome == u"collapsed");
        }
        if (outcome == u"collapsed")
            QVERIFY(!f.controller.speechRecognizer().isListening());
    }
}

void TestOverlayKeys::cmdMCollapsesToMini()
{
    Fixture f;
    f.open();
    OverlayContent &content = f.controller.overlayContent();
    content.setShowPagePicker(true);
    f.hotKeys->press(Id::cmdMHotKey);
    Fixture::settle();
    QVERIFY(content.isCollapsed());
    QVERIFY(content.isMiniMode());
    QVERIFY(!content.showPagePicker());
    QCOMPARE(f.hotKeys->registeredIds(), QList<int>({Id::escHotKey, Id::cmdMHotKey}));

    // Already mini: nothing more happens, and it never expands.
    const int activations = int(f.activeWindow.activations.size());
    f.hotKeys->press(Id::cmdMHotKey);
    Fixture::settle();
    QVERIFY(content.isMiniMode());
    QCOMPARE(f.activeWindow.activations.size(), activations);
}

// Esc on text from outside, Ctrl+M on notes: the full screen ends rather than stay without the
// keyboard, which goes back to the program the reader came from once the panel is gone.
void TestOverlayKeys::fullScreenEndsAndHandsTheKeyboardBackOnceGone()
{
    for (bool notesMode : {false, true}) {
        Fixture f;
        f.settings.setOverlayMode(OverlayMode::fullscreen);
        f.open(u"uno dos"_qs, notesMode);
        // Another text while the full screen has the keyboard.
        f.activeWindow.m_current = f.controller.panel()->winId();
        f.open(u"tres cuatro"_qs, notesMode);
        if (notesMode)
            f.pressHotKey(Id::cmdMHotKey);
        else
            QVERIFY(f.controller.handleLocalKeyDown(Qt::Key_Escape, Qt::NoModifier));
        QVERIFY(f.controller.isDismissing());
        QVERIFY(f.activeWindow.activations.isEmpty());
        QTRY_COMPARE(f.completions, 1);
        QCOMPARE(f.activeWindow.activations, QList<ActiveWindow::WindowId>({77}));
    }
}

void TestOverlayKeys::heldArrowRepeats()
{
    Fixture f;
    f.settings.setFontSizePreset(FontSizePreset::sm);
    // A page long enough that the reading area never clamps the offset.
    f.open(QString(u"palabra "_qs).repeated(2000));
    OverlayContent &content = f.controller.overlayContent();

    f.hotKeys->press(Id::arrowDownHotKey);
    Fixture::settle();
    QCOMPARE(content.arrowScrollDelta(), -22.4);
    QTest::qWait(NotchOverlayController::arrowRepeatDelayMs - 100);
    QCOMPARE(content.arrowScrollDelta(), -22.4);
    QTRY_VERIFY(content.arrowScrollDelta() <= -22.4 * 3);
    f.hotKeys->release(Id::arrowDownHotKey);
    Fixture::settle();
    const double held = content.arrowScrollDelta();
    QTest::qWait(150);
    QCOMPARE(content.arrowScrollDelta(), held);

    // A quick tap is a single step.
    f.hotKeys->press(Id::arrowUpHotKey);
    f.hotKeys->release(Id::arrowUpHotKey);
    Fixture::settle();
    QTest::qWait(NotchOverlayController::arrowRepeatDelayMs + 100);
    QCOMPARE(content.arrowScrollDelta(), held + 22.4);

    // Collapsing stops a held arrow.
    f.hotKeys->press(Id::arrowDownHotKey);
    Fixture::settle();
    content.setIsCollapsed(true);
    QVERIFY(!f.controller.isArrowRepeating());
}

void TestOverlayKeys::arrowsNeedArrowScrollingOrCursorMode()
{
    Fixture f;
    f.settings.setArrowScrollsText(false);
    f.open();
    f.hotKeys->press(Id::arrowDownHotKey);
    Fixture::settle();
    QCOMPARE(f.controller.overlayContent().arrowScrollDelta(), 0.0);

    f.settings.setOverlayMode(OverlayMode::cursor);
    f.hotKeys->press(Id::arrowDownHotKey);
    Fixture::settle();
    QCOMPARE(f.controller.overlayContent().arrowScrollDelta(), -22.4);
}

void TestOverlayKeys::leftAndRightOpenNeighbourPages()
{
    Fixture f;
    f.open();
    OverlayContent &content = f.controller.overlayContent();
    content.setCurrentPageIndex(0);
    f.hotKeys->press(Id::arrowLeftHotKey);
    f.hotKeys->press(Id::arrowRightHotKey);
    f.hotKeys->release(Id::arrowRightHotKey);
    Fixture::settle();
    content.setCurrentPageIndex(2);
    f.hotKeys->press(Id::arrowRightHotKey);
    f.hotKeys->press(Id::arrowLeftHotKey);
    Fixture::settle();
    QCOMPARE(f.service.calls, QStringList({u"startReading 1"_qs, u"startReading 1"_qs}));
}

void TestOverlayKeys::pickerKeys()
{
    Fixture f;
    f.open();
    OverlayContent &content = f.controller.overlayContent();
    content.setCurrentPageIndex(1);
    content.setIsCollapsed(true);
    content.setIsMiniMode(true);
    content.setShowPagePicker(true);
    QCOMPARE(content.highlightedPickerIndex(), 1);

    f.hotKeys->press(Id::arrowDownHotKey);
    Fixture::settle();
    QCOMPARE(content.highlightedPickerIndex(), 2);
    QCOMPARE(content.arrowScrollDelta(), 0.0);
    f.hotKeys->press(Id::arrowLeftHotKey); // does nothing in the picker
    QVERIFY(!f.controller.handleLocalKeyDown(Qt::Key_Left, Qt::NoModifier));
    QVERIFY(f.controller.handleLocalKeyDown(Qt::Key_Up, Qt::NoModifier));
    QCOMPARE(content.highlightedPickerIndex(), 1);
    f.hotKeys->press(Id::arrowRightHotKey);
    Fixture::settle();
    QVERIFY(!content.isCollapsed());
    QVERIFY(!content.isMiniMode());
    QTRY_COMPARE(f.service.calls, QStringList({u"startReading 1"_qs}));
    QVERIFY(!content.showPagePicker());
    // Without the picker, other local keys pass.
    QVERIFY(!f.controller.handleLocalKeyDown(Qt::Key_Down, Qt::NoModifier));
}

// The repeat starts 0.35 s after the press, so the first extra step comes one interval later.
// Coarse timers may fire up to 5 % early or late and run later under load: the earliest of up
// to ten holds, held again only while each came late, is measured against the window they allow.
void TestOverlayKeys::heldArrowRepeatsFromTheDelayOn()
{
    Fixture f;
    f.open(QString(u"palabra "_qs).repeated(4000));
    OverlayContent &content = f.controller.overlayContent();
    QElapsedTimer clock;
    QList<qint64> steps;
    connect(&content, &OverlayContent::arrowScrollDeltaChanged, this,
            [&] { steps.append(clock.elapsed()); });
    qint64 earliest = std::numeric_limits<qint64>::max();
    for (int hold = 0; hold < 10 && earliest >= 425; ++hold) {
        steps.clear();
        clock.start();
        f.hotKeys->press(Id::arrowDownHotKey);
        QTRY_VERIFY(steps.size() >= 2);
        f.hotKeys->release(Id::arrowDownHotKey);
        Fixture::settle();
        earliest = std::min(earliest, steps.at(1) - steps.at(0));
    }
    QVERIFY2(earliest >= 375 && earliest < 425, qPrintable(QString::number(earliest)));
}

QTEST_MAIN(TestOverlayKeys)
#include "tst_overlaykeys.moc"
