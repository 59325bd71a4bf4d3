#pragma once

#include <QAbstractButton>

class AnimatedValue;
class NotchSettings;
class OverlayContent;

// The round eye toggle of the overlay panels. It shows whether the panel is really hidden from
// screen capture (teal slashed eye) or not (white eye), easing between the two looks, and a
// click flips the hide-from-screen-share setting.
class EyeButton : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr double defaultSide = 22;

    EyeButton(NotchSettings &settings, OverlayContent &content, double side = defaultSide,
              QWidget *parent = nullptr);

    // Flips the setting; the toast confirms only a panel that is now hidden for real.
    static void toggleInvisibility(NotchSettings &settings, OverlayContent &content);

    // 0 with the visible look, 1 with the hidden look; in between while easing.
    double hiddenLook() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    NotchSettings &m_settings;
    OverlayContent &m_content;
    double m_side = defaultSide;
    AnimatedValue *const m_hiddenLook;
};
