// The main screen, the pointer and the panels on two screens at different scales, in real X11,
// and what becomes of the panels when one of them is unplugged.

#include "common/readingsession.h"
#include "common/xvfb.h"
#include "overlay/overlaypanel.h"
#include "overlay/stickyinstance.h"
#include "platform/screens.h"
#include "settings_screen/notchpreviewcontroller.h"

#include <QPainterPath>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>

namespace {

QScreen *screenNamed(const QString &name)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->name() == name)
            return screen;
    }
    return nullptr;
}

// The size of a window's bounding shape as the X server holds it, in device pixels.
QSize boundingShapeSize(const QWidget &window)
{
    QProcess xwininfo;
    xwininfo.start(u"xwininfo"_qs, {u"-shape"_qs, u"-id"_qs, QString::number(window.winId())});
    xwininfo.waitForFinished(10000);
    const QRegularExpressionMatch extents
        = QRegularExpression(u"Window shape extents:\\s+(\\d+)\\s*x\\s*(\\d+)"_qs)
              .match(QString::fromLocal8Bit(xwininfo.readAllStandardOutput()));
    return extents.hasMatch() ? QSize(extents.captured(1).toInt(), extents.captured(2).toInt())
                              : QSize();
}

OverlayPanel *panelOf(PreviewPanelWindow *window)
{
    auto *overlay = dynamic_cast<OverlayPreviewWindow *>(window);
    return overlay ? overlay->panel() : nullptr;
}

void screenshot(const QString &name)
{
    const QString dir = qEnvironmentVariable("BRIVEL_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        QProcess::execute(u"import"_qs, {u"-window"_qs, u"root"_qs, dir + u'/' + name});
}

} // namespace

