#include "animation.h"

#include <QPointF>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double bezierCoordinate(double a1, double a2, double t)
{
    // B(t) for control values 0, a1, a2, 1.
    const double u = 1 - t;
    return 3 * u * u * t * a1 + 3 * u * t * t * a2 + t * t * t;
}

double bezierSlope(double a1, double a2, double t)
{
    const double u = 1 - t;
    return 3 * u * u * a1 + 6 * u * t * (a2 - a1) + 3 * t * t * (1 - a2);
}

constexpr double settleTolerance = 0.001;

} // namespace

double cubicBezierTiming(double x1, double y1, double x2, double y2, double x)
{
    if (x <= 0)
        return 0;
    if (x >= 1)
        return 1;
    // Solve B_x(t) = x: Newton steps, then bisection if the slope is too flat.
    double t = x;
    for (int i = 0; i < 8; ++i) {
        const double error = bezierCoordinate(x1, x2, t) - x;
        if (std::abs(error) < 1e-7)
            return bezierCoordinate(y1, y2, t);
        const double slope = bezierSlope(x1, x2, t);
        if (std::abs(slope) < 1e-6)
            break;
        t -= error / slope;
    }
    double low = 0, high = 1;
    t = x;
    for (int i = 0; i < 40; ++i) {
        if (bezierCoordinate(x1, x2, t) < x)
            low = t;
        else
            high = t;
        t = (low + high) / 2;
    }
    return bezierCoordinate(y1, y2, t);
}

QEasingCurve easingCurve(const AnimationTiming &timing)
{
    const auto bezier = [](QPointF c1, QPointF c2) {
        QEasingCurve curve(QEasingCurve::BezierSpline);
        curve.addCubicBezierSegment(c1, c2, QPointF(1, 1));
        return curve;
    };
    switch (timing.curve) {
    case AnimationTiming::Curve::easeIn:
        return bezier({0.42, 0}, {1, 1});
    case AnimationTiming::Curve::easeOut:
        return bezier({0, 0}, {0.58, 1});
    case AnimationTiming::Curve::easeInOut:
        return bezier({0.42, 0}, {0.58, 1});
    case AnimationTiming::Curve::linear:
    case AnimationTiming::Curve::spring:
        break;
    }
    return QEasingCurve(QEasingCurve::Linear);
}

AnimationTiming AnimationTiming::linear(double seconds)
{
    return {Curve::linear, seconds, 0, 1};
}

AnimationTiming AnimationTiming::easeIn(double seconds)
{
    return {Curve::easeIn, seconds, 0, 1};
}

AnimationTiming AnimationTiming::easeOut(double seconds)
{
    return {Curve::easeOut, seconds, 0, 1};
}

AnimationTiming AnimationTiming::easeInOut(double seconds)
{
    return {Curve::easeInOut, seconds, 0, 1};
}

AnimationTiming AnimationTiming::springCurve(double response, double dampingFraction)
{
    return {Curve::spring, 0, response, dampingFraction};
}

double AnimationTiming::totalSeconds() const
{
    if (curve != Curve::spring)
        return std::max(0.0, durationSeconds);
    if (response <= 0)
        return 0;
    const double omega = 2 * std::numbers::pi / response;
    const double zeta = std::clamp(dampingFraction, 0.01, 1.0);
    // The envelope e^(-zeta*omega*t) bounds the distance left (with a polynomial factor when
    // critically damped, covered by the extra margin).
    return std::log(1 / settleTolerance) / (zeta * omega) * (zeta >= 1 ? 1.5 : 1.0);
}

double AnimationTiming::progress(double elapsed) const
{
    const double total = totalSeconds();
    if (total <= 0 || elapsed >= total)
        return 1;
    if (elapsed <= 0)
        return 0;
    switch (curve) {
    case Curve::linear:
        return elapsed / total;
    case Curve::easeIn:
        return cubicBezierTiming(0.42, 0, 1, 1, elapsed / total);
    case Curve::easeOut:
        return cubicBezierTiming(0, 0, 0.58, 1, elapsed / total);
    case Curve::easeInOut:
        return cubicBezierTiming(0.42, 0, 0.58, 1, elapsed / total);
    case Curve::spring: {
        const double omega = 2 * std::numbers::pi / response;
        const double zeta = std::clamp(dampingFraction, 0.01, 1.0);
        if (zeta >= 1)
            return 1 - (1 + omega * elapsed) * std::exp(-omega * elapsed);
        const double damped = omega * std::sqrt(1 - zeta * zeta);
        const double decay = std::exp(-zeta * omega * elapsed);
        return 1
               - decay
                     * (std::cos(damped * elapsed)
                        + zeta * omega / damped * std::sin(damped * elapsed));
    }
    }
    return 1;
}

AnimatedValue::AnimatedValue(double initial, QObject *parent)
    : QObject(parent)
    , m_value(initial)
    , m_start(initial)
    , m_target(initial)
{}

bool AnimatedValue::isAnimating() const
{
    return m_animation && m_animation->state() == QAbstractAnimation::Running;
}

void AnimatedValue::setValue(double value)
{
    if (m_animation)
        m_animation->stop();
    m_target = value;
    apply(value);
}

void AnimatedValue::retarget(double target, const AnimationTiming &timing)
{
    if (m_target != target)
        animateTo(target, timing);
}

void AnimatedValue::animateTo(double target, const AnimationTiming &timing)
{
    m_target = target;
    m_start = m_value;
    m_timing = timing;
    const int durationMs = int(std::lround(timing.totalSeconds() * 1000));
    if (durationMs <= 0 || m_start == target) {
        setValue(target);
        Q_EMIT finished();
        return;
    }
    if (!m_animation) {
        // The Qt animation supplies the clock; the curve is applied here so that springs and
        // exact Bézier curves need no easing-curve callbacks.
        m_animation = new QVariantAnimation(this);
        m_animation->setStartValue(0.0);
        m_animation->setEndValue(1.0);
        connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
            const double elapsed = v.toDouble() * m_timing.totalSeconds();
            apply(m_start + (m_target - m_start) * m_timing.progress(elapsed));
        });
        connect(m_animation, &QVariantAnimation::finished, this, [this] {
            apply(m_target);
            Q_EMIT finished();
        });
    }
    m_animation->stop();
    m_animation->setDuration(durationMs);
    m_animation->start();
}

void AnimatedValue::apply(double value)
{
    if (value == m_value)
        return;
    m_value = value;
    Q_EMIT valueChanged(value);
}
