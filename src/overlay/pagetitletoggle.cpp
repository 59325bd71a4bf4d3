#include "pagetitletoggle.h"

#include "platform/fonts.h"
#include "settings/notchsettings.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace {

constexpr double symbolSize = 10;
constexpr double symbolBox = 12;
constexpr double titleSize = 11;
constexpr double spacing = 8;
constexpr double buttonHeight = 20;

QColor faint()
{
    return QColor::fromRgbF(1, 1, 1, 0.4f);
}

QFont titleFont()
{
    return Fonts::systemFont(titleSize, QFont::Medium);
}

} // namespace

PageTitleToggle::PageTitleToggle(NotchSettings &settings, QWidget *parent)
    : QAbstractButton(parent)
    , m_settings(settings)
{
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    refreshToolTip();
    connect(this, &QAbstractButton::clicked, this,
            [this] { m_settings.setNotchShowsPageNumbers(m_showsTitle); });
}

void PageTitleToggle::setShowsTitle(bool showsTitle)
{
    if (showsTitle == m_showsTitle)
        return;
    m_showsTitle = showsTitle;
    refreshToolTip();
    updateGeometry();
    update();
}

void PageTitleToggle::refreshToolTip()
{
    LocalizedText::bind(this, "toolTip",
                        m_showsTitle ? "Mostrar números de página" : "Mostrar título");
}

QSize PageTitleToggle::sizeHint() const
{
    double width = symbolBox;
    if (m_showsTitle)
        width += spacing + QFontMetricsF(titleFont()).horizontalAdvance(text());
    return QSize(int(std::ceil(width)), int(buttonHeight));
}

QSize PageTitleToggle::minimumSizeHint() const
{
    return QSize(int(symbolBox), int(buttonHeight));
}

void PageTitleToggle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF symbol(0, (height() - symbolBox) / 2, symbolBox, symbolBox);
    Icons::paint(&painter, u"doc.text"_qs, symbol, faint(), symbolSize, QFont::Bold);
    if (!m_showsTitle)
        return;
    const QRectF title(symbolBox + spacing, 0, width() - symbolBox - spacing, height());
    if (title.width() <= 0)
        return;
    painter.setFont(titleFont());
    painter.setPen(faint());
    drawTextLine(painter, title, text());
}
