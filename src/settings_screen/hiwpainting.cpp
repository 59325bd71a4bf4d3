#include "hiwpainting.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace HiwColors {

QColor deepGreen()
{
    static const QColor color = QColor::fromRgbF(0.0235f, 0.1294f, 0.1137f);
    return color;
}
QColor stageStop1()
{
    static const QColor color = QColor::fromRgbF(0.0805f, 0.2768f, 0.2524f);
    return color;
}
QColor stageStop2()
{
    static const QColor color = QColor::fromRgbF(0.1127f, 0.4356f, 0.3956f);
    return color;
}
QColor stageStop3()
{
    static const QColor color = QColor::fromRgbF(0.0637f, 0.2078f, 0.1898f);
    return color;
}
QColor panelBody()
{
    static const QColor color = QColor::fromRgbF(0.0314f, 0.0392f, 0.0431f, 0.92f);
    return color;
}
QColor notchStrip()
{
    static const QColor color = QColor::fromRgbF(0.02f, 0.024f, 0.027f);
    return color;
}
QColor keyFace()
{
    static const QColor color = QColor::fromRgbF(0.0471f, 0.0549f, 0.0588f, 0.88f);
    return color;
}
QColor chipFace()
{
    static const QColor color = QColor::fromRgbF(0.0314f, 0.0392f, 0.0392f, 0.78f);
    return color;
}

} // namespace HiwColors

QColor hiwMix(const QColor &from, const QColor &to, double progress)
{
    return QColor::fromRgbF(float(hiwMix(from.redF(), to.redF(), progress)),
                            float(hiwMix(from.greenF(), to.greenF(), progress)),
                            float(hiwMix(from.blueF(), to.blueF(), progress)),
                            float(hiwMix(from.alphaF(), to.alphaF(), progress)));
}

namespace {

// One pass of a running-sum box filter of half-width `r` along a row or a column.
void boxPass(uchar *data, int count, int stride, int r, std::vector<int> &line)
{
    line.assign(count, 0);
    for (int i = 0; i < count; ++i)
        line[i] = data[i * stride];
    const int window = 2 * r + 1;
    int sum = 0;
    for (int i = -r; i <= r; ++i)
        sum += (i >= 0 && i < count) ? line[i] : 0;
    for (int i = 0; i < count; ++i) {
        data[i * stride] = uchar(sum / window);
        const int leaving = i - r;
        const int entering = i + r + 1;
        sum += (entering < count ? line[entering] : 0) - (leaving >= 0 ? line[leaving] : 0);
    }
}

// Three box passes each way come close to a Gaussian of deviation sigma.
void blurAlpha(QImage &alpha, double sigma)
{
    const int r = std::max(1, int(std::lround(sigma)));
    std::vector<int> line;
    uchar *bits = alpha.bits();
    const int stride = int(alpha.bytesPerLine());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < alpha.height(); ++y)
            boxPass(bits + y * stride, alpha.width(), 1, r, line);
        for (int x = 0; x < alpha.width(); ++x)
            boxPass(bits + x, alpha.height(), stride, r, line);
    }
}

} // namespace

void HiwShadowCache::draw(QPainter &painter, const QString &key, const QRectF &bounds,
                          const std::function<void(QPainter &)> &paintShape, const QColor &color,
                          double radius, QPointF offset)
{
    draw(painter, key, bounds, paintShape, QList<Layer>{{color, radius}}, offset);
}

void HiwShadowCache::draw(QPainter &painter, const QString &key, const QRectF &bounds,
                          const std::function<void(QPainter &)> &paintShape,
                          const QList<Layer> &layers, QPointF offset)
{
    const QTransform device = painter.deviceTransform();
    const double scale = std::hypot(device.m11(), device.m12());
    if (scale <= 0 || bounds.isEmpty() || layers.isEmpty())
        return;
    // The blur's reach: three deviations of a Gaussian of half the radius.
    double widest = 0;
    QString layerKey;
    for (const Layer &layer : layers) {
        widest = std::max(widest, layer.radius);
        layerKey += layer.color.name(QColor::HexArgb) + u'/' + QString::number(layer.radius);
    }
    const double margin = 1.5 * widest + 1;
    const QRectF area = bounds.adjusted(-margin, -margin, margin, margin);
    const QString fullKey = key + u'|' + QString::number(area.width(), 'f', 2) + u'x'
                            + QString::number(area.height(), 'f', 2) + u'|'
                            + QString::number(scale, 'f', 4) + u'|' + layerKey;
    auto found = m_images.constFind(fullKey);
    if (found == m_images.cend()) {
        // A few sizes are in use at a time; resizing the stage leaves the old ones behind.
        if (m_images.size() > 64)
            m_images.clear();
        const QSize pixels(int(std::ceil(area.width() * scale)),
                           int(std::ceil(area.height() * scale)));
        QImage silhouette(pixels, QImage::Format_Alpha8);
        silhouette.fill(0);
        {
            QPainter shape(&silhouette);
            shape.setRenderHint(QPainter::Antialiasing);
            shape.scale(scale, scale);
            shape.translate(-area.topLeft());
            paintShape(shape);
        }
        QImage result(pixels, QImage::Format_ARGB32_Premultiplied);
        result.fill(Qt::transparent);
        for (const Layer &layer : layers) {
            QImage alpha = silhouette;
            blurAlpha(alpha, layer.radius / 2 * scale);
            QImage tinted(pixels, QImage::Format_ARGB32_Premultiplied);
            tinted.fill(layer.color);
            QPainter tint(&tinted);
            tint.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            tint.drawImage(0, 0, alpha);
            tint.end();
            QPainter add(&result);
            add.drawImage(0, 0, tinted);
        }
        result.setDevicePixelRatio(scale);
        found = m_images.insert(fullKey, result);
    }
    painter.drawImage(area.topLeft() + offset, *found);
}

struct HiwTextCache::Laid
{
    QTextLayout layout;
    double height = 0;
};

HiwTextCache::HiwTextCache() = default;
HiwTextCache::~HiwTextCache() = default;

HiwTextCache::Laid &HiwTextCache::laid(const QString &text, const QFont &font, double width,
                                       double lineSpacing)
{
    const QString key = font.key() + u'|' + QString::number(width, 'f', 2) + u'|'
                        + QString::number(lineSpacing) + u'|' + text;
    auto found = m_layouts.find(key);
    if (found != m_layouts.end())
        return **found;
    // Texts change only with the language; a bounded cache keeps old languages from piling up.
    if (m_layouts.size() > 64)
        m_layouts.clear();
    auto entry = std::make_shared<Laid>();
    entry->layout.setText(text);
    entry->layout.setFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    entry->layout.setTextOption(option);
    entry->layout.setCacheEnabled(true);
    entry->layout.beginLayout();
    double y = 0;
    bool first = true;
    for (QTextLine line = entry->layout.createLine(); line.isValid();
         line = entry->layout.createLine()) {
        line.setLineWidth(std::max(1.0, width));
        if (!first)
            y += lineSpacing;
        line.setPosition({0, y});
        y += line.height();
        first = false;
    }
    entry->layout.endLayout();
    entry->height = y;
    return *m_layouts.insert(key, entry).value();
}

double HiwTextCache::height(const QString &text, const QFont &font, double width,
                            double lineSpacing)
{
    return laid(text, font, width, lineSpacing).height;
}

void HiwTextCache::paint(QPainter &painter, const QString &text, const QFont &font, double width,
                         double lineSpacing, QPointF topLeft)
{
    laid(text, font, width, lineSpacing).layout.draw(&painter, topLeft);
}
