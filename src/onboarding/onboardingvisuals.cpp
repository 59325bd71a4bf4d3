#include "onboardingvisuals.h"

#include "onboarding/celebrationmath.h"
#include "platform/fonts.h"
#include "platform/motionpreference.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/painting.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace Motion {

namespace {
std::optional<bool> overridden;
}

bool reduceMotion()
{
    return overridden.value_or(MotionPreference::system().reduceMotion());
}

void overrideReduceMotion(std::optional<bool> reduce)
{
    overridden = reduce;
}

} // namespace Motion

namespace {

constexpr int frameMs = 16;

double fraction(double value)
{
    return value - std::floor(value);
}

// A repeating ease-out cycle of `period` seconds that starts after `delay`: 0 before it.
double repeatingEaseOut(double seconds, double delay, double period)
{
    if (seconds < delay)
        return 0;
    return AnimationTiming::easeOut(period).progress(fraction((seconds - delay) / period) * period);
}

// Back and forth: 0 → 1 → 0 every 2 × period, eased each way.
double reversingEaseInOut(double seconds, double delay, double period)
{
    if (seconds < delay)
        return 0;
    const double cycles = (seconds - delay) / period;
    const double within = fraction(cycles) * period;
    const double eased = AnimationTiming::easeInOut(period).progress(within);
    return int(std::floor(cycles)) % 2 == 0 ? eased : 1 - eased;
}

double delayed(const AnimationTiming &timing, double seconds, double delay)
{
    return seconds < delay ? 0 : timing.progress(seconds - delay);
}

double lerp(double from, double to, double t)
{
    return from + (to - from) * t;
}

void strokeRing(QPainter *painter, const QPointF &centre, double radius, const RingPose &pose,
                const QColor &color, double width)
{
    if (pose.opacity <= 0)
        return;
    QColor c = color;
    c.setAlphaF(float(c.alphaF() * pose.opacity));
    painter->save();
    painter->translate(centre);
    painter->scale(pose.scale, pose.scale);
    painter->setPen(QPen(c, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter->setBrush(Qt::NoBrush);
    painter->drawEllipse(QPointF(), radius, radius);
    painter->restore();
}

// A soft round glow standing in for a blurred shadow.
void paintGlow(QPainter *painter, const QPointF &centre, double radius, const QColor &color)
{
    QRadialGradient gradient(centre, radius);
    gradient.setColorAt(0, color);
    QColor clear = color;
    clear.setAlpha(0);
    gradient.setColorAt(1, clear);
    painter->setPen(Qt::NoPen);
    painter->setBrush(gradient);
    painter->drawEllipse(centre, radius, radius);
}

} // namespace

AnimatedOrnament::AnimatedOrnament(QWidget *parent)
    : QWidget(parent)
{
    m_frames.setInterval(frameMs);
    connect(&m_frames, &QTimer::timeout, this, &AnimatedOrnament::tick);
}

double AnimatedOrnament::seconds() const
{
    if (Motion::reduceMotion())
        return 1e6; // the end pose of every entrance
    return m_clock.isValid() ? m_clock.elapsed() / 1000.0 : 0;
}

void AnimatedOrnament::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_clock.isValid())
        m_clock.start();
    if (!Motion::reduceMotion() && moves(seconds()))
        m_frames.start();
}

void AnimatedOrnament::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_frames.stop();
}

void AnimatedOrnament::tick()
{
    if (!moves(seconds()))
        m_frames.stop();
    update();
}

// Ping ring

PingRing::PingRing(const QColor &color, QWidget *parent)
    : AnimatedOrnament(parent)
    , m_color(color)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

RingPose PingRing::wavePose(double seconds, double delay)
{
    const double t = repeatingEaseOut(seconds, delay, 1.6);
    return {lerp(0.95, 2.4, t), lerp(0.95, 0, t)};
}

bool PingRing::moves(double) const
{
    return true;
}

void PingRing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    const double radius = (m_ringDiameter > 0 ? m_ringDiameter : std::min(width(), height())) / 2.0;
    if (Motion::reduceMotion()) {
        strokeRing(&painter, centre, radius, {1.3, 0.7}, m_color, 2.5);
        return;
    }
    for (const double delay : {0.0, 0.8})
        strokeRing(&painter, centre, radius, wavePose(seconds(), delay), m_color, 3);
}

// Pulsing dot

PulsingDot::PulsingDot(const QColor &color, QWidget *parent)
    : AnimatedOrnament(parent)
    , m_color(color)
{
    setFixedSize(20, 20);
}

RingPose PulsingDot::ringPose(double seconds)
{
    const double t = repeatingEaseOut(seconds, 0, 1.6);
    return {lerp(1.0, 2.6, t), lerp(0.55, 0, t)};
}

bool PulsingDot::moves(double) const
{
    return true;
}

