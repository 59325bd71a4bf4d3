#include "floatingpagelist.h"

#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/palette.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

constexpr double horizontalPadding = 16;
constexpr double verticalPadding = 12;
constexpr double headerLeading = 28;

QFont headerFont()
{
    return Fonts::systemFont(13, QFont::Medium);
}

PageListMetrics listMetrics()
{
    return {.horizontalPadding = horizontalPadding,
            .verticalPadding = verticalPadding,
            .headerHeight = std::ceil(QFontMetricsF(headerFont()).height()),
            .headerBottomPadding = 4,
            .rowHorizontalPadding = 10,
            .rowVerticalPadding = 6,
            .rowRadius = 8,
            .row = {14, 13, 24, 8}};
}

} // namespace

FloatingPageList::FloatingPageList(OverlayContent &content, QWidget *parent)
    : PageList(content, listMetrics(), parent)
{}

void FloatingPageList::paintHeader(QPainter &painter) const
{
    const QFont font = headerFont();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(whiteAt(0.5));
    painter.drawText(QPointF(horizontalPadding + headerLeading,
                             verticalPadding + (m_metrics.headerHeight - metrics.height()) / 2
                                 + metrics.ascent()),
                     localizedString("Elegí una nota"));
}
