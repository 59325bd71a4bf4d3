#pragma once

#include "onboarding/onboardingwidget.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class AnimatedValue;
class CapsuleButton;
class CircleGlyphButton;
class HeroPlayer;
class HeroVideoView;
class OnboardingFlow;
class PageDots;
class QLabel;

// The intro carousel: the three clips side by side in the hero strip, the dots, the current
// page's title and text, "Omitir", the continue button and the back button.
class CarouselPage : public QWidget
{
public:
    // Its hero views are appended to `heroes`.
    CarouselPage(OnboardingFlow &flow, const OnboardingWidget::Options &options,
                 QList<HeroVideoView *> &heroes, QWidget *parent);

    void setPreloaded(HeroPlayer *player);
    void startPlayback();
    void stopPlayback();
    QLabel *title() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QRect textArea() const;
    QWidget *makeTextBlock(int page);
    static void setTextOpacity(QWidget *block, double opacity);
    void fadeText(QWidget *block, double from, double to);
    void layoutHero();
    void updateContinueLabel();
    void pageChanged(int page);

    OnboardingFlow &m_flow;
    const bool m_truthful;
    QWidget *m_hero;
    QWidget *m_strip;
    QList<HeroVideoView *> m_heroes;
    AnimatedValue *m_stripOffset;
    AnimatedValue *m_dotsPosition;
    PageDots *m_dots;
    QPointer<QWidget> m_text;
    CapsuleButton *m_skip;
    CapsuleButton *m_continue;
    CircleGlyphButton *m_back;
};
