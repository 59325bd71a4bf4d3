#include "pagepickerview.h"

#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/palette.h"
#include "uikit/icons.h"
#include "uikit/painting.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double horizontalPadding = 12;
constexpr double verticalPadding = 8;

constexpr double headerSpacing = 8;
constexpr double headerMinimumGap = 8;
constexpr double hintSpacing = 9;
constexpr double hintInnerSpacing = 4;
constexpr double keyCapMinimumWidth = 17;
constexpr double keyCapMinimumHeight = 15;
constexpr double keyCapHorizontalPadding = 4;
constexpr double keyCapRadius = 4;
constexpr double keySymbolSize = 8.5;

const QString escapeKey = QStringLiteral("Esc");

struct KeyHint
{
    QStringList caps; // symbol names; the escape key is written out
    const char *label;
};

const QList<KeyHint> &keyHints()
{
    static const QList<KeyHint> hints{
        {{QStringLiteral("arrow.up"), QStringLiteral("arrow.down")}, "Mover"},
        {{QStringLiteral("arrow.right")}, "Elegir"},
        {{escapeKey}, "Cerrar"},
    };
    return hints;
}

QFont titleFont()
{
    return Fonts::systemFont(11, QFont::Medium);
}

QFont hintLabelFont()
{
    return Fonts::systemFont(9, QFont::Medium);
}

QFont escapeFont()
{
    return Fonts::systemFont(8, QFont::ExtraBold);
}

QFont symbolFont()
{
    return Fonts::systemFont(keySymbolSize, QFont::Bold);
}

QSizeF keyCapSize(const QString &cap)
{
    const bool isText = cap == escapeKey;
    const QFontMetricsF metrics(isText ? escapeFont() : symbolFont());
    const double glyphWidth = isText ? metrics.horizontalAdvance(cap) : keySymbolSize;
    return {std::max(keyCapMinimumWidth, glyphWidth + 2 * keyCapHorizontalPadding),
            std::max(keyCapMinimumHeight, metrics.height())};
}

double hintWidth(const KeyHint &hint)
{
    double width = QFontMetricsF(hintLabelFont()).horizontalAdvance(localizedString(hint.label));
    for (const QString &cap : hint.caps)
        width += keyCapSize(cap).width() + hintInnerSpacing;
    return width;
}

double hintsWidth()
{
    double width = hintSpacing * (keyHints().size() - 1);
    for (const KeyHint &hint : keyHints())
        width += hintWidth(hint);
    return width;
}

double titleWidth()
{
    return QFontMetricsF(titleFont()).horizontalAdvance(localizedString("Elegí una nota"));
}

PageListMetrics listMetrics()
{
    const double headerHeight = std::ceil(
        std::max({QFontMetricsF(titleFont()).height(), QFontMetricsF(hintLabelFont()).height(),
                  keyCapSize(escapeKey).height()}));
    return {.horizontalPadding = horizontalPadding,
            .verticalPadding = verticalPadding,
            .headerHeight = headerHeight,
            .headerBottomPadding = 4,
            .rowHorizontalPadding = 8,
            .rowVerticalPadding = 4,
            .rowRadius = 6,
            .row = {12, 12, 20, 6}};
}

void paintKeyCap(QPainter &painter, const QRectF &rect, const QString &cap)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(whiteAt(0.18));
    painter.drawPath(roundedRectPath(rect, keyCapRadius));
    strokeInsideRoundedRect(&painter, rect, keyCapRadius, QPen(whiteAt(0.12), 0.5));

    if (cap != escapeKey) {
        Icons::paint(&painter, cap, rect, whiteAt(0.9), keySymbolSize, QFont::Bold);
        return;
    }
    const QFont font = escapeFont();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(whiteAt(0.9));
    painter.drawText(QPointF(rect.center().x() - metrics.horizontalAdvance(cap) / 2,
                             rect.center().y() - metrics.height() / 2 + metrics.ascent()),
                     cap);
}

} // namespace

PagePickerView::PagePickerView(OverlayContent &content, QWidget *parent)
    : PageList(content, listMetrics(), parent)
{}

QSize PagePickerView::sizeHint() const
{
    const double width = 2 * horizontalPadding + titleWidth() + 2 * headerSpacing + headerMinimumGap
                         + hintsWidth();
    return {int(std::ceil(width)), int(std::ceil(contentHeight()))};
}

double PagePickerView::fittedHeight(int pageCount, double available)
{
    const PageListMetrics metrics = listMetrics();
    return std::min(PageList::contentHeight(metrics, pageCount),
                    PageList::wholeRowsHeight(metrics, pageCount, available));
}

void PagePickerView::refresh()
{
    PageList::refresh();
    updateGeometry();
}

void PagePickerView::paintHeader(QPainter &painter) const
{
    const double middle = verticalPadding + m_metrics.headerHeight / 2;

    // The hints keep to the trailing edge, inside the panel; on a panel too narrow for both,
    // the title gives up its tail first, as it says less than the keys.
    double x = std::max(horizontalPadding, width() - horizontalPadding - hintsWidth());
    const double titleRoom = x - 2 * headerSpacing - headerMinimumGap - horizontalPadding;
    const QFont title = titleFont();
    const QFontMetricsF titleMetrics(title);
    painter.setFont(title);
    painter.setPen(whiteAt(0.5));
    painter.drawText(
        QPointF(horizontalPadding, middle - titleMetrics.height() / 2 + titleMetrics.ascent()),
        titleMetrics.elidedText(localizedString("Elegí una nota"), Qt::ElideRight,
                                std::max(0.0, titleRoom)));

    const QFont labelFont = hintLabelFont();
    const QFontMetricsF labelMetrics(labelFont);
    for (const KeyHint &hint : keyHints()) {
        for (const QString &cap : hint.caps) {
            const QSizeF size = keyCapSize(cap);
            paintKeyCap(painter, QRectF(QPointF(std::round(x), middle - size.height() / 2), size),
                        cap);
            x += size.width() + hintInnerSpacing;
        }
        const QString label = localizedString(hint.label);
        painter.setFont(labelFont);
        painter.setPen(whiteAt(0.55));
        painter.drawText(QPointF(x, middle - labelMetrics.height() / 2 + labelMetrics.ascent()),
                         label);
        x += labelMetrics.horizontalAdvance(label) + hintSpacing;
    }
}
