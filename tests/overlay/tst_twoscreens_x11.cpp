// The main screen, the pointer and the panels' outlines on two screens at different scales, in
// real X11.

#include "common/xvfb.h"
#include "overlay/overlaypanel.h"
#include "platform/screens.h"

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
};

BRIVEL_XVFB_TWO_SCREEN_TEST_MAIN(TestTwoScreens, "left=2;right=1")
#include "tst_twoscreens_x11.moc"
