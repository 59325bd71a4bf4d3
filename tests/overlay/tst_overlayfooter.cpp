#include "common/panelmodels.h"
#include "overlay/floatingoverlayview.h"
#include "overlay/notchframetracker.h"
#include "overlay/notchoverlayview.h"
#include "overlay/overlayfooter.h"
#include "overlay/pagetabstrip.h"
#include "overlay/pagetitletoggle.h"
#include "overlay/speechscrollview.h"
#include "settings/localization.h"
#include "uikit/circleglyphbutton.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using Controls = OverlayFooter::Controls;

namespace {

// The footer's controls by object name.
namespace Control {
const QString title = u"pageTitleToggle"_qs;
const QString tabs = u"pageTabs"_qs;
const QString previous = u"previousButton"_qs;
const QString next = u"nextButton"_qs;
const QString restart = u"restartButton"_qs;
const QString play = u"playPauseButton"_qs;
const QString back = u"backToListButton"_qs;
} // namespace Control

// The footer alone over its own models, as wide as a panel.
struct Footer : TestSupport::PanelModels
{
    explicit Footer(Controls controls = Controls::all)
        : footer(content, recognizer, settings, {12, 10}, controls, nullptr)
    {
        footer.connectModels();
        footer.resize(340, 34);
    }

    template <typename T = QWidget>
    T *control(const QString &name)
    {
        return TestSupport::namedControl<T>(footer, name);
    }

    QStringList shown()
    {
        QStringList visible;
        using namespace Control;
        for (const QString &name : {title, tabs, previous, next, restart, play, back}) {
            if (control(name)->isVisibleTo(&footer))
                visible << name;
        }
        return visible;
    }

    void load(int pageCount, int current, bool notes)
    {
        content.setPageCount(pageCount);
        content.setCurrentPageIndex(current);
        content.loadPage(u"uno dos tres cuatro"_qs, current + 1 < pageCount, notes);
    }

    OverlayFooter footer;
};

} // namespace

class TestOverlayFooter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controls_data();
    void controls();
    void pageRequests();
    void scrollingControls();
    void longPressOpensThePicker_data();
    void longPressOpensThePicker();
    void backToListKeepsTheSession();
    void placeInEachView_data();
    void placeInEachView();
};

void TestOverlayFooter::controls_data()
{
    QTest::addColumn<bool>("indicatorOnly");
    QTest::addColumn<bool>("notes");
    QTest::addColumn<bool>("pageNumbers");
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("shown");
    using namespace Control;
    QTest::newRow("notes, first page, numbers on")
        << false << true << true << 5 << 0 << QStringList{title, tabs, next, back};
    QTest::newRow("notes, middle page, numbers on")
        << false << true << true << 5 << 2 << QStringList{title, tabs, previous, next, back};
    QTest::newRow("notes, middle page, numbers off")
        << false << true << false << 5 << 2 << QStringList{title, previous, next, back};
    QTest::newRow("notes, last page, numbers off")
        << false << true << false << 5 << 4 << QStringList{title, previous, back};
    QTest::newRow("notes, one page, numbers on")
        << false << true << true << 1 << 0 << QStringList{title, back};
    QTest::newRow("scrolling, more to read")
        << false << false << true << 3 << 0 << QStringList{next, play, back};
    QTest::newRow("scrolling, last page")
        << false << false << false << 3 << 2 << QStringList{restart, play, back};
    QTest::newRow("scrolling, one page")
        << false << false << false << 1 << 0 << QStringList{play, back};
    QTest::newRow("indicator only, notes")
        << true << true << true << 5 << 2 << QStringList{title, tabs};
    QTest::newRow("indicator only, scrolling") << true << false << false << 3 << 2 << QStringList{};
}

void TestOverlayFooter::controls()
{
    QFETCH(bool, indicatorOnly);
    QFETCH(bool, notes);
    QFETCH(bool, pageNumbers);
    QFETCH(int, pageCount);
    QFETCH(int, current);
    QFETCH(QStringList, shown);

    Footer f(indicatorOnly ? Controls::pageIndicatorOnly : Controls::all);
    f.settings.setNotchShowsPageNumbers(pageNumbers);
    f.load(pageCount, current, notes);

    QCOMPARE(f.shown(), shown);
    // Beside the tabs the toggle is the bare symbol; otherwise it shows the page's title.
    QCOMPARE(f.control<PageTitleToggle>(Control::title)->showsTitle(),
             !shown.contains(Control::tabs));
}

void TestOverlayFooter::pageRequests()
{
    Footer f;
    f.settings.setNotchShowsPageNumbers(true);
    f.load(5, 2, true);
    f.footer.show();
    f.control<QAbstractButton>(u"previousButton"_qs)->click();
    QCOMPARE(f.content.jumpToPageNotesMode(), std::optional<int>(1));
    f.control<QAbstractButton>(u"nextButton"_qs)->click();
    QCOMPARE(f.content.jumpToPageNotesMode(), std::optional<int>(3));
    QVERIFY(!f.recognizer.shouldAdvancePage());

    // The tab of the page shown asks for nothing; another tab asks for its page.
    f.content.setJumpToPageNotesMode(std::nullopt);
    auto *tabs = f.control<PageTabStrip>(u"pageTabs"_qs);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center().toPoint());
    QCOMPARE(f.content.jumpToPageNotesMode(), std::nullopt);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center().toPoint());
    QCOMPARE(f.content.jumpToPageNotesMode(), std::optional<int>(4));

    auto *toggle = f.control<PageTitleToggle>(u"pageTitleToggle"_qs);
    QCOMPARE(toggle->toolTip(), localizedString("Mostrar título"));
    toggle->click();
    QVERIFY(!f.settings.notchShowsPageNumbers());
    QVERIFY(toggle->showsTitle());
    QCOMPARE(toggle->toolTip(), localizedString("Mostrar números de página"));
    // An untitled page goes by the name for notes.
    QCOMPARE(toggle->text(), localizedString("Notas"));
}

