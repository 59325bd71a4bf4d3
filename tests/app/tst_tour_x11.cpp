#include "common/brivelwindows.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace TestSupport;

namespace {

// The screen's pixels straight from the server: quick enough to time a half second.
double meanGray(const QRect &area)
{
    const QImage image = QGuiApplication::primaryScreen()
                             ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                             .toImage();
    if (image.isNull())
        return 0;
    qint64 sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            sum += qGray(image.pixel(x, y));
    }
    return double(sum) / (qint64(image.width()) * image.height());
}

// The main window's content on the screen, as the server places it (xdotool's geometry counts
// the window manager's frame twice).
QRect mainWindowContent()
{
    const std::optional<ShownWindow> window = mainWindow();
    return window ? clientArea(window->id) : QRect();
}

constexpr int tourShownWithinMs = 3000;

bool click(const QPoint &at)
{
    return xdotool({u"mousemove"_s, QString::number(at.x()), QString::number(at.y())})
           && xdotool({u"click"_s, u"1"_s});
}

} // namespace

// The first-run tour and the About sheet of the real program on a real X server: a home past
// the onboarding but not the tour.
class TestTour : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tourRunsOnceAndEndsReading();
};

void TestTour::tourRunsOnceAndEndsReading()
{
    BrivelProcess brivel;
    const QString config = brivel.path(u"config/Brivel/Brivel.conf"_s);
    {
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[General]\nhasCompletedOnboarding=true\nappLanguage=es\n");
    }
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    QElapsedTimer sinceShown;
    sinceShown.start();
    const QRect window = mainWindowContent();
    // The page chevrons in the toolbar, under the menu bar: dark under the scrim of every step.
    const QRect toolbar(window.x() + 8, window.y() + 30, 60, 30);
    const QRect text(window.x() + 100, window.y() + 150, window.width() - 200, 150);
    const double bright = meanGray(toolbar);
    grab().save(u"tour-0-editor.png"_s);
    // Within the time a loaded machine takes to show it, but not before its half second.
    QTRY_VERIFY_WITH_TIMEOUT(meanGray(toolbar) < bright * 0.8, tourShownWithinMs);
    const qint64 appeared = sinceShown.elapsed();
    qInfo("the tour appeared %lld ms after the editor", appeared);
    QVERIFY2(appeared >= 250, "the tour did not wait its half second");

    // The script: the text stays clear, the rest darkens. A click on the dark area advances.
    QVERIFY(settled(window));
    grab().save(u"tour-1-script.png"_s);
    const double clearText = meanGray(text);
    QVERIFY(click(toolbar.center()));
    QTRY_VERIFY2_WITH_TIMEOUT(meanGray(text) < clearText * 0.8, "the script did not darken", 3000);
    QVERIFY(settled(window));
    grab().save(u"tour-2-settings.png"_s);
    const QImage settingsStep = grab(window);
    QVERIFY(click(QPoint(window.x() + 20, window.bottom() - 20)));
    QTRY_VERIFY2_WITH_TIMEOUT(differingShare(settingsStep, grab(window)) > 0.01,
                              "the tour did not advance", 3000);
    QVERIFY(settled(window));
    grab().save(u"tour-3-play.png"_s);

    // "Iniciar" holds the keys: Return presses it, and reading starts 0.3 s later.
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    QElapsedTimer sinceStart;
    sinceStart.start();
    QTRY_VERIFY_WITH_TIMEOUT(readingPanel().has_value(), 5000);
    qInfo("reading started %lld ms after Iniciar", sinceStart.elapsed());
    QVERIFY2(sinceStart.elapsed() >= 250, "reading started before 0.3 s");
    QVERIFY(settled(readingPanel()->geometry));
    grab().save(u"tour-4-reading.png"_s);
    ::kill(pid_t(brivel.process().processId()), SIGTERM);
    QVERIFY(brivel.process().waitForFinished(10000));
    {
        QFile file(config);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("hasCompletedCoachMarks=true"));
    }

    // A relaunch shows no tour.
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    const QRect again = mainWindowContent();
    QVERIFY(settled(again));
    // The first run's tour darkened the toolbar within that time of the editor.
    const QRect againToolbar = toolbar.translated(again.topLeft() - window.topLeft());
    QVERIFY2(
        !QTest::qWaitFor([&] { return meanGray(againToolbar) < bright * 0.9; }, tourShownWithinMs),
        "the tour showed again");
    grab().save(u"tour-5-relaunch.png"_s);

    // About from the application menu, closed with Esc.
    const QRect menu(again.topLeft() + QPoint(8, 24), QSize(120, 40));
    const QImage menuClosed = grab(menu);
    QVERIFY(click(again.topLeft() + QPoint(24, 10)));
    QTRY_VERIFY_WITH_TIMEOUT(differingShare(menuClosed, grab(menu)) > 0.05, 3000);
    QVERIFY(xdotool({u"key"_s, u"Down"_s}));
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    const auto about = [] {
        for (const ShownWindow &shown : shownWindows()) {
            if (shown.name == u"Acerca de Brivel"_s)
                return std::optional<ShownWindow>(shown);
        }
        return std::optional<ShownWindow>();
    };
    QTRY_VERIFY_WITH_TIMEOUT(about().has_value(), 5000);
    QCOMPARE(about()->geometry.width(), 320);
    QVERIFY(settled(about()->geometry));
    grab().save(u"tour-6-about.png"_s);
    QVERIFY(xdotool({u"key"_s, u"Escape"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(!about().has_value(), 5000);
    QVERIFY(mainWindow().has_value());
}

BRIVEL_XVFB_TEST_MAIN(TestTour, true)

#include "tst_tour_x11.moc"
