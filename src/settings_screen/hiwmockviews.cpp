#include "hiwmockviews.h"

#include "hiwpainting.h"

#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/palette.h"
#include "uikit/icons.h"
#include "uikit/painting.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>

namespace {

constexpr double stripHeight = 18;
constexpr double footerHeight = 28;
constexpr double bodyMinHeight = 84;
constexpr double bodyTop = 32;
constexpr double bodySide = 14;
constexpr double bodyBottom = 8;
constexpr double bodyLineSpacing = 4;

QFont trackedFont(double size, QFont::Weight weight)
{
    QFont font = Fonts::systemFont(size, weight);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.2);
    return font;
}

// A rectangle with only its top (or bottom) corners rounded.
QPainterPath halfRoundedRect(const QRectF &rect, double radius, bool top)
{
    QPainterPath path = roundedRectPath(rect, radius);
    const QRectF square = top ? rect.adjusted(0, rect.height() / 2, 0, 0)
                              : rect.adjusted(0, 0, 0, -rect.height() / 2);
    path.addRect(square);
    path.setFillRule(Qt::WindingFill);
    return path.simplified();
}

void paintSmallButton(QPainter &painter, QPointF topLeft, const QString &symbol)
{
    const QRectF circle(topLeft, QSizeF(16, 16));
    painter.setPen(Qt::NoPen);
    painter.setBrush(whiteAt(0.1));
    painter.drawEllipse(circle);
    Icons::paint(&painter, symbol, circle, whiteAt(0.55), 7, QFont::Bold);
}

} // namespace

void paintHiwStageBackground(QPainter &painter)
{
    QLinearGradient gradient(0, 0, 520, 240);
    gradient.setColorAt(0, HiwColors::stageStop1());
    gradient.setColorAt(0.48, HiwColors::stageStop2());
    gradient.setColorAt(1, HiwColors::stageStop3());
    painter.fillRect(QRectF(0, 0, 520, 240), gradient);
}

void paintHiwStageBorder(QPainter &painter)
{
    strokeInsideRoundedRect(&painter, QRectF(0, 0, 520, 240), 11, QPen(whiteAt(0.1), 0.5));
}

double HiwPrompterView::panelHeight() const
{
    return stripHeight + std::max(bodyMinHeight, bodyTop + bodyHeight + bodyBottom) + footerHeight;
}

