#include "common/panelmodels.h"
#include "overlay/audiowaveformprogressview.h"
#include "overlay/externaldisplayview.h"
#include "overlay/speechscrollview.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "speech/speechrecognizer.h"

#include <QAbstractButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// 19 characters: "uno dos tres cuatro".
const QString fourWords = u"uno dos tres cuatro"_qs;
const QString fourOtherWords = u"cuatro tres dos uno"_qs;

// A fullscreen view over its own models, at the size of a small display.
struct Fullscreen : TestSupport::PanelModels
{
    explicit Fullscreen(bool captureSupported = true)
        : PanelModels(captureSupported)
        , view(content, recognizer, settings)
    {
        view.resize(1280, 800);
        view.show();
    }

    template <typename T = QWidget>
    T *part(const QString &name)
    {
        return TestSupport::namedControl<T>(view, name);
    }
    bool shows(const QString &name) { return part(name)->isVisibleTo(&view); }
    SpeechScrollView *words() { return part<SpeechScrollView>(u"wordView"_qs); }

    // Reads to the end of the page, as a wheel gesture ending past the last word does.
    void readToTheEnd()
    {
        view.handleManualScroll(true, 0);
        view.handleManualScroll(false, 1e9);
    }

    ExternalDisplayView view;
};

} // namespace

class TestExternalDisplayView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sizesFollowTheWidth_data();
    void sizesFollowTheWidth();
    void finishedRuleAndLevelProgress_data();
    void finishedRuleAndLevelProgress();
    void scrollStep_data();
    void scrollStep();
    void tapsAndWheelMoveTheProgress();
    void finishedScreen_data();
    void finishedScreen();
    void everyLoadedPageStartsAtItsBeginning();
    void clockAndGlow_data();
    void clockAndGlow();
};

void TestExternalDisplayView::sizesFollowTheWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("fontSize");
    QTest::addColumn<double>("margin");

    QTest::newRow("wide display, capped") << 1440 << 96.0 << 115.2;
    QTest::newRow("exactly at the cap") << 1344 << 96.0 << 107.52;
    QTest::newRow("between the bounds") << 1050 << 75.0 << 84.0;
    QTest::newRow("narrow, both raised") << 600 << 48.0 << 48.0;
    QTest::newRow("narrower, margin at its floor") << 400 << 48.0 << 40.0;
}

void TestExternalDisplayView::sizesFollowTheWidth()
{
    QFETCH(int, width);
    QFETCH(double, fontSize);
    QFETCH(double, margin);

    QCOMPARE(ExternalDisplayView::fontSizeForWidth(width), fontSize);
    QCOMPARE(ExternalDisplayView::sideMarginForWidth(width), margin);

    // The reading area takes them on, with the bar 40 points above the bottom edge.
    Fullscreen f;
    f.view.resize(width, 700);
    QCOMPARE(Fonts::pixelSize(f.words()->layout().font()), fontSize);
    QCOMPARE(f.words()->layout().font().weight(), QFont::DemiBold);
    const QRect text = f.words()->geometry();
    QCOMPARE(text.left(), qRound(margin));
    QCOMPARE(text.right() + 1, width - qRound(margin));
    QCOMPARE(text.top(), 20);
    const QRect bars = f.part(u"levelBars"_qs)->geometry();
    QCOMPARE(bars, QRect(qRound(margin), 700 - 40 - 32, 240, 32));
    QCOMPARE(text.bottom() + 1, bars.top() - 20);
}

void TestExternalDisplayView::finishedRuleAndLevelProgress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("progress");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<double>("level");

    QTest::newRow("start") << fourWords << 0.0 << false << 0.0;
    QTest::newRow("two words read") << fourWords << 2.0 << false << 8.0 / 19;
    QTest::newRow("inside the last word") << fourWords << 3.99 << false << 18.0 / 19;
    QTest::newRow("the last word read") << fourWords << 4.0 << true << 1.0;
    QTest::newRow("empty page") << QString() << 0.0 << false << 0.0;
}

