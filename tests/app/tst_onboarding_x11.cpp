#include "common/brivelwindows.h"
#include "common/files.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSettings>

#include <csignal>
#include <optional>

using namespace Qt::StringLiterals;
using namespace TestSupport;

namespace {

// How long a step's change may take on a loaded machine under the sanitizers.
constexpr int stepMs = 15000;

// Long enough for a step's 0.45 s cross-fade and a repaint.
void settle(int ms = 900)
{
    QTest::qWait(ms);
}

// The centre of the widest accent-teal band (a filled button) in the image, if any.
std::optional<QPoint> tealButton(const QImage &image)
{
    QList<int> rows;
    qint64 sumX = 0;
    qint64 count = 0;
    for (int y = 0; y < image.height(); ++y) {
        int inRow = 0;
        qint64 rowX = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 40 && c.green() > 180 && c.blue() > 150) {
                ++inRow;
                rowX += x;
            }
        }
        if (inRow > 80) {
            rows.append(y);
            sumX += rowX;
            count += inRow;
        }
    }
    if (rows.isEmpty())
        return std::nullopt;
    return QPoint(int(sumX / count), (rows.first() + rows.last()) / 2);
}

// The share of an image's pixels tinted by the brand colour: green over blue, both well over red.
double tealShare(const QImage &image)
{
    int teal = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            teal += c.green() > c.red() + 12 && c.blue() > c.red() + 10 && c.green() > c.blue();
        }
    }
    return image.isNull() ? 0 : double(teal) / (image.width() * image.height());
}

// What of a window is drawn: the extents of its shape, in its own coordinates.
QRect shapeExtents(const QString &id)
{
    QProcess info;
    info.start(u"xwininfo"_s, {u"-id"_s, id, u"-shape"_s});
    info.waitForFinished(10000);
    const QString output = QString::fromLatin1(info.readAllStandardOutput());
    const QString line
        = output.section(u"Window shape extents:"_s, 1, 1).section(u'\n', 0, 0).trimmed();
    const QStringList parts = line.split(QRegularExpression(u"[x+]"_s));
    if (parts.size() < 4)
        return {};
    return QRect(parts[2].toInt(), parts[3].toInt(), parts[0].toInt(), parts[1].toInt());
}

// Which of the intro's three pages its dots mark once it is still, -1 elsewhere or mid-change:
// the current dot white, the others grey (a fade's last frame may be a shade off either).
int introPage(const QImage &content)
{
    int page = -1;
    for (int i = 0; i < 3; ++i) {
        const int dot = qGray(content.pixel(344 + 15 * i, 315));
        if (dot >= 250)
            page = page < 0 ? i : 3;
        else if (qAbs(dot - 77) > 3)
            return -1;
    }
    return page < 3 ? page : -1;
}

// Whether each of the tutorial's four arrows is ticked off: a teal badge begins its row.
bool everyArrowTried(const QImage &content)
{
    for (int row = 0; row < 4; ++row) {
        if (tealShare(content.copy(389, 198 + 46 * row, 12, 12)) < 0.3)
            return false;
    }
    return true;
}

QString normalHints(const QString &id)
{
    QProcess xprop;
    xprop.start(u"xprop"_s, {u"-id"_s, id, u"WM_NORMAL_HINTS"_s});
    xprop.waitForFinished(10000);
    return QString::fromLatin1(xprop.readAllStandardOutput());
}

QString hint(const QString &hints, const QString &name)
{
    const qsizetype at = hints.indexOf(name);
    return at < 0 ? QString() : hints.mid(at + name.size()).section(u'\n', 0, 0).trimmed();
}

} // namespace

// A first launch as a person takes it, on a real X server with a window manager: welcome,
// language, the intro pages forth and back, English, the appearance with its preview, the
// arrow-key tutorial, the invisibility demo, the celebration and the editor after it.
class TestOnboardingX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstLaunchWalk();
    void endedMidFlow();

