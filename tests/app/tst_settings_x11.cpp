#include "common/brivelwindows.h"

#include <QSettings>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace TestSupport;

namespace {

// A click at a point of a window's client area.
bool click(const QString &window, QPoint at)
{
    return xdotool({u"mousemove"_s, u"--window"_s, window, QString::number(at.x()),
                    QString::number(at.y()), u"click"_s, u"1"_s});
}

void settle(int ms = 700)
{
    QTest::qWait(ms);
}

// Where the controls sit in the 900 × 599 main window, from its client area's corner.
namespace at {
const QPoint settingsButton(815, 45);
const QPoint generalTab(75, 85);
const QPoint appearanceTab(75, 116);
const QPoint resetAll(265, 578);
const QPoint done(854, 578);
const QPoint languagePicker(247, 71);
const QPoint invisibleSwitch(854, 135);
const QPoint notch(702, 182);
const QPoint sticky(769, 182);
const QPoint cursor(836, 182);
const QPoint clockSwitch(854, 229);
const QPoint arrowsSwitch(854, 276);
const QPoint arrowsScrollSwitch(854, 323);
const QPoint fontPicker(770, 62);
const QPoint sizeLarge(836, 108);
const QPoint greenChip(827, 156);
const QPoint glassSwitch(854, 203);
const QPoint opacityEnd(815, 250); // with the glass on, the sliders move one row down
const QPoint widthEnd(815, 297);
const QPoint heightEnd(815, 344);
} // namespace at

} // namespace

// The settings screen on a real X server with a window manager and a top panel: opened from
// the header, every control changed and kept across a relaunch, the reset, and "Listo".
class TestSettingsX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changeKeepResetAndClose();
};

