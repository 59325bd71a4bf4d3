#include "common/panelmodels.h"
#include "overlay/notchframetracker.h"
#include "overlay/notchoverlayview.h"
#include "overlay/overlayshapes.h"
#include "overlay/pagelist.h"
#include "overlay/speechscrollview.h"
#include "settings/localization.h"
#include "uikit/circleglyphbutton.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using State = NotchOverlayView::DisplayState;

namespace {

constexpr double menuBar = 37;
constexpr double textHeight = 160;
const QString fourWords = u"uno dos tres cuatro"_qs;

// A pinned view over its own models, 340 x 197 like the panel it fills.
struct Pinned : TestSupport::PanelModels
{
    explicit Pinned(bool captureSupported = true)
        : PanelModels(captureSupported)
        , view(content, recognizer, settings, menuBar, textHeight, tracker)
    {
        view.resize(340, 197);
    }

    template <typename T = QWidget>
    T *control(const QString &name)
    {
        return TestSupport::namedControl<T>(view, name);
    }

    // Visible once the content column is shown.
    bool shows(const QString &name)
    {
        return control(name)->isVisibleTo(control(u"contentColumn"_qs));
    }

    // Shows the view and waits for the appear sequence: outline open, content faded in.
    bool open()
    {
        view.show();
        return QTest::qWaitFor([this] {
            return view.isContentVisible() && view.expansion() == 1
                   && !control(u"contentVeil"_qs)->isVisible();
        });
    }

    NotchFrameTracker tracker;
    NotchOverlayView view;
};

QPainterPath outline(double inset, double radius, const QRectF &frame)
{
    return DynamicIslandShape{inset, radius}.path(frame);
}

} // namespace

class TestNotchOverlayView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statesAndTheirSizes_data();
    void statesAndTheirSizes();
    void trackerHearsOnlyChangesHeightFirst();
    void outlineGrowsOutOfTheNotch();
    void topBarButtonsOnlyWithThePicker();
    void minimiseFromThePicker();
    void scrollStep_data();
    void scrollStep();
    void pausedViewStopsItsScrollTimer();
    void manualScrollEndClampsProgress_data();
    void manualScrollEndClampsProgress();
    void newPageReadsFromItsStart();
    void emptyPageShowsThePlaceholder();
    void eyeToggle_data();
    void eyeToggle();
    void glowOnlyWhileExpanded();
    void closeRequestsDismissal_data();
    void closeRequestsDismissal();
    void collapsedBarReopensThePicker();
    void pickerFitsItsList();
    void renderSanity();
};

void TestNotchOverlayView::statesAndTheirSizes_data()
{
    QTest::addColumn<bool>("collapsed");
    QTest::addColumn<bool>("mini");
    QTest::addColumn<bool>("picker");
    QTest::addColumn<State>("state");
    QTest::addColumn<QSizeF>("target");
    QTest::addColumn<QSizeF>("pushed");

    // The notch-width setting (320) differs from the panel's width (340) on purpose: wide
    // states are drawn at the panel's width but push the setting.
    QTest::newRow("expanded") << false << true << false << State::expanded << QSizeF(340, 197)
                              << QSizeF(320, 197);
    QTest::newRow("collapsed bar")
        << true << false << false << State::collapsedBar << QSizeF(340, 73) << QSizeF(320, 73);
    QTest::newRow("mini") << true << true << false << State::mini << QSizeF(210, 61)
                          << QSizeF(210, 61);
    // The picker's height follows its list: pickerFitsItsList.
    QTest::newRow("picker over a collapsed panel")
        << true << true << true << State::pagePicker << QSizeF() << QSizeF();
}

void TestNotchOverlayView::statesAndTheirSizes()
{
    QFETCH(bool, collapsed);
    QFETCH(bool, mini);
    QFETCH(bool, picker);
    QFETCH(State, state);
    QFETCH(QSizeF, target);
    QFETCH(QSizeF, pushed);

    Pinned p;
    p.settings.setNotchWidth(320);
    p.content.setIsCollapsed(collapsed);
    p.content.setIsMiniMode(mini);
    p.content.setShowPagePicker(picker);

    QCOMPARE(p.view.displayState(), state);
    if (target.isValid()) {
        QCOMPARE(p.view.targetSize(state), target);
        QCOMPARE(QSizeF(p.tracker.visibleWidth(), p.tracker.visibleHeight()), pushed);
    }
    QCOMPARE(p.shows(u"collapsedBar"_qs), state == State::collapsedBar || state == State::mini);
    QCOMPARE(p.view.findChild<QWidget *>(u"pagePicker"_qs) != nullptr, state == State::pagePicker);
    QCOMPARE(p.shows(u"wordsArea"_qs), state == State::expanded);
}

