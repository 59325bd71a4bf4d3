#include "common/rendering.h"
#include "uikit/animation.h"
#include "uikit/fade.h"
#include "uikit/glasseffectview.h"
#include "uikit/icons.h"
#include "uikit/overlayscroller.h"
#include "uikit/roundiconbutton.h"

#include <QPainter>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>

using TestSupport::inkBounds;
using TestSupport::transparentImage;

class TestUikit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundIconButtonReactsInsideItsDisc();
    void everyIconDrawsInsideItsFrame_data();
    void everyIconDrawsInsideItsFrame();
    void unknownIconDrawsNothing();
    void glassFillsAndLetsClicksThrough();
    void overlayScrollerFollowsItsViewportToTheEnd();
    void fadeTurnedBackMidwayEndsAsAskedLast();
};

void TestUikit::roundIconButtonReactsInsideItsDisc()
{
    RoundIconButton button(u"xmark"_qs, 20, 9);
    QCOMPARE(button.size(), QSize(20, 20));
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(19, 0));
    QCOMPARE(clicks.count(), 1);
}

void TestUikit::everyIconDrawsInsideItsFrame_data()
{
    QTest::addColumn<QString>("name");
    const QString names = u"minus xmark stop.fill eye eye.slash play.fill pause.fill "
                          u"backward.end.fill chevron.down doc.text square.and.arrow.down "
                          u"plus.square.on.square checkmark.circle.fill arrow.up arrow.down "
                          u"arrow.left arrow.right chevron.left chevron.right plus "
                          u"magnifyingglass trash doc.on.doc gearshape xmark.circle.fill "
                          u"list.bullet list.bullet.indent pause.circle stop.circle face.smiling "
                          u"tortoise hare wind exclamationmark.circle speaker.wave.1 "
                          u"speaker.wave.3 person.3 clock questionmark.bubble pencil "
                          u"gearshape.fill paintpalette.fill info.circle info.circle.fill "
                          u"arrow.counterclockwise"_qs;
    for (const QString &name : names.split(u' '))
        QTest::newRow(qPrintable(name)) << name;
}

void TestUikit::everyIconDrawsInsideItsFrame()
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

void TestUikit::unknownIconDrawsNothing()
{
    QImage image = transparentImage(40, 40);
    QPainter painter(&image);
    for (const QString &name : {u"eye.slashed"_qs, u"Minus"_qs, QString()})
        QVERIFY(!Icons::paint(&painter, name, QRectF(0, 0, 40, 40), Qt::white, 14));
    QVERIFY(!Icons::paint(&painter, u"minus"_qs, QRectF(0, 0, 40, 40), Qt::white, 0));
    painter.end();
    QVERIFY(inkBounds(image).isEmpty());
}

void TestUikit::glassFillsAndLetsClicksThrough()
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

QTEST_MAIN(TestUikit)

void TestUikit::overlayScrollerFollowsItsViewportToTheEnd()
{
    auto *area = new QScrollArea;
    auto *scroller = new OverlayScroller(area);
    area->resize(240, 120);
    area->show();
    QVERIFY(QTest::qWaitForWindowExposed(area));
    QCOMPARE(scroller->geometry().right(), area->viewport()->geometry().right());
    QCOMPARE(scroller->height(), area->viewport()->height());
    // The viewport still has events while the area is destroyed: the sanitizer build fails here
    // if the scroller then treats what is left of the area as a scroll area.
    delete area;
}

#include "tst_uikit.moc"

// A fade out asked while a fade in is under way wins: the widget ends hidden, and the other way
// round, shown.
void TestUikit::fadeTurnedBackMidwayEndsAsAskedLast()
{
    QWidget window;
    auto *page = new QWidget(&window);
    page->hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const bool last : {false, true}) {
        fadeWidget(page, !last, AnimationTiming::easeInOut(0.3));
        QTest::qWait(100);
        fadeWidget(page, last, AnimationTiming::easeInOut(0.3));
        // The fade has ended once its effect is gone.
        QTRY_VERIFY(!page->graphicsEffect());
        QCOMPARE(page->isVisible(), last);
    }
}
