#include "common/panelmodels.h"
#include "common/rendering.h"
#include "overlay/cursorkeyhintfooter.h"
#include "overlay/elapsedtimeview.h"
#include "overlay/floatingoverlayview.h"
#include "overlay/floatingpagelist.h"
#include "overlay/speechscrollview.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "uikit/circleglyphbutton.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QSignalSpy>
#include <QTest>

using State = FloatingOverlayView::ContentState;

namespace {

const QString fourWords = u"uno dos tres cuatro"_qs;

// A floating view over its own models, 340 x 220 like a freshly opened floating panel.
struct Floating : TestSupport::PanelModels
{
    explicit Floating(
        bool cursor = false, bool captureSupported = true,
        std::function<void()> onDuplicate = [] {})
        : PanelModels(captureSupported)
        , view(content, recognizer, settings, cursor, std::move(onDuplicate))
    {
        view.resize(340, 220);
    }

    template <typename T = QWidget>
    T *control(const QString &name)
    {
        return TestSupport::namedControl<T>(view, name);
    }

    bool shows(const QString &name)
    {
        QWidget *widget = view.findChild<QWidget *>(name);
        return widget && widget->isVisibleTo(&view);
    }

    QStringList shown(const QStringList &names)
    {
        QStringList visible;
        for (const QString &name : names) {
            if (shows(name))
                visible << name;
        }
        return visible;
    }

    bool open()
    {
        view.show();
        return QTest::qWaitFor([this] { return view.presence() == 1; });
    }

