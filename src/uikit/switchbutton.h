#pragma once

#include "uikit/animation.h"

#include <QAbstractButton>

// The small on/off switch of the settings rows: a capsule track that turns the platform accent
// when on, with a white knob that slides across. It is checkable; toggled() reports the user's
// changes as well as setChecked().
class SwitchButton : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr QSize switchSize{32, 18};
    static constexpr QSizeF miniSwitchSize{26, 15};
    static constexpr double slideSeconds = 0.15;

    explicit SwitchButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;

    // Draws the switch at another size than the settings rows' one; the widget takes it rounded
    // up, the track keeping to its top-left.
    void setSwitchSize(const QSizeF &size);
    // How the knob follows the checked state; a short slide unless set.
    void setMotion(const ControlMotion &motion) { m_motion = motion; }

    // The track's colour when on; the platform accent unless set (the onboarding uses the brand).
    void setOnColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    // 0 off, 1 on; follows the checked state with a short slide.
    AnimatedValue *m_position;
    QColor m_onColor;
    QSizeF m_size = switchSize;
    ControlMotion m_motion{AnimationTiming::easeInOut(slideSeconds), {}};
};
