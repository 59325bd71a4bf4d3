#pragma once

#include "settings/presets.h"

#include <QStringList>
#include <QWidget>

class NotchSettings;
class QLabel;
class QSlider;
class SwitchButton;

// The controls of the settings tabs, each bound to one setting: it shows the stored value,
// follows later changes, and writes only when the user acts.

using BoolGetter = bool (NotchSettings::*)() const;
using BoolSetter = void (NotchSettings::*)(bool);
using ChangedSignal = void (NotchSettings::*)();

SwitchButton *settingSwitch(NotchSettings &settings, BoolGetter read, BoolSetter write,
                            ChangedSignal changed, QWidget *parent);

// Key caps, their caption and a switch, side by side.
QWidget *arrowKeySwitch(NotchSettings &settings, const QStringList &keys, const char *captionKey,
                        BoolGetter read, BoolSetter write, ChangedSignal changed, QWidget *parent);

// What a slider's value text shows: the stored value times `scale`, cut to its integer part,
// then the suffix ("600px", "70%"). A value no integer can hold shows the slider's nearer
// bound instead.
QString sliderValueText(double value, double scale, double minimum, double maximum,
                        const QString &suffix);

// A slider on whole steps of a numeric setting, with its value text beside it. A stored value
// outside the range rests the slider at its nearer end and keeps its own text until the user
// moves the slider.
class SettingSlider : public QWidget
{
    Q_OBJECT

public:
    using Getter = double (NotchSettings::*)() const;
    using Setter = void (NotchSettings::*)(double);

    struct Range
    {
        double minimum = 0;
        double maximum = 1;
        double step = 0.1;
        double textScale = 1; // 100 for a fraction shown in per cent
        const char16_t *suffix = u"";
    };

    SettingSlider(NotchSettings &settings, Getter read, Setter write, ChangedSignal changed,
                  const Range &range, QWidget *parent = nullptr);

    QSlider *slider() const { return m_slider; }
    QString valueText() const;

private:
    void sync();

    NotchSettings &m_settings;
    Getter m_read;
    Range m_range;
    QSlider *m_slider;
    QLabel *m_value;
};
