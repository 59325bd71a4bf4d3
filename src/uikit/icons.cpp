#include "icons.h"

#include "uikit/painting.h"

#include <QHash>
#include <QLineF>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>

#include <algorithm>
#include <cmath>

#include <QtMath>

// Glyphs are built in "em" units: the nominal box is [0, 1] x [0, 1] with its centre at
// (0.5, 0.5). Strokes are turned into outlines so that every glyph is one filled path and
// cut-outs (the eye's slash, the check in its disc) are plain path subtractions.

namespace Icons {
namespace {

// Paths are in em units, far smaller than the pixel tolerances that Qt flattens curves with, so
// strokes get a fine threshold and boolean operations run on a scaled-up copy.
constexpr double curveTolerance = 0.002;
constexpr double booleanScale = 1024;

QPainterPath viaScaled(const QPainterPath &a, const QPainterPath &b,
                       QPainterPath (QPainterPath::*operation)(const QPainterPath &) const)
{
    const QTransform up = QTransform::fromScale(booleanScale, booleanScale);
    const QTransform down = QTransform::fromScale(1 / booleanScale, 1 / booleanScale);
    return down.map((up.map(a).*operation)(up.map(b)));
}

QPainterPath subtract(const QPainterPath &from, const QPainterPath &cut)
{
    return viaScaled(from, cut, &QPainterPath::subtracted);
}

QPainterPath unite(const QPainterPath &a, const QPainterPath &b)
{
    return viaScaled(a, b, &QPainterPath::united);
}

QPainterPath strokedOutline(const QPainterPath &centreLine, double width,
                            Qt::PenCapStyle cap = Qt::RoundCap,
                            Qt::PenJoinStyle join = Qt::RoundJoin)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCurveThreshold(curveTolerance);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(join);
    QPainterPath outline = stroker.createStroke(centreLine);
    outline.setFillRule(Qt::WindingFill);
    return outline;
}

QPainterPath line(QPointF from, QPointF to)
{
    QPainterPath p;
    p.moveTo(from);
    p.lineTo(to);
    return p;
}

QPainterPath polyline(std::initializer_list<QPointF> points)
{
    QPainterPath p;
    p.addPolygon(QPolygonF(QList<QPointF>(points)));
    return p;
}

// A filled polygon whose corners are rounded by growing it with a round-joined stroke.
QPainterPath roundedPolygon(std::initializer_list<QPointF> points, double cornerRadius)
{
    QPainterPath p;
    p.addPolygon(QPolygonF(QList<QPointF>(points)));
    p.closeSubpath();
    return unite(strokedOutline(p, 2 * cornerRadius), p);
}

QPainterPath minusGlyph(double s)
{
    return strokedOutline(line({0.14, 0.5}, {0.86, 0.5}), s);
}

QPainterPath xmarkGlyph(double s)
{
    QPainterPath p = line({0.2, 0.2}, {0.8, 0.8});
    p.addPath(line({0.8, 0.2}, {0.2, 0.8}));
    return strokedOutline(p, s);
}

QPainterPath stopFillGlyph(double)
{
    return roundedRectPath({0.12, 0.12, 0.76, 0.76}, 0.14);
}

QPainterPath playFillGlyph(double)
{
    // The apex sits right of centre so that the triangle's weight, not its box, is centred.
    return roundedPolygon({{0.25, 0.14}, {0.87, 0.5}, {0.25, 0.86}}, 0.06);
}

QPainterPath pauseFillGlyph(double)
{
    QPainterPath p = roundedRectPath({0.2, 0.1, 0.22, 0.8}, 0.06);
    p.addPath(roundedRectPath({0.58, 0.1, 0.22, 0.8}, 0.06));
    return p;
}

QPainterPath backwardEndFillGlyph(double)
{
    QPainterPath p = roundedRectPath({0.1, 0.14, 0.13, 0.72}, 0.05);
    p.addPath(roundedPolygon({{0.33, 0.5}, {0.86, 0.19}, {0.86, 0.81}}, 0.05));
    return p;
}

QPainterPath chevronDownGlyph(double s)
{
    return strokedOutline(polyline({{0.16, 0.34}, {0.5, 0.68}, {0.84, 0.34}}), s);
}

// An upward arrow; the other directions are this one turned about the centre.
QPainterPath arrowGlyph(double s, double degrees)
{
    QPainterPath p = line({0.5, 0.12}, {0.5, 0.88});
    p.addPath(polyline({{0.2, 0.42}, {0.5, 0.12}, {0.8, 0.42}}));
    const QPainterPath up = strokedOutline(p, s);
    QTransform turn;
    turn.translate(0.5, 0.5).rotate(degrees).translate(-0.5, -0.5);
    return turn.map(up);
}

QPainterPath eyeOutline()
{
    // An almond wider than the box, pointed at both ends.
    QPainterPath p;
    p.moveTo(-0.12, 0.5);
    p.cubicTo(0.2, 0.1, 0.8, 0.1, 1.12, 0.5);
    p.cubicTo(0.8, 0.9, 0.2, 0.9, -0.12, 0.5);
    p.closeSubpath();
    return p;
}

QPainterPath eyeGlyph(double s)
{
    QPainterPath p = strokedOutline(eyeOutline(), s);
    QPainterPath pupil;
    pupil.addEllipse(QPointF(0.5, 0.5), 0.19, 0.19);
    p.addPath(pupil);
    return p;
}

QPainterPath eyeSlashGlyph(double s)
{
    const QPainterPath slash = line({0.06, 0.08}, {0.94, 0.92});
    // A clear channel either side of the slash keeps it apart from the eye's lines.
    const QPainterPath channel = strokedOutline(slash, 2.6 * s);
    QPainterPath p = subtract(eyeGlyph(s), channel);
    p.addPath(strokedOutline(slash, s));
    return p;
}

QPainterPath docTextGlyph(double s)
{
    // A sheet with its top-right corner folded over, and two lines of text.
    QPainterPath sheet = polyline(
        {{0.6, 0.02}, {0.14, 0.02}, {0.14, 0.98}, {0.86, 0.98}, {0.86, 0.28}, {0.6, 0.02}});
    sheet.addPath(polyline({{0.6, 0.02}, {0.6, 0.28}, {0.86, 0.28}}));
    QPainterPath p = strokedOutline(sheet, s);
    p.addPath(strokedOutline(line({0.34, 0.55}, {0.66, 0.55}), s));
    p.addPath(strokedOutline(line({0.34, 0.77}, {0.66, 0.77}), s));
    return p;
}

QPainterPath squareAndArrowDownGlyph(double s)
{
    // A tray open at the top, and an arrow coming down into it.
    QPainterPath p = polyline(
        {{0.34, 0.36}, {0.16, 0.36}, {0.16, 0.96}, {0.84, 0.96}, {0.84, 0.36}, {0.66, 0.36}});
    p.addPath(line({0.5, 0.04}, {0.5, 0.66}));
    p.addPath(polyline({{0.34, 0.5}, {0.5, 0.66}, {0.66, 0.5}}));
    return strokedOutline(p, s);
}

QPainterPath plusSquareOnSquareGlyph(double s)
{
    // The back square shows only where the front one does not cover it, with a gap between.
    const QRectF front(0.3, 0.3, 0.78, 0.78);
    const QRectF back(-0.08, -0.08, 0.74, 0.74);
    const double radius = 0.17;
    QPainterPath backSquare;
    backSquare.addRoundedRect(back, radius, radius);
    QPainterPath frontSquare;
    frontSquare.addRoundedRect(front, radius, radius);

    QPainterPath frontArea = strokedOutline(frontSquare, 2.2 * s);
    frontArea.addPath(frontSquare);
    QPainterPath p = subtract(strokedOutline(backSquare, s), frontArea);

    p.addPath(strokedOutline(frontSquare, s));
    const QPointF c = front.center();
    const double arm = 0.18;
    p.addPath(strokedOutline(line(c - QPointF(arm, 0), c + QPointF(arm, 0)), s));
    p.addPath(strokedOutline(line(c - QPointF(0, arm), c + QPointF(0, arm)), s));
    return p;
}

QPainterPath checkmarkCircleFillGlyph(double s)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(0.5, 0.5), 0.48, 0.48);
    const QPainterPath check = polyline({{0.28, 0.52}, {0.44, 0.67}, {0.72, 0.35}});
    return subtract(disc, strokedOutline(check, std::max(s, 0.08)));
}

