#include "generaltab.h"

#include "platform/captureshield.h"
#include "platform/fonts.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings_screen/settingcontrols.h"
#include "settings_screen/settingscard.h"
#include "uikit/animation.h"
#include "uikit/fade.h"
#include "uikit/infobutton.h"
#include "uikit/localizedtext.h"
#include "uikit/segmentedcontrol.h"
#include "uikit/settingrow.h"
#include "uikit/switchbutton.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// The language choices, shown as written in every language.
struct LanguageOption
{
    const char *code;
    const char *label;
};
constexpr LanguageOption languageOptions[] = {{"en", "English"}, {"es", "Español"}};

constexpr double rowAnimationSeconds = 0.2;

} // namespace

QString GeneralTab::invisibilityInfoText(const CaptureShield &captureShield)
{
    return captureShield.isSupported()
               ? localizedString("El panel queda oculto en grabaciones de pantalla y "
                                 "videollamadas.")
               : localizedString("En este sistema, las grabaciones de pantalla y las "
                                 "videollamadas muestran el panel.");
}

GeneralTab::GeneralTab(NotchSettings &settings, const CaptureShield &captureShield, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_language(new QComboBox(this))
    , m_modes(new SegmentedControl({}, this))
{
    auto *tab = new QVBoxLayout(this);
    tab->setContentsMargins(20, 20, 20, 20);
    tab->setSpacing(14);

    auto *language = new QVBoxLayout;
    language->setSpacing(6);
    auto *languageTitle = new QLabel(this);
    languageTitle->setFont(Fonts::systemFont(13, QFont::Medium));
    LocalizedText::bind(languageTitle, "text", "Idioma / Language");
    language->addWidget(languageTitle);
    for (const LanguageOption &option : languageOptions)
        m_language->addItem(QString::fromUtf8(option.label), QString::fromLatin1(option.code));
    m_language->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    language->addWidget(m_language, 0, Qt::AlignLeft);
    tab->addLayout(language);
    tab->addWidget(new SettingsDivider(this));

    auto *card = new SettingsCard(this);
    tab->addWidget(card);
    tab->addStretch(1);

    const auto info
        = [this](std::function<QString()> text) { return new InfoButton(std::move(text), this); };
    const CaptureShield *shield = &captureShield;
    m_rows << new SettingRow("Invisible / Oculto",
                             settingSwitch(settings, &NotchSettings::hideFromScreenShare,
                                           &NotchSettings::setHideFromScreenShare,
                                           &NotchSettings::hideFromScreenShareChanged, this),
                             SettingRow::ControlWidth::fixed,
                             info([shield] { return invisibilityInfoText(*shield); }));
    m_rows << new SettingRow(
        "Posición", m_modes, SettingRow::ControlWidth::fixed,
        info([&settings] { return localizedDescription(settings.overlayMode()); }));
    m_rows << new SettingRow(
        "Cronómetro",
        settingSwitch(settings, &NotchSettings::showElapsedTime, &NotchSettings::setShowElapsedTime,
                      &NotchSettings::showElapsedTimeChanged, this),
        SettingRow::ControlWidth::fixed, info([] {
            return localizedString("Mostrar un temporizador mientras el teleprompter está activo.");
        }));
    m_rows << new SettingRow(
        "Control presentación",
        arrowKeySwitch(settings, {QStringLiteral("←"), QStringLiteral("→")}, "Cambiar nota",
                       &NotchSettings::globalArrowKeysEnabled,
                       &NotchSettings::setGlobalArrowKeysEnabled,
                       &NotchSettings::globalArrowKeysEnabledChanged, this),
        SettingRow::ControlWidth::fixed, info([] {
            return localizedString(
                "Cambiar de nota con flechas aunque otra app esté en primer plano.");
        }));
    m_rows << new SettingRow(
        "Flechas mueven texto",
        arrowKeySwitch(settings, {QStringLiteral("↑"), QStringLiteral("↓")}, "Scrollear texto",
                       &NotchSettings::arrowScrollsText, &NotchSettings::setArrowScrollsText,
                       &NotchSettings::arrowScrollsTextChanged, this),
        SettingRow::ControlWidth::fixed, info([] {
            return localizedString("Las flechas ↑↓ desplazan el texto en vez de cambiar de nota.");
        }));
    for (SettingRow *row : std::as_const(m_rows))
        card->addRow(row);
    m_rows.last()->setDividerVisible(false);

    LocalizedText::follow(m_modes, "labels", [this] {
        m_modes->setLabels(
            {localizedString("Notch"), localizedString("Sticky"), localizedString("Cursor")});
        syncMode();
    });

    syncLanguage();
    syncRows();
    connect(m_language, &QComboBox::activated, this, [this](int index) {
        const QString code = m_language->itemData(index).toString();
        if (!code.isEmpty())
            m_settings.setAppLanguage(code);
    });
    connect(m_modes, &SegmentedControl::activated, this, [this](int index) {
        if (index >= 0 && index < int(std::size(offeredModes)))
            m_settings.setOverlayMode(offeredModes[index]);
    });
    connect(&settings, &NotchSettings::appLanguageChanged, this, &GeneralTab::syncLanguage);
    connect(&settings, &NotchSettings::overlayModeChanged, this, [this] {
        syncMode();
        syncRows();
    });
    connect(&settings, &NotchSettings::globalArrowKeysEnabledChanged, this, &GeneralTab::syncRows);
}

// A stored language that is not offered selects nothing.
void GeneralTab::syncLanguage()
{
    m_language->setCurrentIndex(m_language->findData(m_settings.appLanguage()));
}

// The full-screen mode has no segment: nothing is selected then.
void GeneralTab::syncMode()
{
    const auto *found
        = std::find(std::begin(offeredModes), std::end(offeredModes), m_settings.overlayMode());
    m_modes->setCurrentIndex(
        found == std::end(offeredModes) ? -1 : int(std::distance(std::begin(offeredModes), found)));
}

void GeneralTab::syncRows()
{
    const bool cursor = m_settings.overlayMode() == OverlayMode::cursor;
    const bool arrows = m_settings.globalArrowKeysEnabled();
    const AnimationTiming timing = AnimationTiming::easeInOut(rowAnimationSeconds);
    m_rows[2]->setDividerVisible(!cursor);
    m_rows[3]->setDividerVisible(arrows);
    fadeWidget(m_rows[3], !cursor, timing);
    fadeWidget(m_rows[4], !cursor && arrows, timing);
}