private:
    QRect m_content;
    int m_shot = 0;
    // Where a desktop's top panel would be: the panels hang below it.
    TopBar m_topBar{28};

    QImage content() { return grab(m_content); }
    void shoot(const QString &name)
    {
        grab(m_content).save(u"onboarding-%1-%2.png"_s.arg(++m_shot, 2, 10, QChar(u'0')).arg(name));
    }
    void shootScreen(const QString &name)
    {
        screenshot(u"onboarding-%1-%2.png"_s.arg(++m_shot, 2, 10, QChar(u'0')).arg(name));
    }
    bool drag(QPoint from, QPoint to)
    {
        from += m_content.topLeft();
        to += m_content.topLeft();
        return xdotool({u"mousemove"_s, QString::number(from.x()), QString::number(from.y())})
               && xdotool({u"mousedown"_s, u"1"_s})
               && xdotool({u"mousemove"_s, QString::number((from.x() + to.x()) / 2),
                           QString::number(to.y())})
               && xdotool({u"mousemove"_s, QString::number(to.x()), QString::number(to.y())})
               && xdotool({u"mouseup"_s, u"1"_s});
    }
    bool clickAt(QPoint point)
    {
        point += m_content.topLeft();
        return xdotool({u"mousemove"_s, QString::number(point.x()), QString::number(point.y())})
               && xdotool({u"click"_s, u"1"_s});
    }
};

