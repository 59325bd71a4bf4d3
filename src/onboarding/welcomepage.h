#pragma once

#include <QWidget>

class AnimatedValue;
class OnboardingFlow;
class QGraphicsOpacityEffect;

// The first step: the logo, the title and "Comencemos", rising into place the first time it
// shows.
class WelcomePage : public QWidget
{
public:
    WelcomePage(OnboardingFlow &flow, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void place(double appeared);

    QWidget *m_content;
    QGraphicsOpacityEffect *m_opacity;
    AnimatedValue *m_appear;
    bool m_appeared = false;
};
