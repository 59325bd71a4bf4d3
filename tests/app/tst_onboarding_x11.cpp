#include "common/brivelwindows.h"

#include <QFile>
#include <QImage>
#include <QSettings>

#include <csignal>
#include <optional>

using namespace Qt::StringLiterals;
using namespace TestSupport;

namespace {

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
// language, the intro pages forth and back, English, the celebration and the editor after it.
class TestOnboardingX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstLaunchWalk();
    void endedMidFlow();

private:
    QRect m_content;
    int m_shot = 0;

    QImage content() { return grab(m_content); }
    void shoot(const QString &name)
    {
        grab(m_content).save(u"onboarding-%1-%2.png"_s.arg(++m_shot, 2, 10, QChar(u'0')).arg(name));
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
    BrivelProcess brivel;
    const QString conf = brivel.path(u"config/Brivel/Brivel.conf"_s);
    QFile::remove(conf); // a fresh home
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    const ShownWindow window = *mainWindow();
    QCOMPARE(window.geometry.width(), 720);
    m_content = clientArea(window.id);
    m_content.setTop(m_content.bottom() - 559); // below the menu bar
    const QString hints = normalHints(window.id);
    QVERIFY2(!hint(hints, u"minimum size:"_s).isEmpty(), qPrintable(hints));
    QCOMPARE(hint(hints, u"minimum size:"_s), hint(hints, u"maximum size:"_s));
    QVERIFY(hint(hints, u"minimum size:"_s).startsWith(u"720 by "_s));
    settle();
    shoot(u"welcome"_s);

    const std::optional<QPoint> begin = tealButton(content());
    QVERIFY(begin);
    QVERIFY(clickAt(*begin));
    settle();
    shoot(u"language"_s);
    QVERIFY(clickAt({180, 330})); // Español
    settle();
    shoot(u"page0"_s);
    const QRect hero(0, 0, 720, 300);
    const QImage heroBefore = content().copy(hero);
    settle(500);
    shoot(u"page0-later"_s);
    QVERIFY2(differingShare(heroBefore, content().copy(hero)) > 0.001, "the hero stands still");
    const QRect text(0, 320, 720, 120);
    const QImage spanishTitle = content().copy(text);

    const QPoint next(660, 505);
    const QPoint back(32, 32);
    QVERIFY(clickAt(next));
    settle();
    shoot(u"page1"_s);
    QVERIFY(clickAt(next));
    settle();
    shoot(u"page2"_s);
    QVERIFY(clickAt(back));
    settle(300);
    QVERIFY(clickAt(back));
    settle();
    shoot(u"page0-again"_s);
    QVERIFY(clickAt(back));
    settle();
    shoot(u"language-again"_s);
    QVERIFY(clickAt({540, 330})); // English
    settle();
    shoot(u"page0-english"_s);
    QVERIFY2(differingShare(spanishTitle, content().copy(text)) > 0.01, "the text stayed Spanish");
    QVERIFY(clickAt(next));
    settle(300);
    QVERIFY(clickAt(next));
    settle();
    shoot(u"page2-english"_s);
    QVERIFY(clickAt(next)); // "Empezar"
    settle(1800);
    shoot(u"celebration"_s);

    // The reading shortcut does nothing meanwhile.
    QVERIFY(xdotool({u"key"_s, u"ctrl+Return"_s}));
    settle(500);
    QVERIFY(!readingPanel().has_value());

    const std::optional<QPoint> start = tealButton(content().copy(0, 280, 720, 280));
    QVERIFY(start);
    QVERIFY(clickAt(*start + QPoint(0, 280)));
    QTRY_VERIFY_WITH_TIMEOUT(
        QSettings(conf, QSettings::IniFormat).value(u"hasCompletedOnboarding"_s).toBool(), 5000);
    settle();
    shoot(u"editor"_s);
    const QString after = normalHints(window.id);
    QVERIFY2(hint(after, u"minimum size:"_s) != hint(after, u"maximum size:"_s), qPrintable(after));
    QCOMPARE(mainWindow()->geometry.size(), window.geometry.size());

    ::kill(pid_t(brivel.process().processId()), SIGTERM);
    QVERIFY(brivel.process().waitForFinished(10000));

    // A relaunch opens the editor: resizable from the start.
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    settle();
    const QString relaunched = normalHints(mainWindow()->id);
    QVERIFY2(hint(relaunched, u"minimum size:"_s) != hint(relaunched, u"maximum size:"_s),
             qPrintable(relaunched));
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
    settle();
    const std::optional<QPoint> begin = tealButton(content());
    QVERIFY(begin);
    QVERIFY(clickAt(*begin));
    settle();
    QVERIFY(clickAt({540, 330})); // English
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
