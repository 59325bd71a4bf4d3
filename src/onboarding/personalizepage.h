#pragma once

#include "onboarding/practiceparts.h"

class CaptureShield;
class NotchSettings;
class OnboardingFlow;
class QAbstractButton;
class QGridLayout;
class QSlider;
class SettingSlider;

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
