#include "common/brivelwindows.h"

#include <QElapsedTimer>
#include <QSettings>

#include <csignal>
#include <tuple>
#include <utility>

#include <unistd.h>

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

// The live preview's windows: every window of the program but its main window.
QList<ShownWindow> previews(const QString &main)
{
    QList<ShownWindow> windows = shownWindows();
    windows.removeIf([&main](const ShownWindow &window) {
        return window.id == main || window.name != u"Brivel";
    });
    return windows;
}

// Whether a window of the program besides its main window is on screen: one search a look.
bool previewShown()
{
    QProcess search;
    search.start(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--classname"_s, u"^brivel$"_s});
    search.waitForFinished(10000);
    // A window going while the search walks the tree fails it: look again.
    return search.exitCode() != 0 || search.readAllStandardOutput().trimmed().count('\n') > 0;
}

// Saves a picture of the preview's windows, or of the whole screen when none is shown.
void shootPreview(const QString &main, const QString &step)
{
    QRect area;
    for (const ShownWindow &window : previews(main))
        area |= window.geometry;
    area &= QRect(0, 0, 1280, 800);
    grab(area.isEmpty() ? QRect(0, 0, 1280, 800) : area).save(u"preview-%1.png"_s.arg(step));
}

// The processor time the program has used so far, in seconds.
double cpuSeconds(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // After the command's closing parenthesis: the state, then ten fields, then utime and stime.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return double(fields.value(11).toLongLong() + fields.value(12).toLongLong())
           / double(sysconf(_SC_CLK_TCK));
}

// Where the controls sit in the 900 × 599 main window, from its client area's corner.
namespace at {
const QPoint settingsButton(815, 45);
const QPoint generalTab(75, 85);
const QPoint appearanceTab(75, 116);
const QPoint howItWorksTab(75, 147);
const QPoint arrowsDemo(372, 51);
const QPoint invisibleDemo(545, 51);
const QPoint notesDemo(717, 51);
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
// the header, every control changed and kept across a relaunch, the reset, and "Listo", with
// the live preview following along; the how-it-works demos, and their stop on another tab.
class TestSettingsX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_desk.isValid());
        QVERIFY(m_topBar.isValid());
    }
    void changeKeepResetAndClose();
    void howItWorksDemos();

private:
    // For the whole run: the window manager may mistake a later window for one gone before.
    ForeignWindow m_desk{"Desk", {0, 0, 1280, 800}}; // beneath everything of the program
    TopBar m_topBar{24};
};

