#pragma once

#include "onboarding/practiceparts.h"

#include <QPointer>

class CaptureShield;
class CapsuleButton;
class OnboardingFlow;
class QAbstractButton;
class TutorialNotchController;

// The invisibility demo: the panel takes clicks and its eye toggle drives this page.
class InvisibilityPage : public PracticeBackdrop
{
    Q_OBJECT

public:
    InvisibilityPage(OnboardingFlow &flow, TutorialNotchController &notch,
                     const CaptureShield &captureShield, QWidget *parent = nullptr);

    void enter();
    void leave();

    QAbstractButton *continueButton() const;
    QAbstractButton *skipButton() const;
    QWidget *introContent() const { return m_intro; }
    QWidget *successContent() const { return m_success; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh();
    void buildSuccess();

    OnboardingFlow &m_flow;
    TutorialNotchController &m_notch;
    const CaptureShield &m_captureShield;
    QWidget *m_intro;
    QPointer<QWidget> m_success;
    QAbstractButton *m_skip;
    CapsuleButton *m_continue;
};
