#include "common/fakecaptureshield.h"
#include "common/rendering.h"
#include "overlay/audiowaveformprogressview.h"
#include "overlay/elapsedtimeview.h"
#include "overlay/pagetitletoggle.h"
#include "overlay/stopbuttonview.h"
#include "overlay/visibilitytoastview.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

using TestSupport::inkBounds;
using TestSupport::transparentImage;

const QColor accentBar = QColor::fromRgbF(0, 0.847f, 0.749f, 0.9f);
const QColor dimBar = QColor::fromRgbF(1, 1, 1, 0.15f);

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
    void toastSizeFollowsItsContent();
    void longTitleStaysInsideTheFooter();
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

// A footer as the panels build it: the title toggle, a spring and a fixed button. However long
// the title, the row's minimum stays and the button keeps its place inside the panel.
void TestOverlayWidgets::longTitleStaysInsideTheFooter()
{
    InMemoryKeyValueStore store;
    FakeCaptureShield shield(false);
    NotchSettings settings(store, shield, u"es"_qs);
    QWidget footer;
    auto *row = new QHBoxLayout(&footer);
    auto *toggle = new PageTitleToggle(settings, &footer);
    auto *button = new QWidget(&footer);
    button->setFixedSize(24, 24);
    row->addWidget(toggle);
    row->addStretch(1);
    row->addWidget(button);
    toggle->setText(u"Intro"_qs);
    const QSize minimum = footer.minimumSizeHint();
    toggle->setText(QString(2000, u'W'));
    QCOMPARE(footer.minimumSizeHint(), minimum);

    footer.resize(340, 30);
    footer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&footer));
    QVERIFY(footer.rect().contains(button->geometry()));
    QVERIFY(toggle->geometry().right() < button->geometry().left());
}

QTEST_MAIN(TestOverlayWidgets)

#include "tst_overlaywidgets.moc"
