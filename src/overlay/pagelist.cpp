#include "pagelist.h"

#include "overlay/model/overlaycontent.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QFont numberFont(const PageRowMetrics &metrics)
{
    return Fonts::monospacedSystemFont(metrics.numberPointSize, QFont::Bold);
}

QFont labelFont(const PageRowMetrics &metrics)
{
    return Fonts::systemFont(metrics.labelPointSize, QFont::Normal);
}

// One line of text centred in `rect`, its line box centred vertically.
void drawCentredLine(QPainter &painter, const QRectF &rect, const QFont &font, const QColor &color,
                     const QString &text)
{
    const QFontMetricsF fontMetrics(font);
    const double x = rect.center().x() - fontMetrics.horizontalAdvance(text) / 2;
    const double baseline = rect.center().y() - fontMetrics.height() / 2 + fontMetrics.ascent();
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QPointF(x, baseline), text);
}

QColor mix(const QColor &from, const QColor &to, double amount)
{
    const auto lerp = [amount](float a, float b) { return float(a + (b - a) * amount); };
    return QColor::fromRgbF(lerp(from.redF(), to.redF()), lerp(from.greenF(), to.greenF()),
                            lerp(from.blueF(), to.blueF()), lerp(from.alphaF(), to.alphaF()));
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
    drawCentredLine(painter, numberRect, numberFont(metrics), QColor::fromRgbF(1, 1, 1, 0.8f),
                    localizedString("%lld", qlonglong(index) + 1));

    const double labelLeft = numberRect.right() + metrics.spacing;
    const QRectF labelRect(labelLeft, rect.top(), std::max(0.0, rect.right() - labelLeft),
                           rect.height());
    painter.setFont(labelFont(metrics));
    painter.setPen(QColor::fromRgbF(1, 1, 1, 0.5f));
    // A preview keeps the page's inner line breaks: one line shows them as spaces. A title or a
    // preview starts on the side its own text reads from and is cut at its end.
    drawTextLine(painter, labelRect, label);

    painter.restore();
}

double pageRowTextHeight(const PageRowMetrics &metrics)
{
    return std::ceil(std::max(QFontMetricsF(numberFont(metrics)).height(),
                              QFontMetricsF(labelFont(metrics)).height()));
}

// The scrolled content: header and rows, painted in one pass.
class PageList::Rows : public QWidget
{
public:
    Rows(PageList &list, QWidget *parent)
        : QWidget(parent)
        , m_list(list)
        , m_content(list.m_content)
        , m_fade(new AnimatedValue(1, this))
        , m_shownHighlight(m_content.highlightedPickerIndex())
    {
        connect(m_fade, &AnimatedValue::valueChanged, this, [this] { update(); });
        connect(&m_content, &OverlayContent::highlightedPickerIndexChanged, this,
                &Rows::followHighlight);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        m_list.paintHeader(painter);
        const int clearFrom = m_list.m_topClearance + m_list.scrollOffset();
        painter.setClipRect(QRect(0, clearFrom, width(), height() - clearFrom));

        const QRectF dirty = event->rect();
        const double pitch = m_list.rowHeight() + m_list.m_metrics.stackSpacing;
        const int first = std::max(0, int((dirty.top() - m_list.rowTop(0)) / pitch));
        for (int i = first; i < m_content.pageCount(); ++i) {
            const QRectF row = m_list.contentRowRect(i);
            if (row.top() > dirty.bottom())
                break;
            // Cut at the band, a row fades as it goes under: no sliver lingers beside the
            // controls.
            const double below = std::clamp((row.bottom() - clearFrom) / row.height(), 0.0, 1.0);
            painter.setOpacity(below * below);
            paintRow(painter, row, i);
        }
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        m_pressedRow = event->button() == Qt::LeftButton ? rowAt(event->position()) : -1;
    }

    // Like a button: the row chosen is the one both pressed and released on.
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const int pressed = std::exchange(m_pressedRow, -1);
        if (event->button() != Qt::LeftButton || pressed < 0 || rowAt(event->position()) != pressed)
            return;
        m_content.setIsCollapsed(false);
        m_content.setIsMiniMode(false);
        m_content.setJumpToPageNotesMode(pressed);
    }