void TestExternalDisplayView::finishedRuleAndLevelProgress()
{
    QFETCH(QString, text);
    QFETCH(double, progress);
    QFETCH(bool, finished);
    QFETCH(double, level);

    Fullscreen f;
    // Notes mode makes no difference here: the fullscreen text always advances.
    f.content.loadPage(text, false, true);
    f.view.handleManualScroll(false, progress);
    QCOMPARE(f.view.timerWordProgress(), progress);
    QCOMPARE(f.view.isFinished(), finished);
    QCOMPARE(f.view.levelProgress(), level);
    QCOMPARE(f.part<AudioWaveformProgressView>(u"levelBars"_qs)->progress(), level);
}

void TestExternalDisplayView::scrollStep_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("startAt");
    QTest::addColumn<bool>("userScrolling");
    QTest::addColumn<double>("expected");

    QTest::newRow("reading") << fourWords << 1.0 << false << 1.0 + 3 * 0.05;
    QTest::newRow("just short of the end") << fourWords << 3.9 << false << 3.9 + 3 * 0.05;
    QTest::newRow("scrolled by hand") << fourWords << 1.0 << true << 1.0;
    QTest::newRow("finished") << fourWords << 4.0 << false << 4.0;
    // An empty page never finishes, so its progress keeps growing.
    QTest::newRow("empty page") << QString() << 0.0 << false << 0.15000000000000002;
}

void TestExternalDisplayView::scrollStep()
{
    QFETCH(QString, text);
    QFETCH(double, startAt);
    QFETCH(bool, userScrolling);
    QFETCH(double, expected);

    Fullscreen f;
    f.content.loadPage(text, false, false);
    f.view.handleManualScroll(false, startAt);
    if (userScrolling)
        f.view.handleManualScroll(true, 0);
    f.view.scrollStep();
    QCOMPARE(f.view.timerWordProgress(), expected);
    QCOMPARE(f.words()->smoothWordProgress(), expected);
}

void TestExternalDisplayView::tapsAndWheelMoveTheProgress()
{
    Fullscreen f;
    f.content.loadPage(fourWords, false, false);
    SpeechScrollView *words = f.words();

    // "tres" starts at character 8.
    Q_EMIT words->wordTapped(8);
    QCOMPARE(f.view.timerWordProgress(), 2.0);

    Q_EMIT words->manualScroll(true, 0);
    QVERIFY(f.view.isUserScrolling());
    Q_EMIT words->manualScroll(false, -3);
    QVERIFY(!f.view.isUserScrolling());
    QCOMPARE(f.view.timerWordProgress(), 0.0);

    // Past the last word: the word count, which finishes the page.
    Q_EMIT words->manualScroll(true, 0);
    Q_EMIT words->manualScroll(false, 7.5);
    QCOMPARE(f.view.timerWordProgress(), 4.0);
    QVERIFY(f.view.isFinished());
}

void TestExternalDisplayView::finishedScreen_data()
{
    QTest::addColumn<bool>("hasNextPage");
    QTest::addColumn<bool>("notesMode");
    QTest::newRow("last page") << false << false;
    QTest::newRow("further page") << true << false;
    QTest::newRow("further page in notes mode") << true << true;
}

