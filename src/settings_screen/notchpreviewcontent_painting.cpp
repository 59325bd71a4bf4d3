// The preview's painted layers: the glow, the two mocks, the outlines and the content.

#include "notchpreviewcontent.h"

#include "overlay/invisibilityglow.h"
#include "overlay/overlayshapes.h"
#include "platform/fonts.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings/presets.h"
#include "settings/scriptfont.h"
#include "settings_screen/notchpreviewmeasures.h"
#include "uikit/animation.h"
#include "uikit/glasseffectview.h"
#include "uikit/icons.h"
#include "uikit/painting.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace NotchPreviewMeasures;

namespace {

constexpr double lineSpacing = 3;
constexpr double outlineStripWidth = 32;
// Room around a stroke that is blurred beyond its outline.
constexpr double blurMargin = 8;

QColor mixed(const QColor &from, const QColor &to, double t)
{
    const auto mix = [t](float a, float b) { return a + (b - a) * float(t); };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                            mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
}

void fillMock(QPainter &painter, const QPainterPath &path, const NotchSettings &settings)
{
    if (settings.glassEffect()) {
        painter.fillPath(path, GlassEffectView::materialColor());
        painter.fillPath(path,
                         QColor::fromRgbF(0, 0, 0, float(bounded(settings.glassOpacity(), 0, 1))));
    } else {
        painter.fillPath(path, Qt::black);
    }
}

} // namespace

QFont NotchPreviewContent::textFont() const
{
    const NotchSettings &settings = *m_options.settings;
    return ::font(settings.fontFamilyPreset(), pointSize(settings.fontSizePreset()),
                  QFont::DemiBold);
}

const QImage &NotchPreviewContent::cachedLayer(CachedLayer &cache, const QString &key,
                                               const QRectF &bounds,
                                               const std::function<void(QPainter &)> &paint)
{
    const qreal ratio = devicePixelRatioF();
    const QString fullKey = key + u'@' + QString::number(ratio);
    if (cache.key == fullKey)
        return cache.image;
    ++m_blurRenders;
    cache.key = fullKey;
    cache.origin = bounds.topLeft();
    const QSize pixels(int(std::ceil(bounds.width() * ratio)),
                       int(std::ceil(bounds.height() * ratio)));
    cache.image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    cache.image.setDevicePixelRatio(ratio);
    cache.image.fill(Qt::transparent);
    QPainter painter(&cache.image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-bounds.topLeft());
    paint(painter);
    return cache.image;
}

