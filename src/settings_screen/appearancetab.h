#pragma once

#include <QColor>
#include <QColorDialog>
#include <QList>
#include <QPointer>
#include <QWidget>

class NotchSettings;
class QAbstractButton;
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

    // The colours of the preset chips, in order.
    static QList<QColor> presetColors();

    explicit AppearanceTab(NotchSettings &settings, QWidget *parent = nullptr);

    SettingRow *row(Row row) const { return m_rows.value(row); }
    QComboBox *fontPicker() const { return m_font; }
    SegmentedControl *sizePicker() const { return m_size; }
    QList<QAbstractButton *> colorChips() const { return m_chips; }
    QAbstractButton *colorWell() const { return m_well; }
    // The colour panel the well opened; null before.
    QColorDialog *colorPanel() const { return m_colorPanel; }
    SettingSlider *opacitySlider() const { return m_opacity; }
    SettingSlider *widthSlider() const { return m_width; }
    SettingSlider *heightSlider() const { return m_height; }

private:
    QWidget *colorChipsControl();
    void openColorPanel();
    void syncRows();

    NotchSettings &m_settings;
    QList<SettingRow *> m_rows;
    QComboBox *m_font = nullptr;
    SegmentedControl *m_size = nullptr;
    QList<QAbstractButton *> m_chips;
    QAbstractButton *m_well = nullptr;
    QPointer<QColorDialog> m_colorPanel;
    SettingSlider *m_opacity = nullptr;
    SettingSlider *m_width = nullptr;
    SettingSlider *m_height = nullptr;
};
