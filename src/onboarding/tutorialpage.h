#pragma once

#include "onboarding/practiceparts.h"

class CapsuleButton;
class OnboardingFlow;
class QAbstractButton;
class QLabel;
class TutorialPractice;

// Catches the four arrow keys, with any modifiers and auto-repeat, for the whole application
// while it is installed, and hands them to the practice; every other key passes. The panel
// never takes the keyboard, so the keys reach the main window and this filter.
class TutorialKeyFilter : public QObject
{
public:
    explicit TutorialKeyFilter(TutorialPractice &practice, QObject *parent = nullptr);
    ~TutorialKeyFilter() override;

    void install();
    void remove();
    bool isInstalled() const { return m_installed; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TutorialPractice &m_practice;
    bool m_installed = false;
};

// The arrow-key practice page and its voice stage.
class TutorialPage : public PracticeBackdrop
{
    Q_OBJECT

public:
    TutorialPage(OnboardingFlow &flow, TutorialPractice &practice, QWidget *parent = nullptr);

    // Coming on screen and leaving it.
    void enter();
    void leave();

    TutorialKeyFilter *keyFilter() const { return m_filter; }
    QAbstractButton *continueButton() const;
    QAbstractButton *backButton() const;
    QLabel *statusLabel() const { return m_status; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh();

    OnboardingFlow &m_flow;
    TutorialPractice &m_practice;
    TutorialKeyFilter *m_filter;
    QWidget *m_chip;
    QLabel *m_title;
    QLabel *m_hint;
    QWidget *m_grid;
    class VoiceBlock *m_voice;
    QAbstractButton *m_back;
    QLabel *m_status;
    CapsuleButton *m_continue;
};
