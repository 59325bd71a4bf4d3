#include "pagepickerview.h"

#include "animation.h"
#include "icons.h"
#include "overlay/model/overlaycontent.h"
#include "pagelist.h"
#include "settings/palette.h"

#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"

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

constexpr double horizontalPadding = 12;
constexpr double verticalPadding = 8;
constexpr double stackSpacing = 6;

constexpr double headerSpacing = 8;
constexpr double headerMinimumGap = 8;
constexpr double headerBottomPadding = 4;
constexpr double hintSpacing = 9;
constexpr double hintInnerSpacing = 4;
constexpr double keyCapMinimumWidth = 17;
constexpr double keyCapMinimumHeight = 15;
constexpr double keyCapHorizontalPadding = 4;
constexpr double keyCapRadius = 4;
constexpr double keySymbolSize = 8.5;

constexpr double rowHorizontalPadding = 8;
constexpr double rowVerticalPadding = 4;
constexpr double rowRadius = 6;
constexpr PageRowMetrics rowMetrics{12, 12, 20, 6};

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

// Whole points keep the rows below the header on the pixel grid.
double headerHeight()
{
    return std::ceil(
        std::max({QFontMetricsF(titleFont()).height(), QFontMetricsF(hintLabelFont()).height(),
                  keyCapSize(escapeKey).height()}));
}

double rowHeight()
{
    return pageRowTextHeight(rowMetrics) + 2 * rowVerticalPadding;
}

double rowTop(int index)
{
    return verticalPadding + headerHeight() + headerBottomPadding + stackSpacing
           + index * (rowHeight() + stackSpacing);
}

