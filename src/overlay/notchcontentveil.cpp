#include "notchcontentveil.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <utility>

NotchOverlayView::ContentVeil::ContentVeil(NotchOverlayView &view)
    : QWidget(&view)
    , m_view(view)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void NotchOverlayView::ContentVeil::setFade(double content, double before, double sectionTop)
{
    m_content = std::clamp(content, 0.0, 1.0);
    m_before = std::clamp(before, 0.0, 1.0);
    m_sectionTop = sectionTop;
    update();
}

void NotchOverlayView::ContentVeil::paintEvent(QPaintEvent *)
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