void TestOnboardingX11::firstLaunchWalk()
{
    QVERIFY(m_topBar.isValid());
    QTRY_COMPARE(QGuiApplication::primaryScreen()->availableGeometry().top(), 28);
    BrivelProcess brivel;
    const QString conf = brivel.path(u"config/Brivel/Brivel.conf"_s);
    QFile::remove(conf); // a fresh home, but for the editor's own tour, seen before
    QSettings(conf, QSettings::IniFormat).setValue(u"hasCompletedCoachMarks"_s, true);
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    const ShownWindow window = *mainWindow();
    QCOMPARE(window.geometry.width(), 720);
    const auto findContent = [&] {
        m_content = clientArea(window.id);
        m_content.setTop(m_content.bottom() - 559); // below the menu bar
    };
    findContent();
    const QString hints = normalHints(window.id);
    QVERIFY2(!hint(hints, u"minimum size:"_s).isEmpty(), qPrintable(hints));
    QCOMPARE(hint(hints, u"minimum size:"_s), hint(hints, u"maximum size:"_s));
    QVERIFY(hint(hints, u"minimum size:"_s).startsWith(u"720 by "_s));
    std::optional<QPoint> begin;
    QTRY_VERIFY((begin = tealButton(content())).has_value());
    settle();
    shoot(u"welcome"_s);

    QImage before = content();
    QVERIFY(clickAt(*begin));
    QTRY_VERIFY(content() != before);
    settle();
    shoot(u"language"_s);
    QVERIFY(clickAt({180, 330})); // Español
    // The language step ends a moment after the choice.
    QTRY_COMPARE_WITH_TIMEOUT(introPage(content()), 0, stepMs);
    shoot(u"page0"_s);
    const QRect hero(0, 0, 720, 300);
    const QImage heroBefore = content().copy(hero);
    QTRY_VERIFY2(differingShare(heroBefore, content().copy(hero)) > 0.001, "the hero stands still");
    shoot(u"page0-later"_s);
    const QRect text(0, 320, 720, 120);
    const QImage spanishTitle = content().copy(text);

    const QPoint next(660, 505);
    const QPoint back(32, 32);
    for (const auto &[button, page] :
         {std::pair(next, 1), std::pair(next, 2), std::pair(back, 1), std::pair(back, 0)}) {
        QVERIFY(clickAt(button));
        QTRY_COMPARE_WITH_TIMEOUT(introPage(content()), page, stepMs);
        if (page > 0 && button == next)
            shoot(u"page%1"_s.arg(page));
    }
    shoot(u"page0-again"_s);
    before = content();
    QVERIFY(clickAt(back));
    QTRY_VERIFY(introPage(content()) < 0 && content() != before);
    settle();
    shoot(u"language-again"_s);
    QVERIFY(clickAt({540, 330})); // English
    QTRY_COMPARE_WITH_TIMEOUT(introPage(content()), 0, stepMs);
    shoot(u"page0-english"_s);
    QVERIFY2(differingShare(spanishTitle, content().copy(text)) > 0.01, "the text stayed Spanish");
    for (const int page : {1, 2}) {
        QVERIFY(clickAt(next));
        QTRY_COMPARE_WITH_TIMEOUT(introPage(content()), page, stepMs);
    }
    shoot(u"page2-english"_s);
    const QRect beforePreview = clientArea(window.id);
    QVERIFY(clickAt(next)); // "Empezar"
    // The window moves down, clear of the preview.
    QTRY_VERIFY_WITH_TIMEOUT(clientArea(window.id) != beforePreview, stepMs);
    QVERIFY(atRest(window.id));
    findContent();

    // Personalize: the preview hangs from the top over the bar, its notch drawn below it, and
    // widens with the width slider.
    QTRY_VERIFY(readingPanel().has_value());
    shootScreen(u"personalize"_s);
    const std::optional<ShownWindow> preview = readingPanel();
    QTRY_COMPARE(readingPanel()->geometry, QRect(390, 0, 500, 28 + 440));
    QRect narrow;
    QTRY_VERIFY2((narrow = shapeExtents(preview->id)).height() > 28 + 100,
                 "the preview does not reach below the bar");
    // It glows: brand-coloured light just outside the mock's sides (its body is inset 16 below
    // the top flare) and its bottom, above the window.
    const QRect mock(390 + (500 - 340) / 2 + 16, 0, 340 - 32, 28 + 160);
    QTRY_COMPARE(tealShare(grab(QRect(mock.left() - 7, 20, 4, 70))), 1.0);
    QTRY_COMPARE(tealShare(grab(QRect(mock.right() + 4, 20, 4, 70))), 1.0);
    QTRY_COMPARE(tealShare(grab(QRect(mock.left() + 40, mock.bottom() + 1, mock.width() - 80, 4))),
                 1.0);
    // The width slider, by the teal of its filled track left of its knob.
    const auto widthTrack = [this] {
        const QImage page = content();
        int track = 300;
        while (track < 500 && tealShare(page.copy(50, track, 20, 1)) < 1.0)
            ++track;
        return track;
    };
    int track = 500;
    QTRY_VERIFY2((track = widthTrack()) < 500, "no width slider");
    QVERIFY(drag({93, track}, {330, track}));
    QTRY_VERIFY2(shapeExtents(preview->id).width() > narrow.width() + 80,
                 "the preview kept its width");
    const auto storedWidth = [&conf] {
        return QSettings(conf, QSettings::IniFormat).value(u"notchWidth"_s).toDouble();
    };
    QTRY_VERIFY(storedWidth() > 400);
    const double width = storedWidth();
    settle();
    shootScreen(u"personalize-wider"_s);

    // The tutorial: the panel never takes the keyboard, so the arrows reach the main window.
    before = content();
    QVERIFY(clickAt({644, 523})); // "Continue"
    QTRY_VERIFY(content() != before);
    settle();
    shootScreen(u"tutorial"_s);
    QVERIFY(!alertWindow());
    const std::optional<ShownWindow> panel = readingPanel();
    QVERIFY(panel);
    QTRY_COMPARE(readingPanel()->geometry, QRect(390, 0, 500, 28 + 440));
    QVERIFY(xdotool({u"key"_s, u"Right"_s}));
    settle(400);
    shootScreen(u"key-right"_s);
    for (int i = 0; i < 30; ++i)
        QVERIFY(xdotool({u"key"_s, u"Down"_s}));
    settle(500);
    shootScreen(u"key-down-to-the-end"_s);
    for (int i = 0; i < 30; ++i)
        QVERIFY(xdotool({u"key"_s, u"Up"_s}));
    settle(500);
    shootScreen(u"key-up"_s);
    QVERIFY(xdotool({u"key"_s, u"Left"_s}));
    QTRY_VERIFY(everyArrowTried(content()));
    settle(400);
    shootScreen(u"key-left"_s);
    const QImage tutorial = content();
    QVERIFY(clickAt({637, 518})); // "Continue", enabled now
    QTRY_VERIFY2(differingShare(tutorial, content()) > 0.05, "Continue stayed disabled");
    settle();

    // The invisibility step: the same panel now takes the click on its eye.
    shootScreen(u"invisibility"_s);
    const int toggleX = 390 + std::max(int((500 - width) / 2) + 34, 12) + 13;
    const QImage intro = content();
    // Once the window manager's frame around the panel takes clicks as the panel now does.
    QTRY_COMPARE(QString::number(windowAt({toggleX, 21})), panel->id);
    QVERIFY(xdotool({u"mousemove"_s, QString::number(toggleX), u"21"_s}));
    QVERIFY(xdotool({u"click"_s, u"1"_s}));
    QTRY_VERIFY2(differingShare(intro, content()) > 0.05, "the eye did not reach the page");
    std::optional<QPoint> onward;
    QTRY_VERIFY2((onward = tealButton(content().copy(0, 480, 720, 80))).has_value(),
                 "no brand-coloured Continue");
    settle();
    shootScreen(u"invisibility-tried"_s);
    QVERIFY(clickAt(*onward + QPoint(0, 480)));
    QTRY_VERIFY(!readingPanel());
    settle(1800);
    shoot(u"celebration"_s);

    // The reading shortcut does nothing meanwhile.
    QVERIFY(xdotool({u"key"_s, u"ctrl+Return"_s}));
    settle(500);
    QVERIFY(!readingPanel().has_value());

    std::optional<QPoint> start;
    QTRY_VERIFY((start = tealButton(content().copy(0, 280, 720, 280))).has_value());
    QVERIFY(clickAt(*start + QPoint(0, 280)));
    QTRY_VERIFY_WITH_TIMEOUT(
        QSettings(conf, QSettings::IniFormat).value(u"hasCompletedOnboarding"_s).toBool(), 5000);
    // The editor is shown once the window can be resized.
    const auto resizable = [](const QString &hints) {
        return hint(hints, u"minimum size:"_s) != hint(hints, u"maximum size:"_s);
    };
    QTRY_VERIFY2(resizable(normalHints(window.id)), qPrintable(normalHints(window.id)));
    settle();
    shoot(u"editor"_s);
    QVERIFY(!readingPanel()); // no panel left over
    // The arrows are the editor's again.
    QVERIFY(clickAt({300, 430}));
    QVERIFY(xdotool({u"key"_s, u"ctrl+a"_s}));
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"ab"_s}));
    QVERIFY(xdotool({u"key"_s, u"Left"_s}));
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"X"_s}));
    settle();
    shoot(u"editor-typed"_s);
    QTRY_COMPARE_WITH_TIMEOUT(jsonStringList(brivel.autosave(), u"pages"_s).value(0), u"aXb"_s,
                              5000);
    QCOMPARE(mainWindow()->geometry.size(), window.geometry.size());

    ::kill(pid_t(brivel.process().processId()), SIGTERM);
    QVERIFY(brivel.process().waitForFinished(10000));

    // A relaunch opens the editor: resizable from the start.
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    const QString relaunched = mainWindow()->id;
    QTRY_VERIFY2(resizable(normalHints(relaunched)), qPrintable(normalHints(relaunched)));
    settle();
    screenshot(u"onboarding-relaunch.png"_s);
}