void NotchPreviewContent::paintEvent(QPaintEvent *)
{
    const QRectF mock = mockRect();
    if (mock.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QPainterPath notch = notchPath(mock);
    if (m_options.glow)
        paintGlow(painter, mock, notch);
    paintMocks(painter, mock, notch);
    paintOutlines(painter, mock, notch);
    if (m_contentOpacity->value() > 0)
        paintContent(painter);
}

void NotchPreviewContent::paintGlow(QPainter &painter, const QRectF &mock,
                                    const QPainterPath &notch)
{
    const double pulse = m_glowPulse->value();
    const double opacity = (1 - offsetPhase()) * (0.2 + 0.7 * pulse);
    if (opacity <= 0)
        return;
    const QString key
        = QString::asprintf("%.2f,%.2f,%.2f", mock.width(), mock.height(), cornerPhase());
    const QRectF bounds = mock.adjusted(-blurMargin, -blurMargin, blurMargin, blurMargin);
    const QImage &layer
        = cachedLayer(m_glowLayer, key, bounds.translated(-mock.topLeft()), [&](QPainter &p) {
              paintSoftAccentStroke(p, notch.translated(-mock.topLeft()));
          });
    painter.save();
    painter.setOpacity(opacity);
    const double scale = 1 + 0.012 * pulse;
    painter.translate(mock.center());
    painter.scale(scale, scale);
    painter.translate(-mock.center());
    painter.drawImage(mock.topLeft() + m_glowLayer.origin, layer);
    painter.restore();
}

void NotchPreviewContent::paintMocks(QPainter &painter, const QRectF &mock,
                                     const QPainterPath &notch)
{
    const NotchSettings &settings = *m_options.settings;
    const double o = offsetPhase();
    if (o < 1) {
        painter.save();
        painter.setOpacity(1 - o);
        if (m_options.glow)
            paintSoftShadow(&painter, mock, bottomRadius, accentTeal(0.25), 16, 0);
        fillMock(painter, notch, settings);
        painter.restore();
    }
    if (o > 0) {
        painter.save();
        painter.setOpacity(o);
        fillMock(painter, roundedRectPath(mock, cardRadius), settings);
        painter.restore();
    }
}

void NotchPreviewContent::paintOutlines(QPainter &painter, const QRectF &mock,
                                        const QPainterPath &notch)
{
    const double shown = m_outlineOpacity->value();
    if (shown <= 0)
        return;
    const double o = offsetPhase();
    const QRectF local(QPointF(0, 0), mock.size());
    const QString size = QString::asprintf("%.2f,%.2f", mock.width(), mock.height());
    if (o < 1) {
        const QImage &layer
            = cachedLayer(m_outlineLayer, size + QString::asprintf(",%.3f", cornerPhase()), local,
                          [&](QPainter &p) {
                              paintInvisibilityGlow(p, notch.translated(-mock.topLeft()), local,
                                                    outlineStripWidth, 1);
                          });
        painter.save();
        painter.setOpacity(shown * (1 - o));
        painter.drawImage(mock.topLeft(), layer);
        painter.restore();
    }
    if (o > 0) {
        const QImage &layer = cachedLayer(m_borderLayer, size, local, [&](QPainter &p) {
            paintFloatingPanelBorder(p, local, cardRadius, 1);
        });
        painter.save();
        painter.setOpacity(shown * o);
        painter.drawImage(mock.topLeft(), layer);
        painter.restore();
    }
}

void NotchPreviewContent::paintContent(QPainter &painter)
{
    const double content = m_contentOpacity->value();
    const double o = offsetPhase();
    const NotchSettings &settings = *m_options.settings;
    painter.save();
    painter.setOpacity(content);

    const QRectF textRect = contentRect();
    if (textRect.width() > 0 && textRect.height() > 0) {
        const QFont scriptFont = textFont();
        const QString text = sampleText();
        const QString key
            = text + u'|' + scriptFont.key() + u'|' + QString::number(textRect.width(), 'f', 2);
        if (key != m_textKey) {
            m_textKey = key;
            m_textLayout.setText(text);
            m_textLayout.setFont(scriptFont);
            QTextOption option;
            option.setWrapMode(QTextOption::WordWrap);
            m_textLayout.setTextOption(option);
            m_textLayout.beginLayout();
            double y = 0;
            for (QTextLine line = m_textLayout.createLine(); line.isValid();
                 line = m_textLayout.createLine()) {
                line.setLineWidth(textRect.width());
                line.setPosition(QPointF(0, y));
                y += line.height() + lineSpacing;
            }
            m_textLayout.endLayout();
        }
        const double textHeight = std::max(0.0, m_textLayout.boundingRect().height());
        // Centred in its area when it fits; a longer text shows its beginning.
        const double top = textRect.top() + std::max(0.0, (textRect.height() - textHeight) / 2);
        painter.save();
        painter.setClipRect(textRect);
        painter.setPen(QColor::fromRgbF(settings.highlightColor().redF(),
                                        settings.highlightColor().greenF(),
                                        settings.highlightColor().blueF(), 0.92f));
        m_textLayout.draw(&painter, QPointF(textRect.left(), top));
        painter.restore();
    }

    paintBadge(painter);

    if (showsStickyHint() && o > 0) {
        painter.save();
        painter.setOpacity(content * o * 0.55);
        painter.setFont(stickyHintFont());
        painter.setPen(whiteAt(0.8));
        painter.drawText(hintRect(), Qt::AlignHCenter | Qt::AlignTop, stickyHint());
        painter.restore();
    }
    painter.restore();
}

void NotchPreviewContent::paintBadge(QPainter &painter)
{
    const double hidden = m_badgeHidden->value();
    const QRectF circle = badgeRect();
    // The symbols are built from path operations: costly to redo on every frame.
    const qreal ratio = devicePixelRatioF();
    const QString key = QString::asprintf("%.3f@%.2f", hidden, ratio);
    if (key != m_badgeKey) {
        m_badgeKey = key;
        m_badge
            = QImage(QSize(int(std::ceil(badgeSize * ratio)), int(std::ceil(badgeSize * ratio))),
                     QImage::Format_ARGB32_Premultiplied);
        m_badge.setDevicePixelRatio(ratio);
        m_badge.fill(Qt::transparent);
        QPainter badge(&m_badge);
        badge.setRenderHint(QPainter::Antialiasing);
        const QRectF local(0, 0, badgeSize, badgeSize);
        const double borderWidth = 0.5 + 0.5 * hidden;
        badge.setPen(Qt::NoPen);
        badge.setBrush(mixed(whiteAt(0.1), accentTeal(0.12), hidden));
        badge.drawEllipse(local);
        badge.setBrush(Qt::NoBrush);
        badge.setPen(QPen(mixed(whiteAt(0.2), accentTeal(0.45), hidden), borderWidth));
        const double inset = borderWidth / 2;
        badge.drawEllipse(local.adjusted(inset, inset, -inset, -inset));
        const bool slashed = hidden >= 0.5;
        Icons::paint(&badge, slashed ? QStringLiteral("eye.slash") : QStringLiteral("eye"), local,
                     slashed ? accentTeal(1) : whiteAt(0.85), 10.5, QFont::Medium);
    }
    painter.drawImage(circle.topLeft(), m_badge);
}
