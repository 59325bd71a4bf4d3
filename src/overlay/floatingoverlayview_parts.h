#pragma once

// The floating view's layers that are widgets of their own: the collapsed bar, the ornaments
// over the content (resize grip, hairline, capture border) and the layer that draws the view
// while it grows in, shrinks away or cross-fades. Only the view includes this.

#include "overlay/floatingoverlayview.h"
#include "overlay/invisibilityglow.h"
#include "overlay/overlayshapes.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/circleglyphbutton.h"
#include "uikit/painting.h"
#include "uikit/roundiconbutton.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace FloatingOverlayParts {

inline constexpr double gripSide = 11;
inline constexpr double gripPadding = 5;
inline constexpr double barButtonSide = 20;
inline constexpr double barSymbolSize = 9;
inline constexpr double barSpacing = 8;
inline constexpr QMargins barPadding{14, 10, 14, 10};
inline constexpr double hairlineWidth = 1;
inline constexpr double hairlineOpacity = 0.1; // the platform's separator colour

// The collapsed bar's chevron: opens the page list. Bare, with no disc behind it.
inline CircleGlyphButton::Face pageListFace()
{
    CircleGlyphButton::Face face;
    face.symbol = u"chevron.down"_qs;
    face.diameter = 16;
    face.glyphSize = 11;
    face.glyphColor = whiteAt(0.8);
    return face;
}

} // namespace FloatingOverlayParts

// The collapsed panel: minimise, the page list's chevron and close on a black capsule, or the
// chevron alone in the mini form.
class FloatingOverlayView::CollapsedBar : public QWidget
{
public:
    explicit CollapsedBar(QWidget *parent)
        : QWidget(parent)
        , m_minimizeButton(new RoundIconButton(u"minus"_qs, FloatingOverlayParts::barButtonSide,
                                               FloatingOverlayParts::barSymbolSize, this))
        , m_pageListButton(new CircleGlyphButton(FloatingOverlayParts::pageListFace(), this))
        , m_closeButton(new RoundIconButton(u"xmark"_qs, FloatingOverlayParts::barButtonSide,
                                            FloatingOverlayParts::barSymbolSize, this))
    {
        m_minimizeButton->setObjectName(u"collapsedMinimizeButton"_qs);
        m_pageListButton->setObjectName(u"collapsedPageListButton"_qs);
        m_closeButton->setObjectName(u"collapsedCloseButton"_qs);
        auto *row = new QHBoxLayout(this);
        row->setContentsMargins(FloatingOverlayParts::barPadding);
        row->setSpacing(int(FloatingOverlayParts::barSpacing));
        row->setSizeConstraint(QLayout::SetFixedSize);
        for (QWidget *button :
             std::initializer_list<QWidget *>{m_minimizeButton, m_pageListButton, m_closeButton})
            row->addWidget(button, 0, Qt::AlignVCenter);
    }

    RoundIconButton *minimizeButton() const { return m_minimizeButton; }
    CircleGlyphButton *pageListButton() const { return m_pageListButton; }
    RoundIconButton *closeButton() const { return m_closeButton; }

    void setMini(bool mini)
    {
        m_minimizeButton->setVisible(!mini);
        m_closeButton->setVisible(!mini);
        layout()->activate();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(roundedRectPath(rect(), height() / 2.0), Qt::black);
    }

private:
    RoundIconButton *m_minimizeButton = nullptr;
    CircleGlyphButton *m_pageListButton = nullptr;
    RoundIconButton *m_closeButton = nullptr;
};

// What lies over everything else: the resize grip and the border that shows the panel is
// hidden from capture. Clicks pass through; the panel itself handles resizing.
class FloatingOverlayView::Ornaments : public QWidget
{
public:
    explicit Ornaments(FloatingOverlayView &view)
        : QWidget(&view)
        , m_view(view)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