double contentHeight(int pageCount)
{
    const int rows = std::max(0, pageCount);
    const double stackBottom = rows > 0 ? rowTop(rows) - stackSpacing
                                        : verticalPadding + headerHeight() + headerBottomPadding;
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

// The scrolled content: header and rows, painted in one pass.
class PagePickerList : public QWidget
{
public:
    PagePickerList(OverlayContent &content, QWidget *parent)
        : QWidget(parent)
        , m_content(content)
        , m_fade(new AnimatedValue(1, this))
        , m_shownHighlight(content.highlightedPickerIndex())
    {
        connect(m_fade, &AnimatedValue::valueChanged, this, [this] { update(); });
        connect(&content, &OverlayContent::highlightedPickerIndexChanged, this,
                &PagePickerList::followHighlight);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        paintHeader(painter);

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
    // The row under a point, or -1 between rows and in the header.
    int rowAt(const QPointF &position) const
    {
        const int index
            = int(std::floor((position.y() - rowTop(0)) / (rowHeight() + stackSpacing)));
        if (index < 0 || index >= m_content.pageCount())
            return -1;
        return rowRectIn(width(), index).contains(position) ? index : -1;
    }

    // The fill cross-fades from the old row to the new one, as the highlight moves in the model.
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

    void paintHeader(QPainter &painter) const
    {
        const double top = verticalPadding;
        const double height = headerHeight();
        const double middle = top + height / 2;

        const QFont title = titleFont();
        const QFontMetricsF titleMetrics(title);
        painter.setFont(title);
        painter.setPen(whiteAt(0.5));
        painter.drawText(
            QPointF(horizontalPadding, middle - titleMetrics.height() / 2 + titleMetrics.ascent()),
            localizedString("Elegí una nota"));

        // Pushed to the trailing edge, never closer to the title than the spacer allows.
        double x = std::max(horizontalPadding + titleWidth() + 2 * headerSpacing + headerMinimumGap,
                            width() - horizontalPadding - hintsWidth());
        const QFont labelFont = hintLabelFont();
        const QFontMetricsF labelMetrics(labelFont);
        for (const KeyHint &hint : keyHints()) {
            for (const QString &cap : hint.caps) {
                const QSizeF size = keyCapSize(cap);
                paintKeyCap(painter,
                            QRectF(QPointF(std::round(x), middle - size.height() / 2), size), cap);
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

    static void paintKeyCap(QPainter &painter, const QRectF &rect, const QString &cap)
    {
        painter.setPen(Qt::NoPen);
        painter.setBrush(whiteAt(0.18));
        painter.drawPath(roundedRect(rect, keyCapRadius));
        // Stroked inside the outline.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(whiteAt(0.12), 0.5));
        painter.drawPath(roundedRect(rect.adjusted(0.25, 0.25, -0.25, -0.25), keyCapRadius - 0.25));

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

    void paintRow(QPainter &painter, const QRectF &row, int index) const
    {
        static const QColor highlightFill
            = QColor::fromRgbF(45 / 255.0f, 212 / 255.0f, 191 / 255.0f, 0.2f);
        const double amount = highlightAmount(index);
        painter.setPen(Qt::NoPen);
        painter.setBrush(mix(whiteAt(0.05), highlightFill, amount));
        painter.drawPath(roundedRect(row, rowRadius));
        if (amount > 0) {
            // The platform accent; kept inside the row so that it lands on whole pixels.
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

PagePickerView::PagePickerView(OverlayContent &content, QWidget *parent)
    : QWidget(parent)
    , m_content(content)
    , m_scrollArea(new QScrollArea(this))
    , m_list(new PagePickerList(content, m_scrollArea))
    , m_scroll(new AnimatedValue(0, this))
{
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    m_scrollArea->viewport()->setAutoFillBackground(false);
    m_scrollArea->setWidget(m_list);
    m_list->setAutoFillBackground(false);

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
            &PagePickerView::scrollToHighlight);
    connect(&content, &OverlayContent::pageCountChanged, this, &PagePickerView::refresh);
    connect(&content, &OverlayContent::pageTitlesChanged, this, &PagePickerView::refresh);
    connect(&content, &OverlayContent::pagePreviewsChanged, this, &PagePickerView::refresh);
    connect(&NotchSettings::shared(), &NotchSettings::localizationBundleChanged, this,
            &PagePickerView::refresh);
    layoutList();
}

QSize PagePickerView::sizeHint() const
{
    const double width = 2 * horizontalPadding + titleWidth() + 2 * headerSpacing + headerMinimumGap
                         + hintsWidth();
    return {int(std::ceil(width)), int(std::ceil(contentHeight(m_content.pageCount())))};
}

QRectF PagePickerView::rowRect(int index) const
{
    if (index < 0 || index >= m_content.pageCount())
        return {};
    return rowRectIn(width(), index).translated(0, -m_scrollArea->verticalScrollBar()->value());
}

// A list opened afresh starts at its top, whatever row the model highlights.
void PagePickerView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        jumpTo(0);
}

void PagePickerView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutList();
}

void PagePickerView::refresh()
{
    layoutList();
    updateGeometry();
    m_list->update();
}

void PagePickerView::layoutList()
{
    m_scrollArea->setGeometry(rect());
    m_list->resize(width(), int(std::ceil(contentHeight(m_content.pageCount()))));
}

void PagePickerView::scrollToHighlight()
{
    const int index = m_content.highlightedPickerIndex();
    // While hidden the list keeps its place; showing it again starts at the top.
    if (!isVisible() || index < 0 || index >= m_content.pageCount())
        return;
    const QScrollBar *bar = m_scrollArea->verticalScrollBar();
    const double centred = rowRectIn(width(), index).center().y() - height() / 2.0;
    const double target = std::clamp(centred, 0.0, double(bar->maximum()));
    m_scroll->setValue(bar->value());
    m_scroll->animateTo(target, AnimationTiming::easeInOut(0.2));
}

void PagePickerView::jumpTo(int scrollValue)
{
    m_scroll->setValue(scrollValue);
    m_applyingScroll = true;
    m_scrollArea->verticalScrollBar()->setValue(scrollValue);
    m_applyingScroll = false;
}