void PulsingDot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_color);
    painter.drawEllipse(centre, 3.5, 3.5);
    if (!Motion::reduceMotion())
        strokeRing(&painter, centre, 3.5, ringPose(seconds()), m_color, 2);
}

// Staggered app tile

StaggeredAppTile::StaggeredAppTile(const QString &name, const QString &initial, const QColor &tint,
                                   double delay, QWidget *parent)
    : AnimatedOrnament(parent)
    , m_name(name)
    , m_initial(initial)
    , m_tint(tint)
    , m_delay(delay)
{
    setFixedSize(sizeHint());
}

QPointF StaggeredAppTile::pose(double seconds, double delay)
{
    if (Motion::reduceMotion() || seconds >= delay + 0.45)
        return {1, 0};
    if (seconds < delay)
        return {0, 8};
    const double t = cubicBezierTiming(0.25, 0.9, 0.3, 1.0, (seconds - delay) / 0.45);
    return {t, 8 * (1 - t)};
}

bool StaggeredAppTile::moves(double seconds) const
{
    return seconds < m_delay + 0.45;
}

void StaggeredAppTile::paintEvent(QPaintEvent *)
{
    const QPointF p = pose(seconds(), m_delay);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(p.x());
    painter.translate(0, p.y());
    const QRectF tile((width() - 44) / 2.0, 0, 44, 44);
    QColor fill = m_tint;
    fill.setAlphaF(0.9f);
    painter.fillPath(roundedRectPath(tile, 10), fill);
    painter.setPen(Qt::white);
    painter.setFont(Fonts::systemFont(19, QFont::Bold));
    painter.drawText(tile, Qt::AlignCenter, m_initial);
    strokeInsideRoundedRect(&painter, tile, 10, QPen(whiteAt(0.1), 0.5));
    painter.setPen(whiteAt(0.55));
    const QFont font = Fonts::systemFont(10.5, QFont::Normal);
    painter.setFont(font);
    const QRectF label(0, 51, width(), 15);
    painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop,
                     QFontMetricsF(font).elidedText(m_name, Qt::ElideRight, width()));
}

// Medallion

