#pragma once

#include <QPointer>
#include <QWidget>

class CaptureShield;
class CapsuleButton;
class NotchSettings;
class OnboardingFlow;
class QAbstractButton;
class QGridLayout;
class QLabel;
class QSlider;
class SettingSlider;
class TutorialNotchController;
class TutorialPractice;

// The faint brand-coloured glow in the top-right corner behind the practice pages.
class PracticeBackdrop : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};

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

// The appearance page beside the live preview: every control writes the setting at once.
class PersonalizePage : public PracticeBackdrop
{
    Q_OBJECT

public:
    PersonalizePage(OnboardingFlow &flow, NotchSettings &settings, const CaptureShield &shield,
                    QWidget *parent = nullptr);

    // The appearance back to its starting values (the invisibility switch off).
    static void resetAppearance(NotchSettings &settings);
    QSlider *widthSlider() const;
    QSlider *heightSlider() const;
    QSlider *opacitySlider() const;
    QWidget *opacityTile() const { return m_opacityTile; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void arrangeGrid();

    OnboardingFlow &m_flow;
    NotchSettings &m_settings;
    QWidget *m_header;
    QWidget *m_gridHost;
    QGridLayout *m_grid;
    QWidget *m_fontTile, *m_sizeTile, *m_timerTile, *m_colorTile, *m_glassTile, *m_opacityTile,
        *m_widthTile, *m_heightTile, *m_invisibleTile;
    SettingSlider *m_opacity, *m_width, *m_height;
    QAbstractButton *m_skip;
    QAbstractButton *m_continue;
};
