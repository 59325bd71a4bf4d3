#pragma once

#include "settings/presets.h"

#include <QList>
#include <QWidget>

class CaptureShield;
class NotchSettings;
class QComboBox;
class SegmentedControl;
class SettingRow;

// The first tab of the settings: the interface language and the behaviour settings (hiding
// from captures, the overlay mode, the clock and the two arrow-key settings).
class GeneralTab : public QWidget
{
    Q_OBJECT

public:
    // The modes the position picker offers, in its order.
    static constexpr OverlayMode offeredModes[]
        = {OverlayMode::pinned, OverlayMode::floating, OverlayMode::cursor};

    GeneralTab(NotchSettings &settings, const CaptureShield &captureShield,
               QWidget *parent = nullptr);

    QComboBox *languagePicker() const { return m_language; }
    SegmentedControl *modePicker() const { return m_modes; }
    // 0 "Invisible / Oculto", 1 "Posición", 2 "Cronómetro", 3 "Control presentación",
    // 4 "Flechas mueven texto".
    SettingRow *row(int index) const { return m_rows.value(index); }

    // The info text of the capture row: it promises the panel is hidden only where it can be.
    static QString invisibilityInfoText(const CaptureShield &captureShield);

private:
    void syncLanguage();
    void syncMode();
    void syncRows();

    NotchSettings &m_settings;
    QComboBox *m_language;
    SegmentedControl *m_modes;
    QList<SettingRow *> m_rows;
};