QPainterPath checkmarkGlyph(double s)
{
    return strokedOutline(polyline({{0.16, 0.54}, {0.4, 0.78}, {0.84, 0.24}}), s);
}

QPainterPath chevronLeftGlyph(double s)
{
    return strokedOutline(polyline({{0.64, 0.16}, {0.32, 0.5}, {0.64, 0.84}}), s);
}

QPainterPath chevronRightGlyph(double s)
{
    return strokedOutline(polyline({{0.36, 0.16}, {0.68, 0.5}, {0.36, 0.84}}), s);
}

QPainterPath plusGlyph(double s)
{
    QPainterPath p = line({0.14, 0.5}, {0.86, 0.5});
    p.addPath(line({0.5, 0.14}, {0.5, 0.86}));
    return strokedOutline(p, s);
}

QPainterPath magnifyingGlassGlyph(double s)
{
    QPainterPath p;
    p.addEllipse(QPointF(0.43, 0.43), 0.27, 0.27);
    p.addPath(line({0.63, 0.63}, {0.88, 0.88}));
    return strokedOutline(p, s);
}

QPainterPath trashGlyph(double s)
{
    QPainterPath p = line({0.12, 0.24}, {0.88, 0.24});
    p.addPath(polyline({{0.38, 0.24}, {0.38, 0.12}, {0.62, 0.12}, {0.62, 0.24}}));
    p.addPath(polyline({{0.22, 0.24}, {0.27, 0.88}, {0.73, 0.88}, {0.78, 0.24}}));
    return strokedOutline(p, s);
}

