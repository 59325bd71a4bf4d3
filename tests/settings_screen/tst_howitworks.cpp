#include "common/fakecaptureshield.h"
#include "common/rendering.h"

#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings_screen/hiwdemoview.h"
#include "settings_screen/hiwphaseplayer.h"
#include "settings_screen/howitworkstabview.h"
#include "uikit/icons.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// The tab on a clock the test sets.
struct Tab
{
    qint64 now = 0;
    std::optional<bool> reduceMotion = false;
    FakeCaptureShield shield{false};
    QWidget window;
    HowItWorksTabView *view = nullptr;

    explicit Tab(int width = 700)
    {
        HiwEnvironment environment;
        environment.clock = [this] { return now; };
        environment.reduceMotion = [this] { return reduceMotion; };
        environment.captureShield = &shield;
        view = new HowItWorksTabView(environment, &window);
        window.resize(width, 500);
        view->resize(window.size());
    }
    void at(double seconds)
    {
        now = qint64(seconds * 1000);
        view->demo()->tick();
    }
};

int activeTimers(const QObject &owner)
{
    int active = 0;
    for (const QTimer *timer : owner.findChildren<QTimer *>())
        active += timer->isActive();
    return active;
}

// Counts the paints a widget receives.
struct PaintCounter : QObject
{
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

bool isAccent(QRgb pixel)
{
    const QColor teal = accentTeal();
    return qAbs(qRed(pixel) - teal.red()) < 30 && qAbs(qGreen(pixel) - teal.green()) < 30
           && qAbs(qBlue(pixel) - teal.blue()) < 30;
}

} // namespace