    FloatingOverlayView view;
};

QPainterPath roundedRect(const QRectF &rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace

class TestFloatingOverlayView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void contentStates_data();
    void contentStates();
    void duplicateButton_data();
    void duplicateButton();
    void readingInsets();
    void windowButtons();
    void pageListRowsAndScrolling();
    void keyHintFooter_data();
    void keyHintFooter();
    void cursorHintsKeepClearOfTheElapsedTime();
    void scrollStep_data();
    void scrollStep();
    void manualScrollAndTaps();
    void newPageReadsFromItsStart();
    void appearAndDisappear();
    void borderAndToastFollowCaptureHiding();
    void elapsedTimeRestartsAfterTheCollapsedBar();
    void renderedPanel();
    void hairlineShowsTheEdge();
};

void TestFloatingOverlayView::contentStates_data()
{
    QTest::addColumn<bool>("cursor");
    QTest::addColumn<bool>("collapsed");
    QTest::addColumn<bool>("mini");
    QTest::addColumn<bool>("picker");
    QTest::addColumn<State>("state");
    QTest::addColumn<QStringList>("visible");

    const QString bar = u"collapsedBar"_qs;
    const QString reading = u"readingView"_qs;
    const QString list = u"pageList"_qs;
    const QString eye = u"eyeButton"_qs;
    const QString minimise = u"minimizeButton"_qs;
    const QString close = u"closeButton"_qs;
    const QString hints = u"keyHints"_qs;
    const QString listHints = u"pageListKeyHints"_qs;
    const QString barMinimise = u"collapsedMinimizeButton"_qs;
    const QString barList = u"collapsedPageListButton"_qs;

    QTest::newRow("reading") << false << false << false << false << State::reading
                             << QStringList{reading, eye};
    QTest::newRow("collapsed bar") << false << true << false << false << State::collapsedBar
                                   << QStringList{bar, barMinimise, barList};
    QTest::newRow("mini") << false << true << true << false << State::collapsedBar
                          << QStringList{bar, barList};
    QTest::newRow("page list over a collapsed panel")
        << false << true << false << true << State::pageList
        << QStringList{list, eye, minimise, close};
    QTest::newRow("cursor, reading")
        << true << false << false << false << State::reading << QStringList{reading, eye, hints};
    QTest::newRow("cursor, page list")
        << true << false << false << true << State::pageList << QStringList{list, eye, listHints};
}

void TestFloatingOverlayView::contentStates()
{
    QFETCH(bool, cursor);
    QFETCH(bool, collapsed);
    QFETCH(bool, mini);
    QFETCH(bool, picker);
    QFETCH(State, state);
    QFETCH(QStringList, visible);

    Floating f(cursor);
    f.settings.setHideFromScreenShare(true);
    f.content.setIsCollapsed(collapsed);
    f.content.setIsMiniMode(mini);
    f.content.setShowPagePicker(picker);
    QVERIFY(f.open());

    QCOMPARE(f.view.contentState(), state);
    QCOMPARE(
        f.shown({u"collapsedBar"_qs, u"readingView"_qs, u"pageList"_qs, u"eyeButton"_qs,
                 u"minimizeButton"_qs, u"closeButton"_qs, u"keyHints"_qs, u"pageListKeyHints"_qs,
                 u"collapsedMinimizeButton"_qs, u"collapsedPageListButton"_qs}),
        visible);

    // The collapsed panel is only its capsule, centred at the top, with neither border nor grip.
    const bool bar = state == State::collapsedBar;
    QTRY_COMPARE(f.view.borderOpacity(), bar ? 0.0 : 1.0);
    const QRectF panel(0, 0, 340, 220);
    if (bar) {
        const QRectF capsule = f.control(u"collapsedBar"_qs)->geometry();
        QCOMPARE(capsule.top(), 12.0);
        QCOMPARE(capsule.center().x(), panel.center().x());
        QCOMPARE(f.view.outlinePath(), roundedRect(capsule, capsule.height() / 2));
    }
    const QImage image = TestSupport::render(f.view);
    const bool grip = !cursor && !bar;
    // The grip's longest line runs through the middle of its 11 point square, 5 from the corner.
    QCOMPARE(qAlpha(image.pixel(340 - 5 - 6, 220 - 5 - 6)) > 0, !bar);
    QCOMPARE(qRed(image.pixel(340 - 5 - 6, 220 - 5 - 6)) > 40, grip);
}

void TestFloatingOverlayView::duplicateButton_data()
{
    QTest::addColumn<bool>("notes");
    QTest::addColumn<bool>("available");
    QTest::addColumn<bool>("cursor");
    QTest::addColumn<bool>("action");
    QTest::addColumn<bool>("shown");

    QTest::newRow("notes, available, with action") << true << true << false << true << true;
    QTest::newRow("not available") << true << false << false << true << false;
    QTest::newRow("scrolling mode") << false << true << false << true << false;
    QTest::newRow("without an action") << true << true << false << false << false;
    QTest::newRow("cursor mode") << true << true << true << true << false;
}

void TestFloatingOverlayView::duplicateButton()
{
    QFETCH(bool, notes);
    QFETCH(bool, available);
    QFETCH(bool, cursor);
    QFETCH(bool, action);
    QFETCH(bool, shown);

    int duplicates = 0;
    Floating f(cursor, true, action ? std::function<void()>([&] { ++duplicates; }) : nullptr);
    f.content.loadPage(fourWords, false, notes);
    f.content.setDuplicateAvailable(available);
    QCOMPARE(f.shows(u"duplicateButton"_qs), shown);
    if (!shown)
        return;
    auto *button = f.control<QAbstractButton>(u"duplicateButton"_qs);
    QCOMPARE(button->toolTip(), localizedString("Duplicar ventana"));
    button->click();
    QCOMPARE(duplicates, 1);
    // The fourth window takes the button away from every window at once.
    f.content.setDuplicateAvailable(false);
    QVERIFY(!f.shows(u"duplicateButton"_qs));
}

void TestFloatingOverlayView::readingInsets()
{
    Floating f;
    f.view.show();
    auto *words = f.control<SpeechScrollView>(u"wordsArea"_qs);
    // Notes sit below the window buttons; text from outside starts higher.
    for (const bool notes : {true, false}) {
        f.content.loadPage(fourWords, false, notes);
        QTRY_COMPARE(words->geometry().top(), notes ? 42 : 12);
        QCOMPARE(words->topAligned(), notes);
    }
}

void TestFloatingOverlayView::windowButtons()
{
    Floating f;
    f.content.setShowPagePicker(true);
    f.control<QAbstractButton>(u"minimizeButton"_qs)->click();
    QVERIFY(!f.content.showPagePicker());
    QVERIFY(f.content.isCollapsed());
    QVERIFY(f.content.isMiniMode());

    // In the mini form the chevron leaves it and opens the list.
    f.control<QAbstractButton>(u"collapsedPageListButton"_qs)->click();
    QVERIFY(!f.content.isMiniMode());
    QVERIFY(f.content.showPagePicker());
    QVERIFY(f.content.isCollapsed());

    f.content.setShowPagePicker(false);
    f.control<QAbstractButton>(u"collapsedMinimizeButton"_qs)->click();
    QVERIFY(f.content.isMiniMode());
    QVERIFY(!f.content.showPagePicker());
    f.content.setIsMiniMode(false);

    f.recognizer.setIsListening(true);
    f.control<QAbstractButton>(u"collapsedCloseButton"_qs)->click();
    QVERIFY(!f.recognizer.isListening());
    QVERIFY(f.recognizer.shouldDismiss());
}

void TestFloatingOverlayView::pageListRowsAndScrolling()
{
    Floating f;
    f.content.setPageCount(12);
    f.content.setCurrentPageIndex(7);
    f.content.setIsCollapsed(true);
    f.content.setIsMiniMode(true);
    f.content.setShowPagePicker(true);
    QVERIFY(f.open());
    auto *list = f.control<FloatingPageList>(u"pageList"_qs);
    // Opened on page 8, the list shows its row, centred.
    QCOMPARE(f.content.highlightedPickerIndex(), 7);
    QVERIFY(qAbs(list->rowRect(7).center().y() - list->shownHeight() / 2.0) <= 1);
    // Scrolled there, no row lies under the eye button or the window buttons.
    const int controlsBottom = std::max(f.control(u"eyeButton"_qs)->geometry().bottom(),
                                        f.control(u"topTrailingGroup"_qs)->geometry().bottom());
    QVERIFY(TestSupport::inkBounds(TestSupport::render(*list)).top() > controlsBottom);
    // A click on the band between them, over a row hidden under it, opens no page.
    const QRect eye = f.control(u"eyeButton"_qs)->geometry();
    int hidden = 0;
    while (list->rowRect(hidden).bottom() < eye.center().y())
        ++hidden;
    const QPoint band = list->mapFrom(
        &f.view, QPoint((eye.right() + f.control(u"topTrailingGroup"_qs)->geometry().left()) / 2,
                        int(std::max(list->rowRect(hidden).top() + 1, qreal(eye.top())))));
    QVERIFY(list->rowRect(hidden).contains(band) && band.y() < controlsBottom);
    QWidget *underBand = list->childAt(band);
    QVERIFY(underBand);
    QTest::mouseClick(underBand, Qt::LeftButton, {}, underBand->mapFrom(list, band));
    QCOMPARE(f.content.jumpToPageNotesMode(), std::nullopt);

    // Moving the highlight centres its row.
    f.content.movePickerHighlight(1);
    QTRY_COMPARE(list->scrollOffset(), qRound(list->targetScrollOffset()));
    QVERIFY(qAbs(list->rowRect(8).center().y() - list->shownHeight() / 2.0) <= 1);

    // A click on the current page's row still asks for it, and clears both collapsed states.
    const QPoint row = list->rowRect(7).center().toPoint();
    QWidget *target = list->childAt(row);
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(list, row));
    QVERIFY(!f.content.isCollapsed());
    QVERIFY(!f.content.isMiniMode());
    QCOMPARE(f.content.jumpToPageNotesMode(), std::optional<int>(7));

