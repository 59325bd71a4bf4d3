#include "floatingpagelist.h"

#include "overlay/animation.h"
#include "overlay/model/overlaycontent.h"
#include "overlay/pagelist.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double horizontalPadding = 16;
constexpr double verticalPadding = 12;
constexpr double stackSpacing = 6;
constexpr double headerLeading = 28;
constexpr double headerBottom = 4;
constexpr double rowHorizontalPadding = 10;
constexpr double rowVerticalPadding = 6;
constexpr double rowRadius = 8;
constexpr PageRowMetrics rowMetrics{14, 13, 24, 8};

QFont headerFont()
{
    return Fonts::systemFont(13, QFont::Medium);
}

// Whole points keep the rows below the header on the pixel grid.
double headerHeight()
{
    return std::ceil(QFontMetricsF(headerFont()).height());
}

double rowHeight()
{
    return pageRowTextHeight(rowMetrics) + 2 * rowVerticalPadding;
}

double rowTop(int index)
{
    return verticalPadding + headerHeight() + headerBottom + stackSpacing
           + index * (rowHeight() + stackSpacing);
}

double contentHeight(int pageCount)
{
    const double stackBottom = pageCount > 0 ? rowTop(pageCount) - stackSpacing
                                             : verticalPadding + headerHeight() + headerBottom;
    return stackBottom + verticalPadding;
}

QRectF rowRectIn(double width, int index)
{
    return {horizontalPadding, rowTop(index), std::max(0.0, width - 2 * horizontalPadding),
            rowHeight()};
}

QPainterPath roundedRect(const QRectF &rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QColor mix(const QColor &from, const QColor &to, double amount)
{
    const auto lerp = [amount](float a, float b) { return float(a + (b - a) * amount); };
    return QColor::fromRgbF(lerp(from.redF(), to.redF()), lerp(from.greenF(), to.greenF()),
                            lerp(from.blueF(), to.blueF()), lerp(from.alphaF(), to.alphaF()));
}

// The scrolled content, header and rows painted in one pass.
class PageRows : public QWidget
{
public:
    PageRows(OverlayContent &content, QWidget *parent)
        : QWidget(parent)
        , m_content(content)
        , m_fade(new AnimatedValue(1, this))
        , m_shownHighlight(content.highlightedPickerIndex())
    {
        connect(m_fade, &AnimatedValue::valueChanged, this, [this] { update(); });
        connect(&content, &OverlayContent::highlightedPickerIndexChanged, this,
                &PageRows::followHighlight);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);

        const QFont font = headerFont();
        const QFontMetricsF metrics(font);
        painter.setFont(font);
        painter.setPen(whiteAt(0.5));
        painter.drawText(
            QPointF(horizontalPadding + headerLeading,
                    verticalPadding + (headerHeight() - metrics.height()) / 2 + metrics.ascent()),
            localizedString("Elegí una nota"));

        const QRectF dirty = event->rect();
        const int first
            = std::max(0, int((dirty.top() - rowTop(0)) / (rowHeight() + stackSpacing)));
        for (int i = first; i < m_content.pageCount(); ++i) {
            const QRectF row = rowRectIn(width(), i);
            if (row.top() > dirty.bottom())
                break;
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
    int rowAt(const QPointF &position) const
    {
        const int index
            = int(std::floor((position.y() - rowTop(0)) / (rowHeight() + stackSpacing)));
        if (index < 0 || index >= m_content.pageCount())
            return -1;
        return rowRectIn(width(), index).contains(position) ? index : -1;
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
        const double amount = highlightAmount(index);
        painter.setPen(Qt::NoPen);
        painter.setBrush(mix(whiteAt(0.05), highlightFill, amount));
        painter.drawPath(roundedRect(row, rowRadius));
        if (amount > 0) {
            // The platform accent, kept inside the row so that it lands on whole pixels.
            painter.setBrush(Qt::NoBrush);
            painter.setPen(
                QPen(QColor::fromRgbF(10 / 255.0f, 132 / 255.0f, 1, float(0.5 * amount)), 1));
            painter.drawPath(roundedRect(row.adjusted(0.5, 0.5, -0.5, -0.5), rowRadius - 0.5));
        }
        paintPageRowText(painter,
                         row.adjusted(rowHorizontalPadding, rowVerticalPadding,
                                      -rowHorizontalPadding, -rowVerticalPadding),
                         index, pageLabel(m_content, index), rowMetrics);
    }

    OverlayContent &m_content;
    AnimatedValue *const m_fade;
    int m_shownHighlight = 0;
    int m_fadingRow = -1;
    int m_pressedRow = -1;
};

} // namespace

FloatingPageList::FloatingPageList(OverlayContent &content, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
    , m_scrollArea(new QScrollArea(this))
    , m_rows(new PageRows(content, m_scrollArea))
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
        if (!m_applyingScroll && m_scroll->isAnimating())
            m_scroll->setValue(value);
    });

    connect(&content, &OverlayContent::highlightedPickerIndexChanged, this,
            &FloatingPageList::scrollToHighlight);
    for (auto rowField : {&OverlayContent::pageCountChanged, &OverlayContent::pageTitlesChanged,
                          &OverlayContent::pagePreviewsChanged})
        connect(&content, rowField, this, &FloatingPageList::refresh);
    connect(&NotchSettings::shared(), &NotchSettings::localizationBundleChanged, this,
            &FloatingPageList::refresh);
    layoutRows();
}

QRectF FloatingPageList::rowRect(int index) const
{
    if (index < 0 || index >= m_content.pageCount())
        return {};
    return rowRectIn(width(), index).translated(0, -scrollOffset());
}

int FloatingPageList::scrollOffset() const
{
    return m_scrollArea->verticalScrollBar()->value();
}

double FloatingPageList::targetScrollOffset() const
{
    return m_scroll->isAnimating() ? m_scroll->target() : scrollOffset();
}

void FloatingPageList::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Opening the list highlights the current page before the list exists; it still starts at
    // its top.
    if (!event->spontaneous())
        jumpTo(0);
}

void FloatingPageList::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutRows();
}

void FloatingPageList::refresh()
{
    layoutRows();
    m_rows->update();
}

void FloatingPageList::layoutRows()
{
    m_scrollArea->setGeometry(rect());
    m_rows->resize(width(), int(std::ceil(contentHeight(m_content.pageCount()))));
}

void FloatingPageList::scrollToHighlight()
{
    const int index = m_content.highlightedPickerIndex();
    if (!isVisible() || index < 0 || index >= m_content.pageCount())
        return;
    const QScrollBar *bar = m_scrollArea->verticalScrollBar();
    const double centred = rowRectIn(width(), index).center().y() - height() / 2.0;
    const double target = std::clamp(centred, 0.0, double(bar->maximum()));
    m_scroll->setValue(bar->value());
    m_scroll->animateTo(target, AnimationTiming::easeInOut(0.2));
}

void FloatingPageList::jumpTo(int offset)
{
    m_scroll->setValue(offset);
    m_applyingScroll = true;
    m_scrollArea->verticalScrollBar()->setValue(offset);
    m_applyingScroll = false;
}
