#pragma once

#include "settings/presets.h"
#include "uikit/animation.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QComboBox>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class NotchSettings;
class QLabel;
class QSlider;
class SegmentedControl;
class SwitchButton;

// The controls of the settings tabs and of the onboarding's appearance page, each bound to one
// setting: it shows the stored value, follows later changes, and writes only when the user acts.

using BoolGetter = bool (NotchSettings::*)() const;
using BoolSetter = void (NotchSettings::*)(bool);
using ChangedSignal = void (NotchSettings::*)();

SwitchButton *settingSwitch(NotchSettings &settings, BoolGetter read, BoolSetter write,
                            ChangedSignal changed, QWidget *parent);

// Key caps, their caption and a switch, side by side.
QWidget *arrowKeySwitch(NotchSettings &settings, const QStringList &keys, const char *captionKey,
                        BoolGetter read, BoolSetter write, ChangedSignal changed, QWidget *parent);

// The script's family, from a menu of the family names. The platform look is the settings
// rows' combo box; the tile look is the onboarding's: the current name and an up-down chevron on
// a faint rounded tile, opening a plain menu with no item marked.
class FontFamilyMenu : public QComboBox
{
public:
    enum class Look { platform, tile };

    FontFamilyMenu(NotchSettings &settings, Look look, QWidget *parent = nullptr);

    void showPopup() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    NotchSettings &m_settings;
    Look m_look;
};

// The "S", "M", "L" segments of the script's size.
SegmentedControl *fontSizeSegments(NotchSettings &settings, QWidget *parent);

// Whether two colours show alike: red, green and blue each within 0.01, opacity aside.
bool colorMatches(const QColor &a, const QColor &b);

// A round chip that makes its preset the text colour.
class ColorChip : public QAbstractButton
{
public:
    struct Look
    {
        int side = 18;
        int dot = 18;               // the disc's diameter
        QColor border;              // a 0.5 line inside the disc's edge; none unless valid
        bool borderOnWhite = false; // the border on the white chip only
        QColor ring;                // ringed while it is the text colour; never marked unless valid
        ControlMotion ringMotion;   // how the ring comes and goes; at once unless set
    };

    ColorChip(NotchSettings &settings, FontColorPreset preset, const Look &look,
              QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    NotchSettings &m_settings;
    FontColorPreset m_preset;
    Look m_look;
    AnimatedValue *m_ring; // 1 while ringed
};

// The colour well. A press opens one colour panel, not modal and without opacity, whose every
// pick is the text colour at once.
class ColorWell : public QAbstractButton
{
public:
    enum class Face {
        hueWheel, // a wheel of hues under a soft highlight, whatever the colour
        swatch    // the current colour on a faint rounded tile
    };

    ColorWell(NotchSettings &settings, Face face, QWidget *parent = nullptr);

    // The panel the well opened; null before and once it is closed.
    QColorDialog *panel() const { return m_panel; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void openPanel();

    NotchSettings &m_settings;
    Face m_face;
    QPointer<QColorDialog> m_panel;
};

// The white and green chips, then the colour well, in a row.
class ColorSwatches : public QWidget
{
public:
    struct Look
    {
        ColorChip::Look chip;
        ColorWell::Face well = ColorWell::Face::hueWheel;
        int spacing = 6;
        bool trailing = true; // packed to the trailing edge, else to the leading one
    };

    ColorSwatches(NotchSettings &settings, const Look &look, QWidget *parent = nullptr);

    QList<QAbstractButton *> chips() const { return m_chips; }
    ColorWell *well() const { return m_well; }

private:
    QList<QAbstractButton *> m_chips;
    ColorWell *m_well;
};

// Where a value stands in a slider's range, in whole per cent; whole and finite whatever the
// stored value.
int rangePercent(double value, double lower, double upper);

// What a slider's value text shows: the stored value times `scale`, cut to its integer part,
// then the suffix ("600px", "70%"). A value no integer can hold shows the slider's nearer
// bound instead.
QString sliderValueText(double value, double scale, double minimum, double maximum,
                        const QString &suffix);

// A slider on a numeric setting, with its value text beside it. A stored value outside the range
// rests the slider at its nearer end and keeps its own text until the user moves the slider.
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
        double step = 0.1;    // 0: continuous
        double textScale = 1; // 100 for a fraction shown in per cent
        const char16_t *suffix = u"";
        // The text tells where the value stands in the range ("15%") instead.
        bool percentOfRange = false;
    };

    SettingSlider(NotchSettings &settings, Getter read, Setter write, ChangedSignal changed,
                  const Range &range, QWidget *parent = nullptr);

    QSlider *slider() const { return m_slider; }
    QString valueText() const;
    // Shows the value text in `label` instead of beside the slider.
    void setValueLabel(QLabel *label);

private:
    void sync();
    int position(double value) const;
    double value(int position) const;

    NotchSettings &m_settings;
    Getter m_read;
    Range m_range;
    QSlider *m_slider;
    QLabel *m_value;
};
