// The floating, cursor and fullscreen modes on a real X server with a window manager: how the
// reader moves and resizes a floating window, that clicks pass through the cursor panel while
// its stop button takes them, and that the fullscreen panel covers its display.

#include "common/readingsession.h"
#include "common/xvfb.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/notchoverlaycontroller.h"
#include "overlay/overlaypanel.h"
#include "overlay/pagelist.h"
#include "overlay/stickyinstance.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <functional>

namespace {

using TestSupport::xdotool;

const QString page = u"Buenas tardes a todos. [Pausa] Gracias por venir hoy.\n"
                     "Quiero contarles cómo llegamos hasta acá y qué viene ahora.\n"
                     "Primero, el equipo."_qs;

struct Session : TestSupport::ReadingSession
{
    explicit Session(OverlayMode mode)
        : ReadingSession(mode, {page, u"Segunda página del guion."_qs, u"Tercera."_qs})
    {}
};

QString number(int value)
{
    return QString::number(value);
}

bool moveTo(QPoint point)
{
    return xdotool({u"mousemove"_qs, number(point.x()), number(point.y())});
}

// A press, a drag in steps and a release, each given time to reach the application and the
// window manager: the first steps make the panel hand the drag to the window manager.
bool drag(QPoint from, QPoint to)
{
    if (!moveTo(from) || !xdotool({u"mousedown"_qs, u"1"_qs}))
        return false;
    QTest::qWait(250);
    constexpr int steps = 8;
    for (int step = 1; step <= steps; ++step) {
        if (!moveTo(from + (to - from) * step / steps))
            return false;
        QTest::qWait(30);
    }
    QTest::qWait(150);
    const bool released = xdotool({u"mouseup"_qs, u"1"_qs});
    QTest::qWait(250);
    return released;
}

// A click as a hand makes it, the button held for a moment.
bool click(QPoint point)
{
    if (!moveTo(point) || !xdotool({u"mousedown"_qs, u"1"_qs}))
        return false;
    QTest::qWait(120);
    return xdotool({u"mouseup"_qs, u"1"_qs});
}

// Moves and clicks in one run of xdotool, without letting the application run in between:
// a panel that follows the pointer cannot move away before the click lands.
bool clickBeforeTheAppMoves(QPoint point)
{
    return xdotool({u"mousemove"_qs, number(point.x()), number(point.y()), u"click"_qs, u"1"_qs});
}

void screenshot(const QString &name)
{
    const QString dir = qEnvironmentVariable("BRIVEL_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QTest::qWait(800); // the panels finish growing in
    QProcess::execute(u"import"_qs, {u"-window"_qs, u"root"_qs, dir + u'/' + name});
}

QPoint globalCentre(const QWidget *widget)
{
    return widget->mapToGlobal(widget->rect().center());
}

// Whether the panel itself is what each corner of the screen shows, as the X server has it: no
// frame or bar of the window manager's beside it. (Qt's frame geometry of a window mapped while
// its frame was still being made keeps that frame's 1×1 size until the window next moves.)
bool coversTheScreen(const QWidget *panel)
{
    for (const QPoint corner : {QPoint(0, 0), QPoint(1279, 0), QPoint(0, 799), QPoint(1279, 799)}) {
        if (TestSupport::windowAt(corner) != panel->winId())
            return false;
    }
    return true;
}

} // namespace

class TestOverlayModesX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void floatingWindowMovesResizesAndDuplicates();
    void floatingWindowStaysPutAfterAClick();
    void cursorPanelLetsClicksThroughBelowTheTopBar();
    void fullscreenCoversTheDisplayAndEscEnds();
    void textFromOutsideAfterEveryEnding_data();
    void textFromOutsideAfterEveryEnding();
};