QPainterPath docOnDocGlyph(double s)
{
    QPainterPath back = polyline({{0.34, 0.12}, {0.84, 0.12}, {0.84, 0.68}});
    QPainterPath front;
    front.addRoundedRect(QRectF(0.16, 0.3, 0.5, 0.58), 0.06, 0.06);
    back.addPath(front);
    return strokedOutline(back, s);
}

QPainterPath gearshapeGlyph(double s)
{
    QPainterPath p;
    p.addEllipse(QPointF(0.5, 0.5), 0.14, 0.14);
    p.addEllipse(QPointF(0.5, 0.5), 0.3, 0.3);
    for (int i = 0; i < 8; ++i) {
        const QLineF tooth = QLineF::fromPolar(0.44, i * 45).translated(0.5, 0.5);
        p.addPath(line(tooth.pointAt(0.68), tooth.p2()));
    }
    return strokedOutline(p, s);
}

QPainterPath xmarkCircleFillGlyph(double s)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(0.5, 0.5), 0.46, 0.46);
    QPainterPath cross = line({0.33, 0.33}, {0.67, 0.67});
    cross.addPath(line({0.67, 0.33}, {0.33, 0.67}));
    return subtract(disc, strokedOutline(cross, std::max(s, 0.08)));
}

QPainterPath gearshapeFillGlyph(double)
{
    // A toothed wheel with a round hole: a disc and eight rounded teeth, less the hole.
    QPainterPath wheel;
    wheel.addEllipse(QPointF(0.5, 0.5), 0.33, 0.33);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth = roundedRectPath({0.41, 0.02, 0.18, 0.2}, 0.05);
        QTransform turn;
        turn.translate(0.5, 0.5).rotate(i * 45).translate(-0.5, -0.5);
        wheel = unite(wheel, turn.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(0.5, 0.5), 0.13, 0.13);
    return subtract(wheel, hole);
}

QPainterPath paintpaletteFillGlyph(double)
{
    // A painter's palette: a rounded board with a notch for the thumb, and four wells of paint
    // cut out of it.
    QPainterPath board;
    board.moveTo(0.5, 0.06);
    board.cubicTo(0.78, 0.06, 0.96, 0.26, 0.96, 0.48);
    board.cubicTo(0.96, 0.66, 0.84, 0.72, 0.72, 0.7);
    board.cubicTo(0.6, 0.68, 0.54, 0.74, 0.58, 0.84);
    board.cubicTo(0.62, 0.94, 0.56, 0.96, 0.48, 0.96);
    board.cubicTo(0.22, 0.96, 0.04, 0.76, 0.04, 0.5);
    board.cubicTo(0.04, 0.24, 0.24, 0.06, 0.5, 0.06);
    board.closeSubpath();
    QPainterPath wells;
    for (const QPointF &well :
         {QPointF(0.26, 0.5), QPointF(0.34, 0.28), QPointF(0.56, 0.22), QPointF(0.76, 0.36)})
        wells.addEllipse(well, 0.075, 0.075);
    return subtract(board, wells);
}

