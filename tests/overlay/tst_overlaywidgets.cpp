#include "common/rendering.h"
#include "overlay/audiowaveformprogressview.h"
#include "overlay/elapsedtimeview.h"
#include "overlay/glasseffectview.h"
#include "overlay/icons.h"
#include "overlay/roundiconbutton.h"
#include "overlay/stopbuttonview.h"
#include "overlay/visibilitytoastview.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

using TestSupport::inkBounds;

const QColor accentBar = QColor::fromRgbF(0, 0.847f, 0.749f, 0.9f);
const QColor dimBar = QColor::fromRgbF(1, 1, 1, 0.15f);

QImage transparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

class TestOverlayWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void elapsedText_data();
    void elapsedText();
    void elapsedTimeFollowsItsClock();
    void waveformColouring_data();
    void waveformColouring();
    void waveformBarGeometry();
    void waveformLevelChangeEases();
    void stopButtonFiresOncePerClick();
    void roundIconButtonReactsInsideItsDisc();
    void everyIconDrawsInsideItsFrame_data();
    void everyIconDrawsInsideItsFrame();
    void unknownIconDrawsNothing();
    void toastSizeFollowsItsContent();
    void glassFillsAndLetsClicksThrough();
};

void TestOverlayWidgets::elapsedText_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("start") << qint64(0) << u"00:00"_qs;
    QTest::newRow("59 s") << qint64(59) << u"00:59"_qs;
    QTest::newRow("65 s") << qint64(65) << u"01:05"_qs;
    QTest::newRow("75 minutes, no hour field") << qint64(75 * 60) << u"75:00"_qs;
    QTest::newRow("100 minutes") << qint64(100 * 60) << u"100:00"_qs;
}

void TestOverlayWidgets::elapsedText()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(ElapsedTimeView::elapsedText(seconds), text);
}

void TestOverlayWidgets::elapsedTimeFollowsItsClock()
{
    qint64 nowMs = 50'000;
    ElapsedTimeView view(11, nowMs, [&nowMs] { return nowMs; });
    QCOMPARE(view.text(), u"00:00"_qs);
    nowMs += 65'999; // partial seconds are dropped
    QCOMPARE(view.text(), u"01:05"_qs);
    const int narrowWidth = view.sizeHint().width();
    nowMs = 50'000 + 100 * 60'000;
    QCOMPARE(view.text(), u"100:00"_qs);
    QVERIFY(view.sizeHint().width() > narrowWidth);
    view.restart();
    QCOMPARE(view.text(), u"00:00"_qs);
}

void TestOverlayWidgets::waveformColouring_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("progress");
    QTest::addColumn<QList<bool>>("coloured");
    QTest::newRow("one bar sits at 0") << 1 << 0.0 << QList<bool>{true};
    QTest::newRow("no bars") << 0 << 0.5 << QList<bool>{};
    QTest::newRow("five bars, half way") << 5 << 0.5 << QList<bool>{true, true, true, false, false};
    QTest::newRow("two bars, not quite done") << 2 << 0.99 << QList<bool>{true, false};
    QTest::newRow("five bars, done") << 5 << 1.0 << QList<bool>{true, true, true, true, true};
}

void TestOverlayWidgets::waveformColouring()
{
    QFETCH(int, count);
    QFETCH(double, progress);
    QFETCH(QList<bool>, coloured);

    AudioWaveformProgressView view;
    view.setLevels(QList<double>(count, 0.5));
    view.setProgress(progress);
    const QList<AudioWaveformProgressView::Bar> bars = view.bars();
    QCOMPARE(bars.size(), coloured.size());
    for (int i = 0; i < bars.size(); ++i)
        QCOMPARE(bars[i].color, coloured[i] ? accentBar : dimBar);
}

void TestOverlayWidgets::waveformBarGeometry()
{
    AudioWaveformProgressView view;
    view.resize(100, 60);
    view.setLevels({0, 2, 0.5});
    const QList<AudioWaveformProgressView::Bar> bars = view.bars();
    QCOMPARE(bars.size(), 3);
    // Three bars 3 wide with 2 between them make a 13-point row, centred in the view.
    QCOMPARE(bars[0].rect, QRectF(43.5, 28.5, 3, 3));
    QCOMPARE(bars[1].rect, QRectF(48.5, 2, 3, 56));
    QCOMPARE(bars[2].rect, QRectF(53.5, 23, 3, 14));
}

void TestOverlayWidgets::waveformLevelChangeEases()
{
    AudioWaveformProgressView view;
    view.setLevels({0, 1});
    QCOMPARE(view.bars()[1].rect.height(), 28.0);
    view.setLevels({1, 1});
    // The change runs as an animation, not as a jump.
    QCOMPARE(view.bars()[0].rect.height(), 3.0);
    QTRY_COMPARE(view.bars()[0].rect.height(), 28.0);
}