CelebrationMedallion::CelebrationMedallion(QWidget *parent)
    : AnimatedOrnament(parent)
{
    setFixedSize(boxSize, boxSize);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

CelebrationMedallion::Pose CelebrationMedallion::pose(double seconds)
{
    Pose pose;
    const double disc = AnimationTiming::springCurve(0.6, 0.62).progress(seconds);
    pose.discScale = lerp(0.6, 1, disc);
    pose.discOpacity = std::clamp(disc, 0.0, 1.0);
    const double ring1 = delayed(AnimationTiming::easeOut(1.4), seconds, 0.2);
    pose.ring1 = {lerp(0.4, 1.6, ring1), lerp(0.7, 0, ring1)};
    const double ring2 = delayed(AnimationTiming::easeOut(1.8), seconds, 0.5);
    pose.ring2 = {lerp(0.4, 1.6, ring2), lerp(0.7, 0, ring2)};
    pose.checkProgress = delayed(AnimationTiming::easeInOut(0.48), seconds, 0.38);
    pose.pulse = reversingEaseInOut(seconds, 0.6, 2.6);
    return pose;
}

void CelebrationMedallion::paintEvent(QPaintEvent *)
{
    const Pose p = pose(seconds());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    const QColor brand = accentTeal();
    strokeRing(&painter, centre, 48, p.ring1, brand, 1.5);
    strokeRing(&painter, centre, 48, p.ring2, brand, 1.0);

    // The breathing shadow, then the disc.
    QColor shadow = brand;
    shadow.setAlphaF(float(lerp(0.35, 0.55, p.pulse) * 0.5 * p.discOpacity));
    paintGlow(&painter, centre, 48 * p.discScale + lerp(30, 40, p.pulse) * 0.5, shadow);
    painter.save();
    painter.translate(centre);
    painter.scale(p.discScale, p.discScale);
    painter.setOpacity(p.discOpacity);
    QRadialGradient fill(QPointF(-48 + 0.3 * 96, -48 + 0.3 * 96), 80,
                         QPointF(-48 + 0.3 * 96, -48 + 0.3 * 96));
    fill.setColorAt(4.0 / 80, QColor(26, 235, 209));
    fill.setColorAt(0.5, brand);
    fill.setColorAt(1, QColor(0, 160, 142));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(QPointF(), 48, 48);
    painter.restore();
    const double outlineWidth = lerp(0, 10, p.pulse);
    if (outlineWidth > 0.01) {
        painter.setPen(QPen(accentTeal(lerp(0.45, 0, p.pulse)), outlineWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, 48, 48);
    }

    const QPainterPath check = Celebration::checkGlyphPath(44, p.checkProgress);
    if (!check.isEmpty()) {
        painter.translate(centre - QPointF(22, 22));
        painter.setPen(QPen(onAccentTeal(), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(check);
    }
}

// Confetti

CelebrationConfetti::CelebrationConfetti(int count, QWidget *parent)
    : AnimatedOrnament(parent)
    , m_count(std::max(count, 0))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CelebrationConfetti::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double t = Motion::reduceMotion() ? 0 : seconds();
    for (int i = 0; i < m_count; ++i) {
        const auto piece = Celebration::ConfettiPiece::make(i, size());
        // Still: each piece where a third of its fall puts it.
        const double p
            = Motion::reduceMotion() ? 0.1 + 0.8 * fraction(i * 0.618) : piece.progress(t);
        const double opacity = piece.opacity(p);
        if (opacity <= 0)
            continue;
        painter.save();
        painter.translate(piece.centre(p));
        painter.rotate(piece.angle(p));
        painter.setOpacity(opacity);
        const QSizeF s = piece.shapeSize();
        const QRectF body(-s.width() / 2, -s.height() / 2, s.width(), s.height());
        if (piece.hasGlow())
            paintGlow(&painter, QPointF(), std::max(s.width(), s.height()) / 2 + 4,
                      accentTeal(0.5));
        painter.setPen(Qt::NoPen);
        painter.setBrush(piece.color());
        if (piece.shape() == Celebration::ConfettiPiece::Shape::circle)
            painter.drawEllipse(body);
        else
            painter.drawRect(body);
        painter.restore();
    }
}

// Logo and flags

void paintBrandMark(QPainter *painter, const QRectF &square)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(square.topLeft());
    painter->scale(square.width() / 256, square.height() / 256);
    QLinearGradient tile(0, 16, 0, 240);
    tile.setColorAt(0, QColor(0x2c, 0x2c, 0x2e));
    tile.setColorAt(1, QColor(0x1c, 0x1d, 0x1f));
    painter->fillPath(roundedRectPath(QRectF(16, 16, 224, 224), 52), tile);
    painter->setPen(QPen(whiteAt(0.1), 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(roundedRectPath(QRectF(16.5, 16.5, 223, 223), 51.5));
    const auto bar = [painter](const QRectF &r, const QColor &c) {
        painter->fillPath(roundedRectPath(r, r.height() / 2), c);
    };
    bar(QRectF(88, 34, 80, 14), Qt::black);
    bar(QRectF(56, 84, 144, 18), accentTeal());
    bar(QRectF(56, 120, 112, 14), whiteAt(0.55));
    bar(QRectF(56, 150, 132, 14), whiteAt(0.25));
    bar(QRectF(56, 180, 88, 14), whiteAt(0.10));
    painter->restore();
}

namespace {

void paintSpanishFlag(QPainter *painter, const QRectF &r)
{
    const QColor red(198, 11, 30);
    const double third = r.height() / 3;
    painter->fillRect(QRectF(r.x(), r.y(), r.width(), third), red);
    painter->fillRect(QRectF(r.x(), r.y() + third, r.width(), third), QColor(255, 196, 0));
    painter->fillRect(QRectF(r.x(), r.y() + 2 * third, r.width(), r.height() - 2 * third), red);
}

void paintBritishFlag(QPainter *painter, const QRectF &r)
{
    const QColor red(200, 16, 46);
    painter->fillRect(r, QColor(1, 33, 105));
    painter->save();
    painter->translate(r.center());
    painter->scale(r.width() / 40, r.height() / 40);
    for (const double angle : {45.0, -45.0}) {
        painter->save();
        painter->rotate(angle);
        painter->fillRect(QRectF(-30, -3, 60, 6), Qt::white);
        painter->fillRect(QRectF(-30, -1.25, 60, 2.5), red);
        painter->restore();
    }
    painter->fillRect(QRectF(-20, -5, 40, 10), Qt::white);
    painter->fillRect(QRectF(-5, -20, 10, 40), Qt::white);
    painter->fillRect(QRectF(-20, -2.5, 40, 5), red);
    painter->fillRect(QRectF(-2.5, -20, 5, 40), red);
    painter->restore();
}

} // namespace

void paintFlagBadge(QPainter *painter, const QRectF &square, const QString &languageCode)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    // The shadow: black 0.4, 5 points soft, 4 down.
    paintGlow(painter, square.center() + QPointF(0, 4), square.width() / 2 + 5,
              QColor(0, 0, 0, 70));
    QPainterPath circle;
    circle.addEllipse(square);
    painter->setClipPath(circle);
    if (languageCode.startsWith(u"es"))
        paintSpanishFlag(painter, square);
    else
        paintBritishFlag(painter, square);
    painter->setClipping(false);
    painter->setPen(QPen(whiteAt(0.18), 0.5));
    painter->setBrush(Qt::NoBrush);
    painter->drawEllipse(square.adjusted(0.25, 0.25, -0.25, -0.25));
    painter->restore();
}
