#include "pagetabstrip.h"

#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/palette.h"
#include "uikit/localizedtext.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double numberSize = 10;

} // namespace

PageTabStrip::PageTabStrip(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // The numbers are looked up as they are painted.
    LocalizedText::follow(this, "numbers", [this] { update(); });
}

bool PageTabStrip::isShown(bool isNotesMode, bool showsPageNumbers, int pageCount)
{
    return isNotesMode && showsPageNumbers && pageCount >= 2;
}

void PageTabStrip::setPages(int pageCount, int currentIndex)
{
    pageCount = std::max(0, pageCount);
    if (pageCount == m_pageCount && currentIndex == m_currentIndex)
        return;
    m_pageCount = pageCount;
    m_currentIndex = currentIndex;
    setScrollOffset(m_scrollOffset);
    updateGeometry();
    update();
}

double PageTabStrip::contentWidth() const
{
    return m_pageCount > 0 ? m_pageCount * tabSide + (m_pageCount - 1) * spacing : 0;
}

QRectF PageTabStrip::tabRect(int index) const
{
    if (index < 0 || index >= m_pageCount)
        return {};
    return QRectF(index * (tabSide + spacing) - m_scrollOffset, (height() - tabSide) / 2, tabSide,
                  tabSide);
}

int PageTabStrip::tabAt(const QPointF &point) const
{
    if (!rect().contains(point.toPoint()))
        return -1;
    const double x = point.x() + m_scrollOffset;
    const int index = int(std::floor(x / (tabSide + spacing)));
    if (index < 0 || index >= m_pageCount)
        return -1;
    const QPointF offset = point - tabRect(index).center();
    return std::hypot(offset.x(), offset.y()) <= tabSide / 2 ? index : -1;
}

QSize PageTabStrip::sizeHint() const
{
    return QSize(int(std::ceil(contentWidth())), int(tabSide));
}

QSize PageTabStrip::minimumSizeHint() const
{
    return QSize(0, int(tabSide));
}

void PageTabStrip::setScrollOffset(double offset)
{
    const double limit = std::max(0.0, contentWidth() - width());
    offset = std::clamp(offset, 0.0, limit);
    if (offset == m_scrollOffset)
        return;
    m_scrollOffset = offset;
    update();
}

void PageTabStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFont regular = Fonts::systemFont(numberSize, QFont::Medium);
    const QFont current = Fonts::systemFont(numberSize, QFont::Bold);
    for (int i = 0; i < m_pageCount; ++i) {
        const QRectF tab = tabRect(i);
        if (tab.right() < 0 || tab.left() > width())
            continue;
        const bool isCurrent = i == m_currentIndex;
        painter.setPen(Qt::NoPen);
        painter.setBrush(isCurrent ? accentTeal(0.15) : whiteAt(0.08));
        painter.drawEllipse(tab);
        painter.setFont(isCurrent ? current : regular);
        painter.setPen(isCurrent ? accentTeal(1) : whiteAt(0.5));
        painter.drawText(tab, Qt::AlignCenter, localizedString("%lld", qlonglong(i + 1)));
    }
}

void PageTabStrip::mousePressEvent(QMouseEvent *event)
{
    m_pressedTab = event->button() == Qt::LeftButton ? tabAt(event->position()) : -1;
    if (m_pressedTab < 0)
        event->ignore();
}

void PageTabStrip::mouseReleaseEvent(QMouseEvent *event)
{
    const int pressed = std::exchange(m_pressedTab, -1);
    if (pressed < 0 || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (tabAt(event->position()) == pressed && pressed != m_currentIndex)
        Q_EMIT pageChosen(pressed);
}

void PageTabStrip::wheelEvent(QWheelEvent *event)
{
    // Sideways gestures scroll as they are; a plain wheel turns its vertical steps sideways.
    const QPoint pixels = event->pixelDelta();
    const QPointF delta = !pixels.isNull() ? QPointF(pixels) : QPointF(event->angleDelta()) / 4;
    const double step = delta.x() != 0 ? delta.x() : delta.y();
    if (contentWidth() <= width() || step == 0) {
        event->ignore();
        return;
    }
    setScrollOffset(m_scrollOffset - step);
}

void PageTabStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setScrollOffset(m_scrollOffset);
}
