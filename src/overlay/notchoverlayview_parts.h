#pragma once

// The pinned view's layers that are widgets of their own: the bar shown while collapsed and the
// veil drawn over the content while it fades. Only the view includes this.

#include "overlay/notchoverlayview.h"
#include "settings/palette.h"
#include "uikit/icons.h"
#include "uikit/roundiconbutton.h"

#include <QHBoxLayout>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <utility>

namespace NotchOverlayParts {

inline constexpr double roundButtonSide = 20;
inline constexpr double roundButtonSymbol = 9;
inline constexpr double barPadding = 12;

} // namespace NotchOverlayParts

// The bar below the top bar while collapsed: minimise, a chevron and close, or the chevron
// alone in the mini form. A click anywhere but on the two buttons reopens the picker.
class NotchOverlayView::CollapsedBar : public QWidget
{
public:
    CollapsedBar(std::function<void()> onTap, QWidget *parent)
        : QWidget(parent)
        , m_onTap(std::move(onTap))
        , m_minimizeButton(new RoundIconButton(u"minus"_qs, NotchOverlayParts::roundButtonSide,
                                               NotchOverlayParts::roundButtonSymbol, this))
        , m_closeButton(new RoundIconButton(u"xmark"_qs, NotchOverlayParts::roundButtonSide,
                                            NotchOverlayParts::roundButtonSymbol, this))
    {
        m_minimizeButton->setObjectName(u"collapsedMinimizeButton"_qs);
        m_closeButton->setObjectName(u"collapsedCloseButton"_qs);
        auto *row = new QHBoxLayout(this);
        row->setContentsMargins(int(NotchOverlayParts::barPadding), 0,
                                int(NotchOverlayParts::barPadding), 0);
        row->setSpacing(0);
        row->addWidget(m_minimizeButton, 0, Qt::AlignVCenter);
        row->addStretch(1);
        row->addWidget(m_closeButton, 0, Qt::AlignVCenter);
    }

    RoundIconButton *minimizeButton() const { return m_minimizeButton; }
    RoundIconButton *closeButton() const { return m_closeButton; }

    void setMini(bool mini)
    {
        m_minimizeButton->setVisible(!mini);
        m_closeButton->setVisible(!mini);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QRectF glyph(0, 0, 14, 14);
        glyph.moveCenter(QRectF(rect()).center());
        Icons::paint(&painter, u"chevron.down"_qs, glyph, whiteAt(0.7), 10, QFont::Bold);
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton)
            event->ignore();
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_onTap();
    }

private:
    std::function<void()> m_onTap;
    RoundIconButton *m_minimizeButton = nullptr;
    RoundIconButton *m_closeButton = nullptr;
};

// Lies over the content column while it fades. A widget tree cannot be drawn translucent
// without graphics effects, so the fade is drawn on top instead: the panel's own fill over
// the column hides what is not yet (or no longer) visible, and a picture of the section below
// the top bar as it was before a change fades out over the new one.
class NotchOverlayView::ContentVeil : public QWidget
{
public:
    explicit ContentVeil(NotchOverlayView &view)
        : QWidget(&view)
        , m_view(view)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    void setSnapshot(const QPixmap &snapshot, const QPoint &position)
    {
        m_snapshot = snapshot;
        m_snapshotPosition = position;
    }
    bool hasSnapshot() const { return !m_snapshot.isNull(); }
    void clearSnapshot() { m_snapshot = {}; }

    // `content` is the column's own opacity, `before` the share of the old section still shown;
    // the section changes below `sectionTop`.
    void setFade(double content, double before, double sectionTop)
    {
        m_content = std::clamp(content, 0.0, 1.0);
        m_before = std::clamp(before, 0.0, 1.0);
        m_sectionTop = sectionTop;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipPath(m_view.outlinePath());
        const QRectF top(0, 0, width(), m_sectionTop);
        const QRectF section(0, m_sectionTop, width(), height() - m_sectionTop);
        const double topFill = 1 - m_content;
        const double sectionFill = 1 - m_content * (1 - m_before);
        if (topFill > 0 || sectionFill > 0) {
            // The fill is flattened first so that it covers like one opaque layer.
            const qreal ratio = devicePixelRatioF();
            QImage fill((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
            fill.setDevicePixelRatio(ratio);
            fill.fill(Qt::transparent);
            QPainter fillPainter(&fill);
            m_view.paintPanel(fillPainter);
            fillPainter.end();
            for (const auto &[area, opacity] :
                 {std::pair(top, topFill), std::pair(section, sectionFill)}) {
                painter.save();
                painter.setClipRect(area, Qt::IntersectClip);
                painter.setOpacity(opacity);
                painter.drawImage(0, 0, fill);
                painter.restore();
            }
        }
        if (m_content * m_before > 0 && !m_snapshot.isNull()) {
            painter.setClipRect(section, Qt::IntersectClip);
            painter.setOpacity(m_content * m_before);
            painter.drawPixmap(m_snapshotPosition, m_snapshot);
        }
    }

private:
    NotchOverlayView &m_view;
    QPixmap m_snapshot;
    QPoint m_snapshotPosition;
    double m_content = 1;
    double m_before = 0;
    double m_sectionTop = 0;
};
