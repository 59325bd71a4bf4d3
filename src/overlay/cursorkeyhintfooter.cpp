#include "cursorkeyhintfooter.h"

#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/palette.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double textSize = 9.5;
constexpr double hintSpacing = 10;
constexpr double capSpacing = 4;
constexpr double capMinimumSide = 18;
constexpr double wordCapPadding = 5;
constexpr double capRadius = 5;
constexpr double rowOpacity = 0.55;

QFont captionFont()
{
    return Fonts::systemFont(textSize, QFont::Medium);
}

QFont labelFont()
{
    return Fonts::systemFont(textSize, QFont::Normal);
}

double hintWidth(const CursorKeyHintFooter::Hint &hint)
{
    double width = QFontMetricsF(labelFont()).horizontalAdvance(hint.label);
    for (const QString &caption : hint.captions)
        width += CursorKeyHintFooter::keyCapSize(caption).width() + capSpacing;
    return width;
}

// One line of text with its line box centred on `middle`.
void drawLine(QPainter &painter, double x, double middle, const QFont &font, const QString &text)
{
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.drawText(QPointF(x, middle - metrics.height() / 2 + metrics.ascent()), text);
}

} // namespace

CursorKeyHintFooter::CursorKeyHintFooter(bool pickerMode, QWidget *parent)
    : QWidget(parent)
    , m_pickerMode(pickerMode)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    LocalizedText::follow(this, "hints", [this] {
        updateGeometry();
        update();
    });
}

QList<CursorKeyHintFooter::Hint> CursorKeyHintFooter::hints(bool pickerMode)
{
    if (pickerMode) {
        return {{{u"→"_qs}, localizedString("elegir nota")},
                {{u"esc"_qs}, localizedString("cerrar")}};
    }
    return {{{u"←"_qs, u"→"_qs}, localizedString("cambiar nota")},
            {{u"↑"_qs, u"↓"_qs}, localizedString("mover texto")},
            {{u"esc"_qs}, localizedString("salir")}};
}

QSizeF CursorKeyHintFooter::keyCapSize(const QString &caption)
{
    const QFontMetricsF metrics(captionFont());
    const double padding = caption.size() > 1 ? wordCapPadding : 0;
    return {std::max(capMinimumSide, metrics.horizontalAdvance(caption) + 2 * padding),
            std::max(capMinimumSide, metrics.height())};
}

namespace {

double rowWidth(const QList<CursorKeyHintFooter::Hint> &row)
{
    double width = hintSpacing * double(std::max<qsizetype>(0, row.size() - 1));
    for (const CursorKeyHintFooter::Hint &hint : row)
        width += hintWidth(hint);
    return width;
}

} // namespace

void CursorKeyHintFooter::setAvailableWidth(int width)
{
    if (width == m_availableWidth)
        return;
    m_availableWidth = width;
    updateGeometry();
    update();
}

QList<CursorKeyHintFooter::Hint> CursorKeyHintFooter::shownHints() const
{
    QList<Hint> row = hints(m_pickerMode);
    while (row.size() > 1 && std::ceil(rowWidth(row)) > m_availableWidth)
        row.removeAt(row.size() - 2);
    return row;
}

QSize CursorKeyHintFooter::sizeHint() const
{
    const QList<Hint> row = shownHints();
    double height = QFontMetricsF(labelFont()).height();
    for (const Hint &hint : row) {
        for (const QString &caption : hint.captions)
            height = std::max(height, keyCapSize(caption).height());
    }
    return {int(std::ceil(rowWidth(row))), int(std::ceil(height))};
}

void CursorKeyHintFooter::paintEvent(QPaintEvent *)
{
    // The row fades as one picture, so the caps' fills do not show through their captions.
    const qreal ratio = devicePixelRatioF();
    QImage row((QSizeF(size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    row.setDevicePixelRatio(ratio);
    row.fill(Qt::transparent);
    QPainter rowPainter(&row);
    paintHints(rowPainter);
    rowPainter.end();

    QPainter painter(this);
    painter.setOpacity(rowOpacity);
    painter.drawImage(0, 0, row);
}

void CursorKeyHintFooter::paintHints(QPainter &painter) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double middle = height() / 2.0;
    const QFont caption = captionFont();
    const QFontMetricsF captionMetrics(caption);
    double x = 0;
    for (const Hint &hint : shownHints()) {
        for (const QString &text : hint.captions) {
            const QSizeF size = keyCapSize(text);
            const QRectF cap(QPointF(std::round(x), std::round(middle - size.height() / 2)), size);
            painter.setPen(Qt::NoPen);
            painter.setBrush(whiteAt(0.08));
            painter.drawPath(roundedRectPath(cap, capRadius));
            strokeInsideRoundedRect(&painter, cap, capRadius, QPen(whiteAt(0.15), 0.5));
            painter.setPen(Qt::white);
            drawLine(painter, cap.center().x() - captionMetrics.horizontalAdvance(text) / 2,
                     cap.center().y(), caption, text);
            x += size.width() + capSpacing;
        }
        painter.setPen(whiteAt(0.8));
        drawLine(painter, x, middle, labelFont(), hint.label);
        x += QFontMetricsF(labelFont()).horizontalAdvance(hint.label) + hintSpacing;
    }
}