// The letter i of the info symbols: a dot over a short stem.
QPainterPath infoLetter(double s)
{
    QPainterPath letter;
    letter.addEllipse(QPointF(0.5, 0.3), 0.065, 0.065);
    letter.addPath(strokedOutline(line({0.5, 0.46}, {0.5, 0.72}), std::max(s, 0.1)));
    return letter;
}

QPainterPath infoCircleGlyph(double s)
{
    QPainterPath ring;
    ring.addEllipse(QPointF(0.5, 0.5), 0.44, 0.44);
    QPainterPath p = strokedOutline(ring, s);
    p.addPath(infoLetter(s));
    return p;
}

QPainterPath infoCircleFillGlyph(double s)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(0.5, 0.5), 0.47, 0.47);
    return subtract(disc, infoLetter(s));
}

QPainterPath arrowCounterclockwiseGlyph(double s)
{
    // Most of a circle, open at the top left; the end at the top carries an arrow head pointing
    // left, the way the hands would go back.
    const QRectF circle(0.12, 0.12, 0.76, 0.76);
    QPainterPath arc;
    arc.arcMoveTo(circle, 150);
    arc.arcTo(circle, 150, 300);
    QPainterPath p = strokedOutline(arc, s);
    const QPointF top(0.5, 0.12);
    p.addPath(roundedPolygon(
        {top + QPointF(-0.17, 0), top + QPointF(0.05, -0.14), top + QPointF(0.05, 0.14)}, 0.02));
    return p;
}

QPainterPath dot(QPointF centre, double radius)
{
    QPainterPath p;
    p.addEllipse(centre, radius, radius);
    return p;
}

// The path as polygons fine enough for any size drawn. Booleans on curves flatten them far
// finer at their working scale, which makes a glyph of a few curves cost milliseconds.
QPainterPath flattened(const QPainterPath &path)
{
    const QTransform up = QTransform::fromScale(200, 200);
    const QTransform down = up.inverted();
    QPainterPath p;
    for (const QPolygonF &polygon : path.toSubpathPolygons(up))
        p.addPolygon(down.map(polygon));
    p.setFillRule(path.fillRule());
    return p;
}

QPainterPath ring(QPointF centre, double radius)
{
    QPainterPath p;
    p.addEllipse(centre, radius, radius);
    return p;
}

// An arc of the circle about `centre`, from `startDegrees` (0 = right, counter-clockwise as seen)
// through `spanDegrees`.
QPainterPath arc(QPointF centre, double radius, double startDegrees, double spanDegrees)
{
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath p;
    p.arcMoveTo(box, startDegrees);
    p.arcTo(box, startDegrees, spanDegrees);
    return p;
}

// Three rows of a list: a dot and a line each; `indent` moves the dots of the lower two in.
QPainterPath listGlyph(double s, double indent)
{
    QPainterPath p;
    const double rows[] = {0.2, 0.5, 0.8};
    for (int i = 0; i < 3; ++i) {
        const double x = 0.1 + (i > 0 ? indent : 0);
        p.addPath(dot({x, rows[i]}, 0.075));
        p.addPath(strokedOutline(line({x + 0.2, rows[i]}, {0.94, rows[i]}), s));
    }
    return p;
}

QPainterPath pencilGlyph(double s)
{
    // Drawn lying along x, point to the left, then turned to write towards the lower left: a
    // sharpened tip, the body, and the band of the eraser.
    const double half = 0.11;
    QPainterPath p = polyline({{-0.02, 0.5},
                               {0.24, 0.5 - half},
                               {1.02, 0.5 - half},
                               {1.02, 0.5 + half},
                               {0.24, 0.5 + half},
                               {-0.02, 0.5}});
    p.addPath(line({0.24, 0.5 - half}, {0.24, 0.5 + half}));
    p.addPath(line({0.84, 0.5 - half}, {0.84, 0.5 + half}));
    QTransform turn;
    turn.translate(0.5, 0.5).rotate(-45).translate(-0.5, -0.5);
    return turn.map(strokedOutline(p, s));
}

