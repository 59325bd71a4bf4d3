#include "common/clusters.h"
#include "overlay/speechscrollview.h"
#include "platform/fonts.h"
#include "settings/displaytext.h"
#include "settings/tokenizer.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

#include <functional>

namespace {

QFont testFont()
{
    return Fonts::systemFont(16, QFont::Normal);
}

// The width a word takes on a line: itself and one space.
qreal advance(const QString &word)
{
    const QFontMetricsF metrics(testFont());
    return metrics.horizontalAdvance(word) + metrics.horizontalAdvance(QStringLiteral(" "));
}

WordItem item(const QString &word, int charOffset)
{
    WordItem i;
    i.word = word;
    i.charOffset = charOffset;
    i.length = characterCount(word);
    for (QChar c : word)
        i.letterCount += c.isLetterOrNumber() ? 1 : 0;
    return i;
}

// A page long enough to scroll: 40 lines of five words.
QString longPage()
{
    QStringList lines;
    for (int i = 0; i < 40; ++i)
        lines << QStringLiteral("linea %1 con cinco palabras").arg(i);
    return lines.join(u'\n');
}

struct View
{
    QWidget window;
    SpeechScrollView *view = nullptr;

    explicit View(const QString &text, QSize size = {340, 160})
    {
        window.resize(size);
        view = new SpeechScrollView(&window);
        view->setScriptFont(testFont());
        view->resize(size);
        const TokenizedScript script = tokenizeScript(text);
        view->setWords(script.words, script.lineBreaks);
        window.show();
    }
};

double pitch(const WordFlowLayout &layout)
{
    return layout.naturalLineHeight() + layout.lineSpacing();
}

void sendWheel(QWidget *window, QPoint local, QPoint angle, QPoint pixels,
               Qt::ScrollPhase phase = Qt::NoScrollPhase)
{
    QWheelEvent event(local, window->mapToGlobal(local), pixels, angle, Qt::NoButton,
                      Qt::NoModifier, phase, false);
    QCoreApplication::sendEvent(window->windowHandle(), &event);
}

} // namespace

Q_DECLARE_METATYPE(std::function<void(SpeechScrollView &)>)

class TestSpeechScrollView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readState_data();
    void readState();
    void cueSpans();
    void lineFilling();
    void lineBreaksAndPadding();
    void layoutFollowsEveryPageChange();
    void restingOffsetAndManualRange();
    void topAlignedNeverFollows();
    void characterModeFollowsOnlyWhileListening();
    void smoothModeGlidesAboveTheBottom();
    void rubberBandAndSpringBack();
    void arrowClampReportsOnce();
    void tapReportsTheWordAndRefollows();
    void smoothWheelGestureReportsProgress();
    void wheelCaptureWatchesOnlyThisView();
    void classicWheelGestureEndsAfterAPause();
    void emptyPageStaysAtRest();
    void renderedStyles();
    void changesPaintAtOnce_data();
    void changesPaintAtOnce();
    void opaqueBackgroundPaintsAsOverIt();
    void aMoveBelowAPixelPaintsNothing();
};

void TestSpeechScrollView::readState_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("highlighted");
    QTest::addColumn<bool>("read");
    QTest::newRow("comma need not be reached") << u"hola,"_qs << 4 << true;
    QTest::newRow("last letter not reached") << u"hola,"_qs << 3 << false;
    QTest::newRow("nothing read") << u"hola"_qs << 0 << false;
    QTest::newRow("dash read once touched") << u"—"_qs << 1 << true;
    QTest::newRow("dash untouched") << u"—"_qs << 0 << false;
    QTest::newRow("accented by characters") << u"e\u0301x"_qs << 2 << true;
}

void TestSpeechScrollView::readState()
{
    QFETCH(QString, word);
    QFETCH(int, highlighted);
    QTEST(WordFlowLayout::isRead(item(word, 0), highlighted), "read");
}

