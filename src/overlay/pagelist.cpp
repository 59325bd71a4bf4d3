#include "pagelist.h"

#include "overlay/model/overlaycontent.h"

#include "platform/fonts.h"
#include "settings/localization.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QFont numberFont(const PageRowMetrics &metrics)
{
    return Fonts::monospacedSystemFont(metrics.numberPointSize, QFont::Bold);
}

QFont labelFont(const PageRowMetrics &metrics)
{
    return Fonts::systemFont(metrics.labelPointSize, QFont::Normal);
}

// One line of text in `rect`, its line box centred vertically.
void drawLine(QPainter &painter, const QRectF &rect, const QFont &font, const QColor &color,
              const QString &text, Qt::Alignment horizontal)
{
    const QFontMetricsF fontMetrics(font);
    const double width = fontMetrics.horizontalAdvance(text);
    double x = rect.left();
    if (horizontal & Qt::AlignHCenter)
        x = rect.center().x() - width / 2;
    const double baseline = rect.center().y() - fontMetrics.height() / 2 + fontMetrics.ascent();
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QPointF(x, baseline), text);
}

} // namespace

QString pageLabel(const OverlayContent &content, int index)
{
    if (index >= 0) {
        const QStringList titles = content.pageTitles();
        if (index < titles.size()) {
            const QString title = titles.at(index).trimmed();
            if (!title.isEmpty())
                return title;
        }
        const QStringList previews = content.pagePreviews();
        if (index < previews.size() && !previews.at(index).isEmpty())
            return previews.at(index);
    }
    return localizedString("Vacío");
}

void paintPageRowText(QPainter &painter, const QRectF &rect, int index, const QString &label,
                      const PageRowMetrics &metrics)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRectF numberRect(rect.left(), rect.top(), metrics.numberWidth, rect.height());
    drawLine(painter, numberRect, numberFont(metrics), QColor::fromRgbF(1, 1, 1, 0.8f),
             localizedString("%lld", qlonglong(index) + 1), Qt::AlignHCenter);

    const double labelLeft = numberRect.right() + metrics.spacing;
    const QRectF labelRect(labelLeft, rect.top(), std::max(0.0, rect.right() - labelLeft),
                           rect.height());
    // A preview keeps the page's inner line breaks; one line shows them as spaces.
    QString oneLine = label;
    for (QChar &c : oneLine) {
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    const QFont font = labelFont(metrics);
    const QString elided
        = QFontMetricsF(font).elidedText(oneLine, Qt::ElideRight, labelRect.width());
    drawLine(painter, labelRect, font, QColor::fromRgbF(1, 1, 1, 0.5f), elided, Qt::AlignLeft);

    painter.restore();
}

double pageRowTextHeight(const PageRowMetrics &metrics)
{
    return std::ceil(std::max(QFontMetricsF(numberFont(metrics)).height(),
                              QFontMetricsF(labelFont(metrics)).height()));
}