class TestHowItWorks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { NotchSettings::shared().setAppLanguage(u"es"_qs); }

    void timelines()
    {
        const struct
        {
            HiwTab tab;
            int phases;
            double cycleMs;
        } expected[]
            = {{HiwTab::arrows, 9, 9600}, {HiwTab::invisible, 7, 8240}, {HiwTab::notes, 7, 8540}};
        for (const auto &e : expected) {
            const QList<HiwPhase> &phases = hiwDemoPhases(e.tab);
            QCOMPARE(phases.size(), e.phases);
            double cycle = 0;
            for (const HiwPhase &phase : phases)
                cycle += phase.ms;
            QCOMPARE(cycle, e.cycleMs);
            QCOMPARE(hiwTabFromRawValue(hiwTabRawValue(e.tab)), e.tab);
        }
        QVERIFY(!hiwTabFromRawValue(u"Arrows"_qs).has_value());
        // Ripples come with the clicks only.
        for (const HiwPhase &phase : hiwDemoPhases(HiwTab::invisible))
            QCOMPARE(phase.press, &phase == &hiwDemoPhases(HiwTab::invisible)[2]
                                      || &phase == &hiwDemoPhases(HiwTab::invisible)[4]);
    }

    void playerFollowsTheClock()
    {
        qint64 now = 5000;
        HiwPhasePlayer player(hiwDemoPhases(HiwTab::arrows), [&now] { return now; });
        QSignalSpy changes(&player, &HiwPhasePlayer::phaseChanged);
        player.start();
        QCOMPARE(player.idx(), 0);
        QVERIFY(!player.entering().has_value()); // the first phase comes without animation
        now = 5999;
        player.sync();
        QCOMPARE(player.idx(), 0);
        now = 6000;
        player.sync();
        QCOMPARE(player.idx(), 1);
        // A slow phase is entered linearly over its whole time, others with a short ease.
        QCOMPARE(player.entering()->curve, AnimationTiming::Curve::linear);
        QCOMPARE(player.entering()->totalSeconds(), 1.9);
        now = 5000 + 9600 + 10;
        player.sync();
        QCOMPARE(player.idx(), 0);
        QCOMPARE(player.previousIdx(), 8);
        QCOMPARE(player.entering()->curve, AnimationTiming::Curve::easeInOut);
        QCOMPARE(player.entering()->totalSeconds(), 0.3);
        QCOMPARE(player.enteredAtMs(), 5000 + 9600);
        // A machine that slept an hour lands in the phase of the moment, in one step.
        changes.clear();
        now = 5000 + 9600 * 376 + 1500;
        player.sync();
        QCOMPARE(player.idx(), 1);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(player.enteredAtMs(), 5000 + 9600 * 376 + 1000);
        // Stopped, it never moves again.
        player.stop();
        now += 20000;
        player.sync();
        QCOMPARE(player.idx(), 1);
    }

    void stageSizes_data()
    {
        QTest::addColumn<int>("offered");
        QTest::addColumn<double>("stageWidth");
        QTest::newRow("0") << 0 << 280.0;
        QTest::newRow("279") << 279 << 280.0;
        QTest::newRow("280") << 280 << 280.0;
        QTest::newRow("300") << 300 << 280.0;
        QTest::newRow("400") << 400 << 348.0;
        QTest::newRow("520") << 520 << 468.0;
        QTest::newRow("700") << 700 << 520.0;
        QTest::newRow("5000") << 5000 << 520.0;
    }
    void stageSizes()
    {
        QFETCH(int, offered);
        QFETCH(double, stageWidth);
        Tab t(offered);
        t.window.show();
        QCOMPARE(HowItWorksTabView::stageWidthFor(offered), stageWidth);
        QCOMPARE(t.view->demo()->size(), QSize(qRound(stageWidth), qRound(stageWidth / 520 * 240)));
        QCOMPARE(t.view->selector()->width(), qRound(stageWidth));
        // Each demo at its busiest paints inside its stage and nowhere else.
        for (HiwTab tab : allHiwTabs()) {
            t.view->setTab(tab);
            t.at(t.now / 1000.0 + 3.5);
            QImage image = TestSupport::transparentImage(t.view->demo()->width() + 200, 400);
            QPainter painter(&image);
            painter.translate(100, 100);
            t.view->demo()->paintStage(painter);
            painter.end();
            QVERIFY(QRect(100, 100, t.view->demo()->width(), t.view->demo()->height())
                        .contains(TestSupport::inkBounds(image)));
        }
    }

    void chosenMoments()
    {
        Tab t;
        t.window.show();
        HiwDemoView *demo = t.view->demo();
        const QPoint downKey(434, 205); // inside the ↓ cap at scale 1, left of its glyph
        t.at(0.5);
        QVERIFY(!isAccent(demo->grab().toImage().pixel(downKey)));
        t.at(2.0);
        const QImage spanish = demo->grab().toImage();
        QVERIFY(isAccent(spanish.pixel(downKey)));
        // A change of language mid-demo reaches the caption at once and stops nothing.
        NotchSettings::shared().setAppLanguage(u"en"_qs);
        QVERIFY(demo->grab().toImage() != spanish);
        QCOMPARE(demo->idx(), 1);

        t.view->setTab(HiwTab::invisible); // starts at 2.0 s
        const QPoint pillEdge(262, 29);    // inside the pill, above its text
        t.at(2.0 + 0.6);
        QVERIFY(!isAccent(t.view->demo()->grab().toImage().pixel(pillEdge)));
        t.at(2.0 + 3.5);
        QVERIFY(isAccent(t.view->demo()->grab().toImage().pixel(pillEdge)));
    }

    void framesOnlyWhileMoving()
    {
        Tab t;
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        PaintCounter counter;
        HiwDemoView *demo = t.view->demo();
        demo->installEventFilter(&counter);
        // Scrolling in phase 1: frames come.
        t.at(1.5);
        QVERIFY(demo->isMoving());
        QTest::qWait(100);
        QVERIFY(counter.paints > 1);
        // Held in phase 2 once the caption and key have settled: no frame at all.
        t.at(3.3);
        QVERIFY(!demo->isMoving());
        QCoreApplication::processEvents();
        counter.paints = 0;
        QTest::qWait(200);
        QCOMPARE(counter.paints, 0);
        QCOMPARE(activeTimers(*demo), 1); // the phase timer alone
    }

    void hiddenDemosStop()
    {
        Tab t;
        t.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.window));
        t.at(1.5);
        QPointer<HiwDemoView> arrows = t.view->demo();
        // Another demo: the old one goes with its timers.
        t.view->setTab(HiwTab::notes);
        QVERIFY(arrows.isNull());
        QCOMPARE(t.view->findChildren<HiwDemoView *>().size(), 1);
        // Hidden mid-sleep, by the window or by the settings' other tab.
        const auto hideAndWait = [&t](const std::function<void()> &hide) {
            t.at(t.now / 1000.0 + 0.5);
            const int idx = t.view->demo()->idx();
            hide();
            QCOMPARE(activeTimers(*t.view->demo()), 0);
            t.now += 60000;
            QTest::qWait(50);
            t.view->demo()->tick();
            QCOMPARE(t.view->demo()->idx(), idx);
            QCOMPARE(activeTimers(*t.view->demo()), 0);
        };
        hideAndWait([&t] { t.window.hide(); });
        // Shown again, it starts over.
        t.window.show();
        QCOMPARE(t.view->demo()->idx(), 0);
        QVERIFY(activeTimers(*t.view->demo()) > 0);
        hideAndWait([&t] { t.view->hide(); });
        // Closing the settings takes the tab, its demo and the demo's timers with it.
        QPointer<HiwDemoView> last = t.view->demo();
        delete t.view;
        QVERIFY(last.isNull());
    }

    void reducedMotion()
    {
        Tab t;
        t.reduceMotion = true;
        t.window.show();
        for (HiwTab tab : allHiwTabs()) {
            t.view->setTab(tab);
            QCOMPARE(t.view->demo()->idx(), hiwStillPhase(tab));
            t.at(t.now / 1000.0 + 1);
            QCOMPARE(t.view->demo()->idx(), hiwStillPhase(tab));
            QCOMPARE(activeTimers(*t.view->demo()), 0);
        }
        // A desktop that never answers leaves the motion on.
        t.reduceMotion.reset();
        t.view->setTab(HiwTab::arrows);
        QCOMPARE(t.view->demo()->idx(), 0);
        t.at(t.now / 1000.0 + 1.2);
        QCOMPARE(t.view->demo()->idx(), 1);
    }

    void selector()
    {
        Tab t;
        t.window.show();
        QWidget *selector = t.view->selector();
        const auto click = [selector](int segment) {
            QTest::mouseClick(
                selector, Qt::LeftButton, {},
                QPoint(selector->width() * (2 * segment + 1) / 6, selector->height() / 2));
        };
        t.at(1.5);
        HiwDemoView *arrows = t.view->demo();
        click(0); // the demo shown: nothing restarts
        QCOMPARE(t.view->demo(), arrows);
        QCOMPARE(arrows->idx(), 1);
        for (int i = 0; i < 10; ++i)
            click(i % 3);
        QCOMPARE(t.view->tab(), HiwTab::arrows);
        QCOMPARE(t.view->findChildren<HiwDemoView *>().size(), 1);
        QCOMPARE(t.view->demo()->idx(), 0);
        click(2);
        QCOMPARE(t.view->tab(), HiwTab::notes);
    }

    void textsFollowLanguageAndPlatform()
    {
        const HiwPhase &scrolling = hiwDemoPhases(HiwTab::arrows)[1];
        QCOMPARE(scrolling.caption(), u"Mantené ↓ para scrollear"_qs);
        NotchSettings::shared().setAppLanguage(u"en"_qs);
        QCOMPARE(scrolling.caption(), u"Hold ↓ to scroll"_qs);

        const FakeCaptureShield hides(true), cannot(false);
        for (const QString &language : {u"es"_qs, u"en"_qs}) {
            NotchSettings::shared().setAppLanguage(language);
            const QString promise = localizedString("Los demás no van a ver esta ventana cuando "
                                                    "esté invisible.");
            QVERIFY(hiwInvisibleBody(hides).contains(promise));
            QVERIFY(!hiwInvisibleBody(cannot).contains(promise));
            QVERIFY(hiwInvisibleBody(cannot).endsWith(localizedString(
                "En este sistema, la ventana sigue visible al compartir pantalla.")));
            const QString hidden = localizedString(
                "Brivel es visible solo para vos, pero oculto para los demás al compartir "
                "pantalla.");
            QVERIFY(hiwArrowsFirstNote(hides).contains(hidden));
            QVERIFY(!hiwArrowsFirstNote(cannot).contains(hidden));
            QVERIFY(hiwTabCaption(HiwTab::invisible, hides)
                    != hiwTabCaption(HiwTab::invisible, cannot));
        }
        QVERIFY(hiwTabCaption(HiwTab::invisible, cannot).contains(u"stays visible"_qs));
    }

    void everyGlyphIsDrawn()
    {
        QImage image = TestSupport::transparentImage(20, 20);
        QPainter painter(&image);
        for (const char *name :
             {"eye", "eye.slash", "doc.text", "chevron.right", "xmark", "cursorarrow", "arrow.up",
              "arrow.down", "arrow.left", "arrow.right"}) {
            QVERIFY2(Icons::paint(&painter, QString::fromLatin1(name), QRectF(0, 0, 20, 20),
                                  Qt::white, 15),
                     name);
        }
    }
};

QTEST_MAIN(TestHowItWorks)

#include "tst_howitworks.moc"