// A cue spans words up to its closing bracket on the same script line; an unclosed bracket
// and a closing bracket alone mark nothing but themselves if punctuation-only.
void TestSpeechScrollView::cueSpans()
{
    const TokenizedScript script
        = tokenizeScript(u"[Pausa] hola [Mira al público] fin [abierto\nsigue cerrado] x —"_qs);
    const QList<bool> cue = cueWords(script.words, script.lineBreaks);
    const QList<bool> expected{true,  false, true,  true,  true, false,
                               false, false, false, false, false};
    QCOMPARE(script.words.size(), expected.size());
    QCOMPARE(cue, expected);

    WordFlowLayout layout;
    layout.setFont(testFont());
    layout.setWidth(2000);
    layout.setContent(script.words, script.lineBreaks);
    layout.ensureLayout();
    QVERIFY(layout.items().at(3).isAnnotation);  // "al"
    QVERIFY(!layout.items().at(6).isAnnotation); // "[abierto"
    QVERIFY(layout.items().last().isAnnotation); // the lone dash
}

void TestSpeechScrollView::lineFilling()
{
    WordFlowLayout layout;
    layout.setFont(testFont());
    const QStringList words{u"uno"_qs, u"dos"_qs, u"tres"_qs, u"supercalifragilistico"_qs, u"x"_qs};
    layout.setContent(words, {});
    // Exactly the first two words fit on a line.
    layout.setWidth(std::ceil(advance(u"uno"_qs) + advance(u"dos"_qs)));
    layout.ensureLayout();
    QCOMPARE(layout.lineCount(), 4);
    QCOMPARE(layout.lineFirstItem(1), 2);
    // A word wider than the line stays alone on it.
    QCOMPARE(layout.lineFirstItem(2), 3);
    QCOMPARE(layout.lineEndItem(2), 4);
    QCOMPARE(layout.items().at(1).x, advance(u"uno"_qs));
    QCOMPARE(layout.items().at(2).x, 0.0);
    // Character offsets count each word and one space.
    QCOMPARE(layout.items().at(2).charOffset, 8);
    QCOMPARE(layout.items().at(4).charOffset, 35);

    // A fraction of a pixel more width changes nothing; a whole word's more reflows.
    layout.setWidth(std::ceil(advance(u"uno"_qs) + advance(u"dos"_qs)) + 0.9);
    QVERIFY(layout.isComplete());
    layout.setWidth(1000);
    layout.ensureLayout();
    QCOMPARE(layout.lineCount(), 1);

    // A letter under 400,000 marks is laid out and painted cut, and counted as one character.
    const QString giant = u"a"_qs + TestSupport::marks(400'000);
    layout.setContent({u"uno"_qs, giant, u"dos"_qs}, {});
    layout.ensureLayout();
    QCOMPARE(layout.items().at(1).word, DisplayText::shown(giant));
    QCOMPARE(layout.items().at(1).word.size(), DisplayText::maximumClusterLength);
    QCOMPARE(layout.items().at(2).charOffset, 6);
}

void TestSpeechScrollView::lineBreaksAndPadding()
{
    WordFlowLayout layout;
    layout.setFont(testFont());
    layout.setWidth(1000);
    // Blank lines and a leading break add no line of their own.
    const TokenizedScript script
        = tokenizeScript(u"\n\nIntro breve\n\n\n• punto uno\n• punto dos\nfinal"_qs);
    layout.setContent(script.words, script.lineBreaks);
    layout.ensureLayout();
    QCOMPARE(layout.lineCount(), 4);
    QCOMPARE(layout.lineTopPadding(0), 0.0);
    QCOMPARE(layout.lineTopPadding(1), 4.0); // starts with a bullet
    QCOMPARE(layout.lineTopPadding(3), 8.0);
    const double p = pitch(layout);
    QCOMPARE(layout.lineTop(1), p);
    QCOMPARE(layout.lineTop(2), 2 * p + 4);
    QCOMPARE(layout.wordCenterY(0), layout.naturalLineHeight() / 2);
    QCOMPARE(layout.wordCenterY(2), p + 4 + layout.naturalLineHeight() / 2);
    QCOMPARE(layout.maxWordCenterY(), layout.wordCenterY(int(script.words.size()) - 1));
}

// Two pages with the same word count, first and last word, font and width must not share a
// layout: the second shows its own words.
void TestSpeechScrollView::layoutFollowsEveryPageChange()
{
    View v(u"alfa beta gamma omega"_qs);
    QCOMPARE(v.view->layout().items().at(1).word, u"beta"_qs);
    v.view->setWords({u"alfa"_qs, u"delta"_qs, u"epsilon"_qs, u"omega"_qs}, {});
    QCOMPARE(v.view->layout().items().at(1).word, u"delta"_qs);
    QCOMPARE(v.view->layout().items().at(2).charOffset, 11);
    v.view->setWords({u"alfa"_qs, u"delta"_qs, u"epsilon"_qs, u"omega"_qs}, {2});
    QCOMPARE(v.view->layout().lineCount(), 2);
}

void TestSpeechScrollView::restingOffsetAndManualRange()
{
    View v(longPage());
    const double h = 160;
    QCOMPARE(v.view->containerHeight(), h);
    QCOMPARE(v.view->restingOffset(), h * 0.5 - 16 * 1.4 * 0.5);
    QCOMPARE(v.view->scrollOffset(), v.view->restingOffset());
    const auto [lower, upper] = v.view->manualRange();
    QCOMPARE(upper, h * 0.5);
    QCOMPARE(lower, -(v.view->layout().maxWordCenterY() - h * 0.5 + 16 * 1.4 * 3));
}

void TestSpeechScrollView::topAlignedNeverFollows()
{
    View v(longPage());
    v.view->setTopAligned(true);
    v.view->resize(340, 200); // a height change settles a top-aligned view at 8
    QCOMPARE(v.view->scrollOffset(), 8.0);
    QCOMPARE(v.view->restingOffset(), 8.0);
    v.view->setListening(true);
    v.view->setHighlightedCharCount(500);
    QCOMPARE(v.view->targetScrollOffset(), 8.0);
    const auto [lower, upper] = v.view->manualRange();
    QCOMPARE(upper, 0.0);
    QCOMPARE(lower, -(v.view->layout().maxWordCenterY() - 200 + 16 * 1.4 * 3));
}

void TestSpeechScrollView::characterModeFollowsOnlyWhileListening()
{
    View v(longPage());
    const WordFlowLayout &layout = v.view->layout();
    const int wordOnLine10 = layout.lineFirstItem(10);
    const int offset = layout.items().at(wordOnLine10).charOffset + 2;

    // Once laid out, the first word is centred (to the point: following moves the text only when
    // it is off by more than one); without listening it stays there.
    QVERIFY(std::abs(v.view->targetScrollOffset() - (160 * 0.5 - layout.wordCenterY(0))) <= 1);
    v.view->setHighlightedCharCount(offset);
    QVERIFY(std::abs(v.view->targetScrollOffset() - (160 * 0.5 - layout.wordCenterY(0))) <= 1);

    v.view->setListening(true);
    const double centred = 160 * 0.5 - layout.wordCenterY(wordOnLine10);
    QCOMPARE(v.view->targetScrollOffset(), centred);
    QTRY_COMPARE(v.view->scrollOffset(), centred);

    // Moving within the same line re-targets nothing.
    v.view->setHighlightedCharCount(offset + 3);
    QCOMPARE(v.view->targetScrollOffset(), centred);
    // Past the end, the last word is the current one.
    v.view->setHighlightedCharCount(1000000);
    QCOMPARE(v.view->targetScrollOffset(), 160 * 0.5 - layout.maxWordCenterY());
}

void TestSpeechScrollView::smoothModeGlidesAboveTheBottom()
{
    View v(longPage());
    const WordFlowLayout &layout = v.view->layout();
    v.view->setSmoothScroll(true);
    v.view->setListening(true);
    // Halfway from the last word of line 0 to the first of line 1.
    v.view->setSmoothWordProgress(4.5);
    const double y = (layout.wordCenterY(4) + layout.wordCenterY(5)) / 2;
    QCOMPARE(v.view->targetScrollOffset(), 160 - 20 - y);
    QTRY_COMPARE(v.view->scrollOffset(), 160 - 20 - y);
    // Beyond the page the last word holds.
    v.view->setSmoothWordProgress(5000);
    QCOMPARE(v.view->targetScrollOffset(), 160 - 20 - layout.maxWordCenterY());
}

void TestSpeechScrollView::rubberBandAndSpringBack()
{
    View v(longPage());
    const auto [lower, upper] = v.view->manualRange();
    v.view->applyWheelDelta(upper - 10);
    QCOMPARE(v.view->manualOffset(), upper - 10);
    v.view->applyWheelDelta(60); // 50 past the bound
    QCOMPARE(v.view->manualOffset(), upper + 50 * 0.2);
    v.view->endWheelGesture();
    QCOMPARE(v.view->targetManualOffset(), upper);
    QTRY_COMPARE(v.view->manualOffset(), upper);

    v.view->applyWheelDelta(lower - upper - 100);
    QCOMPARE(v.view->manualOffset(), lower - 100 * 0.2);
    v.view->endWheelGesture();
    QTRY_COMPARE(v.view->manualOffset(), lower);

    // While the text follows the voice in character mode, the wheel is ignored.
    v.view->setListening(true);
    const double before = v.view->targetManualOffset();
    v.view->applyWheelDelta(30);
    QCOMPARE(v.view->targetManualOffset(), before);
}

void TestSpeechScrollView::arrowClampReportsOnce()
{
    View v(longPage());
    QSignalSpy clamped(v.view, &SpeechScrollView::arrowScrollClamped);
    const auto [lower, upper] = v.view->manualRange();

    v.view->setArrowScrollDelta(-22.4);
    QCOMPARE(v.view->targetManualOffset(), -22.4);
    QCOMPARE(clamped.count(), 0);

    v.view->setArrowScrollDelta(upper + 30);
    QCOMPARE(v.view->targetManualOffset(), upper);
    QCOMPARE(clamped.count(), 1);
    QCOMPARE(clamped.at(0).at(0).toDouble(), upper);
    // The caller stores the clamped value back: no second report.
    v.view->setArrowScrollDelta(upper);
    QCOMPARE(clamped.count(), 1);

    v.view->setArrowScrollDelta(lower - 1);
    QCOMPARE(clamped.count(), 2);
    QCOMPARE(clamped.at(1).at(0).toDouble(), lower);
    // Zero brings the text back to rest, unreported: one step down and one up leave no drift.
    v.view->setArrowScrollDelta(0);
    QCOMPARE(v.view->targetManualOffset(), 0.0);
    v.view->setArrowScrollDelta(-22.4);
    v.view->setArrowScrollDelta(-22.4 + 22.4);
    QCOMPARE(v.view->targetManualOffset(), 0.0);
    QCOMPARE(clamped.count(), 2);

    // A long page fresh on screen is laid out in slices: a step down lays out only what it
    // can reach, not the rest of the page.
    View giant(QStringLiteral("palabra ").repeated(300'000));
    QVERIFY(giant.view->layout().items().size() > 0 && !giant.view->layout().isComplete());
    giant.view->setArrowScrollDelta(-22.4);
    QCOMPARE(giant.view->targetManualOffset(), -22.4);
    QVERIFY(!giant.view->layout().isComplete());
}

void TestSpeechScrollView::tapReportsTheWordAndRefollows()
{
    View v(longPage());
    QSignalSpy taps(v.view, &SpeechScrollView::wordTapped);
    const WordFlowLayout &layout = v.view->layout();
    v.view->applyWheelDelta(-40);
    const double offset = v.view->scrollOffset() + v.view->manualOffset();

    const WordItem &second = layout.items().at(1);
    const QPoint onSecond(int(second.x + 3), int(layout.wordCenterY(1) + offset));
    QTest::mouseClick(v.view, Qt::LeftButton, {}, onSecond);
    QCOMPARE(taps.count(), 1);
    QCOMPARE(taps.at(0).at(0).toInt(), second.charOffset);
    QCOMPARE(v.view->targetManualOffset(), 0.0);

    // Beside the text of a line nothing is tapped.
    QTest::mouseClick(v.view, Qt::LeftButton, {}, QPoint(335, onSecond.y()));
    QCOMPARE(taps.count(), 1);

    // The caller moves the position to the tap; the view follows it shortly after.
    v.view->setListening(true);
    v.view->setHighlightedCharCount(second.charOffset);
    QTRY_VERIFY(std::abs(v.view->targetScrollOffset() - (80 - layout.wordCenterY(1))) <= 1);
}

void TestSpeechScrollView::smoothWheelGestureReportsProgress()
{
    View v(longPage());
    QSignalSpy manual(v.view, &SpeechScrollView::manualScroll);
    v.view->setSmoothScroll(true);
    // Not listening: smooth mode takes no wheel.
    v.view->applyWheelDelta(-20);
    QCOMPARE(manual.count(), 0);

    v.view->setListening(true);
    v.view->setSmoothWordProgress(10);
    const double before = v.view->progressAtViewportCenter();
    v.view->applyWheelDelta(-20);
    v.view->applyWheelDelta(-20);
    QCOMPARE(manual.count(), 1);
    QCOMPARE(manual.at(0).at(0).toBool(), true);
    QVERIFY(v.view->isUserScrolling());

    const double expected = v.view->progressAtViewportCenter();
    QVERIFY(expected > before); // the text moved up, so the centre is further on
    v.view->endWheelGesture();
    QCOMPARE(manual.count(), 2);
    QCOMPARE(manual.at(1).at(0).toBool(), false);
    QCOMPARE(manual.at(1).at(1).toDouble(), expected);
    QTRY_COMPARE(v.view->manualOffset(), 0.0);
}

void TestSpeechScrollView::wheelCaptureWatchesOnlyThisView()
{
    View v(longPage(), {340, 160});
    v.window.resize(500, 160);
    QVERIFY(QTest::qWaitForWindowExposed(&v.window));

    // One notch of a classic wheel, away from the reader: the text moves down.
    sendWheel(&v.window, {100, 80}, {0, 120}, {});
    const double notch = QApplication::wheelScrollLines() * 10.0;
    QCOMPARE(v.view->targetManualOffset(), notch);
    // A touchpad gives its precise delta.
    sendWheel(&v.window, {100, 80}, {0, 40}, {0, -7}, Qt::ScrollUpdate);
    QCOMPARE(v.view->targetManualOffset(), notch - 7);
    // Outside the view, nothing.
    sendWheel(&v.window, {420, 80}, {0, 120}, {});
    QCOMPARE(v.view->targetManualOffset(), notch - 7);
    // Another window, nothing.
    QWidget other;
    other.resize(340, 160);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    sendWheel(&other, {100, 80}, {0, 120}, {});
    QCOMPARE(v.view->targetManualOffset(), notch - 7);
}

// A classic wheel reports no phases; its gesture still ends, so a bound is sprung back to.
void TestSpeechScrollView::classicWheelGestureEndsAfterAPause()
{
    View v(longPage());
    QVERIFY(QTest::qWaitForWindowExposed(&v.window));
    const double upper = v.view->manualRange().second;
    for (int i = 0; i < 10; ++i)
        sendWheel(&v.window, {100, 80}, {0, 120}, {});
    QVERIFY(v.view->targetManualOffset() > upper);
    QTRY_COMPARE(v.view->targetManualOffset(), upper);

    // A touchpad's end phase ends at once.
    View smooth(longPage());
    QVERIFY(QTest::qWaitForWindowExposed(&smooth.window));
    QSignalSpy manual(smooth.view, &SpeechScrollView::manualScroll);
    smooth.view->setSmoothScroll(true);
    smooth.view->setListening(true);
    sendWheel(&smooth.window, {100, 80}, {0, 40}, {0, -12}, Qt::ScrollUpdate);
    sendWheel(&smooth.window, {100, 80}, {}, {}, Qt::ScrollEnd);
    QCOMPARE(manual.count(), 2);
}

void TestSpeechScrollView::emptyPageStaysAtRest()
{
    View v{QString()};
    v.view->setListening(true);
    v.view->setHighlightedCharCount(10);
    QCOMPARE(v.view->targetScrollOffset(), v.view->restingOffset());
    QCOMPARE(v.view->progressAtViewportCenter(), 0.0);
    QCOMPARE(v.view->manualRange().first, 0.0);
    QCOMPARE(v.view->layout().lineCount(), 1);
}

// Read words dim, cues take the cue colour, bullets are teal.
void TestSpeechScrollView::renderedStyles()
{
    const auto render = [](const QString &text, int highlighted, bool smooth) {
        View v(text, {200, 60});
        v.view->setHighlightColor(Qt::white);
        v.view->setCueColor(QColor(255, 0, 0));
        v.view->setCueOpacities(1.0, 1.0);
        v.view->setSmoothScroll(smooth);
        v.view->setHighlightedCharCount(highlighted);
        QImage image(v.view->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        v.view->render(&image, {}, {}, QWidget::DrawChildren);
        return image;
    };
    const auto brightest = [](const QImage &image, auto channel) {
        int best = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                best = std::max(best, channel(image.pixelColor(x, y)));
        return best;
    };
    const auto red = [](const QColor &c) { return c.red() - c.green(); };
    const auto white = [](const QColor &c) { return std::min({c.red(), c.green(), c.blue()}); };
    const auto teal = [](const QColor &c) { return c.green() - c.red(); };

    const int unread = brightest(render(u"MMMM"_qs, 0, false), white);
    const int read = brightest(render(u"MMMM"_qs, 5, false), white);
    QVERIFY2(unread > 200 && read < 120, qPrintable(u"%1 %2"_qs.arg(unread).arg(read)));
    // Smooth mode styles nothing as read.
    QVERIFY(brightest(render(u"MMMM"_qs, 5, true), white) > 200);
    QVERIFY(brightest(render(u"[Pausa]"_qs, 0, false), red) > 150);
    QVERIFY(brightest(render(u"•"_qs, 0, false), teal) > 100);
}

using ViewChange = std::function<void(SpeechScrollView &)>;

void TestSpeechScrollView::changesPaintAtOnce_data()
{
    QTest::addColumn<ViewChange>("change");
    QTest::newRow("a word read") << ViewChange([](auto &v) { v.setHighlightedCharCount(13); });
    QTest::newRow("highlight colour")
        << ViewChange([](auto &v) { v.setHighlightColor(QColor(255, 200, 0)); });
    QTest::newRow("cue colour") << ViewChange([](auto &v) { v.setCueColor(QColor(0, 255, 0)); });
    QTest::newRow("cue opacities") << ViewChange([](auto &v) { v.setCueOpacities(0.9, 0.4); });
    QTest::newRow("smooth mode") << ViewChange([](auto &v) { v.setSmoothScroll(true); });
    QTest::newRow("font of the same size")
        << ViewChange([](auto &v) { v.setScriptFont(Fonts::systemFont(16, QFont::Bold)); });
    QTest::newRow("words") << ViewChange([](auto &v) { v.setWords({u"otra"_qs, u"cosa"_qs}, {}); });
}

// The view keeps what it drew of each line from frame to frame: a change shows at the next
// frame, exactly as on a view that had it from the start.
void TestSpeechScrollView::changesPaintAtOnce()
{
    QFETCH(ViewChange, change);
    const auto render = [](SpeechScrollView &view) {
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        view.render(&image, {}, {}, QWidget::DrawChildren);
        return image;
    };
    const QString page = u"MMMM [Pausa] uno\n• dos tres"_qs;
    View changed(page), fresh(page);
    for (View *v : {&changed, &fresh})
        v->view->setHighlightedCharCount(5);
    render(*changed.view);
    change(*changed.view);
    change(*fresh.view);
    QCOMPARE(render(*changed.view), render(*fresh.view));
}

// Over an opaque background the view paints that colour itself, fades included, so that nothing
// behind it is painted again at each frame; what shows is the same.
void TestSpeechScrollView::opaqueBackgroundPaintsAsOverIt()
{
    View overBlack(longPage()), opaque(longPage());
    opaque.view->setBackground(Qt::black);
    QImage behind(overBlack.view->size(), QImage::Format_RGB32);
    behind.fill(Qt::black);
    overBlack.view->render(&behind, {}, {}, QWidget::DrawChildren);
    QImage painted(opaque.view->size(), QImage::Format_RGB32);
    opaque.view->render(&painted);
    int largest = 0;
    for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x)
            largest = std::max(largest,
                               std::abs(qGray(painted.pixel(x, y)) - qGray(behind.pixel(x, y))));
    }
    QVERIFY2(largest <= 2, qPrintable(QString::number(largest)));
}

// A glide moves the lines a fraction of a pixel at most frames: only a move that reaches the next
// device pixel is painted.
void TestSpeechScrollView::aMoveBelowAPixelPaintsNothing()
{
    struct Paints : QObject
    {
        int count = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            count += event->type() == QEvent::Paint;
            return false;
        }
    } paints;
    View v(longPage());
    QVERIFY(QTest::qWaitForWindowExposed(&v.window));
    QTRY_COMPARE(v.view->scrollOffset(), v.view->targetScrollOffset());
    const double offset = v.view->scrollOffset() + v.view->manualOffset();
    v.view->applyWheelDelta(std::round(offset) - offset - 1);
    QCoreApplication::processEvents();
    v.view->installEventFilter(&paints);

    v.view->applyWheelDelta(-0.3);
    QCoreApplication::processEvents();
    QCOMPARE(paints.count, 0);
    v.view->applyWheelDelta(-0.4);
    QTRY_COMPARE(paints.count, 1);
}

QTEST_MAIN(TestSpeechScrollView)
#include "tst_speechscrollview.moc"
