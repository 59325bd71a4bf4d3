#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <optional>

// The animated ornaments of the onboarding. Each draws itself from the time since it came on
// screen, repainting on a frame timer only while something moves; with reduced motion each
// shows its still form and runs no timer.

namespace Motion {
// The desktop's wish for less motion: Linux desktops offer no such query, so false unless a
// test sets it.
bool reduceMotion();
void overrideReduceMotion(std::optional<bool> reduce);
} // namespace Motion

// Scale and opacity of an animated ring at a moment.
struct RingPose
{
    double scale = 1;
    double opacity = 1;
};

// A base for the ornaments: a clock from the first showing and a frame timer.
class AnimatedOrnament : public QWidget
{
    Q_OBJECT

public:
    explicit AnimatedOrnament(QWidget *parent = nullptr);
    bool isAnimating() const { return m_frames.isActive(); }
    // Seconds since the ornament first came on screen (0 before).
    double seconds() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    // Whether frames are still needed at this time.
    virtual bool moves(double seconds) const = 0;
    void tick();

private:
    QElapsedTimer m_clock;
    QTimer m_frames;
};

// Expanding rings calling attention to a control: two waves 0.8 s apart.
class PingRing : public AnimatedOrnament
{
    Q_OBJECT

public:
    explicit PingRing(const QColor &color, QWidget *parent = nullptr);
    // The control's size the rings start from, for a ring widget made larger than its control
    // so the waves have room; by default the widget's own size.
    void setRingDiameter(double diameter) { m_ringDiameter = diameter; }
    // One wave: small and visible until its delay, then every 1.6 s it grows from 0.95 to 2.4
    // times its size as it fades out.
    static RingPose wavePose(double seconds, double delay);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool moves(double) const override;

private:
    QColor m_color;
    double m_ringDiameter = 0;
};

// A 7-point dot with a ring that grows to 2.6 times it and fades, every 1.6 s.
class PulsingDot : public AnimatedOrnament
{
    Q_OBJECT

public:
    explicit PulsingDot(const QColor &color, QWidget *parent = nullptr);
    static RingPose ringPose(double seconds);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool moves(double) const override;

private:
    QColor m_color;
};

// An application tile that rises 8 points into place after its delay.
class StaggeredAppTile : public AnimatedOrnament
{
    Q_OBJECT

public:
    StaggeredAppTile(const QString &name, const QString &initial, const QColor &tint, double delay,
                     QWidget *parent = nullptr);
    // Opacity and downward offset at a moment.
    static QPointF pose(double seconds, double delay);
    QSize sizeHint() const override { return {70, 66}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool moves(double seconds) const override;

private:
    QString m_name;
    QString m_initial;
    QColor m_tint;
    double m_delay;
};

// The celebration's medallion: a breathing disc with two rings and a check mark drawn in.
class CelebrationMedallion : public AnimatedOrnament
{
    Q_OBJECT

public:
    struct Pose
    {
        double discScale = 0.6;
        double discOpacity = 0;
        RingPose ring1{0.4, 0.7};
        RingPose ring2{0.4, 0.7};
        double checkProgress = 0;
        double pulse = 0; // 0 … 1, back and forth
    };

    // The disc's diameter; the widget leaves room around it for the glow and the rings, which
    // grow to 1.6 times the disc.
    static constexpr int discSize = 96;
    static constexpr int boxSize = 160;

    explicit CelebrationMedallion(QWidget *parent = nullptr);
    static Pose pose(double seconds);
    QSize sizeHint() const override { return {boxSize, boxSize}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool moves(double) const override { return true; }
};

// Confetti falling over the whole widget; it takes no clicks.
class CelebrationConfetti : public AnimatedOrnament
{
    Q_OBJECT

public:
    explicit CelebrationConfetti(int count, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool moves(double) const override { return m_count > 0; }

private:
    int m_count;
};

// The logo mark, painted into a square.
void paintBrandMark(QPainter *painter, const QRectF &square);
// The round flag badge of a language code: Spanish for codes that begin with "es", British
// otherwise.
void paintFlagBadge(QPainter *painter, const QRectF &square, const QString &languageCode);