private:
    // The row under a point, or -1 between rows, in the header and under the top band.
    int rowAt(const QPointF &position) const
    {
        const double pitch = m_list.rowHeight() + m_list.m_metrics.stackSpacing;
        const int index = int(std::floor((position.y() - m_list.rowTop(0)) / pitch));
        if (index < 0 || index >= m_content.pageCount()
            || position.y() < m_list.m_topClearance + m_list.scrollOffset())
            return -1;
        return m_list.contentRowRect(index).contains(position) ? index : -1;
    }

    // The keys move the highlight with a short ease-out: the old row's tint fades into the new.
    void followHighlight()
    {
        m_fadingRow = m_shownHighlight;
        m_shownHighlight = m_content.highlightedPickerIndex();
        if (isVisible()) {
            m_fade->setValue(0);
            m_fade->animateTo(1, AnimationTiming::easeOut(0.18));
        } else {
            m_fade->setValue(1);
        }
        update();
    }

    double highlightAmount(int index) const
    {
        if (index == m_shownHighlight)
            return m_fadingRow == index ? 1 : m_fade->value();
        if (index == m_fadingRow)
            return 1 - m_fade->value();
        return 0;
    }

    void paintRow(QPainter &painter, const QRectF &row, int index) const
    {
        static const QColor highlightFill
            = QColor::fromRgbF(45 / 255.0f, 212 / 255.0f, 191 / 255.0f, 0.2f);
        const PageListMetrics &metrics = m_list.m_metrics;
        const double amount = highlightAmount(index);
        painter.setPen(Qt::NoPen);
        painter.setBrush(mix(whiteAt(0.05), highlightFill, amount));
        painter.drawPath(roundedRectPath(row, metrics.rowRadius));
        if (amount > 0) {
            // The platform accent, kept inside the row so that it lands on whole pixels.
            strokeInsideRoundedRect(
                &painter, row, metrics.rowRadius,
                QPen(QColor::fromRgbF(10 / 255.0f, 132 / 255.0f, 1, float(0.5 * amount)), 1));
        }
        paintPageRowText(painter,
                         row.adjusted(metrics.rowHorizontalPadding, metrics.rowVerticalPadding,
                                      -metrics.rowHorizontalPadding, -metrics.rowVerticalPadding),
                         index, pageLabel(m_content, index), metrics.row);
    }

    const PageList &m_list;
    OverlayContent &m_content;
    AnimatedValue *const m_fade;
    int m_shownHighlight = 0;
    int m_fadingRow = -1;
    int m_pressedRow = -1;
};