QPainterPath listBulletGlyph(double s)
{
    return listGlyph(s, 0);
}

QPainterPath listBulletIndentGlyph(double s)
{
    return listGlyph(s, 0.22);
}

QPainterPath pauseCircleGlyph(double s)
{
    QPainterPath bars = line({0.4, 0.34}, {0.4, 0.66});
    bars.addPath(line({0.6, 0.34}, {0.6, 0.66}));
    QPainterPath p = strokedOutline(ring({0.5, 0.5}, 0.45), s);
    p.addPath(strokedOutline(bars, s));
    return p;
}

QPainterPath stopCircleGlyph(double s)
{
    QPainterPath p = strokedOutline(ring({0.5, 0.5}, 0.45), s);
    p.addPath(roundedRectPath({0.34, 0.34, 0.32, 0.32}, 0.05));
    return p;
}

QPainterPath faceSmilingGlyph(double s)
{
    QPainterPath p = strokedOutline(ring({0.5, 0.5}, 0.45), s);
    p.addPath(dot({0.36, 0.4}, 0.06));
    p.addPath(dot({0.64, 0.4}, 0.06));
    // The smile: the lower part of a circle about the face's centre.
    p.addPath(strokedOutline(arc({0.5, 0.5}, 0.24, 205, 130), s));
    return p;
}

QPainterPath tortoiseGlyph(double s)
{
    // In profile: a domed shell on short legs, the head poking out in front. Two channels mark
    // the shell's plates.
    QPainterPath shell;
    shell.moveTo(0.08, 0.66);
    shell.cubicTo(0.1, 0.2, 0.72, 0.2, 0.74, 0.66);
    shell.closeSubpath();
    QPainterPath plates = line({0.3, 0.3}, {0.36, 0.68});
    plates.addPath(line({0.54, 0.3}, {0.48, 0.68}));
    QPainterPath limbs = line({0.2, 0.66}, {0.2, 0.76});
    limbs.addPath(line({0.6, 0.66}, {0.6, 0.76}));
    limbs.addPath(line({0.7, 0.6}, {0.8, 0.54}));
    QPainterPath rest = strokedOutline(limbs, 1.6 * s);
    rest.addPath(dot({0.86, 0.5}, 0.1));
    // The shell's holes keep their own fill rule: the rest is united, not added.
    return unite(subtract(flattened(shell), strokedOutline(plates, 0.6 * s)), flattened(rest));
}

QPainterPath hareGlyph(double s)
{
    // In profile: a crouching body, the head raised in front, two long ears laid back and a
    // round tail.
    const auto ellipse = [](QPointF centre, double rx, double ry, double degrees) {
        QPainterPath p;
        p.addEllipse(QPointF(0, 0), rx, ry);
        QTransform place;
        place.translate(centre.x(), centre.y()).rotate(degrees);
        return place.map(p);
    };
    // Every part runs the same way round, so the winding fill joins the overlaps.
    QPainterPath p = ellipse({0.42, 0.64}, 0.3, 0.19, -8);
    p.addPath(ellipse({0.74, 0.46}, 0.14, 0.12, 0));
    p.addPath(ellipse({0.6, 0.24}, 0.05, 0.18, -35));
    p.addPath(ellipse({0.72, 0.2}, 0.05, 0.18, -15));
    p.addPath(ellipse({0.34, 0.83}, 0.17, 0.05, 0));
    p.addPath(dot({0.1, 0.56}, 0.07));
    p.setFillRule(Qt::WindingFill);
    return unite(flattened(p), strokedOutline(line({0.66, 0.7}, {0.72, 0.85}), 1.3 * s));
}

QPainterPath windGlyph(double s)
{
    // Three gusts, the upper two ending in a curl.
    QPainterPath p;
    p.moveTo(0.06, 0.36);
    p.lineTo(0.62, 0.36);
    p.cubicTo(0.84, 0.36, 0.84, 0.08, 0.64, 0.1);
    p.moveTo(0.06, 0.56);
    p.lineTo(0.76, 0.56);
    p.cubicTo(0.98, 0.56, 0.98, 0.86, 0.76, 0.84);
    p.moveTo(0.06, 0.76);
    p.lineTo(0.44, 0.76);
    return strokedOutline(p, s);
}