void TestOverlayModesX11::floatingWindowMovesResizesAndDuplicates()
{
    TestSupport::ForeignWindow desk("Desk", {0, 0, 1280, 800});
    QVERIFY(desk.isValid());
    Session s(OverlayMode::floating);
    s.open();
    OverlayPanel *panel = s.controller.panel();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    const QRect start = panel->frameGeometry();
    QCOMPARE(start, QRect(640 - 170, 400 - 80 - 100, 340, 160));

    // Moved by its background: the strip between the top controls holds no control.
    const QPoint background = start.topLeft() + QPoint(start.width() / 2, 10);
    QVERIFY(drag(background, background + QPoint(100, 50)));
    QTRY_COMPARE(panel->frameGeometry(), start.translated(100, 50));

    // Resized from its corner, only within 280..500 × h..h + 350.
    const auto corner = [panel] { return panel->frameGeometry().bottomRight() - QPoint(11, 11); };
    QVERIFY(drag(corner(), {1270, 790}));
    QTRY_COMPARE(panel->size(), QSize(500, 160 + 350));
    QVERIFY(drag(corner(), corner() - QPoint(600, 600)));
    QTRY_COMPARE(panel->size(), QSize(280, 160));
    QCOMPARE(panel->frameGeometry().topLeft(), start.topLeft() + QPoint(100, 50));

    // Its duplicate button opens a window beside it, which takes the keys; a click on the main
    // window takes them back.
    const QRect mainFrame = panel->frameGeometry();
    auto *duplicateButton = panel->findChild<QAbstractButton *>(u"duplicateButton"_qs);
    QVERIFY(duplicateButton && duplicateButton->isVisible());
    QVERIFY(click(globalCentre(duplicateButton)));
    QTRY_COMPARE(s.controller.stickyDuplicates().size(), 1);
    StickyInstance *duplicate = s.controller.stickyDuplicates().first();
    QVERIFY(QTest::qWaitForWindowExposed(duplicate->panel()));
    QCOMPARE(duplicate->panel()->frameGeometry(),
             QRect(mainFrame.topLeft() + QPoint(28, 28), QSize(340, 160)));
    OverlayContent &copy = duplicate->content();
    QVERIFY(xdotool({u"key"_qs, u"Right"_qs})); // opens the highlighted page of its list
    QTRY_VERIFY(!copy.showPagePicker());
    QVERIFY(xdotool({u"key"_qs, u"Down"_qs}));
    QTRY_VERIFY(copy.arrowScrollDelta() < 0);
    QCOMPARE(s.controller.overlayContent().arrowScrollDelta(), 0.0);

    QVERIFY(click(mainFrame.topLeft() + QPoint(mainFrame.width() / 2, 10)));
    QTRY_VERIFY(!s.controller.focusedDuplicate());
    QVERIFY(xdotool({u"key"_qs, u"Down"_qs}));
    QTRY_VERIFY(s.controller.overlayContent().arrowScrollDelta() < 0);
    screenshot(u"floating-x11.png"_qs);

    // Esc on the clicked duplicate: its list, then it closes alone. The click lands on the
    // part of its top strip that the main window, raised by its own click, leaves free.
    QVERIFY(click({mainFrame.right() + 12, duplicate->panel()->frameGeometry().top() + 8}));
    QTRY_COMPARE(s.controller.focusedDuplicate(), duplicate);
    QVERIFY(xdotool({u"key"_qs, u"Escape"_qs}));
    QTRY_VERIFY(copy.showPagePicker());
    QVERIFY(xdotool({u"key"_qs, u"Escape"_qs}));
    QTRY_VERIFY(s.controller.stickyDuplicates().isEmpty());
    QVERIFY(panel->isVisible());
    QCOMPARE(s.completions, 0);

    s.controller.dismiss();
    QTRY_COMPARE(s.completions, 1);
}