class TestTwoScreens : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(screenNamed(u"left"_qs) && screenNamed(u"right"_qs));
        QCOMPARE(screenNamed(u"left"_qs)->devicePixelRatio(), 2.0);
        QCOMPARE(screenNamed(u"right"_qs)->devicePixelRatio(), 1.0);
    }

    // The main screen is the key window's, whichever is primary.
    void mainScreenIsTheKeyWindows()
    {
        for (const QString &name : {u"right"_qs, u"left"_qs}) {
            QWidget window;
            window.resize(200, 100);
            window.move(screenNamed(name)->geometry().topLeft() + QPoint(20, 40));
            window.show();
            window.activateWindow();
            QTRY_COMPARE(QGuiApplication::focusWindow(), window.windowHandle());
            QCOMPARE(window.screen()->name(), name);
            QCOMPARE(Screens::system().mainScreen()->name, name);
        }
    }

    // A panel moved to a screen of another scale is cut to its whole outline there, either way.
    void outlineFollowsTheScreen()
    {
        OverlayPanel panel(new QWidget);
        panel.resize(200, 100);
        QPainterPath outline;
        outline.addRoundedRect(QRectF(0, 0, 200, 100), 16, 16);
        panel.setShape([outline] { return outline; });
        panel.move(screenNamed(u"right"_qs)->geometry().topLeft() + QPoint(20, 40));
        panel.orderFront();
        QTRY_COMPARE(boundingShapeSize(panel), QSize(200, 100));
        for (const auto &[name, ratio] : {std::pair(u"left"_qs, 2), std::pair(u"right"_qs, 1)}) {
            panel.move(screenNamed(name)->geometry().topLeft() + QPoint(20, 40));
            QTRY_COMPARE(panel.screen()->name(), name);
            QTRY_COMPARE(boundingShapeSize(panel), QSize(200, 100) * ratio);
        }
    }

    // At a scale of 2 the last device column and row of a display (639 of 640) are on it: the
    // panel opens there, not on the other display.
    void pointerOnTheLastDevicePixel()
    {
        QVERIFY(TestSupport::movePointer({639, 799}));
        const std::optional<ScreenInfo> screen = Screens::system().screenUnderMouse();
        QCOMPARE(screen ? screen->name : QString(), u"left"_qs);
        QCOMPARE(Screens::system().cursorPosition(), QPoint(319, 399));
    }

    // A monitor unplugged while reading, with the pointer on it: every panel of the reading and
    // of the settings preview comes back whole onto the display that is left, the stop button to
    // its top centre. Last: the monitor stays unplugged.
    void panelsComeBackFromAnUnpluggedMonitor()
    {
        // The preview opens on the main screen, the key window's.
        QWidget key;
        key.setGeometry(700, 500, 200, 100);
        key.show();
        key.activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), key.windowHandle());
        InMemoryKeyValueStore store;
        NotchSettings settings{store, CaptureShield::system(), u"es"_qs};
        settings.setOverlayMode(OverlayMode::floating);
        NotchPreviewController preview(Screens::system(), CaptureShield::system());
        preview.show(settings, false, false);
        preview.duplicateWindow(settings);
        QList<QWidget *> panels{panelOf(preview.panel()),
                                panelOf(preview.duplicatePanels().front().get())};

        QVERIFY(TestSupport::movePointer({1000, 300}));
        std::vector<std::unique_ptr<TestSupport::ReadingSession>> sessions;
        for (const OverlayMode mode :
             {OverlayMode::pinned, OverlayMode::cursor, OverlayMode::floating}) {
            auto &s = *sessions.emplace_back(
                std::make_unique<TestSupport::ReadingSession>(mode, QStringList{u"Hola"_qs}));
            s.settings.setNotchWidth(240);
            s.settings.setTextAreaHeight(120);
            s.controller.show(u"Buenas tardes a todos."_qs, false, true, {});
            panels << s.controller.panel();
        }
        NotchOverlayController &floating = sessions.back()->controller;
        floating.duplicateWindow(floating.overlayContent());
        panels << sessions[1]->controller.stopButtonPanel()
               << floating.stickyDuplicates().front()->panel();
        // The panels as the X server has them, in device pixels (points on the right display).
        const auto serverFrame = [&](qsizetype i) {
            return TestSupport::clientArea(QString::number(panels[i]->winId()));
        };
        // Each opens where it was placed, at its size.
        QTest::qWait(500); // the panels finish drawing
        const QRect rightDevices(640, 0, 640, 800);
        QList<QSize> sizes;
        for (qsizetype i = 0; i < panels.size(); ++i) {
            QVERIFY(QTest::qWaitForWindowExposed(panels[i]));
            QTRY_VERIFY2(rightDevices.contains(serverFrame(i))
                             && serverFrame(i) == panels[i]->geometry(),
                         qPrintable(u"panel %1"_qs.arg(i)));
            sizes << panels[i]->size();
        }
        screenshot(u"screens-before-unplug.png"_qs);

        QVERIFY(TestSupport::unplugRightMonitor(640));
        QTRY_COMPARE(QGuiApplication::screens().size(), 1);
        const ScreenInfo left = Screens::system().screens().constFirst();
        // Whole on the root that is left, as the X server has them, at the size they had (cut to
        // the display; the pinned panel's is its tracker's, which grows in).
        const auto whole = [&](qsizetype i) {
            const QSize size = i == 2 ? sessions[0]->controller.frameTracker()->targetFrame().size()
                                      : sizes[i].boundedTo(left.geometry.size());
            return QRect(0, 0, 640, 800).contains(serverFrame(i))
                   && serverFrame(i).size() == size * 2
                   && left.geometry.contains(panels[i]->geometry());
        };
        for (qsizetype i = 0; i < panels.size(); ++i)
            QTRY_VERIFY2(whole(i), qPrintable(u"panel %1"_qs.arg(i)));
        QCOMPARE(
            sessions[1]->controller.stopButtonPanel()->geometry(),
            QRect(left.geometry.center().x() + 1 - 18, left.availableGeometry.top() + 8, 36, 36));
        QTest::qWait(500); // the panels finish drawing
        screenshot(u"screens-after-unplug.png"_qs);
    }
};

BRIVEL_XVFB_TWO_SCREEN_TEST_MAIN(TestTwoScreens, "left=2;right=1")
#include "tst_twoscreens_x11.moc"
