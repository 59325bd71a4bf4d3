#include "overlay/overlayshapes.h"
#include "uikit/glyphshapes.h"

#include <QTest>

#include <cmath>

namespace {

QString number(double value)
{
    return QString::number(std::round(value * 10000) / 10000);
}

QString point(const QPointF &p)
{
    return number(p.x()) + u' ' + number(p.y());
}

// Writes a path as "M x y", "L x y" and "Q cx cy x y" steps. Qt stores a quadratic curve as a
// cubic; its quadratic control point is recovered, and a cubic that is no quadratic is marked.
QString describe(const QPainterPath &path)
{
    QStringList steps;
    QPointF current;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            steps << u"M "_qs + point(e);
        } else if (e.isLineTo()) {
            steps << u"L "_qs + point(e);
        } else if (e.isCurveTo()) {
            const QPointF c1 = path.elementAt(i);
            const QPointF c2 = path.elementAt(i + 1);
            const QPointF end = path.elementAt(i + 2);
            const QPointF control = current + 1.5 * (c1 - current);
            const QPointF expectedC2 = end + 1.5 * (c2 - end);
            const bool quadratic = (expectedC2 - control).manhattanLength() < 1e-6;
            steps << u"Q "_qs + point(control) + u' ' + point(end)
                         + (quadratic ? QString() : u" (cubic)"_qs);
            i += 2;
            current = end;
            continue;
        }
        current = e;
    }
    return steps.join(u" | ");
}

} // namespace

class TestOverlayShapes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void islandOutline_data();
    void islandOutline();
    void islandWithoutInsetIsTheRectangle();
    void islandAnimatableData();
    void resizeGrip_data();
    void resizeGrip();
    void chevrons_data();
    void chevrons();
};

void TestOverlayShapes::islandOutline_data()
{
    QTest::addColumn<double>("topInset");
    QTest::addColumn<double>("bottomRadius");
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QString>("expected");

    const QString open = u"M 0 0 | Q 16 0 16 16 | L 16 182 | Q 16 200 34 200 | L 306 200 | "
                         "Q 324 200 324 182 | L 324 16 | Q 324 0 340 0 | L 0 0"_qs;
    QTest::newRow("fully open, 340 wide") << 16.0 << 18.0 << QRectF(0, 0, 340, 200) << open;
    // The origin places the outline: the same path, moved.
    QTest::newRow("at an origin")
        << 16.0 << 18.0 << QRectF(-30, 75, 340, 200)
        << u"M -30 75 | Q -14 75 -14 91 | L -14 257 | Q -14 275 4 275 | L 276 275 | "
           "Q 294 275 294 257 | L 294 91 | Q 294 75 310 75 | L -30 75"_qs;
    QTest::newRow("at the notch's size")
        << 8.0 << 8.0 << QRectF(0, 0, 200, 37)
        << u"M 0 0 | Q 8 0 8 8 | L 8 29 | Q 8 37 16 37 | L 184 37 | Q 192 37 192 29 | "
           "L 192 8 | Q 192 0 200 0 | L 0 0"_qs;
}

void TestOverlayShapes::islandOutline()
{
    QFETCH(double, topInset);
    QFETCH(double, bottomRadius);
    QFETCH(QRectF, rect);
    QFETCH(QString, expected);

    const QPainterPath path = DynamicIslandShape{topInset, bottomRadius}.path(rect);
    QCOMPARE(describe(path), expected);
}

void TestOverlayShapes::islandWithoutInsetIsTheRectangle()
{
    const QRectF rect(12, 7, 300, 120);
    const QPainterPath path = DynamicIslandShape{0, 0}.path(rect);

    // Curves collapse onto the corners; what is left, in order, is the plain rectangle.
    const QList<QPolygonF> polygons = path.toSubpathPolygons();
    QCOMPARE(polygons.size(), 1);
    QList<QPointF> corners;
    for (const QPointF &p : polygons.first()) {
        if (corners.isEmpty() || corners.last() != p)
            corners << p;
    }
    const QList<QPointF> expected{rect.topLeft(), rect.bottomLeft(), rect.bottomRight(),
                                  rect.topRight(), rect.topLeft()};
    QCOMPARE(corners, expected);
    QCOMPARE(path.boundingRect(), rect);
}

void TestOverlayShapes::islandAnimatableData()
{
    DynamicIslandShape shape{8, 8};
    shape.setAnimatableData({16, 18});
    QCOMPARE(shape.topInset, 16.0);
    QCOMPARE(shape.bottomRadius, 18.0);
    QCOMPARE(DynamicIslandShape({3, 5}).animatableData(), DynamicIslandShape::AnimatableData(3, 5));
}

void TestOverlayShapes::resizeGrip_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QString>("expected");

    QTest::newRow("11 x 11") << QRectF(0, 0, 11, 11)
                             << u"M 11 0 | L 0 11 | M 11 4 | L 4 11 | M 11 8 | L 8 11"_qs;
    // Unlike the chevrons, the grip uses the rectangle's edges.
    QTest::newRow("placed in a panel")
        << QRectF(200, 100, 11, 11)
        << u"M 211 100 | L 200 111 | M 211 104 | L 204 111 | M 211 108 | L 208 111"_qs;
    // The offsets are absolute points, so in a small rectangle the later lines overhang.
    QTest::newRow("smaller than 8 x 8")
        << QRectF(0, 0, 5, 5) << u"M 5 0 | L 0 5 | M 5 4 | L 4 5 | M 5 8 | L 8 5"_qs;
}

void TestOverlayShapes::resizeGrip()
{
    QFETCH(QRectF, rect);
    QFETCH(QString, expected);
    QCOMPARE(describe(ResizeGripShape().path(rect)), expected);
}

void TestOverlayShapes::chevrons_data()
{
    QTest::addColumn<bool>("pointsLeft");
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QString>("expected");

    const QString left = u"M 15 5 | Q 9.284 11.22 9.669 12 | Q 9.284 12.78 15 19"_qs;
    const QString right = u"M 9 19 | Q 14.716 12.78 14.331 12 | Q 14.716 11.22 9 5"_qs;
    QTest::newRow("left on its grid") << true << QRectF(0, 0, 24, 24) << left;
    QTest::newRow("right on its grid") << false << QRectF(0, 0, 24, 24) << right;
    QTest::newRow("left, origin ignored") << true << QRectF(40, 60, 24, 24) << left;
    QTest::newRow("left, half as wide")
        << true << QRectF(0, 0, 12, 24)
        << u"M 7.5 5 | Q 4.642 11.22 4.8345 12 | Q 4.642 12.78 7.5 19"_qs;
    QTest::newRow("right, half as wide")
        << false << QRectF(0, 0, 12, 24)
        << u"M 4.5 19 | Q 7.358 12.78 7.1655 12 | Q 7.358 11.22 4.5 5"_qs;
    QTest::newRow("right, twice as tall")
        << false << QRectF(0, 0, 24, 48)
        << u"M 9 38 | Q 14.716 25.56 14.331 24 | Q 14.716 22.44 9 10"_qs;
}

void TestOverlayShapes::chevrons()
{
    QFETCH(bool, pointsLeft);
    QFETCH(QRectF, rect);
    QFETCH(QString, expected);
    const QPainterPath path
        = pointsLeft ? ChevronLeftShape().path(rect) : ChevronRightShape().path(rect);
    QCOMPARE(describe(path), expected);
}

QTEST_GUILESS_MAIN(TestOverlayShapes)

#include "tst_overlayshapes.moc"