void TestExternalDisplayView::finishedScreen()
{
    QFETCH(bool, hasNextPage);
    QFETCH(bool, notesMode);

    Fullscreen f;
    f.content.loadPage(fourWords, hasNextPage, notesMode);
    f.recognizer.setIsListening(true);
    QVERIFY(!f.shows(u"finishedScreen"_qs));

    f.readToTheEnd();
    QVERIFY(!f.recognizer.isListening());
    QVERIFY(f.shows(u"finishedScreen"_qs));
    QTRY_COMPARE(f.view.finishedPresence(), 1.0);
    QVERIFY(!f.shows(u"readingLayout"_qs));

    auto *next = f.part<QAbstractButton>(u"nextPageButton"_qs);
    QWidget *done = f.part(u"doneBadge"_qs);
    QCOMPARE(next->isVisibleTo(&f.view), hasNextPage);
    QCOMPARE(done->isVisibleTo(&f.view), !hasNextPage);
    QCOMPARE(next->text(), localizedString("Siguiente"));
    QCOMPARE(done->accessibleName(), localizedString("¡Listo!"));
    // Centred on the screen.
    QWidget *shown = hasNextPage ? static_cast<QWidget *>(next) : done;
    QCOMPARE(shown->mapTo(&f.view, shown->rect().center()), f.view.rect().center());

    if (!hasNextPage)
        return;
    QSignalSpy raised(&f.recognizer, &SpeechRecognizer::shouldAdvancePageChanged);
    QTest::mouseClick(next, Qt::LeftButton);
    QVERIFY(f.recognizer.shouldAdvancePage());
    QCOMPARE(raised.count(), 1);
    // Pressed again before the controller consumed it: nobody hears of it twice.
    next->click();
    QCOMPARE(raised.count(), 1);
    // The follower's flag, never a page request of the model, whatever the mode.
    QCOMPARE(f.content.jumpToPageNotesMode(), std::nullopt);
    QCOMPARE(f.content.jumpToPageIndex(), std::nullopt);
}

void TestExternalDisplayView::everyLoadedPageStartsAtItsBeginning()
{
    Fullscreen f;
    f.content.loadPage(fourWords, true, false);
    f.view.handleManualScroll(false, 2);

    // Same length, other words.
    f.content.loadPage(fourOtherWords, true, false);
    QCOMPARE(f.view.timerWordProgress(), 0.0);
    QCOMPARE(f.view.highlightedCharCount(), 0);
    QCOMPARE(f.words()->smoothWordProgress(), 0.0);
    // Its own words count from now on: "dos" starts after "cuatro tres ".
    f.view.handleManualScroll(false, 2);
    QCOMPARE(f.view.highlightedCharCount(), 12);

    // A finished page loaded again is read again.
    f.readToTheEnd();
    QVERIFY(f.view.isFinished());
    f.content.loadPage(fourOtherWords, false, false);
    QVERIFY(!f.view.isFinished());
    QCOMPARE(f.view.timerWordProgress(), 0.0);
    QTRY_VERIFY(!f.shows(u"finishedScreen"_qs));
    QVERIFY(f.shows(u"readingLayout"_qs));

    // A new total alone, too.
    f.view.handleManualScroll(false, 3);
    f.content.setTotalCharCount(15);
    QCOMPARE(f.view.timerWordProgress(), 0.0);
}

void TestExternalDisplayView::clockAndGlow_data()
{
    QTest::addColumn<bool>("captureSupported");
    QTest::addColumn<bool>("hide");
    QTest::addColumn<bool>("glow");
    QTest::newRow("hidden from capture") << true << true << true;
    QTest::newRow("capturable") << true << false << false;
    QTest::newRow("setting on where capture cannot be refused") << false << true << false;
}

void TestExternalDisplayView::clockAndGlow()
{
    QFETCH(bool, captureSupported);
    QFETCH(bool, hide);
    QFETCH(bool, glow);

    Fullscreen f(captureSupported);
    QVERIFY(!f.shows(u"elapsedTime"_qs));
    f.settings.setShowElapsedTime(true);
    QVERIFY(f.shows(u"elapsedTime"_qs));
    const QRect clock = f.part(u"elapsedTime"_qs)->geometry();
    QCOMPARE(clock.top(), 20);
    QCOMPARE(clock.right() + 1, 1280 - 40);

    f.settings.setHideFromScreenShare(hide);
    QCOMPARE(f.shows(u"glowBorder"_qs), glow);
    QImage image(f.view.size(), QImage::Format_ARGB32_Premultiplied);
    f.view.render(&image);
    // The edge line is solid accent; the glow has faded out 20 points in.
    QCOMPARE(image.pixelColor(0, 400), glow ? QColor(0, 216, 191) : QColor(Qt::black));
    QCOMPARE(image.pixelColor(20, 400), QColor(Qt::black));
    QCOMPARE(image.pixelColor(3, 400).green() > 40, glow);
}

QTEST_MAIN(TestExternalDisplayView)
#include "tst_externaldisplayview.moc"
