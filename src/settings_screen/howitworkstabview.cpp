#include "howitworkstabview.h"

#include "hiwdemoview.h"
#include "hiwpainting.h"

#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double topPadding = 18;
constexpr double bottomPadding = 22;
constexpr double spacing = 16;

QFont selectorFont(bool selected)
{
    return Fonts::systemFont(12, selected ? QFont::DemiBold : QFont::Normal);
}

// One row of three buttons, the chosen one lit.
class Selector : public QWidget
{
public:
    Selector(std::function<HiwTab()> current, std::function<void(HiwTab)> choose, QWidget *parent)
        : QWidget(parent)
        , m_current(std::move(current))
        , m_choose(std::move(choose))
    {}

    static int rowHeight()
    {
        return int(std::ceil(2 + 6 + QFontMetricsF(selectorFont(true)).height() + 6 + 2));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF row = QRectF(rect());
        painter.fillPath(roundedRectPath(row, 8), whiteAt(0.06));
        const QList<HiwTab> tabs = allHiwTabs();
        for (int i = 0; i < tabs.size(); ++i) {
            const bool selected = tabs.at(i) == m_current();
            const QRectF button = buttonRect(i);
            if (selected)
                painter.fillPath(roundedRectPath(button, 6.5), whiteAt(0.1));
            const QFont font = selectorFont(selected);
            painter.setFont(font);
            painter.setPen(selected ? accentTeal() : whiteAt(0.55));
            // A narrow stage shortens the titles rather than letting them run together.
            const QString title = QFontMetricsF(font).elidedText(
                hiwTabTitle(tabs.at(i)), Qt::ElideRight, button.width() - 4);
            painter.drawText(button, Qt::AlignCenter | Qt::TextSingleLine, title);
        }
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        const QList<HiwTab> tabs = allHiwTabs();
        for (int i = 0; i < tabs.size(); ++i) {
            if (buttonRect(i).contains(event->position())) {
                m_choose(tabs.at(i));
                return;
            }
        }
    }

private:
    QRectF buttonRect(int index) const
    {
        const double buttonWidth = (width() - 4 - 2 * 2) / 3.0;
        return QRectF(2 + index * (buttonWidth + 2), 2, buttonWidth, height() - 4);
    }

    std::function<HiwTab()> m_current;
    std::function<void(HiwTab)> m_choose;
};

// The caption under the stage.
class Caption : public QWidget
{
public:
    Caption(std::function<QString()> text, QWidget *parent)
        : QWidget(parent)
        , m_text(std::move(text))
    {}

    static QFont font() { return Fonts::systemFont(11.5, QFont::Normal); }

    int heightFor(int width)
    {
        return int(std::ceil(m_texts.height(m_text(), font(), width - 28, 4) + 28));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect());
        painter.fillPath(roundedRectPath(box, 10), whiteAt(0.035));
        strokeInsideRoundedRect(&painter, box, 10, QPen(whiteAt(0.07), 0.5));
        painter.setPen(whiteAt(0.55));
        m_texts.paint(painter, m_text(), font(), width() - 28, 4, {14, 14});
    }

private:
    std::function<QString()> m_text;
    HiwTextCache m_texts;
};

} // namespace

HowItWorksTabView::HowItWorksTabView(HiwEnvironment environment, QWidget *parent)
    : QWidget(parent)
    , m_environment(std::move(environment))
{
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_content = new QWidget;
    m_content->setAutoFillBackground(false);
    m_scroll->setWidget(m_content);
    m_selector
        = new Selector([this] { return m_tab; }, [this](HiwTab tab) { setTab(tab); }, m_content);
    m_caption = new Caption([this] { return hiwTabCaption(m_tab, *m_environment.captureShield); },
                            m_content);
    m_demo = new HiwDemoView(m_tab, scaleFor(width()), m_environment, false, m_content);
    LocalizedText::follow(this, "howItWorks", [this] {
        relayout();
        m_selector->update();
        m_caption->update();
    });
}

HowItWorksTabView::~HowItWorksTabView() = default;

double HowItWorksTabView::stageWidthFor(double offeredWidth)
{
    return std::clamp(offeredWidth - 52, 280.0, 520.0);
}

void HowItWorksTabView::setTab(HiwTab tab)
{
    if (tab == m_tab)
        return;
    m_tab = tab;
    // The old demo goes with its timers; the new one starts from its first phase.
    delete m_demo;
    m_demo = new HiwDemoView(m_tab, scaleFor(width()), m_environment, true, m_content);
    relayout();
    m_demo->show();
    m_selector->update();
    m_caption->update();
}

void HowItWorksTabView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void HowItWorksTabView::relayout()
{
    m_scroll->setGeometry(rect());
    const int offered = width();
    const double stageWidth = stageWidthFor(offered);
    const int left = int(std::round((offered - stageWidth) / 2));
    const int columnWidth = int(std::round(stageWidth));
    int y = int(topPadding);
    m_selector->setGeometry(left, y, columnWidth, Selector::rowHeight());
    y += m_selector->height() + int(spacing);
    m_demo->setScale(scaleFor(offered));
    m_demo->move(left, y);
    y += m_demo->height() + int(spacing);
    auto *caption = static_cast<Caption *>(m_caption);
    m_caption->setGeometry(left, y, columnWidth, caption->heightFor(columnWidth));
    y += m_caption->height() + int(bottomPadding);
    m_content->resize(std::max(offered, 1), y);
}