void TestNotchOverlayView::trackerHearsOnlyChangesHeightFirst()
{
    Pinned p;
    // The panel keeps the size the controller gave it until the state changes.
    QCOMPARE(p.tracker.visibleHeight(), 37.0);
    QCOMPARE(p.tracker.visibleWidth(), 200.0);

    p.content.setIsCollapsed(true);
    p.content.setIsMiniMode(true);
    QStringList writes;
    connect(&p.tracker, &NotchFrameTracker::visibleHeightChanged, &p.tracker,
            [&] { writes << u"height %1"_qs.arg(p.tracker.visibleHeight()); });
    connect(&p.tracker, &NotchFrameTracker::visibleWidthChanged, &p.tracker,
            [&] { writes << u"width %1"_qs.arg(p.tracker.visibleWidth()); });
    p.content.setIsCollapsed(false);
    QCOMPARE(writes, QStringList({u"height 197"_qs, u"width 340"_qs}));
}

void TestNotchOverlayView::outlineGrowsOutOfTheNotch()
{
    Pinned p;
    QSignalSpy changes(&p.view, &NotchOverlayView::outlineChanged);
    // Before it appears: the notch's size, centred, whatever the state.
    QCOMPARE(p.view.outlinePath(), outline(8, 8, QRectF(70, 0, 200, 37)));
    p.content.setIsCollapsed(true);
    QCOMPARE(p.view.outlinePath().boundingRect(), QRectF(70, 0, 200, 37));
    p.content.setIsCollapsed(false);

    QVERIFY(p.open());
    QCOMPARE(p.view.outlinePath(), outline(16, 18, QRectF(0, 0, 340, 197)));
    QVERIFY(!changes.isEmpty());

    p.content.setIsCollapsed(true);
    p.content.setIsMiniMode(true);
    QTRY_COMPARE(p.view.outlinePath().boundingRect(), QRectF(65, 0, 210, 61));
}

void TestNotchOverlayView::topBarButtonsOnlyWithThePicker()
{
    Pinned p;
    p.loadNotes(3, 0);
    QVERIFY(p.shows(u"eyeButton"_qs));
    QVERIFY(!p.shows(u"elapsedTime"_qs));
    QVERIFY(!p.shows(u"minimizeButton"_qs));
    QVERIFY(!p.shows(u"closeButton"_qs));

    p.settings.setShowElapsedTime(true);
    QVERIFY(p.shows(u"elapsedTime"_qs));

    p.content.setShowPagePicker(true);
    QVERIFY(p.shows(u"minimizeButton"_qs));
    QVERIFY(p.shows(u"closeButton"_qs));
    QCOMPARE(p.control(u"minimizeButton"_qs)->toolTip(), localizedString("Minimizar"));
    QCOMPARE(p.control(u"closeButton"_qs)->toolTip(), localizedString("Cerrar"));

    p.content.setShowPagePicker(false);
    QVERIFY(!p.shows(u"minimizeButton"_qs));
}

void TestNotchOverlayView::minimiseFromThePicker()
{
    Pinned p;
    p.content.setShowPagePicker(true);
    p.control<QAbstractButton>(u"minimizeButton"_qs)->click();
    QVERIFY(!p.content.showPagePicker());
    QVERIFY(p.content.isCollapsed());
    QVERIFY(p.content.isMiniMode());
    QCOMPARE(p.view.displayState(), State::mini);
    QCOMPARE(QSizeF(p.tracker.visibleWidth(), p.tracker.visibleHeight()), QSizeF(210, 61));
}

void TestNotchOverlayView::scrollStep_data()
{
    QTest::addColumn<bool>("notes");
    QTest::addColumn<bool>("paused");
    QTest::addColumn<bool>("userScrolling");
    QTest::addColumn<double>("startAt");
    QTest::addColumn<double>("expected");

    QTest::newRow("scrolling") << false << false << false << 1.0 << 1.15;
    QTest::newRow("notes mode") << true << false << false << 1.0 << 1.0;
    QTest::newRow("paused") << false << true << false << 1.0 << 1.0;
    QTest::newRow("user scrolling") << false << false << true << 1.0 << 1.0;
    QTest::newRow("finished") << false << false << false << 4.0 << 4.0;
    QTest::newRow("just short of the end") << false << false << false << 3.0 << 3.15;
}

