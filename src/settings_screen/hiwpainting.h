#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>

class QPainter;
class QTextLayout;

// The colours of the how-it-works stage.
namespace HiwColors {
QColor deepGreen();
QColor stageStop1();
QColor stageStop2();
QColor stageStop3();
QColor panelBody();
QColor notchStrip();
QColor keyFace();
QColor chipFace();
} // namespace HiwColors

// Soft shadows and glows: each silhouette is blurred once for its size and device scale, then
// drawn from the cache at whatever opacity the moment needs.
class HiwShadowCache
{
public:
    // Draws the blurred silhouette of what `paintShape` paints inside `bounds` (painter
    // coordinates), in `color`, blurred by `radius` and moved by `offset`, at the painter's
    // opacity. `key` names the shape; the same key must always paint the same shape.
    void draw(QPainter &painter, const QString &key, const QRectF &bounds,
              const std::function<void(QPainter &)> &paintShape, const QColor &color, double radius,
              QPointF offset = {});

    // Several blurs of one shape, one over the other, kept and drawn as one image.
    struct Layer
    {
        QColor color;
        double radius = 0;
    };
    void draw(QPainter &painter, const QString &key, const QRectF &bounds,
              const std::function<void(QPainter &)> &paintShape, const QList<Layer> &layers,
              QPointF offset = {});

    int size() const { return int(m_images.size()); }

private:
    QHash<QString, QImage> m_images;
};

// Wrapped texts with extra space between their lines, laid out once per text and width.
class HiwTextCache
{
public:
    HiwTextCache();
    ~HiwTextCache();

    // The height of `text` wrapped to `width`.
    double height(const QString &text, const QFont &font, double width, double lineSpacing);
    // Paints it from `topLeft` in the painter's pen colour.
    void paint(QPainter &painter, const QString &text, const QFont &font, double width,
               double lineSpacing, QPointF topLeft);

private:
    struct Laid;
    Laid &laid(const QString &text, const QFont &font, double width, double lineSpacing);

    QHash<QString, std::shared_ptr<Laid>> m_layouts;
};

// The fraction of the way from `from` to `to`.
inline double hiwMix(double from, double to, double progress)
{
    return from + (to - from) * progress;
}
QColor hiwMix(const QColor &from, const QColor &to, double progress);