void TestSettingsX11::changeKeepResetAndClose()
{
    ForeignWindow &desk = m_desk;
    BrivelProcess brivel;
    const QString conf = brivel.path(u"config/Brivel/Brivel.conf"_s);
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    const QString window = mainWindow()->id;
    QVERIFY(atRest(window));

    // The header's button opens the settings; the window moves clear of the preview, its
    // bottom 10 above the free area's on this short screen.
    QVERIFY(click(window, at::settingsButton));
    const auto frameBottom
        = [&window] { return clientArea(window).bottom() + 1 + frameExtents(window).bottom(); };
    QTRY_VERIFY2(qAbs(frameBottom() - (800 - 10)) <= 1, qPrintable(QString::number(frameBottom())));
    // The preview hangs from the top centre, its top strip as tall as the reading panel's.
    const QRect pinned(390, 0, 500, 28 + 440);
    QTRY_COMPARE(previews(window).size(), 1);
    QTRY_COMPARE(previews(window).constFirst().geometry, pinned);
    QVERIFY(atRest(window));
    grab().save(u"settings-general.png"_s);

    // A click on the pinned preview reaches the window beneath it. The desk taking the focus
    // hides the preview; the program's coming back shows it again.
    desk.takeButtonPresses();
    QTRY_COMPARE(windowAt({640, 100}), desk.id());
    QVERIFY(xdotool({u"mousemove"_s, u"640"_s, u"100"_s, u"click"_s, u"1"_s}));
    QList<QPoint> presses;
    QTRY_VERIFY((presses += desk.takeButtonPresses(), !presses.isEmpty()));
    QCOMPARE(presses, QList<QPoint>({{640, 100}}));
    QVERIFY(xdotool({u"windowactivate"_s, u"--sync"_s, desk.idString()}));
    QTRY_VERIFY(previews(window).isEmpty());
    grab().save(u"settings-desk-focused.png"_s);
    QVERIFY(xdotool({u"windowactivate"_s, u"--sync"_s, window}));
    QTRY_COMPARE(previews(window).size(), 1);
    QCOMPARE(previews(window).constFirst().geometry, pinned);

    // The general tab, every control.
    QVERIFY(click(window, at::languagePicker));
    settle(); // the list is open
    QVERIFY(xdotool({u"key"_s, u"Up"_s, u"Return"_s}));
    settle();
    shootPreview(window, u"01-language"_s);
    for (const auto &[control, step] : {std::pair(at::invisibleSwitch, u"02-invisible"_s),
                                        std::pair(at::clockSwitch, u"03-clock"_s),
                                        std::pair(at::arrowsSwitch, u"04-arrows-off"_s)}) {
        QVERIFY(click(window, control));
        settle(300);
        shootPreview(window, step);
    }
    grab().save(u"settings-general-arrows-off.png"_s);
    QVERIFY(click(window, at::arrowsSwitch));
    settle(300);
    QVERIFY(click(window, at::arrowsScrollSwitch));
    settle(300);
    shootPreview(window, u"05-arrows-scroll"_s);

    // Cursor: the preview puts the mock's top-left corner 8 right of the pointer, level with it.
    QVERIFY(click(window, at::cursor));
    settle();
    for (const QPoint pointer : {QPoint(300, 500), QPoint(900, 300)}) {
        QVERIFY(movePointer(pointer));
        QTRY_COMPARE(previews(window).value(0).geometry.topLeft(), pointer + QPoint(8 - 80, -60));
    }
    shootPreview(window, u"06-cursor"_s);

    // Sticky: the mock morphs into a card, moved by its background, duplicated up to four
    // windows in all by its "Duplicar ventana" button (its top-right corner).
    QVERIFY(click(window, at::sticky));
    settle(150);
    shootPreview(window, u"07-sticky-morphing"_s);
    const QRect sticky(640 - 178, 0, 356, 242);
    QTRY_COMPARE(previews(window).value(0).geometry, sticky);
    shootPreview(window, u"08-sticky"_s);
    QVERIFY(drag({640, 180}, {440, 330}));
    const QRect dragged = sticky.translated(-200, 150);
    QTRY_COMPARE(previews(window).value(0).geometry, dragged);
    for (int i = 0; i < 4; ++i) {
        QVERIFY(xdotool({u"mousemove"_s, QString::number(dragged.x() + 327),
                         QString::number(dragged.y() + 81), u"click"_s, u"1"_s}));
        settle(300);
    }
    QTRY_COMPARE(previews(window).size(), 4);
    shootPreview(window, u"09-sticky-duplicates"_s);

    // Back to the notch: the duplicates close and the mock hangs from the top centre again.
    QVERIFY(click(window, at::notch));
    settle(150);
    shootPreview(window, u"10-pinned-morphing"_s);
    QTRY_COMPARE(previews(window).size(), 1);
    QTRY_COMPARE(previews(window).constFirst().geometry, pinned);
    shootPreview(window, u"11-pinned"_s);
    QVERIFY(click(window, at::sticky));
    QTRY_COMPARE(previews(window).value(0).geometry, sticky);
    // Sticky: the window's bottom would sit 200 above the free area's; too tall for that on this
    // screen, it stops with its title bar just under the top panel.
    QVERIFY(atRest(window));
    const int stickyTop = clientArea(window).top();
    QVERIFY2(stickyTop > 24 && stickyTop <= 24 + 30, qPrintable(QString::number(stickyTop)));
    grab().save(u"settings-general-changed.png"_s);

    // The appearance tab, every control.
    QVERIFY(click(window, at::appearanceTab));
    settle();
    QVERIFY(click(window, at::fontPicker));
    settle();
    QVERIFY(xdotool({u"key"_s, u"Down"_s, u"Return"_s}));
    settle(300);
    shootPreview(window, u"12-font"_s);
    for (const auto &[control, step] :
         {std::pair(at::sizeLarge, u"13-size"_s), std::pair(at::greenChip, u"14-colour"_s),
          std::pair(at::glassSwitch, u"15-glass"_s)}) {
        QVERIFY(click(window, control));
        settle(300);
        shootPreview(window, step);
    }
    settle();
    for (const auto &[slider, step] :
         {std::pair(at::opacityEnd, u"16-opacity"_s), std::pair(at::widthEnd, u"17-width"_s),
          std::pair(at::heightEnd, u"18-height"_s)}) {
        for (int i = 0; i < 3; ++i) {
            QVERIFY(click(window, slider));
            settle(250); // apart, so that no two clicks make a double click
        }
        shootPreview(window, step);
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
    const QString relaunched = mainWindow()->id;
    QTRY_COMPARE(keyboardWindow(), relaunched);
    QVERIFY(xdotool({u"key"_s, u"ctrl+comma"_s}));
    QTRY_COMPARE(previews(relaunched).size(), 1);
    QVERIFY(atRest(relaunched));
    QVERIFY(click(relaunched, at::appearanceTab));
    QTRY_VERIFY2(differingShare(changed, grab(clientArea(relaunched))) < 0.01,
                 "the relaunched settings show other values");
    grab().save(u"settings-relaunched.png"_s);

    // "Restablecer todo", then "Restablecer": the file holds the reset's values.
    QVERIFY(click(relaunched, at::resetAll));
    QTRY_VERIFY_WITH_TIMEOUT(alertWindow().has_value(), 5000);
    QTRY_COMPARE(keyboardWindow(), alertWindow()->id);
    grab().save(u"settings-reset-question.png"_s);
    // "Cancelar" has the focus; "Restablecer" is the button before it.
    QVERIFY(xdotool({u"key"_s, u"shift+Tab"_s, u"space"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(!alertWindow().has_value(), 5000);
    QTRY_COMPARE(QSettings(conf, QSettings::IniFormat).value(u"overlayMode"_s).toString(),
                 u"pinned"_s);
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

    // "Listo": the preview leaves within half a second, the settings leave and the window is
    // centred in the free area.
    const QImage settingsShown = grab(clientArea(relaunched));
    QCOMPARE(previews(relaunched).size(), 1);
    QVERIFY(click(relaunched, at::done));
    QElapsedTimer leaving;
    leaving.start();
    while (previewShown() && leaving.elapsed() < 5000) {
    }
    // Each look takes its moment, far longer on a loaded machine: the bound only tells "leaves
    // with the settings" from "stays behind".
    QVERIFY2(leaving.elapsed() < 2500, qPrintable(QString::number(leaving.elapsed())));
    QTRY_VERIFY2(qAbs(clientArea(relaunched).center().x() - 640) <= 2,
                 qPrintable(QString::number(clientArea(relaunched).x())));
    QTRY_VERIFY2(differingShare(settingsShown, grab(clientArea(relaunched))) > 0.2,
                 "the settings are still shown");
    grab().save(u"settings-done.png"_s);
}

// The how-it-works tab of the real screen: each demo through its selector, the arrows demo
// moving on the wall clock, and no work left behind once another tab is shown.
void TestSettingsX11::howItWorksDemos()
{
    BrivelProcess brivel;
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    const QString window = mainWindow()->id;
    // Short enough to fit below the preview on this screen.
    QVERIFY(xdotool({u"windowsize"_s, u"--sync"_s, window, u"900"_s, u"450"_s}));
    QTRY_COMPARE(keyboardWindow(), window);
    QVERIFY(xdotool({u"key"_s, u"ctrl+comma"_s}));
    // Its top keeps 24 below the preview's text area, under the preview's strip of at least 28.
    QTRY_COMPARE(clientArea(window).top() - frameExtents(window).top(), 28 + 160 + 24);
    QTRY_COMPARE(previews(window).value(0).geometry, QRect(390, 0, 500, 28 + 440));
    QVERIFY(atRest(window));

    // The arrows demo starts with the tab; it scrolls its text 1.0 s to 2.9 s in.
    QVERIFY(click(window, at::howItWorksTab));
    QTest::qWait(1300);
    const QRect client = clientArea(window);
    QImage shot = grab(client);
    shot.save(u"hiw-arrows-1.3s.png"_s);
    QTest::qWait(500);
    QImage later = grab(client);
    later.save(u"hiw-arrows-1.8s.png"_s);
    QVERIFY2(differingShare(shot, later) > 0.001, "the arrows demo stands still");

    // Each demo through the selector, at a moment of its own.
    for (const auto &[demo, ms, name] :
         {std::tuple(at::invisibleDemo, 3500, u"hiw-invisible-3.5s.png"_s),
          std::tuple(at::notesDemo, 3800, u"hiw-notes-3.8s.png"_s),
          std::tuple(at::arrowsDemo, 2000, u"hiw-arrows-again-2.0s.png"_s)}) {
        QVERIFY(click(window, demo));
        QTest::qWait(ms);
        later = grab(client);
        later.save(name);
        QVERIFY2(differingShare(shot, later) > 0.01, qPrintable(name));
        shot = later;
    }

    // On another tab the demo stops: the program is as quiet as with the screen at rest.
    const qint64 pid = brivel.process().processId();
    double before = cpuSeconds(pid);
    QTest::qWait(3000);
    const double demoShare = (cpuSeconds(pid) - before) / 3;
    QVERIFY(click(window, at::generalTab));
    QVERIFY(settled(client)); // the tab's change is over
    before = cpuSeconds(pid);
    QTest::qWait(4000);
    const double hiddenShare = (cpuSeconds(pid) - before) / 4;
    qInfo("processor time: %.1f %% of a core with the demo shown, %.1f %% on another tab",
          demoShare * 100, hiddenShare * 100);
    QVERIFY2(demoShare > 0.05, "the measure does not see the demo");
    QVERIFY2(hiddenShare >= 0 && hiddenShare <= 0.02, qPrintable(QString::number(hiddenShare)));
}

BRIVEL_XVFB_TEST_MAIN(TestSettingsX11, true)

#include "tst_settings_x11.moc"
