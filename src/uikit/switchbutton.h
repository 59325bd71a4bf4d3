#pragma once

#include <QAbstractButton>

class AnimatedValue;

// The small on/off switch of the settings rows: a capsule track that turns the platform accent
// when on, with a white knob that slides across. It is checkable; toggled() reports the user's
// changes as well as setChecked().
class SwitchButton : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr QSize switchSize{32, 18};

    explicit SwitchButton(QWidget *parent = nullptr);

    QSize sizeHint() const override { return switchSize; }

    // The track's colour when on; the platform accent unless set (the onboarding uses the brand).
    void setOnColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    // 0 off, 1 on; follows the checked state with a short slide.
    AnimatedValue *m_position;
    QColor m_onColor;
};
