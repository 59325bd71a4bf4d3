// The settings preview on a real X server with a window manager: the pinned window lets clicks
// through, the sticky one is dragged and duplicated, the cursor one follows the pointer, a
// dismissal takes it away within half a second, and the settings keep the main window clear of
// it.

#include "common/appfakes.h"
#include "common/xvfb.h"
#include "overlay/overlaypanel.h"
#include "platform/captureshield.h"
#include "platform/inmemorykeyvaluestore.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"
#include "settings/presets.h"
#include "settings_screen/notchpreviewcontroller.h"
#include "settings_screen/settingsscreencontroller.h"
#include "settings_screen/settingswindow.h"
#include "uikit/circleglyphbutton.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QScreen>

#include <optional>

namespace {

using TestSupport::drag;
using TestSupport::movePointer;
using TestSupport::xdotool;

bool click(QPoint point)
{
    if (!movePointer(point) || !xdotool({u"mousedown"_qs, u"1"_qs}))
        return false;
    QTest::qWait(120);
    return xdotool({u"mouseup"_qs, u"1"_qs});
}

void screenshot(const QString &name)
{
    const QString dir = qEnvironmentVariable("BRIVEL_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QProcess::execute(u"import"_qs, {u"-window"_qs, u"root"_qs, dir + u'/' + name});
}

OverlayPanel *panelOf(PreviewPanelWindow *window)
{
    auto *overlay = dynamic_cast<OverlayPreviewWindow *>(window);
    return overlay ? overlay->panel() : nullptr;
}

struct Preview
{
    // Shown, grown in, its text visible.
    OverlayPanel *open()
    {
        controller.show(settings, false, false);
        OverlayPanel *panel = panelOf(controller.panel());
        if (!panel || !QTest::qWaitForWindowExposed(panel))
            return nullptr;
        if (!QTest::qWaitFor([this] { return controller.hostingView()->isContentVisible(); }, 2000))
            return nullptr;
        QTest::qWait(400);
        return panel;
    }

    InMemoryKeyValueStore store;
    NotchSettings settings{store, CaptureShield::system(), u"es"_qs};
    NotchPreviewController controller{Screens::system(), CaptureShield::system()};
};

} // namespace

class TestNotchPreviewX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_desk.isValid());
        QVERIFY(m_topBar->isValid());
        QTRY_COMPARE(QGuiApplication::primaryScreen()->availableGeometry().top(), 30);
    }

    void pinnedLetsClicksThroughAndLeavesOnDismiss()
    {
        Preview p;
        OverlayPanel *panel = p.open();
        QVERIFY(panel);
        QTRY_COMPARE_WITH_TIMEOUT(panel->frameGeometry(), QRect(390, 0, 500, 30 + 440), 5000);
        screenshot(u"preview-pinned.png"_qs);

        m_desk.takeButtonPresses();
        const QPoint inside(640, 120); // on the mock's text
        QTRY_COMPARE(TestSupport::windowAt(inside), m_desk.id());
        QVERIFY(click(inside));
        QList<QPoint> presses;
        QTRY_VERIFY((presses += m_desk.takeButtonPresses(), !presses.isEmpty()));
        QCOMPARE(presses, QList<QPoint>({inside}));

        const QPointer<OverlayPanel> gone(panel);
        QElapsedTimer clock;
        clock.start();
        p.controller.dismiss();
        QTRY_VERIFY_WITH_TIMEOUT(!gone || !gone->isVisible(), 3000);
        // Half a second as written; the slack is for a loaded machine under the sanitizers.
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!p.controller.panel());
        screenshot(u"preview-dismissed.png"_qs);
    }

    void stickyIsDraggedAndDuplicated()
    {
        Preview p;
        p.settings.setOverlayMode(OverlayMode::floating);
        OverlayPanel *panel = p.open();
        QVERIFY(panel);
        const QRect start(640 - 178, 0, 356, 242);
        QTRY_COMPARE(panel->frameGeometry(), start);
        QVERIFY(!panel->isClickThrough());

        // Moved by the card's background.
        const QPoint background = start.topLeft() + QPoint(start.width() / 2, 60 + 120);
        QVERIFY(drag(background, background + QPoint(-200, 150)));
        QTRY_COMPARE(panel->frameGeometry(), start.translated(-200, 150));

        auto *button = p.controller.hostingView()->findChild<CircleGlyphButton *>();
        QVERIFY(button && button->isVisible());
        const QPoint buttonCentre = button->mapToGlobal(button->rect().center());
        for (int i = 1; i <= 4; ++i) {
            QVERIFY(click(buttonCentre));
            QTRY_COMPARE(int(p.controller.duplicatePanels().size()), std::min(i, 3));
        }
        QTest::qWait(300);
        QCOMPARE(int(p.controller.duplicatePanels().size()), 3);
        const OverlayPanel *third = panelOf(p.controller.duplicatePanels().back().get());
        QTRY_COMPARE(third->frameGeometry().topLeft(),
                     panel->frameGeometry().topLeft() + QPoint(108, 108));
        QTest::qWait(800);
        screenshot(u"preview-sticky-duplicates.png"_qs);

        // Back to pinned: the duplicates close and the window takes its full frame again.
        p.settings.setOverlayMode(OverlayMode::pinned);
        p.controller.applyMode(p.settings);
        QVERIFY(p.controller.duplicatePanels().empty());
        QTRY_COMPARE(panel->frameGeometry(), QRect(390, 0, 500, 470));
        QVERIFY(panel->isClickThrough());
        // The switch back lets clicks through again.
        m_desk.takeButtonPresses();
        QTRY_COMPARE(TestSupport::windowAt({640, 120}), m_desk.id());
        QVERIFY(click({640, 120}));
        QList<QPoint> presses;
        QTRY_VERIFY((presses += m_desk.takeButtonPresses(), !presses.isEmpty()));
        QCOMPARE(presses, QList<QPoint>({{640, 120}}));
        p.controller.tearDown();
    }

    void cursorFormFollowsThePointer()
    {
        QVERIFY(movePointer({300, 300}));
        Preview p;
        p.settings.setOverlayMode(OverlayMode::cursor);
        OverlayPanel *panel = p.open();
        QVERIFY(panel);
        p.controller.startCursorFollow(p.settings);
        // The mock's top-left corner sits 8 right of the pointer, level with it.
        QTRY_COMPARE(panel->frameGeometry().topLeft(), QPoint(300 + 8 - 80, 300 - 60));
        QTRY_VERIFY(p.controller.isFollowingCursor());
        QVERIFY(movePointer({700, 500}));
        QTRY_COMPARE(panel->frameGeometry().topLeft(), QPoint(700 + 8 - 80, 500 - 60));
        screenshot(u"preview-cursor.png"_qs);

        bool back = false;
        p.controller.stopCursorFollow([&] { back = true; });
        QTRY_VERIFY(back);
        QTRY_COMPARE(panel->frameGeometry(), QRect(390, 0, 500, 470));
        QVERIFY(movePointer({200, 600}));
        QTest::qWait(100);
        QCOMPARE(panel->frameGeometry(), QRect(390, 0, 500, 470));
        p.controller.tearDown();
    }

    // Last, as it takes the top panel away: on a display without one the preview still keeps
    // its 28-point strip, and the settings keep the main window's frame below the mock, on
    // opening and when the notch comes back after the sticky form.
    void settingsWindowKeepsClearOfThePreview()
    {
        m_topBar.reset();
        QTRY_COMPARE(QGuiApplication::primaryScreen()->availableGeometry().top(), 0);
        QWidget main;
        main.setWindowTitle(u"Brivel"_qs);
        main.setGeometry(290, 60, 700, 500);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        WidgetSettingsWindow window(&main);
        InMemoryKeyValueStore store;
        NotchSettings settings{store, CaptureShield::system(), u"es"_qs};
        FakeDialogs dialogs;
        auto *preview = new NotchPreviewController(Screens::system(), CaptureShield::system());
        SettingsScreenController screen(settings, std::unique_ptr<NotchPreviewControlling>(preview),
                                        window, dialogs, nullptr);
        const auto mock = [preview] {
            OverlayPanel *panel = panelOf(preview->panel());
            return panel ? panel->mask().boundingRect().translated(panel->geometry().topLeft())
                         : QRect();
        };
        // Once the mock has grown to its full height and the window has ended its glide.
        const auto clear = [&] {
            return QTest::qWaitFor([&] {
                return mock().bottom() + 1 == 28 + 160
                       && !main.findChild<QPropertyAnimation *>(u"settingsWindowMove"_qs)
                       && mock().bottom() < main.frameGeometry().top();
            });
        };

        screen.appeared();
        QVERIFY(QTest::qWaitFor([preview] {
            return preview->hostingView() && preview->hostingView()->isContentVisible();
        }));
        QVERIFY2(
            clear(),
            qPrintable(
                u"mock %1, window top %2"_qs.arg(mock().bottom()).arg(main.frameGeometry().top())));
        screenshot(u"settings-window-opened.png"_qs);

        // The sticky form puts the window's bottom 200 above the screen's.
        settings.setOverlayMode(OverlayMode::floating);
        QTRY_COMPARE(main.frameGeometry().bottom() + 1, 800 - 200);
        settings.setOverlayMode(OverlayMode::pinned);
        QVERIFY2(
            clear(),
            qPrintable(
                u"mock %1, window top %2"_qs.arg(mock().bottom()).arg(main.frameGeometry().top())));
        screenshot(u"settings-window-notch-again.png"_qs);
        screen.disappeared();
    }

private:
    TestSupport::ForeignWindow m_desk{"Desk", {0, 0, 1280, 800}};
    std::optional<TestSupport::TopBar> m_topBar{std::in_place, 30};
};

BRIVEL_XVFB_TEST_MAIN(TestNotchPreviewX11, true)
#include "tst_notchpreview_x11.moc"
