#include "eyebutton.h"

#include "overlay/model/overlaycontent.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/icons.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double symbolSize = 10.5;

QColor mix(const QColor &from, const QColor &to, double t)
{
    const auto lerp = [t](float a, float b) { return float(a + (b - a) * t); };
    return QColor::fromRgbF(lerp(from.redF(), to.redF()), lerp(from.greenF(), to.greenF()),
                            lerp(from.blueF(), to.blueF()), lerp(from.alphaF(), to.alphaF()));
}

} // namespace

EyeButton::EyeButton(NotchSettings &settings, OverlayContent &content, double side, QWidget *parent)
    : QAbstractButton(parent)
    , m_settings(settings)
    , m_content(content)
    , m_side(side)
    , m_hiddenLook(new AnimatedValue(settings.effectiveHideFromScreenShare() ? 1 : 0, this))
{
    const int extent = int(std::ceil(side));
    setFixedSize(extent, extent);
    setFocusPolicy(Qt::NoFocus);
    connect(m_hiddenLook, &AnimatedValue::valueChanged, this, [this] { update(); });
    connect(&settings, &NotchSettings::effectiveHideFromScreenShareChanged, this, [this] {
        m_hiddenLook->animateTo(m_settings.effectiveHideFromScreenShare() ? 1 : 0,
                                AnimationTiming::easeInOut(0.25));
    });
    connect(this, &QAbstractButton::clicked, this,
            [this] { toggleInvisibility(m_settings, m_content); });
}

void EyeButton::toggleInvisibility(NotchSettings &settings, OverlayContent &content)
{
    settings.setHideFromScreenShare(!settings.hideFromScreenShare());
    if (settings.effectiveHideFromScreenShare())
        content.presentVisibilityToast();
}

double EyeButton::hiddenLook() const
{
    return m_hiddenLook->value();
}

void EyeButton::paintEvent(QPaintEvent *)
{
    const double t = std::clamp(m_hiddenLook->value(), 0.0, 1.0);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF disc(0, 0, m_side, m_side);
    disc.moveCenter(QRectF(rect()).center());

    painter.setPen(Qt::NoPen);
    painter.setBrush(mix(whiteAt(0.1), accentTeal(0.12), t));
    painter.drawEllipse(disc);

    // The ring lies inside the edge, whatever its width.
    const double ringWidth = 0.5 + 0.5 * t;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(mix(whiteAt(0.2), accentTeal(0.45), t), ringWidth));
    painter.drawEllipse(
        disc.adjusted(ringWidth / 2, ringWidth / 2, -ringWidth / 2, -ringWidth / 2));

    // The two symbols cross-fade while the look changes.
    if (t < 1) {
        painter.setOpacity(1 - t);
        Icons::paint(&painter, u"eye"_qs, disc, whiteAt(0.85), symbolSize, QFont::Medium);
    }
    if (t > 0) {
        painter.setOpacity(t);
        Icons::paint(&painter, u"eye.slash"_qs, disc, accentTeal(1), symbolSize, QFont::Medium);
    }
}

bool EyeButton::hitButton(const QPoint &pos) const
{
    const QPointF offset = QPointF(pos) + QPointF(0.5, 0.5) - QRectF(rect()).center();
    return std::hypot(offset.x(), offset.y()) <= m_side / 2;
}