// Ended by SIGTERM while the language choice's step change is pending: a clean exit, the
// language kept, the onboarding not marked done.
void TestOnboardingX11::endedMidFlow()
{
    BrivelProcess brivel;
    const QString conf = brivel.path(u"config/Brivel/Brivel.conf"_s);
    QFile::remove(conf);
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    m_content = clientArea(mainWindow()->id);
    m_content.setTop(m_content.bottom() - 559);
    std::optional<QPoint> begin;
    QTRY_VERIFY((begin = tealButton(content())).has_value());
    const QImage welcome = content();
    QVERIFY(clickAt(*begin));
    QTRY_VERIFY(content() != welcome);
    QVERIFY(clickAt({540, 330})); // English
    // The choice is stored at once; the step changes a moment later.
    QTRY_COMPARE(QSettings(conf, QSettings::IniFormat).value(u"appLanguage"_s).toString(), u"en"_s);
    ::kill(pid_t(brivel.process().processId()), SIGTERM);
    QVERIFY(brivel.process().waitForFinished(10000));
    QCOMPARE(brivel.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(brivel.process().exitCode(), 0);
    const QSettings settings(conf, QSettings::IniFormat);
    QCOMPARE(settings.value(u"appLanguage"_s).toString(), u"en"_s);
    QVERIFY(!settings.value(u"hasCompletedOnboarding"_s).toBool());
}

BRIVEL_XVFB_TEST_MAIN(TestOnboardingX11, true)
#include "tst_onboarding_x11.moc"