void TestOverlayWidgets::stopButtonFiresOncePerClick()
{
    StopButtonView button;
    QCOMPARE(button.size(), QSize(36, 36));
    QSignalSpy stops(&button, &StopButtonView::stopRequested);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(18, 18));
    QCOMPARE(stops.count(), 1);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(30, 10));
    QCOMPARE(stops.count(), 2);
    // The corners lie outside the red disc.
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(stops.count(), 2);
}

void TestOverlayWidgets::roundIconButtonReactsInsideItsDisc()
{
    RoundIconButton button(u"xmark"_qs, 20, 9);
    QCOMPARE(button.size(), QSize(20, 20));
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(19, 0));
    QCOMPARE(clicks.count(), 1);
}

void TestOverlayWidgets::everyIconDrawsInsideItsFrame_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"minus",
                             "xmark",
                             "stop.fill",
                             "eye",
                             "eye.slash",
                             "play.fill",
                             "pause.fill",
                             "backward.end.fill",
                             "chevron.down",
                             "doc.text",
                             "plus.square.on.square",
                             "checkmark.circle.fill",
                             "arrow.up",
                             "arrow.down",
                             "arrow.left",
                             "arrow.right",
                             "chevron.left",
                             "chevron.right",
                             "plus",
                             "magnifyingglass",
                             "trash",
                             "doc.on.doc",
                             "gearshape",
                             "xmark.circle.fill"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestOverlayWidgets::everyIconDrawsInsideItsFrame()
{
    QFETCH(QString, name);
    const QColor colour(0, 216, 191);
    const QRect frame(10, 10, 24, 24);

    QImage small = transparentImage(44, 44);
    QPainter painter(&small);
    QVERIFY(Icons::paint(&painter, name, frame, colour, 14, QFont::Bold));
    painter.end();

    const QRect ink = inkBounds(small);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(frame.contains(ink), qPrintable(name));
    // Centred in its frame, to within a pixel and a half.
    QVERIFY(qAbs(QRectF(ink).center().x() - QRectF(frame).center().x()) <= 1.5);
    QVERIFY(qAbs(QRectF(ink).center().y() - QRectF(frame).center().y()) <= 1.5);
    // Drawn in the colour given; antialiasing only lowers the opacity.
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        for (int x = ink.left(); x <= ink.right(); ++x) {
            const QColor pixel = small.pixelColor(x, y);
            if (pixel.alpha() == 255)
                QCOMPARE(pixel, colour);
        }
    }

    QImage large = transparentImage(88, 88);
    painter.begin(&large);
    Icons::paint(&painter, name, QRect(20, 20, 48, 48), colour, 28, QFont::Bold);
    painter.end();
    const QRect largeInk = inkBounds(large);
    QVERIFY(largeInk.width() > 1.6 * ink.width() || largeInk.height() > 1.6 * ink.height());
}

void TestOverlayWidgets::unknownIconDrawsNothing()
{
    QImage image = transparentImage(40, 40);
    QPainter painter(&image);
    for (const QString &name : {u"eye.slashed"_qs, u"Minus"_qs, QString()})
        QVERIFY(!Icons::paint(&painter, name, QRectF(0, 0, 40, 40), Qt::white, 14));
    QVERIFY(!Icons::paint(&painter, u"minus"_qs, QRectF(0, 0, 40, 40), Qt::white, 0));
    painter.end();
    QVERIFY(inkBounds(image).isEmpty());
}

void TestOverlayWidgets::toastSizeFollowsItsContent()
{
    VisibilityToastView toast;
    const QSize hint = toast.sizeHint();
    const QRectF capsule = toast.capsuleRect();
    // The 20-point icon outgrows the 12-point text, and 6 points of padding sit above and below.
    QCOMPARE(capsule.height(), 32.0);
    QVERIFY(capsule.width() > 12 + 20 + 8 + 12);
    QVERIFY(QRectF(QPointF(0, 0), hint).contains(capsule));

    toast.resize(hint);
    QImage image = transparentImage(hint.width(), hint.height());
    toast.render(&image, {}, {}, QWidget::DrawChildren);
    // The capsule is opaque, its teal shadow shows below it, and the widget's corners stay clear.
    QCOMPARE(qAlpha(image.pixel(capsule.center().toPoint())), 255);
    const QColor shadow = image.pixelColor(int(capsule.center().x()), int(capsule.bottom()) + 3);
    QVERIFY(shadow.alpha() > 0);
    QVERIFY(shadow.green() > shadow.red());
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

void TestOverlayWidgets::glassFillsAndLetsClicksThrough()
{
    GlassEffectView glass;
    glass.resize(30, 20);
    QVERIFY(glass.testAttribute(Qt::WA_TransparentForMouseEvents));
    QImage image(30, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    glass.render(&image, {}, {}, QWidget::DrawChildren);
    const QRgb material = qPremultiply(GlassEffectView::materialColor().rgba());
    QCOMPARE(image.pixel(0, 0), material);
    QCOMPARE(image.pixel(29, 19), material);
}

QTEST_MAIN(TestOverlayWidgets)

#include "tst_overlaywidgets.moc"