void TestSettingsX11::changeKeepResetAndClose()
{
    TopBar topBar(24);
    QVERIFY(topBar.isValid());
    BrivelProcess brivel;
    const QString conf = brivel.path(u"config/Brivel/Brivel.conf"_s);
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    const QString window = mainWindow()->id;
    settle();

    // The header's button opens the settings; the window moves clear of the preview, its
    // bottom 10 above the free area's on this short screen.
    QVERIFY(click(window, at::settingsButton));
    settle();
    grab().save(u"settings-general.png"_s);
    const int frameBottom = clientArea(window).bottom() + 1;
    QVERIFY2(qAbs(frameBottom - (800 - 10)) <= 6, qPrintable(QString::number(frameBottom)));

    // The general tab, every control.
    QVERIFY(click(window, at::languagePicker));
    settle(); // the list is open
    QVERIFY(xdotool({u"key"_s, u"Up"_s, u"Return"_s}));
    settle();
    for (const QPoint &control : {at::invisibleSwitch, at::clockSwitch, at::arrowsSwitch}) {
        QVERIFY(click(window, control));
        settle(300);
    }
    grab().save(u"settings-general-arrows-off.png"_s);
    QVERIFY(click(window, at::arrowsSwitch));
    settle(300);
    QVERIFY(click(window, at::arrowsScrollSwitch));
    for (const QPoint &mode : {at::cursor, at::notch, at::sticky}) {
        QVERIFY(click(window, mode));
        settle();
    }
    grab().save(u"settings-general-changed.png"_s);
    // Sticky: the window's bottom would sit 200 above the free area's; too tall for that on this
    // screen, it stops with its title bar just under the top panel.
    const int stickyTop = clientArea(window).top();
    QVERIFY2(stickyTop > 24 && stickyTop <= 24 + 30, qPrintable(QString::number(stickyTop)));

    // The appearance tab, every control.
    QVERIFY(click(window, at::appearanceTab));
    settle();
    QVERIFY(click(window, at::fontPicker));
    settle();
    QVERIFY(xdotool({u"key"_s, u"Down"_s, u"Return"_s}));
    settle(300);
    QVERIFY(click(window, at::sizeLarge));
    QVERIFY(click(window, at::greenChip));
    QVERIFY(click(window, at::glassSwitch));
    settle();
    for (const QPoint &slider : {at::opacityEnd, at::widthEnd, at::heightEnd}) {
        for (int step = 0; step < 3; ++step) {
            QVERIFY(click(window, slider));
            settle(250); // apart, so that no two clicks make a double click
        }
    }
    settle();
    grab().save(u"settings-appearance-changed.png"_s);
    const QRect client = clientArea(window);
    const QImage changed = grab(client);

    // Everything is in the file, and a relaunch shows it again.
    ::kill(pid_t(brivel.process().processId()), SIGTERM);
    QVERIFY(brivel.process().waitForFinished(10000));
    {
        const QSettings stored(conf, QSettings::IniFormat);
        QCOMPARE(stored.value(u"appLanguage"_s).toString(), u"en"_s);
        QCOMPARE(stored.value(u"hideFromScreenShare"_s).toBool(), false);
        QCOMPARE(stored.value(u"showElapsedTime"_s).toBool(), true);
        QCOMPARE(stored.value(u"globalArrowKeysEnabled"_s).toBool(), true);
        QCOMPARE(stored.value(u"arrowScrollsText"_s).toBool(), false);
        QCOMPARE(stored.value(u"overlayMode"_s).toString(), u"floating"_s);
        QCOMPARE(stored.value(u"fontFamilyPreset"_s).toString(), u"serif"_s);
        QCOMPARE(stored.value(u"fontSizePreset"_s).toString(), u"lg"_s);
        QVERIFY(qAbs(stored.value(u"highlightColor_g"_s).toDouble() - 0.847) < 0.01);
        QCOMPARE(stored.value(u"floatingGlassEffect"_s).toBool(), true);
        // Each click on a slider's track is one step towards it.
        QVERIFY(stored.value(u"glassOpacity"_s).toDouble() > 0.7);
        QVERIFY(stored.value(u"notchWidth"_s).toDouble() > 340);
        QVERIFY(stored.value(u"textAreaHeight"_s).toDouble() > 160);
    }
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    settle();
    QVERIFY(xdotool({u"key"_s, u"ctrl+comma"_s}));
    settle();
    QVERIFY(click(window == mainWindow()->id ? window : mainWindow()->id, at::appearanceTab));
    const QString relaunched = mainWindow()->id;
    settle();
    grab().save(u"settings-relaunched.png"_s);
    QVERIFY2(differingShare(changed, grab(clientArea(relaunched))) < 0.01,
             "the relaunched settings show other values");

    // "Restablecer todo", then "Restablecer": the file holds the reset's values.
    QVERIFY(click(relaunched, at::resetAll));
    QTRY_VERIFY_WITH_TIMEOUT(alertWindow().has_value(), 5000);
    settle(300);
    grab().save(u"settings-reset-question.png"_s);
    // "Cancelar" has the focus; "Restablecer" is the button before it.
    QVERIFY(xdotool({u"key"_s, u"shift+Tab"_s, u"space"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(!alertWindow().has_value(), 5000);
    settle();
    grab().save(u"settings-reset.png"_s);
    {
        const QSettings stored(conf, QSettings::IniFormat);
        QCOMPARE(stored.value(u"notchWidth"_s).toDouble(), 340.0);
        QCOMPARE(stored.value(u"textAreaHeight"_s).toDouble(), 160.0);
        QCOMPARE(stored.value(u"overlayMode"_s).toString(), u"pinned"_s);
        QCOMPARE(stored.value(u"cueBrightness"_s).toString(), u"medium"_s);
        QCOMPARE(stored.value(u"showElapsedTime"_s).toBool(), true);
        QCOMPARE(stored.value(u"globalArrowKeysEnabled"_s).toBool(), false);
        QCOMPARE(stored.value(u"cueColor_g"_s).toDouble(), 1.0);
        QCOMPARE(stored.value(u"appLanguage"_s).toString(), u"en"_s);
    }

    // "Listo": the settings leave and the window is centred in the free area.
    const QImage settingsShown = grab(clientArea(relaunched));
    QVERIFY(click(relaunched, at::done));
    QTest::qWait(1200);
    grab().save(u"settings-done.png"_s);
    const QRect centred = clientArea(relaunched);
    QVERIFY2(qAbs(centred.center().x() - 640) <= 2, qPrintable(QString::number(centred.x())));
    QVERIFY2(differingShare(settingsShown, grab(centred)) > 0.2, "the settings are still shown");
}

BRIVEL_XVFB_TEST_MAIN(TestSettingsX11, true)

#include "tst_settings_x11.moc"
