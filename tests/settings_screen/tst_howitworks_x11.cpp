#include "common/xvfb.h"

#include "settings/notchsettings.h"
#include "settings_screen/hiwdemoview.h"
#include "settings_screen/howitworkstabview.h"

#include <QDir>
#include <QPalette>
#include <QScreen>
#include <QTest>

// The how-it-works tab on a real X server, as the user sees it: screenshots at the chosen
// moments of each demo (kept in BRIVEL_SCREENSHOT_DIR when it is set), and one run on the
// real clock.
class TestHowItWorksX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { NotchSettings::shared().setAppLanguage(u"es"_qs); }
    void moments_data();
    void moments();
    void realClockMoves();
};

namespace {

struct Window
{
    qint64 now = 0;
    QWidget frame;
    HowItWorksTabView *view = nullptr;

    Window(int offeredWidth, bool reduceMotion)
    {
        HiwEnvironment environment;
        environment.clock = [this] { return now; };
        environment.reduceMotion = [reduceMotion] { return std::optional<bool>(reduceMotion); };
        frame.setAutoFillBackground(true);
        QPalette palette = frame.palette();
        palette.setColor(QPalette::Window, QColor(28, 29, 31));
        frame.setPalette(palette);
        frame.setGeometry(40, 40, offeredWidth, 470);
        view = new HowItWorksTabView(environment, &frame);
        view->setGeometry(frame.rect());
    }
};

// What the X server shows of the window, once it holds the window's latest painting.
QImage screen(QWidget &frame)
{
    QCoreApplication::processEvents();
    frame.repaint();
    const QRect client = frame.geometry();
    return frame.screen()
        ->grabWindow(0, client.x(), client.y(), client.width(), client.height())
        .toImage();
}

double differingShare(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 1;
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    }
    return double(differing) / (a.width() * a.height());
}

} // namespace

void TestHowItWorksX11::moments_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("reduceMotion");
    QTest::newRow("700-es") << 700 << u"es"_qs << false;
    QTest::newRow("300-es") << 300 << u"es"_qs << false;
    QTest::newRow("700-en") << 700 << u"en"_qs << false;
    QTest::newRow("700-es-still") << 700 << u"es"_qs << true;
}

void TestHowItWorksX11::moments()
{
    QFETCH(int, width);
    QFETCH(QString, language);
    QFETCH(bool, reduceMotion);
    NotchSettings::shared().setAppLanguage(language);
    Window w(width, reduceMotion);
    w.frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.frame));

    const QString dir = qEnvironmentVariable("BRIVEL_SCREENSHOT_DIR");
    const struct
    {
        HiwTab tab;
        QList<double> seconds;
    } plan[] = {{HiwTab::arrows, {0.5, 2.0, 3.2, 6.2, 8.5}},
                {HiwTab::invisible, {0.6, 2.2, 3.5, 6.5}},
                {HiwTab::notes, {2.3, 3.8, 6.5}}};
    for (const auto &demo : plan) {
        // Each demo starts when it comes on screen: the arrows demo with the window.
        if (demo.tab != HiwTab::arrows)
            w.view->setTab(demo.tab);
        const qint64 start = demo.tab == HiwTab::arrows ? 0 : w.now;
        QCOMPARE(w.view->demo()->tab(), demo.tab);
        QImage previous;
        const QList<double> seconds = reduceMotion ? QList<double>{1.0} : demo.seconds;
        for (double s : seconds) {
            w.now = start + qint64(s * 1000);
            w.view->demo()->tick();
            const QImage shot = screen(w.frame);
            QVERIFY(!shot.isNull());
            // Every listed moment shows a different picture.
            QVERIFY2(previous.isNull() || differingShare(previous, shot) > 0.001,
                     qPrintable(u"no change at %1 s"_qs.arg(s)));
            previous = shot;
            if (!dir.isEmpty()) {
                shot.save(dir
                          + u"/hiw-%1-%2-%3.png"_qs
                                .arg(QString::fromLatin1(QTest::currentDataTag()),
                                     hiwTabRawValue(demo.tab))
                                .arg(s, 0, 'f', 1));
            }
        }
        if (reduceMotion)
            QCOMPARE(w.view->demo()->idx(), hiwStillPhase(demo.tab));
    }
}

void TestHowItWorksX11::realClockMoves()
{
    QWidget frame;
    frame.setGeometry(40, 40, 700, 470);
    auto *view = new HowItWorksTabView({}, &frame);
    view->setGeometry(frame.rect());
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    // Arrows phase 1 scrolls the text from 1.0 s to 2.9 s after the start.
    QTRY_COMPARE(view->demo()->idx(), 1);
    const QImage first = screen(frame);
    QTRY_VERIFY(differingShare(first, screen(frame)) > 0.001);
}

BRIVEL_XVFB_TEST_MAIN(TestHowItWorksX11, true)

#include "tst_howitworks_x11.moc"