void TestNotchOverlayView::scrollStep()
{
    QFETCH(bool, notes);
    QFETCH(bool, paused);
    QFETCH(bool, userScrolling);
    QFETCH(double, startAt);
    QFETCH(double, expected);

    Pinned p;
    p.content.loadPage(fourWords, false, notes);
    p.view.handleManualScroll(false, startAt);
    if (paused)
        p.view.togglePause();
    if (userScrolling)
        p.view.handleManualScroll(true, 0);

    p.view.scrollStep();
    QCOMPARE(p.view.timerWordProgress(), expected);
    QCOMPARE(p.view.isPaused(), paused);
}

// A paused panel has nothing to move: its timer stops until the reading goes on.
void TestNotchOverlayView::pausedViewStopsItsScrollTimer()
{
    Pinned p;
    p.content.loadPage(fourWords, false, false);
    const auto *timer = p.view.findChild<QTimer *>(u"scrollTimer"_qs);
    QVERIFY(timer && timer->isActive());
    p.view.togglePause();
    QVERIFY(!timer->isActive());
    p.view.togglePause();
    QVERIFY(timer->isActive());
}

void TestNotchOverlayView::manualScrollEndClampsProgress_data()
{
    QTest::addColumn<double>("reported");
    QTest::addColumn<double>("expected");
    QTest::newRow("past the last word") << 9.5 << 4.0;
    QTest::newRow("above the first word") << -2.0 << 0.0;
    QTest::newRow("inside") << 2.5 << 2.5;
}

void TestNotchOverlayView::manualScrollEndClampsProgress()
{
    QFETCH(double, reported);
    QFETCH(double, expected);
    Pinned p;
    p.content.loadPage(fourWords, false, false);
    p.view.handleManualScroll(true, 0);
    QVERIFY(p.view.isUserScrolling());
    p.view.handleManualScroll(false, reported);
    QVERIFY(!p.view.isUserScrolling());
    QCOMPARE(p.view.timerWordProgress(), expected);
}

void TestNotchOverlayView::newPageReadsFromItsStart()
{
    Pinned p;
    auto *reading = p.view.findChild<SpeechScrollView *>();
    p.content.loadPage(fourWords, true, false);
    p.view.handleManualScroll(false, 2);
    QCOMPARE(reading->smoothWordProgress(), 2.0);

    p.content.loadPage(u"otra página más larga que la primera"_qs, false, false);
    QCOMPARE(p.view.timerWordProgress(), 0.0);
    QCOMPARE(reading->smoothWordProgress(), 0.0);
    QCOMPARE(p.view.highlightedCharCount(), 0);

    // The same text loaded again is still a new page.
    p.view.handleManualScroll(false, 3);
    p.content.loadPage(u"otra página más larga que la primera"_qs, false, false);
    QCOMPARE(p.view.timerWordProgress(), 0.0);
}

void TestNotchOverlayView::emptyPageShowsThePlaceholder()
{
    Pinned p;
    p.content.loadPage(fourWords, false, true);
    QTRY_VERIFY(!p.shows(u"emptyPlaceholder"_qs));
    p.content.loadPage(QString(), false, true);
    QTRY_VERIFY(p.shows(u"emptyPlaceholder"_qs));
    QCOMPARE(p.control<QLabel>(u"emptyPlaceholder"_qs)->text(), localizedString("Vacío"));
    QVERIFY(!p.view.findChild<SpeechScrollView *>()->isVisibleTo(&p.view));
    QVERIFY(p.shows(u"footer"_qs));
}

void TestNotchOverlayView::eyeToggle_data()
{
    QTest::addColumn<bool>("captureSupported");
    QTest::addColumn<bool>("hiddenBefore");
    QTest::addColumn<bool>("toast");

    QTest::newRow("turned on") << true << false << true;
    QTest::newRow("turned off") << true << true << false;
    QTest::newRow("turned on where capture cannot be hidden") << false << false << false;
}

void TestNotchOverlayView::eyeToggle()
{
    QFETCH(bool, captureSupported);
    QFETCH(bool, hiddenBefore);
    QFETCH(bool, toast);

    Pinned p(captureSupported);
    p.settings.setHideFromScreenShare(hiddenBefore);
    p.control<QAbstractButton>(u"eyeButton"_qs)->click();
    QCOMPARE(p.settings.hideFromScreenShare(), !hiddenBefore);
    QCOMPARE(p.content.showVisibilityToast(), toast);
    QCOMPARE(p.view.isToastPresented(), toast);
}

void TestNotchOverlayView::glowOnlyWhileExpanded()
{
    Pinned p(true);
    p.settings.setHideFromScreenShare(true);
    QTRY_COMPARE(p.view.glowOpacity(), 1.0);
    p.content.setIsCollapsed(true);
    QTRY_COMPARE(p.view.glowOpacity(), 0.0);
    p.content.setShowPagePicker(true);
    QTRY_COMPARE(p.view.glowOpacity(), 0.0);

    Pinned x11(false);
    x11.settings.setHideFromScreenShare(true);
    QCOMPARE(x11.view.glowOpacity(), 0.0);
}