void TestOverlayFooter::scrollingControls()
{
    Footer f;
    f.load(3, 2, false);
    f.control<QAbstractButton>(u"restartButton"_qs)->click();
    QCOMPARE(f.content.jumpToPageIndex(), std::optional<int>(0));

    // Pausing is the view's: the button reports its click and shows what it is told.
    auto *play = f.control<CircleGlyphButton>(u"playPauseButton"_qs);
    QSignalSpy clicks(&f.footer, &OverlayFooter::playPauseClicked);
    QCOMPARE(play->face().symbol, u"pause.fill"_qs);
    play->click();
    QCOMPARE(clicks.size(), 1);
    f.footer.setPaused(true);
    QCOMPARE(play->face().symbol, u"play.fill"_qs);
    f.content.setHasNextPage(true); // a refresh keeps the paused face
    QCOMPARE(play->face().symbol, u"play.fill"_qs);

    f.control<QAbstractButton>(u"nextButton"_qs)->click();
    QVERIFY(f.recognizer.shouldAdvancePage());
}

void TestOverlayFooter::longPressOpensThePicker_data()
{
    QTest::addColumn<bool>("notes");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("button");
    QTest::newRow("next") << true << 2 << u"nextButton"_qs;
    QTest::newRow("restart") << false << 4 << u"restartButton"_qs;
}

void TestOverlayFooter::longPressOpensThePicker()
{
    QFETCH(bool, notes);
    QFETCH(int, current);
    QFETCH(QString, button);

    Footer f;
    f.load(5, current, notes);
    f.footer.show();
    // Held long enough, the button opens the picker, and its release asks for no page.
    auto *pressed = f.control<QAbstractButton>(button);
    const QPoint centre = pressed->rect().center();
    QTest::mousePress(pressed, Qt::LeftButton, {}, centre);
    QTRY_VERIFY(f.content.showPagePicker());
    QTest::mouseRelease(pressed, Qt::LeftButton, {}, centre);
    QCOMPARE(f.content.jumpToPageNotesMode(), std::nullopt);
    QCOMPARE(f.content.jumpToPageIndex(), std::nullopt);
    QVERIFY(!f.recognizer.shouldAdvancePage());
}

void TestOverlayFooter::backToListKeepsTheSession()
{
    Footer f;
    f.load(4, 3, true);
    f.recognizer.setIsListening(true);
    f.control<QAbstractButton>(u"backToListButton"_qs)->click();
    QVERIFY(!f.recognizer.isListening());
    QVERIFY(!f.content.isNotesMode());
    QVERIFY(f.content.showPagePicker());
    QCOMPARE(f.content.highlightedPickerIndex(), 3);
    QVERIFY(!f.recognizer.shouldDismiss());
}

void TestOverlayFooter::placeInEachView_data()
{
    QTest::addColumn<bool>("pinned");
    QTest::addColumn<QRect>("backButton");
    // Pinned: 12 in from the content column (16 inside the 340 outline), 10 above the bottom of
    // its 197. Floating: 16 in from the sides of its 340 x 220, 12 above the bottom.
    QTest::newRow("pinned") << true << QRect(288, 163, 24, 24);
    QTest::newRow("floating") << false << QRect(300, 184, 24, 24);
}

void TestOverlayFooter::placeInEachView()
{
    QFETCH(bool, pinned);
    QFETCH(QRect, backButton);

    TestSupport::PanelModels m;
    NotchFrameTracker tracker;
    m.loadNotes(3, 2);
    m.content.loadPage(u"uno dos tres cuatro"_qs, false, false);
    std::unique_ptr<QWidget> view;
    if (pinned)
        view = std::make_unique<NotchOverlayView>(m.content, m.recognizer, m.settings, 37, 160,
                                                  tracker);
    else
        view = std::make_unique<FloatingOverlayView>(m.content, m.recognizer, m.settings, false,
                                                     nullptr);
    view->resize(340, pinned ? 197 : 220);
    view->show();
    auto *back = TestSupport::namedControl(*view, u"backToListButton"_qs);
    QTRY_COMPARE(QRect(back->mapTo(view.get(), QPoint()), back->size()), backButton);

    // Play/pause pauses the view's own timer.
    auto *play = TestSupport::namedControl<CircleGlyphButton>(*view, u"playPauseButton"_qs);
    play->click();
    QCOMPARE(play->face().symbol, u"play.fill"_qs);
    QVERIFY(!view->findChild<SpeechScrollView *>()->isListening());
}

QTEST_MAIN(TestOverlayFooter)
#include "tst_overlayfooter.moc"