    // At its top, the list's lower edge cuts no row: it shows the rows that fit whole.
    f.content.setHighlightedPickerIndex(0);
    QTRY_COMPARE(list->scrollOffset(), 0);
    int lastWhole = 0;
    while (list->rowRect(lastWhole + 1).bottom() <= list->height())
        ++lastWhole;
    QVERIFY(lastWhole < 11);
    QCOMPARE(TestSupport::inkBounds(TestSupport::render(*list)).bottom(),
             qRound(list->rowRect(lastWhole).bottom()) - 1);
}

void TestFloatingOverlayView::keyHintFooter_data()
{
    QTest::addColumn<bool>("pickerMode");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QList<QStringList>>("captions");
    QTest::addColumn<QStringList>("labels");

    const QList<QStringList> picker{{u"→"_qs}, {u"esc"_qs}};
    const QList<QStringList> reading{{u"←"_qs, u"→"_qs}, {u"↑"_qs, u"↓"_qs}, {u"esc"_qs}};
    QTest::newRow("page list") << true << u"es"_qs << picker
                               << QStringList{u"elegir nota"_qs, u"cerrar"_qs};
    QTest::newRow("reading") << false << u"es"_qs << reading
                             << QStringList{u"cambiar nota"_qs, u"mover texto"_qs, u"salir"_qs};
    QTest::newRow("reading, in English")
        << false << u"en"_qs << reading
        << QStringList{u"change note"_qs, u"move text"_qs, u"exit"_qs};
}