QPainterPath exclamationmarkCircleGlyph(double s)
{
    QPainterPath p = strokedOutline(ring({0.5, 0.5}, 0.45), s);
    p.addPath(strokedOutline(line({0.5, 0.25}, {0.5, 0.56}), 1.2 * s));
    p.addPath(dot({0.5, 0.72}, 0.065));
    return p;
}

// A loudspeaker facing right, and `waves` arcs of sound in front of it.
QPainterPath speakerGlyph(double s, int waves)
{
    const double shift = waves > 1 ? -0.08 : 0;
    QPainterPath p = roundedPolygon({{0.04 + shift, 0.36},
                                     {0.2 + shift, 0.36},
                                     {0.42 + shift, 0.16},
                                     {0.42 + shift, 0.84},
                                     {0.2 + shift, 0.64},
                                     {0.04 + shift, 0.64}},
                                    0.04);
    QPainterPath sound;
    for (int i = 0; i < waves; ++i)
        sound.addPath(arc({0.42 + shift, 0.5}, 0.2 + 0.17 * i, -45, 90));
    p.addPath(strokedOutline(sound, s));
    return p;
}

QPainterPath speakerWave1Glyph(double s)
{
    return speakerGlyph(s, 1);
}

QPainterPath speakerWave3Glyph(double s)
{
    return speakerGlyph(s, 3);
}

// Head and shoulders of a person standing at `x`, scaled by `size`.
QPainterPath bust(double x, double y, double size)
{
    QPainterPath p = dot({x, y}, 0.11 * size);
    QPainterPath shoulders;
    const QRectF box(x - 0.22 * size, y + 0.16 * size, 0.44 * size, 0.44 * size);
    shoulders.moveTo(box.left(), box.center().y());
    shoulders.arcTo(box, 180, -180);
    shoulders.closeSubpath();
    p.addPath(shoulders);
    return p;
}

QPainterPath person3Glyph(double s)
{
    // The middle one in front; a clear channel keeps the two behind apart from it.
    const QPainterPath front = flattened(bust(0.5, 0.36, 1.1));
    QPainterPath behind = flattened(bust(0.18, 0.4, 0.85));
    behind.addPath(flattened(bust(0.82, 0.4, 0.85)));
    // Bevels: on a polygon this fine they look round, and round joins at every corner are slow.
    QPainterPath clear = strokedOutline(front, 2 * s, Qt::FlatCap, Qt::BevelJoin);
    clear.addPath(front);
    QPainterPath p = subtract(behind, clear);
    p.addPath(front);
    return p;
}

QPainterPath clockGlyph(double s)
{
    QPainterPath hands = polyline({{0.5, 0.22}, {0.5, 0.5}, {0.7, 0.62}});
    QPainterPath p = strokedOutline(ring({0.5, 0.5}, 0.45), s);
    p.addPath(strokedOutline(hands, s));
    return p;
}

QPainterPath questionmarkBubbleGlyph(double s)
{
    // A speech bubble with its tail at the lower left, a question mark inside.
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(0.04, 0.08, 0.92, 0.66), 0.2, 0.2);
    QPainterPath tail = polyline({{0.2, 0.66}, {0.16, 0.94}, {0.46, 0.7}});
    tail.closeSubpath();
    QPainterPath p = strokedOutline(unite(flattened(bubble), tail), s);
    QPainterPath question = arc({0.5, 0.3}, 0.11, 160, -250);
    question.lineTo(0.5, 0.47);
    p.addPath(strokedOutline(question, 0.9 * s));
    p.addPath(dot({0.5, 0.6}, 0.05));
    return p;
}

QPainterPath chevronUpChevronDownGlyph(double s)
{
    QPainterPath p = strokedOutline(polyline({{0.26, 0.38}, {0.5, 0.14}, {0.74, 0.38}}), s);
    p.addPath(strokedOutline(polyline({{0.26, 0.62}, {0.5, 0.86}, {0.74, 0.62}}), s));
    return p;
}

