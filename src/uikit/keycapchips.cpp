#include "keycapchips.h"

#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QPainter>

KeyCapChips::KeyCapChips(const QStringList &keys, const char *captionKey, QWidget *parent)
    : QWidget(parent)
    , m_keys(keys)
    , m_chipFont(Fonts::systemFont(11, QFont::Medium))
    , m_captionFont(Fonts::systemFont(11, QFont::Normal))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    LocalizedText::follow(this, "caption", [this, captionKey] {
        m_caption = localizedString(captionKey);
        updateGeometry();
        update();
    });
}

QSize KeyCapChips::sizeHint() const
{
    const int chips = int(m_keys.size()) * (chipSide + spacing);
    return {chips + QFontMetrics(m_captionFont).horizontalAdvance(m_caption) + 1, chipSide};
}

void KeyCapChips::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double top = (height() - chipSide) / 2.0;
    double x = 0;
    p.setFont(m_chipFont);
    for (const QString &key : m_keys) {
        const QRectF chip(x, top, chipSide, chipSide);
        p.setPen(Qt::NoPen);
        p.setBrush(whiteAt(0.08));
        p.drawPath(roundedRectPath(chip, 5));
        strokeInsideRoundedRect(&p, chip, 5, QPen(whiteAt(0.15), 0.5));
        p.setPen(whiteAt(0.85));
        p.drawText(chip, Qt::AlignCenter, key);
        x += chipSide + spacing;
    }
    p.setFont(m_captionFont);
    p.setPen(whiteAt(0.55));
    p.drawText(QRectF(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, m_caption);
}