void TestFloatingOverlayView::keyHintFooter()
{
    QFETCH(bool, pickerMode);
    QFETCH(QString, language);
    QFETCH(QList<QStringList>, captions);
    QFETCH(QStringList, labels);

    NotchSettings::shared().setAppLanguage(language);
    QList<QStringList> actualCaptions;
    QStringList actualLabels;
    for (const CursorKeyHintFooter::Hint &hint : CursorKeyHintFooter::hints(pickerMode)) {
        actualCaptions << hint.captions;
        actualLabels << hint.label;
    }
    NotchSettings::shared().setAppLanguage(u"es"_qs);
    QCOMPARE(actualCaptions, captions);
    QCOMPARE(actualLabels, labels);

    // Single characters get square caps; a word gets 5 points either side, at least 18 wide.
    QCOMPARE(CursorKeyHintFooter::keyCapSize(u"→"_qs), QSizeF(18, 18));
    const double esc = CursorKeyHintFooter::keyCapSize(u"esc"_qs).width();
    QVERIFY(esc >= 18);
    QCOMPARE(
        esc,
        std::max(18.0,
                 QFontMetricsF(Fonts::systemFont(9.5, QFont::Medium)).horizontalAdvance(u"esc"_qs)
                     + 10));

    // Clicks go through the hints to the panel beneath.
    CursorKeyHintFooter footer(pickerMode);
    QVERIFY(footer.testAttribute(Qt::WA_TransparentForMouseEvents));
}

// The hints sit between the eye button and the elapsed time; where the panel is too narrow for
// every hint, the ones before Esc give way, never the key that ends the reading.
void TestFloatingOverlayView::cursorHintsKeepClearOfTheElapsedTime()
{
    for (const QString &language : {u"es"_qs, u"en"_qs}) {
        NotchSettings::shared().setAppLanguage(language);
        for (const bool list : {false, true}) {
            for (const int width : {280, 340, 500}) {
                Floating f(true);
                f.settings.setShowElapsedTime(true);
                f.content.setShowPagePicker(list);
                f.view.resize(width, 220);
                QVERIFY(f.open());
                auto *hints = f.control<CursorKeyHintFooter>(list ? u"pageListKeyHints"_qs
                                                                  : u"keyHints"_qs);
                QWidget *elapsed = f.control(u"elapsedTime"_qs);
                const QRect time(elapsed->mapTo(&f.view, QPoint()), elapsed->size());
                const QString where = u"%1 %2 %3"_qs.arg(language).arg(list).arg(width);
                QVERIFY2(!hints->geometry().intersects(time), qPrintable(where));
                QVERIFY2(!hints->geometry().intersects(f.control(u"eyeButton"_qs)->geometry()),
                         qPrintable(where));
                const QList<CursorKeyHintFooter::Hint> shown = hints->shownHints();
                QCOMPARE(shown.last().captions, QStringList{u"esc"_qs});
                if (width == 500)
                    QCOMPARE(shown.size(), CursorKeyHintFooter::hints(list).size());
            }
        }
    }
    NotchSettings::shared().setAppLanguage(u"es"_qs);
}

void TestFloatingOverlayView::scrollStep_data()
{
    QTest::addColumn<bool>("notes");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<bool>("userScrolling");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("startAt");
    QTest::addColumn<double>("expected");

    QTest::newRow("scrolling") << false << false << false << fourWords << 1.0 << 1.0 + 3 * 0.05;
    QTest::newRow("notes mode") << true << false << false << fourWords << 1.0 << 1.0;
    QTest::newRow("paused") << false << true << false << fourWords << 1.0 << 1.0;
    QTest::newRow("user scrolling") << false << false << true << fourWords << 1.0 << 1.0;
    QTest::newRow("finished") << false << false << false << fourWords << 4.0 << 4.0;
    QTest::newRow("just short of the end")
        << false << false << false << fourWords << 3.0 << 3.0 + 3 * 0.05;
    QTest::newRow("an empty page is never finished")
        << false << false << false << QString() << 0.0 << 3 * 0.05;
}