QPainterPath eyeSlashFillGlyph(double s)
{
    const QPainterPath slash = line({0.06, 0.08}, {0.94, 0.92});
    QPainterPath eye = eyeOutline();
    eye.setFillRule(Qt::WindingFill);
    QPainterPath p = subtract(eye, strokedOutline(slash, 2.6 * s));
    p.addPath(strokedOutline(slash, s));
    return p;
}

QPainterPath rectangleOnRectangleGlyph(double s)
{
    QPainterPath back
        = polyline({{0.3, 0.26}, {0.3, 0.14}, {0.94, 0.14}, {0.94, 0.6}, {0.84, 0.6}});
    QPainterPath front;
    front.addRoundedRect(QRectF(0.06, 0.34, 0.68, 0.5), 0.06, 0.06);
    back.addPath(front);
    return strokedOutline(back, s);
}

QPainterPath recordCircleGlyph(double s)
{
    QPainterPath p = strokedOutline(ring({0.5, 0.5}, 0.45), s);
    p.addPath(dot({0.5, 0.5}, 0.22));
    return p;
}

QPainterPath cameraViewfinderGlyph(double s)
{
    // Four corner brackets round a small camera body.
    QPainterPath p = polyline({{0.06, 0.3}, {0.06, 0.1}, {0.26, 0.1}});
    p.addPath(polyline({{0.74, 0.1}, {0.94, 0.1}, {0.94, 0.3}}));
    p.addPath(polyline({{0.94, 0.7}, {0.94, 0.9}, {0.74, 0.9}}));
    p.addPath(polyline({{0.26, 0.9}, {0.06, 0.9}, {0.06, 0.7}}));
    QPainterPath body;
    body.addRoundedRect(QRectF(0.27, 0.36, 0.46, 0.32), 0.06, 0.06);
    p.addPath(body);
    QPainterPath outline = strokedOutline(p, s);
    outline.addPath(dot({0.5, 0.52}, 0.07));
    return outline;
}

QPainterPath micFillGlyph(double s)
{
    QPainterPath p = roundedRectPath({0.34, 0.04, 0.32, 0.56}, 0.16);
    p.addPath(strokedOutline(arc({0.5, 0.44}, 0.27, 180, 180), s));
    p.addPath(strokedOutline(line({0.5, 0.72}, {0.5, 0.92}), s));
    p.addPath(strokedOutline(line({0.34, 0.94}, {0.66, 0.94}), s));
    return p;
}

struct Glyph
{
    QStringView name;
    QPainterPath (*build)(double strokeWidth);
};

QPainterPath arrowUpGlyph(double s)
{
    return arrowGlyph(s, 0);
}
QPainterPath arrowRightGlyph(double s)
{
    return arrowGlyph(s, 90);
}
QPainterPath arrowDownGlyph(double s)
{
    return arrowGlyph(s, 180);
}
QPainterPath arrowLeftGlyph(double s)
{
    return arrowGlyph(s, 270);
}

// The mouse pointer: a slanted arrowhead with a short tail, its tip at the top left.
QPainterPath cursorArrowGlyph(double)
{
    return roundedPolygon({{0.26, 0.06},
                           {0.26, 0.84},
                           {0.45, 0.66},
                           {0.57, 0.94},
                           {0.69, 0.89},
                           {0.57, 0.62},
                           {0.82, 0.62}},
                          0.03);
}

