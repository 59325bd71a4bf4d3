#include "common/fakecaptureshield.h"
#include "common/overlayfakes.h"
#include "common/rendering.h"
#include "onboarding/herovideoview.h"
#include "onboarding/onboardingvisuals.h"
#include "onboarding/onboardingwidget.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings_screen/settingsfakes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using Step = OnboardingFlow::Step;

namespace {

// Counts what it is told and plays a coloured frame on demand.
class FakePlayer : public HeroPlayer
{
public:
    explicit FakePlayer(QList<FakePlayer *> *alive)
        : m_alive(alive)
    {
        alive->append(this);
    }
    ~FakePlayer() override { m_alive->removeOne(this); }

    void play() override { ++plays, playing = true; }
    void restart() override { ++restarts, playing = true; }
    void stop() override { ++stops, playing = false; }
    bool isPlaying() const override { return playing; }
    void emitFrame(const QColor &color, const QSize &size = {72, 30})
    {
        if (!wantsFrames())
            return;
        QImage frame(size, QImage::Format_RGB32);
        frame.fill(color);
        Q_EMIT frameReady(frame);
    }

    int plays = 0;
    int restarts = 0;
    int stops = 0;
    bool playing = false;

private:
    QList<FakePlayer *> *m_alive;
};

struct Fixture
{
    explicit Fixture(bool shieldSupported = true, const QString &language = u"es"_s)
        : shield(shieldSupported)
    {
        settings.setAppLanguage(language);
        screens.m_screens = {{u"main"_s, QRect(0, 0, 1920, 1080), QRect(0, 30, 1920, 1050), 1}};
        OnboardingWidget::Options options;
        options.captureShield = &shield;
        options.screens = &screens;
        window.m_screen = screens.m_screens.first();
        options.window = &window;
        options.playerFactory = [this](const QString &name) -> std::unique_ptr<HeroPlayer> {
            names.append(name);
            return std::make_unique<FakePlayer>(&players);
        };
        widget = std::make_unique<OnboardingWidget>(
            settings, [this] { ++completions; }, options);
        widget->resize(720, 560);
        widget->show();
    }

    void toCarousel(const QString &code = u"es"_s)
    {
        click("beginButton");
        click(qPrintable(u"language_" + code));
        QTRY_COMPARE(widget->flow().step(), Step::introCarousel);
    }

    void click(const char *name)
    {
        auto *button = widget->findChild<QAbstractButton *>(QString::fromLatin1(name));
        QVERIFY2(button, name);
        button->click();
    }

    QString pageTitle() const
    {
        const QList<QLabel *> titles
            = widget->page(Step::introCarousel)->findChildren<QLabel *>(u"pageTitle"_s);
        return titles.isEmpty() ? QString() : titles.last()->text();
    }

    NotchSettings &settings = NotchSettings::shared();
    FakeCaptureShield shield;
    FakeScreens screens;
    FakeSettingsWindow window;
    QList<FakePlayer *> players;
    QStringList names;
    int completions = 0;
    std::unique_ptr<OnboardingWidget> widget;
};

} // namespace

class TestOnboardingWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { Motion::overrideReduceMotion(std::nullopt); }

    // The first run on screen: the language switches the texts at once, the first clip is
    // preloaded by the choice and only started by its page, each page's clip starts again when
    // the page becomes current, and "Empezar" twice completes once, 0.45 s later.
    void walkThroughTheFlow()
    {
        Fixture f;
        QVERIFY(f.widget->page(Step::welcome)->isVisible());
        QVERIFY(f.players.isEmpty());
        f.click("beginButton");
        QTRY_VERIFY(!f.widget->page(Step::welcome)->isVisible());
        f.click("language_en");
        QCOMPARE(f.names, QStringList{u"Screen 3 Onboarding"_s});
        FakePlayer *preloaded = f.players.value(0);
        QCOMPARE(preloaded->restarts, 1);
        QTRY_COMPARE(f.widget->flow().step(), Step::introCarousel);
        QCOMPARE(f.names, (QStringList{u"Screen 3 Onboarding"_s, u"Screen 2 Onboarding"_s,
                                       u"Screen 4 Onboarding"_s}));
        QCOMPARE(f.players.size(), 3);
        QCOMPARE(preloaded->plays, 1);
        QCOMPARE(f.pageTitle(), localizedString("Leé mirando a cámara"));
        QVERIFY(f.pageTitle().startsWith(u"Read"_s));

        f.click("continueButton");
        QCOMPARE(f.players.at(1)->restarts, 2); // its start, then becoming current
        QCOMPARE(preloaded->restarts, 1);       // a page that is left plays on
        f.click("continueButton");
        QCOMPARE(f.widget->flow().currentPage(), 2);
        f.click("continueButton");
        QCOMPARE(f.widget->flow().step(), Step::personalize);
        QVERIFY(f.widget->preview().panel());
        f.click("personalizeContinue");
        QVERIFY(!f.widget->preview().panel());
        // The tutorial: "Continuar" waits for the four arrows, which the page catches.
        QVERIFY(f.widget->tutorialNotch().panel());
        f.click("tutorialContinue");
        QCOMPARE(f.widget->flow().step(), Step::tutorial);
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Up, Qt::Key_Left})
            QTest::keyClick(f.widget.get(), key);
        f.click("tutorialContinue");
        QCOMPARE(f.widget->flow().step(), Step::invisibility);
        QVERIFY(f.widget->tutorialNotch().panel()->isInteractive());
        f.widget->tutorialNotch().model().toggleInvisibleDemo();
        QVERIFY(!f.widget->findChild<QAbstractButton *>(u"invisibilitySkip"_s)->isVisible());
        f.click("invisibilityContinue");
        QVERIFY(!f.widget->tutorialNotch().panel());
        QVERIFY(!f.widget->tutorialNotch().model().isInvisibleDemo());
        QCOMPARE(f.widget->flow().step(), Step::celebration);
        QVERIFY(std::all_of(f.players.cbegin(), f.players.cend(),
                            [](FakePlayer *p) { return !p->playing; }));
        QCOMPARE(f.players.size(), 1); // the page's own players are released

        f.click("startButton");
        f.click("startButton");
        QCOMPARE(f.completions, 0);
        QTRY_COMPARE(f.completions, 1);
        QTest::qWait(500);
        QCOMPARE(f.completions, 1);
        f.widget.reset();
        QVERIFY(f.players.isEmpty());
        f.settings.setAppLanguage(u"es"_s);
    }

    // Where windows cannot be kept out of captures, the last page and the celebration's
    // summary say what is true.
    void lastPageTellsTheTruth()
    {
        for (const bool supported : {true, false}) {
            Fixture f(supported);
            f.toCarousel();
            f.click("continueButton");
            f.click("continueButton");
            QCOMPARE(f.pageTitle(),
                     supported ? u"Invisible al compartir pantalla"_s : u"Siempre a la vista"_s);
            QStringList chips;
            for (const QWidget *child :
                 f.widget->page(Step::celebration)->findChildren<QWidget *>())
                chips << child->accessibleName();
            QCOMPARE(chips.contains(u"INVISIBILIDAD: Probada"_s), supported);
            QCOMPARE(chips.contains(u"OJO DEL NOTCH: Probado"_s), !supported);
        }
    }

    // The page's title spans the page and its text the page up to 440, on every page and after
    // every road into the carousel: the language already chosen, another one, back from the
    // tutorial, a resize.
    void carouselTextSpansThePage()
    {
        Fixture f;
        QWidget *carousel = f.widget->page(Step::introCarousel);
        const auto checkEveryPage = [&f, carousel](const char *road) {
            const auto label = [carousel](const QString &name) {
                return carousel->findChildren<QLabel *>(name).last();
            };
            for (int page = 0; page < 3; ++page) {
                const QByteArray where = road + QByteArray(", page ") + QByteArray::number(page);
                QCOMPARE(f.widget->flow().currentPage(), page);
                QVERIFY2(label(u"pageTitle"_s)->width() == carousel->width() - 48, where);
                QVERIFY2(label(u"pageText"_s)->width() == std::min(440, carousel->width() - 48),
                         where);
                if (page < 2)
                    f.click("continueButton");
            }
            f.click("backButton");
            f.click("backButton");
        };
        f.toCarousel(u"es"_s);
        checkEveryPage("the language already chosen");
        f.widget->flow().backPressed();
        f.click("language_en");
        QTRY_COMPARE(f.widget->flow().step(), Step::introCarousel);
        checkEveryPage("another language");
        f.widget->resize(900, 600);
        checkEveryPage("a resize");
        for (int i = 0; i < 3; ++i)
            f.click("continueButton");
        f.widget->flow().showTutorialStep();
        f.widget->flow().tutorialBack();
        QCOMPARE(f.widget->flow().step(), Step::introCarousel);
        f.click("backButton");
        f.click("backButton");
        checkEveryPage("back from the tutorial");
        f.settings.setAppLanguage(u"es"_s);
    }

    // Stored languages of every shape: a button is selected by the code's prefix only, and the
    // texts are Spanish where no table exists.
    void storedLanguages()
    {
        const QString longCode(300, u'e');
        const QList<std::tuple<QString, QString, bool>> cases{
            {u"fr"_s, QString(), false},   {QString(), QString(), false},
            {u"es-AR"_s, u"es"_s, false},  {u"en_GB"_s, u"en"_s, false},
            {u"../x"_s, QString(), false}, {longCode, QString(), false},
            {u"en"_s, u"en"_s, true}};
        for (const auto &[code, selected, english] : cases) {
            Fixture f(true, code);
            QCOMPARE(f.widget->findChild<QAbstractButton *>(u"beginButton"_s)->text(),
                     english ? u"Let's begin"_s : u"Comencemos"_s);
            f.click("beginButton");
            for (const QString &language : {u"es"_s, u"en"_s}) {
                auto *button = f.widget->findChild<QAbstractButton *>(u"language_" + language);
                QVERIFY(button);
                QCOMPARE(button->property("selected").toBool(), language == selected);
            }
            // The chooser asks in both languages, as they stand, whatever the stored one.
            QStringList header;
            for (const QLabel *label :
                 f.widget->page(Step::languagePicker)->findChildren<QLabel *>())
                header << label->text();
            QCOMPARE(header, (QStringList{u"Elegí tu idioma"_s, u"Choose your language"_s}));
        }
        NotchSettings::shared().setAppLanguage(u"es"_s);
    }

    // Both language cards have the same fill, the selected one's shadow only around it; each
    // summary chip keeps 12 points between its value and its edge.
    void languageCardsAndSummaryChips()
    {
        Motion::overrideReduceMotion(true);
        Fixture f;
        f.click("beginButton");
        const auto card = [&f](const char *name) {
            return f.widget->findChild<QAbstractButton *>(QString::fromLatin1(name))
                ->grab()
                .toImage();
        };
        const QImage selected = card("language_es");
        const QImage other = card("language_en");
        QCOMPARE(selected.size(), other.size());
        const QPoint onTheFill(5 + 12, selected.height() / 2); // left of the flag
        QCOMPARE(selected.pixelColor(onTheFill), other.pixelColor(onTheFill));
        const QPoint around(2, selected.height() / 2);
        QVERIFY(selected.pixelColor(around).green() > other.pixelColor(around).green());

        f.click("language_es");
        QTRY_COMPARE(f.widget->flow().step(), Step::introCarousel);
        for (int i = 0; i < 3; ++i)
            f.click("continueButton");
        f.widget->flow().showTutorialStep();
        f.widget->flow().finishTutorialStep();
        f.widget->flow().closeInvisibilityStep();
        QCoreApplication::sendPostedEvents();
        const QFontMetricsF value(Fonts::systemFont(12.5, QFont::DemiBold));
        int chips = 0;
        for (const QWidget *chip : f.widget->page(Step::celebration)->findChildren<QWidget *>()) {
            const QString name = chip->accessibleName();
            if (!name.contains(u": "_s))
                continue;
            ++chips;
            const double needed = 12 + 9 + 6 + value.horizontalAdvance(name.section(u": "_s, 1));
            QVERIFY2(chip->width() >= needed + 12, qPrintable(name));
        }
        QCOMPARE(chips, 4);
    }

    // Closing mid-flow, with the language delay or the finishing delay pending: nothing runs
    // later and every player is stopped and gone.
    void destroyedWithDelaysPending()
    {
        for (const bool finishing : {false, true}) {
            Fixture f;
            f.toCarousel();
            if (finishing) {
                for (int i = 0; i < 3; ++i)
                    f.click("continueButton");
                f.widget->flow().showTutorialStep();
                f.widget->flow().finishTutorialStep();
                f.widget->flow().closeInvisibilityStep();
                f.click("startButton");
            } else {
                f.click("backButton");
                f.click("language_es");
            }
            f.widget.reset();
            QVERIFY(f.players.isEmpty());
            QTest::qWait(600);
            QCOMPARE(f.completions, 0);
        }
    }

    // The preview hangs over the top of the window's screen: the window comes down just below
    // its strip and text area, and follows the height chosen on the page.
    void windowKeepsClearOfThePreview()
    {
        Fixture f;
        const double height = f.settings.textAreaHeight();
        f.toCarousel();
        for (int i = 0; i < 3; ++i)
            f.click("continueButton");
        QCOMPARE(f.widget->flow().step(), Step::personalize);
        QCOMPARE(f.window.moves.size(), 1);
        QCOMPARE(f.window.moves.last().to, QPoint(290, 30 + int(height) + 24));
        f.settings.setTextAreaHeight(300);
        QCOMPARE(f.window.moves.last().to, QPoint(290, 30 + 300 + 24));
        f.settings.setTextAreaHeight(height);
    }

    // Destroyed in each practice step: no preview, no tutorial panel, and the arrows are
    // nobody's but the focused widget's again.
    void destroyedInThePracticeSteps()
    {
        for (const Step step : {Step::personalize, Step::tutorial, Step::invisibility}) {
            Fixture f;
            f.toCarousel();
            for (int i = 0; i < 3; ++i)
                f.click("continueButton");
            if (step != Step::personalize)
                f.widget->flow().showTutorialStep();
            if (step == Step::invisibility)
                f.widget->flow().finishTutorialStep();
            QCOMPARE(f.widget->flow().step(), step);
            const auto panels = [] {
                int shown = 0;
                for (QWidget *w : QApplication::topLevelWidgets())
                    shown += w->isVisible() && w->inherits("OverlayPanel");
                return shown;
            };
            QCOMPARE(panels(), 1);
            f.widget.reset();
            QCOMPARE(panels(), 0);
            QLineEdit editor(u"ab"_s);
            editor.show();
            editor.setFocus();
            QTest::keyClick(&editor, Qt::Key_Left);
            QCOMPARE(editor.cursorPosition(), 1);
        }
    }

    // The hero with a fake player: its own player is made and released, a preloaded one only
    // started and stopped; frames are painted top-aligned; 100 playing heroes come and go.
    void heroVideoView()
    {
        QList<FakePlayer *> alive;
        const HeroPlayerFactory factory
            = [&alive](const QString &name) -> std::unique_ptr<HeroPlayer> {
            if (name == u"missing")
                return nullptr;
            return std::make_unique<FakePlayer>(&alive);
        };
        {
            HeroVideoView missing(u"missing"_s, nullptr, factory);
            missing.startPlayback();
            missing.setActive(true);
            QVERIFY(!missing.player());
        }
        FakePlayer preloaded(&alive);
        HeroVideoView view(u"clip"_s, &preloaded, factory);
        view.resize(720, 300);
        view.show();
        view.startPlayback();
        QCOMPARE(view.player(), &preloaded);
        QCOMPARE(preloaded.plays, 1);
        preloaded.emitFrame(Qt::red, {1920, 1080});
        QCOMPARE(view.frame().size(), QSize(1920, 1080));
        QCOMPARE(view.grab().toImage().pixelColor(360, 299), QColor(Qt::red));
        view.setActive(true);
        view.setActive(false);
        QCOMPARE(preloaded.restarts, 1);
        view.stopPlayback();
        QCOMPARE(preloaded.stops, 1);
        QCOMPARE(alive.size(), 1); // not released: its owner holds it
        preloaded.emitFrame(Qt::blue);
        QCOMPARE(view.frame().pixelColor(0, 0), QColor(Qt::red));

        for (int i = 0; i < 100; ++i) {
            auto *hero = new HeroVideoView(u"clip"_s, nullptr, factory);
            hero->resize(i % 2 ? QSize(0, 0) : QSize(64, 36)); // some with no size at all
            hero->show();
            hero->startPlayback();
            static_cast<FakePlayer *>(hero->player())->emitFrame(Qt::green);
            hero->grab();
            delete hero;
        }
        QCOMPARE(alive.size(), 1);
    }

    void topAlignedRect()
    {
        const QRectF bounds(0, 0, 720, 300);
        QCOMPARE(HeroVideoView::topAlignedRect(bounds, {1920, 1080}), QRectF(0, 0, 720, 405));
        // Wider than the area: the height rules, centred across, nothing below.
        QCOMPARE(HeroVideoView::topAlignedRect(bounds, {1000, 200}), QRectF(-390, 0, 1500, 300));
        QCOMPARE(HeroVideoView::topAlignedRect(bounds, {0, 0}), bounds);
        QCOMPARE(HeroVideoView::topAlignedRect(QRectF(), {1920, 1080}), QRectF());
    }

    // The ornaments' moments, and their still forms when motion is reduced.
    void ornaments()
    {
        QCOMPARE(PingRing::wavePose(0.5, 0.8).scale, 0.95);
        QVERIFY(std::abs(PingRing::wavePose(0.8 + 1.599, 0.8).scale - 2.4) < 0.01);
        QVERIFY(std::abs(PingRing::wavePose(0.8 + 1.6, 0.8).scale - 0.95) < 0.01);
        QVERIFY(std::abs(PulsingDot::ringPose(1.5999).scale - 2.6) < 0.01);
        QCOMPARE(StaggeredAppTile::pose(0.13, 0.14), QPointF(0, 8));
        QCOMPARE(StaggeredAppTile::pose(0.14 + 0.45, 0.14), QPointF(1, 0));
        const CelebrationMedallion::Pose before = CelebrationMedallion::pose(0);
        QCOMPARE(before.ring1.scale, 0.4);
        QCOMPARE(before.ring1.opacity, 0.7);
        QCOMPARE(before.discOpacity, 0.0);
        QCOMPARE(before.checkProgress, 0.0);
        const CelebrationMedallion::Pose after = CelebrationMedallion::pose(3);
        QCOMPARE(after.checkProgress, 1.0);
        QCOMPARE(after.ring2.opacity, 0.0);

        Motion::overrideReduceMotion(true);
        QCOMPARE(StaggeredAppTile::pose(0, 0.38), QPointF(1, 0));
        PingRing ring(Qt::cyan);
        ring.resize(40, 40);
        ring.show();
        QVERIFY(!ring.isAnimating());
        StaggeredAppTile tile(u"Videollamada"_s, u"V"_s, Qt::blue, 0.38);
        tile.show();
        QVERIFY(!tile.isAnimating());
        // The medallion's glow fades out inside its box: its edge stays clear all round.
        CelebrationMedallion medallion;
        const QRect inside = QRect(QPoint(), medallion.size()).adjusted(1, 1, -1, -1);
        QVERIFY(inside.contains(TestSupport::inkBounds(TestSupport::render(medallion))));
    }
};

QTEST_MAIN(TestOnboardingWidgets)
#include "tst_onboardingwidgets.moc"