PageList::PageList(OverlayContent &content, const PageListMetrics &metrics, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
    , m_metrics(metrics)
    , m_scrollArea(new QScrollArea(this))
    , m_rows(new Rows(*this, m_scrollArea))
    , m_scroll(new AnimatedValue(0, this))
{
    setFocusPolicy(Qt::NoFocus);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    m_scrollArea->viewport()->setAutoFillBackground(false);
    m_scrollArea->setWidget(m_rows);
    m_rows->setAutoFillBackground(false);

    QScrollBar *bar = m_scrollArea->verticalScrollBar();
    connect(m_scroll, &AnimatedValue::valueChanged, this, [this, bar](double value) {
        m_applyingScroll = true;
        bar->setValue(int(std::lround(value)));
        m_applyingScroll = false;
    });
    // The wheel takes over from an animation under way.
    connect(bar, &QScrollBar::valueChanged, this, [this](int value) {
        // The cut under the top band stays put while the rows move: what scrolling would carry
        // along is painted again.
        if (m_topClearance > 0)
            m_rows->update();
        if (m_applyingScroll)
            return;
        m_placingHighlight = false;
        if (m_scroll->isAnimating())
            m_scroll->setValue(value);
    });

    connect(&content, &OverlayContent::highlightedPickerIndexChanged, this,
            &PageList::scrollToHighlight);
    for (auto rowField : {&OverlayContent::pageCountChanged, &OverlayContent::pageTitlesChanged,
                          &OverlayContent::pagePreviewsChanged})
        connect(&content, rowField, this, &PageList::refresh);
    LocalizedText::follow(this, "rows", [this] { refresh(); });
    layoutRows();
}

PageList::~PageList() = default;

namespace {

double rowHeightOf(const PageListMetrics &metrics)
{
    return pageRowTextHeight(metrics.row) + 2 * metrics.rowVerticalPadding;
}

double rowTopOf(const PageListMetrics &metrics, int index)
{
    return metrics.verticalPadding + metrics.headerHeight + metrics.headerBottomPadding
           + metrics.stackSpacing + index * (rowHeightOf(metrics) + metrics.stackSpacing);
}

// The list down to the bottom padding under its first `rows` rows.
double heightWithRows(const PageListMetrics &metrics, int rows)
{
    const double stackBottom
        = rows > 0 ? rowTopOf(metrics, rows) - metrics.stackSpacing
                   : metrics.verticalPadding + metrics.headerHeight + metrics.headerBottomPadding;
    return stackBottom + metrics.verticalPadding;
}

} // namespace

double PageList::rowHeight() const
{
    return rowHeightOf(m_metrics);
}

double PageList::rowTop(int index) const
{
    return rowTopOf(m_metrics, index);
}

double PageList::contentHeight(const PageListMetrics &metrics, int pageCount)
{
    return heightWithRows(metrics, std::max(0, pageCount));
}

double PageList::wholeRowsHeight(const PageListMetrics &metrics, int pageCount, double available)
{
    if (contentHeight(metrics, pageCount) <= available)
        return available;
    // It ends where the next row would begin, so not a line of that row shows.
    const double pitch = rowHeightOf(metrics) + metrics.stackSpacing;
    const int rows = int(std::floor((available - rowTopOf(metrics, 0)) / pitch));
    // Too low for a single row: the list shows what it can.
    if (rows < 1)
        return available;
    return rowTopOf(metrics, std::min(rows, pageCount));
}

double PageList::contentHeight() const
{
    return contentHeight(m_metrics, m_content.pageCount());
}

int PageList::shownHeight() const
{
    return int(std::floor(wholeRowsHeight(m_metrics, m_content.pageCount(), height())));
}

void PageList::setTopClearance(int height)
{
    if (m_topClearance == height)
        return;
    m_topClearance = height;
    m_rows->update();
}

QRectF PageList::contentRowRect(int index) const
{
    return {m_metrics.horizontalPadding, rowTop(index),
            std::max(0.0, width() - 2 * m_metrics.horizontalPadding), rowHeight()};
}

QRectF PageList::rowRect(int index) const
{
    if (index < 0 || index >= m_content.pageCount())
        return {};
    return contentRowRect(index).translated(0, -scrollOffset());
}

int PageList::scrollOffset() const
{
    return m_scrollArea->verticalScrollBar()->value();
}

double PageList::targetScrollOffset() const
{
    return m_scroll->isAnimating() ? m_scroll->target() : scrollOffset();
}

void PageList::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Opening the list highlights the current page before the list exists; the reader must
    // still see it, wherever it is in a long document.
    if (!event->spontaneous()) {
        m_placingHighlight = true;
        placeHighlight();
    }
}

void PageList::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutRows();
    if (m_placingHighlight)
        placeHighlight();
}

void PageList::refresh()
{
    layoutRows();
    if (m_placingHighlight)
        placeHighlight();
    m_rows->update();
}

void PageList::layoutRows()
{
    // A scroll position the new size cuts back is the list's own doing, not the reader's.
    const QScopedValueRollback applying(m_applyingScroll, true);
    m_scrollArea->setGeometry(0, 0, width(), shownHeight());
    m_rows->resize(width(), int(std::ceil(contentHeight())));
}

double PageList::centredOffset(int index) const
{
    // The end of the list is where its last row and the padding below it are whole.
    const int shown = shownHeight();
    const double end = std::max(0.0, std::ceil(contentHeight()) - shown);
    return std::clamp(std::round(contentRowRect(index).center().y() - shown / 2.0), 0.0, end);
}

void PageList::scrollToHighlight()
{
    const int index = m_content.highlightedPickerIndex();
    // While hidden the list keeps its place; showing it again places the highlight anew.
    if (!isVisible() || index < 0 || index >= m_content.pageCount())
        return;
    m_placingHighlight = false;
    m_scroll->setValue(scrollOffset());
    m_scroll->animateTo(centredOffset(index), AnimationTiming::easeInOut(0.2));
}

void PageList::placeHighlight()
{
    const int index = m_content.highlightedPickerIndex();
    jumpTo(index >= 0 && index < m_content.pageCount() ? int(centredOffset(index)) : 0);
}

void PageList::jumpTo(int offset)
{
    m_scroll->setValue(offset);
    m_applyingScroll = true;
    m_scrollArea->verticalScrollBar()->setValue(offset);
    m_applyingScroll = false;
}