    void setGripShown(bool shown)
    {
        if (shown == m_gripShown)
            return;
        m_gripShown = shown;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (m_gripShown) {
            const QRectF grip(
                width() - FloatingOverlayParts::gripPadding - FloatingOverlayParts::gripSide,
                height() - FloatingOverlayParts::gripPadding - FloatingOverlayParts::gripSide,
                FloatingOverlayParts::gripSide, FloatingOverlayParts::gripSide);
            QPen pen(whiteAt(0.35), 1.5);
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.drawPath(ResizeGripShape().path(grip));
        }
        paintHairline(painter, m_view.panelShape());
        paintFloatingPanelBorder(painter, rect(), cornerRadius, m_view.borderOpacity());
    }

private:
    // Without a compositor's shadow, overlapping panels keep apart by this line along the edge.
    // Stroking the whole outline is costly on every frame: the straight runs are filled as
    // whole pixels, only the corners are stroked.
    static void paintHairline(QPainter &painter, const Shape &shape)
    {
        const QColor color = whiteAt(FloatingOverlayParts::hairlineOpacity);
        const QRectF r = shape.rect;
        const double radius = std::min(shape.radius, std::min(r.width(), r.height()) / 2);
        const double w = FloatingOverlayParts::hairlineWidth;
        painter.fillRect(QRectF(r.left() + radius, r.top(), r.width() - 2 * radius, w), color);
        painter.fillRect(QRectF(r.left() + radius, r.bottom() - w, r.width() - 2 * radius, w),
                         color);
        painter.fillRect(QRectF(r.left(), r.top() + radius, w, r.height() - 2 * radius), color);
        painter.fillRect(QRectF(r.right() - w, r.top() + radius, w, r.height() - 2 * radius),
                         color);
        // The corners as quarter circles of the line's centre, inside the edge.
        const double half = w / 2;
        const double d = 2 * (radius - half);
        const QRectF inner = r.adjusted(half, half, -half, -half);
        QPainterPath corners;
        for (const auto &[origin, startAngle] :
             {std::pair(inner.topLeft(), 90.0),
              std::pair(QPointF(inner.right() - d, inner.top()), 0.0),
              std::pair(QPointF(inner.right() - d, inner.bottom() - d), 270.0),
              std::pair(QPointF(inner.left(), inner.bottom() - d), 180.0)}) {
            const QRectF box(origin, QSizeF(d, d));
            corners.arcMoveTo(box, startAngle);
            corners.arcTo(box, startAngle, 90);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(color, w, Qt::SolidLine, Qt::FlatCap));
        painter.drawPath(corners);
    }

    FloatingOverlayView &m_view;
    bool m_gripShown = false;
};

// Lies over the whole view while it grows in or shrinks away, and while a change cross-fades.
// A widget tree cannot be drawn translucent or scaled by itself, so this layer draws a picture
// of the view instead: scaled about the centre and faded over the panel's black while it
// appears or disappears, or the view as it was before a change fading out over the new one.
class FloatingOverlayView::TransitionLayer : public QWidget
{
public:
    explicit TransitionLayer(FloatingOverlayView &view)
        : QWidget(&view)
        , m_view(view)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    void setLive(const QPixmap &picture) { m_live = picture; }
    void setBefore(const QPixmap &picture) { m_before = picture; }
    bool hasBefore() const { return !m_before.isNull(); }
    void clear()
    {
        m_live = {};
        m_before = {};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_view.m_takingPicture)
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const double presence = std::clamp(m_view.presence(), 0.0, 1.0);
        if (presence < 1) {
            painter.fillPath(m_view.outlinePath(), Qt::black);
            if (m_live.isNull())
                return;
            const double s = m_view.scale();
            const QPointF centre = QRectF(rect()).center();
            painter.translate(centre);
            painter.scale(s, s);
            painter.translate(-centre);
            painter.setOpacity(presence);
            painter.drawPixmap(0, 0, m_live);
            return;
        }
        const double before = m_view.m_crossfade->value();
        if (before > 0 && !m_before.isNull()) {
            painter.setOpacity(before);
            painter.drawPixmap(0, 0, m_before);
        }
    }

private:
    FloatingOverlayView &m_view;
    QPixmap m_live;
    QPixmap m_before;
};