constexpr Glyph glyphs[] = {
    {u"minus", minusGlyph},
    {u"xmark", xmarkGlyph},
    {u"stop.fill", stopFillGlyph},
    {u"eye", eyeGlyph},
    {u"eye.slash", eyeSlashGlyph},
    {u"play.fill", playFillGlyph},
    {u"pause.fill", pauseFillGlyph},
    {u"backward.end.fill", backwardEndFillGlyph},
    {u"chevron.down", chevronDownGlyph},
    {u"doc.text", docTextGlyph},
    {u"square.and.arrow.down", squareAndArrowDownGlyph},
    {u"plus.square.on.square", plusSquareOnSquareGlyph},
    {u"checkmark.circle.fill", checkmarkCircleFillGlyph},
    {u"arrow.up", arrowUpGlyph},
    {u"arrow.down", arrowDownGlyph},
    {u"arrow.left", arrowLeftGlyph},
    {u"arrow.right", arrowRightGlyph},
    {u"chevron.left", chevronLeftGlyph},
    {u"chevron.right", chevronRightGlyph},
    {u"plus", plusGlyph},
    {u"magnifyingglass", magnifyingGlassGlyph},
    {u"trash", trashGlyph},
    {u"doc.on.doc", docOnDocGlyph},
    {u"gearshape", gearshapeGlyph},
    {u"xmark.circle.fill", xmarkCircleFillGlyph},
    {u"gearshape.fill", gearshapeFillGlyph},
    {u"paintpalette.fill", paintpaletteFillGlyph},
    {u"info.circle", infoCircleGlyph},
    {u"info.circle.fill", infoCircleFillGlyph},
    {u"arrow.counterclockwise", arrowCounterclockwiseGlyph},
    {u"list.bullet", listBulletGlyph},
    {u"list.bullet.indent", listBulletIndentGlyph},
    {u"pause.circle", pauseCircleGlyph},
    {u"stop.circle", stopCircleGlyph},
    {u"face.smiling", faceSmilingGlyph},
    {u"tortoise", tortoiseGlyph},
    {u"hare", hareGlyph},
    {u"wind", windGlyph},
    {u"exclamationmark.circle", exclamationmarkCircleGlyph},
    {u"speaker.wave.1", speakerWave1Glyph},
    {u"speaker.wave.3", speakerWave3Glyph},
    {u"person.3", person3Glyph},
    {u"clock", clockGlyph},
    {u"questionmark.bubble", questionmarkBubbleGlyph},
    {u"cursorarrow", cursorArrowGlyph},
    {u"checkmark", checkmarkGlyph},
    {u"pencil", pencilGlyph},
    {u"chevron.up.chevron.down", chevronUpChevronDownGlyph},
    {u"eye.slash.fill", eyeSlashFillGlyph},
    {u"rectangle.on.rectangle", rectangleOnRectangleGlyph},
    {u"record.circle", recordCircleGlyph},
    {u"camera.viewfinder", cameraViewfinderGlyph},
    {u"mic.fill", micFillGlyph},
};

// Stroke width in em for a font weight: regular strokes are about a twelfth of the size, and
// never thinner than one pixel, so small labels stay solid.
double strokeWidth(QFont::Weight weight, double pointSize)
{
    const double em = 0.085 + (int(weight) - int(QFont::Normal)) * 0.00012;
    return std::max(em, 1.0 / pointSize);
}

// Building a glyph runs path operations that cost far more than drawing it, and animated
// views draw the same few glyphs every frame, so each outline is built once.
QPainterPath glyphPath(const Glyph &glyph, double strokeWidth)
{
    static QHash<QString, QPainterPath> built;
    const QString key = glyph.name.toString() + u'|' + QString::number(strokeWidth, 'g', 6);
    auto found = built.constFind(key);
    if (found == built.cend()) {
        if (built.size() > 512)
            built.clear();
        found = built.insert(key, glyph.build(strokeWidth));
    }
    return *found;
}

} // namespace

bool paint(QPainter *painter, const QString &name, const QRectF &rect, const QColor &color,
           double pointSize, QFont::Weight weight)
{
    const auto found = std::find_if(std::begin(glyphs), std::end(glyphs),
                                    [&name](const Glyph &g) { return g.name == name; });
    if (found == std::end(glyphs) || pointSize <= 0)
        return false;

    // Strokes through the middle (minus, arrows, plus) stay crisp when the centre falls on the
    // middle of a device pixel.
    QPointF centre = rect.center();
    const QTransform device = painter->deviceTransform();
    if (device.type() <= QTransform::TxScale) {
        const QPointF onDevice = device.map(centre);
        centre = device.inverted().map(
            QPointF(std::floor(onDevice.x()) + 0.5, std::floor(onDevice.y()) + 0.5));
    }

    QTransform place;
    place.translate(centre.x(), centre.y());
    place.scale(pointSize, pointSize);
    place.translate(-0.5, -0.5);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(color);
    painter->drawPath(place.map(glyphPath(*found, strokeWidth(weight, pointSize))));
    painter->restore();
    return true;
}

} // namespace Icons