void HiwPrompterView::paint(QPainter &painter, HiwPaintContext &context) const
{
    painter.save();
    painter.translate(x, y);
    const double height = panelHeight();
    const QRectF panel(0, 0, w, height);
    const QString sizeKey = QString::number(w) + u'x' + QString::number(height);

    // Drop shadow of the whole panel.
    context.shadows.draw(painter, u"panel"_qs + sizeKey, panel,
                         [&](QPainter &p) { p.fillPath(roundedRectPath(panel, 9), Qt::black); },
                         QColor(0, 0, 0, 102), 16, {0, 10});

    // The glow sits behind the panel: a thin accent line with two soft halos.
    if (glow > 0) {
        const auto ring = [&](QPainter &p) {
            p.setPen(QPen(accentTeal(), 1));
            p.setBrush(Qt::NoBrush);
            p.drawPath(roundedRectPath(panel, 10));
        };
        painter.save();
        painter.setOpacity(painter.opacity() * glow);
        context.shadows.draw(painter, u"glow"_qs + sizeKey, panel, ring,
                             {{accentTeal(0.6), 8}, {accentTeal(0.33), 20}});
        painter.setPen(QPen(accentTeal(), glow));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(roundedRectPath(panel, 10));
        painter.restore();
    }

    // Notch strip with the notch and the camera dot.
    painter.setPen(Qt::NoPen);
    painter.fillPath(halfRoundedRect(QRectF(0, 0, w, stripHeight), 9, true),
                     HiwColors::notchStrip());
    painter.fillPath(halfRoundedRect(QRectF(w / 2 - 46, 0, 92, 13), 7, false), Qt::black);
    painter.setBrush(accentTeal(0.9));
    painter.drawEllipse(QRectF(w / 2 - 2 + 26, 4, 4, 4));

    // Body.
    const double bodyBoxHeight = height - stripHeight - footerHeight;
    painter.fillRect(QRectF(0, stripHeight, w, bodyBoxHeight), HiwColors::panelBody());
    if (paintBody) {
        painter.save();
        painter.translate(bodySide, stripHeight + bodyTop);
        paintBody(painter);
        painter.restore();
    }

    // Footer: notes icon, title or page chips, two small buttons.
    const double footerTop = height - footerHeight;
    painter.fillPath(halfRoundedRect(QRectF(0, footerTop, w, footerHeight), 9, false),
                     HiwColors::panelBody());
    const double rowTop = footerTop + 4;
    const QRectF docBox(9, rowTop, 12, 16);
    Icons::paint(&painter, u"doc.text"_qs, docBox, hiwMix(whiteAt(0.5), accentTeal(), docAccent),
                 11, QFont::Medium);
    const double buttonsLeft = w - 9 - 16 - 7 - 16;
    const QRectF labelArea(docBox.right() + 7, rowTop, buttonsLeft - 7 - docBox.right() - 7, 16);
    painter.save();
    painter.setClipRect(labelArea, Qt::IntersectClip);
    if (numsMode < 1) {
        painter.save();
        painter.setOpacity(painter.opacity() * (1 - numsMode));
        painter.setFont(Fonts::systemFont(9.5, QFont::Medium));
        painter.setPen(whiteAt(0.6));
        painter.drawText(labelArea.translated(0, -7 * numsMode),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         localizedString("Bienvenido a Brivel"));
        painter.restore();
    }
    if (numsMode > 0 && !chipActive.isEmpty()) {
        painter.save();
        painter.setOpacity(painter.opacity() * numsMode);
        painter.translate(labelArea.left(), labelArea.top() + 7 * (1 - numsMode));
        painter.setFont(Fonts::systemFont(8.5, QFont::Bold));
        for (int i = 0; i < chipActive.size(); ++i) {
            const double a = chipActive.at(i);
            const QRectF chip(i * 20, 0, 16, 16);
            painter.setPen(Qt::NoPen);
            painter.setBrush(hiwMix(whiteAt(0.09), accentTeal(0.17), a));
            painter.drawEllipse(chip);
            if (a > 0) {
                painter.setPen(QPen(accentTeal(0.4 * a), 1));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(chip.adjusted(0.5, 0.5, -0.5, -0.5));
            }
            painter.setPen(hiwMix(whiteAt(0.5), accentTeal(), a));
            painter.drawText(chip, Qt::AlignCenter, localizedString("%lld", qlonglong(i + 1)));
        }
        painter.restore();
    }
    painter.restore();
    paintSmallButton(painter, {buttonsLeft, rowTop}, u"chevron.right"_qs);
    paintSmallButton(painter, {buttonsLeft + 23, rowTop}, u"xmark"_qs);

    // Eye button over the top-left corner.
    const QRectF eye(9, 26, 22, 22);
    if (eyeOn < 1) {
        painter.save();
        painter.setOpacity(painter.opacity() * (1 - eyeOn));
        context.shadows.draw(
            painter, u"eye"_qs, eye,
            [&](QPainter &p) {
                p.setBrush(Qt::black);
                p.drawEllipse(eye);
            },
            accentTeal(0.66), 6);
        painter.restore();
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(hiwMix(accentTeal(), whiteAt(0.1), eyeOn));
    painter.drawEllipse(eye);
    Icons::paint(&painter, eyeSymbolOn ? u"eye"_qs : u"eye.slash"_qs, eye,
                 hiwMix(HiwColors::deepGreen(), whiteAt(0.78), eyeOn), 10, QFont::Medium);

    // Invisibility pill over the top centre.
    if (showPill > 0) {
        const QFont font = trackedFont(10, QFont::Bold);
        const QString text = localizedString("Invisible");
        const QFontMetricsF metrics(font);
        const double contentWidth = 12 + 5 + metrics.horizontalAdvance(text);
        const double pillHeight = std::max(12.0, metrics.height()) + 8;
        const QRectF pill(w / 2 - (contentWidth + 22) / 2, 27, contentWidth + 22, pillHeight);
        painter.save();
        painter.setOpacity(painter.opacity() * showPill);
        // Cached shadows are drawn unscaled: a scaled image costs a filtered blit each frame,
        // and the difference in a soft shadow cannot be seen.
        context.shadows.draw(
            painter, u"pill"_qs + QString::number(pill.width(), 'f', 1), pill,
            [&](QPainter &p) { p.fillPath(capsulePath(pill), Qt::black); }, accentTeal(0.66), 8);
        const double scale = 0.85 + 0.15 * showPill;
        painter.translate(pill.center());
        painter.scale(scale, scale);
        painter.translate(-pill.center());
        painter.fillPath(capsulePath(pill), accentTeal());
        const QRectF icon(pill.left() + 11, pill.top(), 12, pill.height());
        Icons::paint(&painter, u"eye.slash"_qs, icon, HiwColors::deepGreen(), 10, QFont::Bold);
        painter.setFont(font);
        painter.setPen(HiwColors::deepGreen());
        painter.drawText(
            QRectF(icon.right() + 5, pill.top(), pill.right() - icon.right() - 5, pill.height()),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        painter.restore();
    }
    painter.restore();
}

double hiwBodyTextHeight(HiwTextCache &texts, const QString &text, double width)
{
    return texts.height(text, Fonts::systemFont(10.5, QFont::Normal), width, bodyLineSpacing);
}

void paintHiwBodyText(QPainter &painter, HiwTextCache &texts, const QString &text, double width)
{
    painter.setPen(whiteAt(0.85));
    texts.paint(painter, text, Fonts::systemFont(10.5, QFont::Normal), width, bodyLineSpacing,
                {0, 0});
}

void paintHiwCursor(QPainter &painter, HiwPaintContext &context, QPointF position, double press)
{
    const QRectF box(position.x() - 8, position.y() - 9, 16, 18);
    context.shadows.draw(painter, u"cursor"_qs, box,
                         [&](QPainter &p) {
                             Icons::paint(&p, u"cursorarrow"_qs, box, Qt::black, 15, QFont::Medium);
                         },
                         QColor(0, 0, 0, 153), 2, {0, 1});
    painter.save();
    const double scale = 1 - 0.2 * press;
    painter.translate(position);
    painter.scale(scale, scale);
    painter.translate(-position);
    Icons::paint(&painter, u"cursorarrow"_qs, box, Qt::white, 15, QFont::Medium);
    painter.restore();
}

void paintHiwRipple(QPainter &painter, QPointF centre, double progress)
{
    const double scale = hiwMix(0.25, 2.4, progress);
    const double opacity = hiwMix(0.85, 0, progress);
    if (opacity <= 0)
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.translate(centre);
    painter.scale(scale, scale);
    const QRectF circle(-13, -13, 26, 26);
    painter.setPen(Qt::NoPen);
    painter.setBrush(accentTeal(0.2));
    painter.drawEllipse(circle);
    painter.setPen(QPen(accentTeal(), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle.adjusted(0.75, 0.75, -0.75, -0.75));
    painter.restore();
}

void paintHiwCaptionChip(QPainter &painter, QPointF topLeft, const QString &text, double presence)
{
    if (presence <= 0)
        return;
    const QFont font = trackedFont(10, QFont::DemiBold);
    const QFontMetricsF metrics(font);
    const QString shown = text.isEmpty() ? u" "_qs : text;
    const QRectF chip(topLeft + QPointF(0, 3 * (1 - presence)),
                      QSizeF(metrics.horizontalAdvance(shown) + 16, metrics.height() + 7));
    painter.save();
    painter.setOpacity(painter.opacity() * presence);
    painter.fillPath(roundedRectPath(chip, 6), HiwColors::chipFace());
    strokeInsideRoundedRect(&painter, chip, 6, QPen(accentTeal(0.27), 0.5));
    painter.setFont(font);
    painter.setPen(whiteAt(0.92));
    painter.drawText(chip, Qt::AlignCenter | Qt::TextSingleLine, shown);
    painter.restore();
}

void paintHiwKey(QPainter &painter, HiwPaintContext &context, QPointF topLeft,
                 const QString &symbol, double active)
{
    const QRectF key(topLeft, QSizeF(30, 30));
    painter.save();
    const auto square = [&](QPainter &p) { p.fillPath(roundedRectPath(key, 7), Qt::black); };
    const double opacity = painter.opacity();
    if (active < 1) {
        painter.setOpacity(opacity * (1 - active));
        context.shadows.draw(painter, u"keyRest"_qs, key, square, QColor(0, 0, 0, 102), 3, {0, 2});
    }
    if (active > 0) {
        painter.setOpacity(opacity * active);
        context.shadows.draw(painter, u"keyActive"_qs, key, square, accentTeal(0.4), 7);
    }
    painter.setOpacity(opacity);
    const double scale = 1 - 0.08 * active;
    painter.translate(key.center());
    painter.scale(scale, scale);
    painter.translate(-key.center());
    painter.fillPath(roundedRectPath(key, 7), hiwMix(HiwColors::keyFace(), accentTeal(), active));
    strokeInsideRoundedRect(&painter, key, 7, QPen(whiteAt(hiwMix(0.14, 0.25, active)), 0.5));
    Icons::paint(&painter, symbol, key, hiwMix(whiteAt(0.8), HiwColors::deepGreen(), active), 12,
                 QFont::Bold);
    painter.restore();
}
