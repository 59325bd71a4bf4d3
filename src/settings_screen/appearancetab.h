#pragma once

#include <QList>
#include <QWidget>

class ColorSwatches;
class NotchSettings;
class QAbstractButton;
class QColorDialog;
class QComboBox;
class SegmentedControl;
class SettingRow;
class SettingSlider;

// The appearance tab: the script's font, size and colour, the glass effect and its opacity,
// the panel's width and the height of its text area.
class AppearanceTab : public QWidget
{
    Q_OBJECT

public:
    enum Row { fontRow, sizeRow, colourRow, glassRow, opacityRow, widthRow, heightRow };

    explicit AppearanceTab(NotchSettings &settings, QWidget *parent = nullptr);

    SettingRow *row(Row row) const { return m_rows.value(row); }
    QComboBox *fontPicker() const { return m_font; }
    SegmentedControl *sizePicker() const { return m_size; }
    QList<QAbstractButton *> colorChips() const;
    QAbstractButton *colorWell() const;
    // The colour panel the well opened; null before.
    QColorDialog *colorPanel() const;
    SettingSlider *opacitySlider() const { return m_opacity; }
    SettingSlider *widthSlider() const { return m_width; }
    SettingSlider *heightSlider() const { return m_height; }

private:
    void syncRows();

    NotchSettings &m_settings;
    QList<SettingRow *> m_rows;
    QComboBox *m_font = nullptr;
    SegmentedControl *m_size = nullptr;
    ColorSwatches *m_swatches = nullptr;
    SettingSlider *m_opacity = nullptr;
    SettingSlider *m_width = nullptr;
    SettingSlider *m_height = nullptr;
};
