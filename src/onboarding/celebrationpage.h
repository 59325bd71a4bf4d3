#pragma once

#include <QList>
#include <QWidget>

class CapsuleButton;
class CelebrationConfetti;
class CelebrationMedallion;
class OnboardingFlow;
class QAbstractButton;

namespace CelebrationParts {
class Entrance;
}

// The last step: confetti and the medallion, the title, the four summary chips and "Empezar",
// each coming in after its delay the first time the step shows.
class CelebrationPage : public QWidget
{
public:
    CelebrationPage(OnboardingFlow &flow, bool shieldSupported, QWidget *parent);

    // Coming on screen starts the entrance, once.
    void appear();

    QAbstractButton *startButton() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    CelebrationConfetti *m_confetti;
    QWidget *m_content;
    QWidget *m_medallionPlace;
    CelebrationMedallion *m_medallion;
    QWidget *m_title;
    QWidget *m_buttonBox;
    CapsuleButton *m_start;
    QList<CelebrationParts::Entrance *> m_entrances;
    bool m_appeared = false;
};
