#include "practiceparts.h"

#include "onboarding/onboardingparts.h"
#include "settings/palette.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QLabel>
#include <QPainter>
#include <QRadialGradient>

QLabel *plainLabel(const QFont &font, const QColor &color, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

QLabel *keyLabel(const char *key, const QFont &font, const QColor &color, QWidget *parent)
{
    QLabel *label = textLabel(key, font, color, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

TextButton::TextButton(const char *key, const QFont &font, const QColor &color, QMargins padding,
                       QWidget *parent)
    : QAbstractButton(parent)
    , m_color(color)
    , m_padding(padding)
{
    setFont(font);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    LocalizedText::bind(this, "text", key);
}

QSize TextButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()), metrics.height()).grownBy(m_padding);
}

void TextButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_color);
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void paintTile(QPainter &painter, const QRectF &rect, double radius, const QColor &fill,
               const QColor &border, double borderWidth)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedRectPath(rect, radius), fill);
    strokeInsideRoundedRect(&painter, rect, radius, QPen(border, borderWidth));
}

void PracticeBackdrop::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // An 800-point circle at 0.1, blurred by 140, its frame's top-right corner moved 200 right
    // and 200 up from the page's.
    const QPointF centre(width() + 200 - 400, -200 + 400);
    QRadialGradient gradient(centre, 400 + 140);
    gradient.setColorAt(0, accentTeal(0.1));
    gradient.setColorAt(400.0 / 540 * 0.75, accentTeal(0.07));
    gradient.setColorAt(1, accentTeal(0));
    painter.fillRect(rect(), gradient);
}
