#include "appearancetab.h"

#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings_screen/settingcontrols.h"
#include "settings_screen/settingscard.h"
#include "uikit/animation.h"
#include "uikit/fade.h"
#include "uikit/segmentedcontrol.h"
#include "uikit/settingrow.h"
#include "uikit/switchbutton.h"

#include <QVBoxLayout>

namespace {

constexpr double rowAnimationSeconds = 0.2;

} // namespace

AppearanceTab::AppearanceTab(NotchSettings &settings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
{
    auto *tab = new QVBoxLayout(this);
    tab->setContentsMargins(20, 20, 20, 20);
    auto *card = new SettingsCard(this);
    tab->addWidget(card);
    tab->addStretch(1);

    m_font = new FontFamilyMenu(settings, FontFamilyMenu::Look::platform, this);
    m_size = fontSizeSegments(settings, this);
    ColorSwatches::Look swatches;
    swatches.chip.border = whiteAt(0.15);
    m_swatches = new ColorSwatches(settings, swatches, this);

    m_opacity
        = new SettingSlider(settings, &NotchSettings::glassOpacity, &NotchSettings::setGlassOpacity,
                            &NotchSettings::glassOpacityChanged, {0, 1, 0.05, 100, u"%"}, this);
    m_width = new SettingSlider(settings, &NotchSettings::notchWidth, &NotchSettings::setNotchWidth,
                                &NotchSettings::notchWidthChanged, {310, 500, 10, 1, u"px"}, this);
    m_height = new SettingSlider(
        settings, &NotchSettings::textAreaHeight, &NotchSettings::setTextAreaHeight,
        &NotchSettings::textAreaHeightChanged, {140, 400, 10, 1, u"px"}, this);

    using Width = SettingRow::ControlWidth;
    m_rows << new SettingRow("Fuente", m_font, Width::fixed);
    m_rows << new SettingRow("Tamaño", m_size, Width::fixed);
    m_rows << new SettingRow("Color", m_swatches, Width::fixed);
    m_rows << new SettingRow("Efecto Vidrio",
                             settingSwitch(settings, &NotchSettings::glassEffect,
                                           &NotchSettings::setGlassEffect,
                                           &NotchSettings::glassEffectChanged, this),
                             Width::fixed);
    m_rows << new SettingRow("Opacidad", m_opacity, Width::flexible);
    m_rows << new SettingRow("Ancho", m_width, Width::flexible);
    m_rows << new SettingRow("Alto", m_height, Width::flexible);
    for (SettingRow *row : std::as_const(m_rows))
        card->addRow(row);
    m_rows[heightRow]->setDividerVisible(false);

    syncRows();
    connect(&settings, &NotchSettings::overlayModeChanged, this, &AppearanceTab::syncRows);
    connect(&settings, &NotchSettings::glassEffectChanged, this, &AppearanceTab::syncRows);
}

QList<QAbstractButton *> AppearanceTab::colorChips() const
{
    return m_swatches->chips();
}

QAbstractButton *AppearanceTab::colorWell() const
{
    return m_swatches->well();
}

QColorDialog *AppearanceTab::colorPanel() const
{
    return m_swatches->well()->panel();
}

void AppearanceTab::syncRows()
{
    const bool fullscreen = m_settings.overlayMode() == OverlayMode::fullscreen;
    const AnimationTiming timing = AnimationTiming::easeInOut(rowAnimationSeconds);
    fadeWidget(m_rows[glassRow], !fullscreen, timing);
    fadeWidget(m_rows[opacityRow], !fullscreen && m_settings.glassEffect(), timing);
}