// A tap (press and release in one instant) or a nudge shorter than the drag distance on the
// background moves nothing: the window does not follow the pointer afterwards.
void TestOverlayModesX11::floatingWindowStaysPutAfterAClick()
{
    Session s(OverlayMode::floating);
    s.open();
    OverlayPanel *panel = s.controller.panel();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    const QRect start = panel->frameGeometry();
    const QPoint background = start.topLeft() + QPoint(start.width() / 2, 10);
    const QPoint nudge(QApplication::startDragDistance() - 2, 1);

    const std::function<bool()> gestures[] = {
        [&] { return clickBeforeTheAppMoves(background); },
        [&] {
            if (!moveTo(background) || !xdotool({u"mousedown"_qs, u"1"_qs}))
                return false;
            // Held as a hand holds it, so that the panel sees each step.
            for (const QPoint step : {QPoint(1, 0), nudge}) {
                QTest::qWait(100);
                if (!moveTo(background + step))
                    return false;
            }
            QTest::qWait(100);
            return xdotool({u"mouseup"_qs, u"1"_qs});
        },
    };
    for (const auto &gesture : gestures) {
        QVERIFY(gesture());
        for (int step = 1; step <= 8; ++step) {
            QVERIFY(moveTo(background + QPoint(30, 40) * step));
            QTest::qWait(40); // time for a window handed to the window manager to follow
        }
        QCOMPARE(panel->frameGeometry(), start);
    }
    s.controller.dismiss();
}

void TestOverlayModesX11::cursorPanelLetsClicksThroughBelowTheTopBar()
{
    TestSupport::ForeignWindow desk("Desk", {0, 0, 1280, 800});
    QVERIFY(desk.isValid());
    TestSupport::TopBar topBar(30);
    QVERIFY(topBar.isValid());
    QTRY_COMPARE(QGuiApplication::primaryScreen()->availableGeometry().top(), 30);

    QVERIFY(moveTo({300, 300}));
    Session s(OverlayMode::cursor);
    s.open();
    OverlayPanel *panel = s.controller.panel();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    QTRY_COMPARE(panel->frameGeometry(), QRect(308, 300, 340, 160));

    // A click inside the panel lands in the window beneath it, once the window manager has
    // made the frame around the panel let clicks through as well.
    desk.takeButtonPresses();
    const QPoint inside(400, 380);
    QVERIFY(panel->frameGeometry().contains(inside));
    QTRY_COMPARE(TestSupport::windowAt(inside), desk.id());
    QVERIFY(clickBeforeTheAppMoves(inside));
    QList<QPoint> presses;
    QTRY_VERIFY((presses += desk.takeButtonPresses(), !presses.isEmpty()));
    QCOMPARE(presses, QList<QPoint>({inside}));
    QTRY_COMPARE(panel->frameGeometry().topLeft(), QPoint(408, 380));

    // With the pointer on the top bar, the panel stays below it.
    QVERIFY(moveTo({500, 5}));
    QTRY_COMPARE(panel->frameGeometry().topLeft(), QPoint(508, 30));
    QVERIFY(moveTo({700, 500}));
    QTRY_COMPARE(panel->frameGeometry().topLeft(), QPoint(708, 500));
    screenshot(u"cursor-x11.png"_qs);

    // The stop button hangs below the top bar and takes the click that ends the session.
    OverlayPanel *stop = s.controller.stopButtonPanel();
    QVERIFY(stop);
    QCOMPARE(stop->frameGeometry(), QRect(640 - 18, 30 + 8, 36, 36));
    QVERIFY(click(stop->frameGeometry().center()));
    QTRY_COMPARE(s.completions, 1);
    QVERIFY(desk.takeButtonPresses().isEmpty());
}

void TestOverlayModesX11::fullscreenCoversTheDisplayAndEscEnds()
{
    TestSupport::ForeignWindow editor("Editor");
    QVERIFY(editor.isValid());
    QVERIFY(xdotool({u"windowactivate"_qs, u"--sync"_qs, editor.idString()}));
    Session s(OverlayMode::fullscreen);

    // Text from outside comes without global keys: the full screen takes the keyboard itself.
    // Esc ends the reading, which gives the keyboard back to the editor.
    s.controller.show(page, false, false, [&s] { ++s.completions; });
    OverlayPanel *panel = s.controller.panel();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    QTRY_VERIFY_WITH_TIMEOUT(coversTheScreen(panel), 15000);
    QTRY_COMPARE(QGuiApplication::focusWindow(), panel->windowHandle());
    QVERIFY(!editor.hasInputFocus());
    QVERIFY(xdotool({u"key"_qs, u"Escape"_qs}));
    QTRY_COMPARE(s.completions, 1);
    QTRY_VERIFY(editor.hasInputFocus());

    // Notes, with the global keys: the full screen shows no page list to step back to, so the
    // first Esc ends the reading.
    s.open();
    QVERIFY(QTest::qWaitForWindowExposed(s.controller.panel()));
    QTRY_VERIFY(coversTheScreen(s.controller.panel()));
    screenshot(u"fullscreen-x11.png"_qs);
    QVERIFY(xdotool({u"key"_qs, u"Escape"_qs}));
    QTRY_COMPARE(s.completions, 2);
    QVERIFY(!s.controller.overlayContent().showPagePicker());
    QVERIFY(!s.controller.panel());
}