void TestFloatingOverlayView::scrollStep()
{
    QFETCH(bool, notes);
    QFETCH(bool, paused);
    QFETCH(bool, userScrolling);
    QFETCH(QString, text);
    QFETCH(double, startAt);
    QFETCH(double, expected);

    Floating f;
    f.content.loadPage(text, false, notes);
    f.view.handleManualScroll(false, startAt);
    if (paused)
        f.view.togglePause();
    if (userScrolling)
        f.view.handleManualScroll(true, 0);

    f.view.scrollStep();
    QCOMPARE(f.view.timerWordProgress(), expected);
    if (notes)
        QCOMPARE(f.view.highlightedCharCount(), 0);
}

void TestFloatingOverlayView::manualScrollAndTaps()
{
    Floating f;
    f.content.loadPage(fourWords, false, false);
    f.view.handleManualScroll(true, 0);
    QVERIFY(f.view.isUserScrolling());
    f.view.handleManualScroll(false, 9.5);
    QVERIFY(!f.view.isUserScrolling());
    QCOMPARE(f.view.timerWordProgress(), 4.0);
    f.view.handleManualScroll(false, -2);
    QCOMPARE(f.view.timerWordProgress(), 0.0);

    // "tres" starts after "uno dos ": a tap there reads from the third word.
    auto *words = f.control<SpeechScrollView>(u"wordsArea"_qs);
    Q_EMIT words->wordTapped(8);
    QCOMPARE(f.view.timerWordProgress(), 2.0);
    QCOMPARE(f.view.highlightedCharCount(), 8);
}

void TestFloatingOverlayView::newPageReadsFromItsStart()
{
    Floating f;
    auto *words = f.control<SpeechScrollView>(u"wordsArea"_qs);
    f.content.loadPage(fourWords, true, false);
    f.view.handleManualScroll(false, 2);
    QCOMPARE(words->smoothWordProgress(), 2.0);

    f.content.loadPage(u"otra página más larga que la primera"_qs, false, false);
    QCOMPARE(f.view.timerWordProgress(), 0.0);
    QCOMPARE(words->smoothWordProgress(), 0.0);

    // The same text loaded again is still a new page.
    f.view.handleManualScroll(false, 3);
    f.content.loadPage(u"otra página más larga que la primera"_qs, false, false);
    QCOMPARE(f.view.timerWordProgress(), 0.0);
}

void TestFloatingOverlayView::appearAndDisappear()
{
    Floating f;
    QSignalSpy outline(&f.view, &FloatingOverlayView::outlineChanged);
    // Before it is shown the panel is at 90 % of its size, about its centre.
    QCOMPARE(f.view.outlinePath().boundingRect(), QRectF(17, 11, 306, 198));
    QVERIFY(f.open());
    QVERIFY(f.view.hasAppeared());
    QCOMPARE(f.view.outlinePath(), roundedRect(QRectF(0, 0, 340, 220), 16));
    QVERIFY(!outline.isEmpty());
    QVERIFY(!f.control(u"transitionLayer"_qs)->isVisible());

    f.recognizer.setShouldDismiss(true);
    QVERIFY(!f.view.hasAppeared());
    QTRY_COMPARE(f.view.presence(), 0.0);
    QCOMPARE(f.view.outlinePath().boundingRect(), QRectF(17, 11, 306, 198));
    // Clearing the flag does not bring the panel back.
    f.recognizer.setShouldDismiss(false);
    QVERIFY(!f.view.hasAppeared());
    QCOMPARE(f.view.presence(), 0.0);
}

void TestFloatingOverlayView::borderAndToastFollowCaptureHiding()
{
    Floating f;
    f.settings.setHideFromScreenShare(false);
    f.control<QAbstractButton>(u"eyeButton"_qs)->click();
    QVERIFY(f.settings.hideFromScreenShare());
    QVERIFY(f.view.isToastPresented());
    QTRY_COMPARE(f.view.borderOpacity(), 1.0);
    f.view.toggleInvisibility();
    QVERIFY(!f.settings.hideFromScreenShare());
    QTRY_COMPARE(f.view.borderOpacity(), 0.0);

    // Where capture cannot be hidden, neither border nor toast pretends otherwise.
    Floating x11(false, false);
    x11.settings.setHideFromScreenShare(false);
    x11.view.toggleInvisibility();
    QVERIFY(x11.settings.hideFromScreenShare());
    QVERIFY(!x11.view.isToastPresented());
    QCOMPARE(x11.view.borderOpacity(), 0.0);
}

