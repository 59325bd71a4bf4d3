#pragma once

#include <QEasingCurve>
#include <QObject>
#include <QPointer>

#include <functional>

class QVariantAnimation;

// The named timing curves of the interface, and a spring given as (response, damping fraction).
struct AnimationTiming
{
    enum class Curve { linear, easeIn, easeOut, easeInOut, spring };

    Curve curve = Curve::linear;
    double durationSeconds = 0; // every curve but the spring
    double response = 0;        // spring: period of the undamped oscillation, in seconds
    double dampingFraction = 1; // spring: 1 = critically damped

    static AnimationTiming linear(double seconds);
    static AnimationTiming easeIn(double seconds);
    static AnimationTiming easeOut(double seconds);
    static AnimationTiming easeInOut(double seconds);
    static AnimationTiming springCurve(double response, double dampingFraction);

    // How long the animation runs; a spring runs until it has settled within 0.1 %.
    double totalSeconds() const;
    // The eased fraction of the way after the elapsed time: 0 at the start, 1 at the end; a
    // spring may overshoot on the way.
    double progress(double elapsedSeconds) const;
};

// A control's transition, which the reduce-motion choice turns off: `reduced` is asked at each
// change (never, when empty). No duration means no transition.
struct ControlMotion
{
    AnimationTiming timing;
    std::function<bool()> reduced;

    bool runs() const { return timing.totalSeconds() > 0 && !(reduced && reduced()); }
};

// The curve as a Qt easing curve, for property animations (not for springs).
QEasingCurve easingCurve(const AnimationTiming &timing);

// A cubic Bézier timing curve through (0,0), (x1,y1), (x2,y2), (1,1), evaluated at time x.
double cubicBezierTiming(double x1, double y1, double x2, double y2, double x);

// One animated number. animateTo() starts from wherever the value is now, so a new target
// given mid-flight continues smoothly.
class AnimatedValue : public QObject
{
    Q_OBJECT

public:
    explicit AnimatedValue(double initial = 0, QObject *parent = nullptr);

    double value() const { return m_value; }
    double target() const { return m_target; }
    bool isAnimating() const;

    // Jumps without animation, stopping any animation under way.
    void setValue(double value);
    void animateTo(double target, const AnimationTiming &timing);
    // Animates only towards a target that is new, so repeated refreshes do not stretch a
    // transition under way.
    void retarget(double target, const AnimationTiming &timing);

Q_SIGNALS:
    void valueChanged(double value);
    void finished();

private:
    void apply(double value);

    double m_value = 0;
    double m_start = 0;
    double m_target = 0;
    AnimationTiming m_timing;
    QPointer<QVariantAnimation> m_animation;
};