void TestNotchOverlayView::closeRequestsDismissal_data()
{
    QTest::addColumn<bool>("picker");
    QTest::addColumn<QString>("button");
    QTest::newRow("top bar, picker open") << true << u"closeButton"_qs;
    QTest::newRow("collapsed bar") << false << u"collapsedCloseButton"_qs;
}

void TestNotchOverlayView::closeRequestsDismissal()
{
    QFETCH(bool, picker);
    QFETCH(QString, button);

    Pinned p;
    p.content.setIsCollapsed(!picker);
    p.content.setShowPagePicker(picker);
    QVERIFY(p.open());
    p.recognizer.setIsListening(true);
    p.control<QAbstractButton>(button)->click();
    QVERIFY(!p.recognizer.isListening());
    QVERIFY(p.recognizer.shouldDismiss());
    // The content fades out and the outline shrinks back into the notch.
    QTRY_COMPARE(p.view.expansion(), 0.0);
    QVERIFY(!p.view.isContentVisible());
    QCOMPARE(p.view.outlinePath().boundingRect(), QRectF(70, 0, 200, 37));
}

void TestNotchOverlayView::collapsedBarReopensThePicker()
{
    Pinned p;
    p.content.setIsCollapsed(true);
    QVERIFY(p.open());
    p.control<QAbstractButton>(u"collapsedMinimizeButton"_qs)->click();
    QVERIFY(p.content.isMiniMode());
    QVERIFY(!p.shows(u"collapsedMinimizeButton"_qs));

    auto *bar = p.control(u"collapsedBar"_qs);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->rect().center());
    QVERIFY(!p.content.isMiniMode());
    QVERIFY(p.content.showPagePicker());
    QCOMPARE(p.tracker.visibleWidth(), 340);
}

// The open picker is as tall as its list where the list is short, and where it is long it ends
// under a whole row: the panel's black never runs past the list, nor cuts a row in half.
void TestNotchOverlayView::pickerFitsItsList()
{
    for (const int pages : {2, 5, 12}) {
        Pinned p;
        p.content.setPageCount(pages);
        p.content.setShowPagePicker(true);
        QVERIFY(p.open());
        auto *picker = p.control<PageList>(u"pagePicker"_qs);
        QTRY_COMPARE(p.view.outlinePath().boundingRect().height(),
                     p.view.targetSize(State::pagePicker).height());
        QCOMPARE(p.tracker.visibleHeight(), p.view.targetSize(State::pagePicker).height());
        const double listBottom = picker->height();
        QVERIFY(listBottom <= 160);
        int lastWhole = -1;
        for (int row = 0; row < pages; ++row) {
            const QRectF rect = picker->rowRect(row);
            QVERIFY2(rect.bottom() <= listBottom || rect.top() >= listBottom,
                     qPrintable(u"%1 pages: row %2 is cut"_qs.arg(pages).arg(row)));
            if (rect.bottom() <= listBottom)
                lastWhole = row;
        }
        if (lastWhole == pages - 1) {
            // The whole list, with its padding, and no black under it.
            QCOMPARE(pages, 2);
            QCOMPARE(picker->rowRect(lastWhole).bottom() + 8, listBottom);
        } else {
            // The edge falls where the next row begins, and that row would not have fitted in
            // the room for the text.
            QCOMPARE(picker->rowRect(lastWhole + 1).top(), listBottom);
            QVERIFY(picker->rowRect(lastWhole + 1).bottom() > 160);
        }
    }
}

void TestNotchOverlayView::renderSanity()
{
    Pinned p;
    p.loadNotes(3, 1);
    QVERIFY(p.open());
    QImage image(p.view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    p.view.render(&image, {}, {}, QWidget::DrawChildren);
    // Inside the outline the panel is black; beside its rounded bottom corners nothing is drawn.
    QCOMPARE(image.pixelColor(170, 2), QColor(Qt::black));
    QCOMPARE(qAlpha(image.pixel(3, 194)), 0);
    QCOMPARE(qAlpha(image.pixel(336, 194)), 0);
    // The words are drawn in white somewhere in the reading area.
    bool text = false;
    for (int y = 45; y < 160 && !text; ++y) {
        for (int x = 30; x < 310 && !text; ++x)
            text = qRed(image.pixel(x, y)) > 200;
    }
    QVERIFY(text);
}

QTEST_MAIN(TestNotchOverlayView)
#include "tst_notchoverlayview.moc"