void TestOverlayModesX11::textFromOutsideAfterEveryEnding_data()
{
    QTest::addColumn<OverlayMode>("mode");
    QTest::addColumn<QString>("ending");
    for (const auto &[mode, name] :
         {std::pair(OverlayMode::pinned, "pinned"), std::pair(OverlayMode::floating, "floating")}) {
        for (const char *ending :
             {"esc on the list", "esc twice", "close button", "stop", "minimised, then esc"})
            QTest::addRow("%s, %s", name, ending) << mode << QString::fromLatin1(ending);
    }
}

// However a reading from the editor ended, the next text from another program is what the
// panel shows, not the old page list.
void TestOverlayModesX11::textFromOutsideAfterEveryEnding()
{
    QFETCH(OverlayMode, mode);
    QFETCH(QString, ending);
    Session s(mode);
    s.open();
    OverlayContent &content = s.controller.overlayContent();
    // As the editor opens it: on its page list.
    if (ending != u"esc twice")
        content.setShowPagePicker(true);
    OverlayPanel *panel = s.controller.panel();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    const auto visibleButton = [panel](const QString &name) {
        auto *button = panel->findChild<QAbstractButton *>(name);
        return button && button->isVisible() ? button : nullptr;
    };
    if (ending == u"esc on the list") {
        QVERIFY(xdotool({u"key"_qs, u"Escape"_qs}));
    } else if (ending == u"esc twice") {
        QVERIFY(xdotool({u"key"_qs, u"Escape"_qs}));
        QTRY_VERIFY(content.showPagePicker());
        QVERIFY(xdotool({u"key"_qs, u"Escape"_qs}));
    } else if (ending == u"close button") {
        QTRY_VERIFY(visibleButton(u"closeButton"_qs));
        QVERIFY(click(globalCentre(visibleButton(u"closeButton"_qs))));
    } else if (ending == u"stop") {
        s.controller.dismiss();
    } else {
        QTRY_VERIFY(visibleButton(u"minimizeButton"_qs));
        QVERIFY(click(globalCentre(visibleButton(u"minimizeButton"_qs))));
        QTRY_VERIFY(content.isMiniMode());
        QVERIFY(xdotool({u"key"_qs, u"Escape"_qs}));
    }
    QTRY_COMPARE(s.completions, 1);

    s.controller.show(u"Un texto que llega desde otro programa"_qs, false, false, {});
    panel = s.controller.panel();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    auto *words = panel->findChild<QWidget *>(u"wordsArea"_qs);
    QVERIFY(words);
    QTRY_VERIFY(words->isVisible());
    QVERIFY(!content.showPagePicker());
    QVERIFY(!content.isMiniMode());
    QVERIFY(!content.isCollapsed());
    QVERIFY(!panel->findChild<PageList *>());
    if (QTest::currentDataTag() == QByteArray("pinned, esc on the list"))
        screenshot(u"outside-after-esc-pinned.png"_qs);
    if (QTest::currentDataTag() == QByteArray("floating, close button"))
        screenshot(u"outside-after-close-floating.png"_qs);
    s.controller.dismiss();
    QTRY_VERIFY(!s.controller.panel());
}

BRIVEL_XVFB_TEST_MAIN(TestOverlayModesX11, true)
#include "tst_overlaymodes_x11.moc"