void TestFloatingOverlayView::elapsedTimeRestartsAfterTheCollapsedBar()
{
    Floating f;
    f.settings.setShowElapsedTime(true);
    auto *elapsed = f.control<ElapsedTimeView>(u"elapsedTime"_qs);
    QVERIFY(f.shows(u"elapsedTime"_qs));
    const qint64 start = elapsed->startMs();
    QTest::qWait(20);
    f.content.setShowPagePicker(true);
    f.content.setShowPagePicker(false);
    QCOMPARE(elapsed->startMs(), start);

    f.content.setIsCollapsed(true);
    QVERIFY(!f.shows(u"elapsedTime"_qs));
    f.content.setIsCollapsed(false);
    QVERIFY(elapsed->startMs() > start);

    // A counter that grows while shown (a third digit of minutes; here a larger font) gets its
    // whole width, still right of the centre and clear of the trailing edge.
    f.content.setShowPagePicker(true);
    QVERIFY(f.open());
    QFont wider = elapsed->font();
    wider.setPixelSize(wider.pixelSize() * 3 / 2);
    elapsed->setFont(wider);
    QTRY_COMPARE(elapsed->width(), elapsed->sizeHint().width());
    QWidget *group = f.control(u"topTrailingGroup"_qs);
    QCOMPARE(group->geometry().right(), f.view.width() - 1 - 10);
}

void TestFloatingOverlayView::renderedPanel()
{
    Floating f;
    f.settings.setHideFromScreenShare(true);
    f.loadNotes(3, 1);
    QVERIFY(f.open());
    QTRY_COMPARE(f.view.borderOpacity(), 1.0);
    const QImage image = TestSupport::render(f.view);
    // Rounded corners, a teal line along the edge and black inside.
    QCOMPARE(qAlpha(image.pixel(1, 1)), 0);
    QCOMPARE(qAlpha(image.pixel(338, 218)), 0);
    const QColor edge = image.pixelColor(170, 0);
    QVERIFY(edge.green() > 150 && edge.red() < 60);
    QCOMPARE(image.pixelColor(170, 110), QColor(Qt::black));

    // Collapsed, only the capsule is drawn.
    f.content.setIsCollapsed(true);
    QTRY_VERIFY(!f.control(u"transitionLayer"_qs)->isVisible());
    const QImage collapsed = TestSupport::render(f.view);
    QCOMPARE(TestSupport::inkBounds(collapsed), f.control(u"collapsedBar"_qs)->geometry());
}

void TestFloatingOverlayView::hairlineShowsTheEdge()
{
    Floating f(false, false);
    QVERIFY(f.open());
    // White at 0.1 over the black panel along its edge, one pixel wide; the same on the capsule.
    const QColor separator = QColor::fromRgbF(0.1f, 0.1f, 0.1f);
    const auto nearly = [](const QColor &a, const QColor &b) {
        return qAbs(a.red() - b.red()) <= 2 && a.red() == a.green() && a.green() == a.blue();
    };
    const QImage panel = TestSupport::render(f.view);
    QVERIFY(nearly(panel.pixelColor(170, 0), separator));
    QVERIFY(nearly(panel.pixelColor(0, 110), separator));
    QCOMPARE(panel.pixelColor(170, 1), QColor(Qt::black));

    f.content.setIsCollapsed(true);
    QTRY_VERIFY(!f.control(u"transitionLayer"_qs)->isVisible());
    const QRect capsule = f.control(u"collapsedBar"_qs)->geometry();
    const QImage collapsed = TestSupport::render(f.view);
    QVERIFY(nearly(collapsed.pixelColor(capsule.center().x(), capsule.top()), separator));
    QCOMPARE(collapsed.pixelColor(capsule.center().x(), capsule.top() + 1), QColor(Qt::black));
}

QTEST_MAIN(TestFloatingOverlayView)
#include "tst_floatingoverlayview.moc"
