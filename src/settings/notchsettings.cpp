#include "notchsettings.h"

#include "platform/bundle.h"
#include "platform/captureshield.h"
#include "platform/keyvaluestore.h"
#include "platform/observable.h"

namespace {

const QString widthKey = QStringLiteral("notchWidth");
const QString textAreaHeightKey = QStringLiteral("textAreaHeight");
const QString fontSizePresetKey = QStringLiteral("fontSizePreset");
const QString fontFamilyPresetKey = QStringLiteral("fontFamilyPreset");
const QString highlightColorKey = QStringLiteral("highlightColor");
const QString cueColorKey = QStringLiteral("cueColor");
const QString cueBrightnessKey = QStringLiteral("cueBrightness");
const QString overlayModeKey = QStringLiteral("overlayMode");
const QString glassEffectKey = QStringLiteral("floatingGlassEffect");
const QString glassOpacityKey = QStringLiteral("glassOpacity");
const QString notchShowsPageNumbersKey = QStringLiteral("notchShowsPageNumbers");
const QString hideFromScreenShareKey = QStringLiteral("hideFromScreenShare");
const QString showElapsedTimeKey = QStringLiteral("showElapsedTime");
const QString globalArrowKeysEnabledKey = QStringLiteral("globalArrowKeysEnabled");
const QString arrowScrollsTextKey = QStringLiteral("arrowScrollsText");
const QString appLanguageKey = QStringLiteral("appLanguage");
const QString fullscreenScreenIDKey = QStringLiteral("fullscreenScreenID");
const QString globalHotkeyKeyCodeKey = QStringLiteral("globalHotkeyKeyCode");
const QString globalHotkeyModifiersKey = QStringLiteral("globalHotkeyModifiers");

// Keys of older versions.
const QString legacyFontColorPresetKey = QStringLiteral("fontColorPreset");
const QString legacyCueColorPresetKey = QStringLiteral("cueColorPreset");
const QString legacyFollowCursorKey = QStringLiteral("followCursorWhenUndocked");
const QString arrowControlsMigratedKey = QStringLiteral("arrowControlsMigratedV1");

constexpr double defaultNotchWidth = 340;
constexpr double defaultTextAreaHeight = 160;
constexpr double minimumTextAreaHeight = 140;
constexpr double defaultGlassOpacity = 0.7;

double positiveOr(std::optional<double> stored, double fallback)
{
    return stored && *stored > 0 ? *stored : fallback;
}

template <typename Preset>
Preset storedPreset(const KeyValueStore &store, const QString &key, Preset fallback)
{
    return presetFromRawValue<Preset>(store.stringValue(key).value_or(QString()))
        .value_or(fallback);
}

} // namespace

NotchSettings::NotchSettings(KeyValueStore &store, const CaptureShield &captureShield,
                             const QString &systemLanguageCode, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_captureShield(captureShield)
    , m_cueColor(defaultCueColor())
    , m_currentLocale(QStringLiteral("es"))
    , m_localizationBundle(Bundle::main())
{
    m_notchWidth = positiveOr(store.doubleValue(widthKey), defaultNotchWidth);
    m_textAreaHeight
        = std::max(positiveOr(store.doubleValue(textAreaHeightKey), defaultTextAreaHeight),
                   minimumTextAreaHeight);

    QString size = store.stringValue(fontSizePresetKey).value_or(QString());
    if (size == u"xl") // the largest size of older versions
        size = QStringLiteral("lg");
    m_fontSizePreset = size == u"xs"   ? FontSizePreset::xs
                       : size == u"lg" ? FontSizePreset::lg
                                       : FontSizePreset::sm;

    m_fontFamilyPreset = storedPreset(store, fontFamilyPresetKey, FontFamilyPreset::sans);
    m_highlightColor = migratedColor(legacyFontColorPresetKey, highlightColorKey, Qt::white);
    m_cueColor = migratedColor(legacyCueColorPresetKey, cueColorKey, defaultCueColor());
    m_cueBrightness = storedPreset(store, cueBrightnessKey, CueBrightness::dim);

    m_overlayMode = storedPreset(store, overlayModeKey, OverlayMode::pinned);
    // Older versions had a floating mode that could follow the cursor; that is the cursor mode.
    if (m_overlayMode == OverlayMode::floating && store.boolValue(legacyFollowCursorKey) == true) {
        store.setValue(overlayModeKey, rawValue(OverlayMode::cursor));
        m_overlayMode = OverlayMode::cursor;
    }
    store.remove(legacyFollowCursorKey);

    m_glassEffect = store.boolValue(glassEffectKey).value_or(false);
    m_glassOpacity = positiveOr(store.doubleValue(glassOpacityKey), defaultGlassOpacity);
    m_notchShowsPageNumbers = store.boolValue(notchShowsPageNumbersKey).value_or(false);
    m_hideFromScreenShare = store.boolValue(hideFromScreenShareKey).value_or(true);
    m_showElapsedTime = store.boolValue(showElapsedTimeKey).value_or(false);
    m_fullscreenScreenID = store.uint32Value(fullscreenScreenIDKey);
    m_globalHotkeyKeyCode = store.uint32Value(globalHotkeyKeyCodeKey);
    m_globalHotkeyModifiers = store.uint32Value(globalHotkeyModifiersKey);

    // This version turns both arrow settings on once, whatever an older one stored.
    if (store.boolValue(arrowControlsMigratedKey) != true) {
        store.setValue(globalArrowKeysEnabledKey, true);
        store.setValue(arrowScrollsTextKey, true);
        store.setValue(arrowControlsMigratedKey, true);
    }
    m_globalArrowKeysEnabled = store.boolValue(globalArrowKeysEnabledKey).value_or(true);
    m_arrowScrollsText = store.boolValue(arrowScrollsTextKey).value_or(true);

    const std::optional<QString> language = store.stringValue(appLanguageKey);
    m_appLanguage
        = language ? *language
                   : (systemLanguageCode == u"es" ? QStringLiteral("es") : QStringLiteral("en"));
    m_currentLocale = QLocale(m_appLanguage);
    m_localizationBundle = localizationBundle(m_appLanguage);
}

NotchSettings::~NotchSettings() = default;

NotchSettings &NotchSettings::shared()
{
    static NotchSettings *const instance
        = new NotchSettings(KeyValueStore::standard(), CaptureShield::system());
    return *instance;
}

QString NotchSettings::systemLanguage()
{
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C || system.language() == QLocale::AnyLanguage)
        return {};
    return QLocale::languageToCode(system.language());
}

QColor NotchSettings::migratedColor(const QString &legacyKey, const QString &baseKey,
                                    const QColor &defaultColor)
{
    const std::optional<FontColorPreset> legacy
        = presetFromRawValue<FontColorPreset>(m_store.stringValue(legacyKey).value_or(QString()));
    if (legacy && !m_store.contains(baseKey + u"_r")) {
        const QColor migrated = color(*legacy);
        saveColor(migrated, baseKey);
        m_store.remove(legacyKey);
        return migrated;
    }
    return loadColor(baseKey, defaultColor);
}

void NotchSettings::saveColor(const QColor &color, const QString &baseKey)
{
    const QColor srgb = color.isValid() ? color.toRgb() : QColor(Qt::white);
    m_store.setValue(baseKey + u"_r", double(srgb.redF()));
    m_store.setValue(baseKey + u"_g", double(srgb.greenF()));
    m_store.setValue(baseKey + u"_b", double(srgb.blueF()));
}

QColor NotchSettings::loadColor(const QString &baseKey, const QColor &defaultColor) const
{
    if (!m_store.contains(baseKey + u"_r"))
        return defaultColor;
    return QColor::fromRgbF(float(m_store.doubleOrZero(baseKey + u"_r")),
                            float(m_store.doubleOrZero(baseKey + u"_g")),
                            float(m_store.doubleOrZero(baseKey + u"_b")));
}

std::shared_ptr<const Bundle> NotchSettings::localizationBundle(const QString &languageCode)
{
    return Bundle::localization(languageCode);
}

bool NotchSettings::effectiveHideFromScreenShare() const
{
    return m_hideFromScreenShare && m_captureShield.isSupported();
}

bool NotchSettings::effectiveGlobalArrowKeysEnabled() const
{
    return effectiveArrowSetting(m_globalArrowKeysEnabled);
}

bool NotchSettings::effectiveArrowScrollsText() const
{
    return effectiveArrowSetting(m_arrowScrollsText);
}

bool NotchSettings::effectiveArrowSetting(bool setting) const
{
    return setting || m_overlayMode == OverlayMode::cursor;
}

template <typename T>
void NotchSettings::write(T &member, const T &value, const QString &key, const QVariant &stored,
                          void (NotchSettings::*changedSignal)())
{
    const bool changed = Observable::assign(member, value);
    m_store.setValue(key, stored);
    if (changed)
        Q_EMIT(this->*changedSignal)();
}

template <typename Change>
void NotchSettings::changingDerived(Change &&change)
{
    const bool hide = effectiveHideFromScreenShare();
    const bool globalArrows = effectiveGlobalArrowKeysEnabled();
    const bool arrowScrolls = effectiveArrowScrollsText();
    change();
    if (hide != effectiveHideFromScreenShare())
        Q_EMIT effectiveHideFromScreenShareChanged();
    if (globalArrows != effectiveGlobalArrowKeysEnabled())
        Q_EMIT effectiveGlobalArrowKeysEnabledChanged();
    if (arrowScrolls != effectiveArrowScrollsText())
        Q_EMIT effectiveArrowScrollsTextChanged();
}

void NotchSettings::setNotchWidth(double width)
{
    write(m_notchWidth, width, widthKey, width, &NotchSettings::notchWidthChanged);
}

void NotchSettings::setTextAreaHeight(double height)
{
    write(m_textAreaHeight, height, textAreaHeightKey, height,
          &NotchSettings::textAreaHeightChanged);
}

void NotchSettings::setFontSizePreset(FontSizePreset preset)
{
    write(m_fontSizePreset, preset, fontSizePresetKey, rawValue(preset),
          &NotchSettings::fontSizePresetChanged);
}

void NotchSettings::setFontFamilyPreset(FontFamilyPreset preset)
{
    write(m_fontFamilyPreset, preset, fontFamilyPresetKey, rawValue(preset),
          &NotchSettings::fontFamilyPresetChanged);
}

void NotchSettings::setHighlightColor(const QColor &color)
{
    const bool changed = Observable::assign(m_highlightColor, color);
    saveColor(color, highlightColorKey);
    if (changed)
        Q_EMIT highlightColorChanged();
}

void NotchSettings::setCueColor(const QColor &color)
{
    const bool changed = Observable::assign(m_cueColor, color);
    saveColor(color, cueColorKey);
    if (changed)
        Q_EMIT cueColorChanged();
}

void NotchSettings::setCueBrightness(CueBrightness brightness)
{
    write(m_cueBrightness, brightness, cueBrightnessKey, rawValue(brightness),
          &NotchSettings::cueBrightnessChanged);
}

void NotchSettings::setOverlayMode(OverlayMode mode)
{
    changingDerived([&] {
        write(m_overlayMode, mode, overlayModeKey, rawValue(mode),
              &NotchSettings::overlayModeChanged);
    });
}

void NotchSettings::setGlassEffect(bool enabled)
{
    const bool wasEnabled = m_glassEffect;
    write(m_glassEffect, enabled, glassEffectKey, enabled, &NotchSettings::glassEffectChanged);
    // Turning the glass on starts from its default opacity.
    if (enabled && !wasEnabled)
        setGlassOpacity(defaultGlassOpacity);
}

void NotchSettings::setGlassOpacity(double opacity)
{
    write(m_glassOpacity, opacity, glassOpacityKey, opacity, &NotchSettings::glassOpacityChanged);
}

void NotchSettings::setNotchShowsPageNumbers(bool shows)
{
    write(m_notchShowsPageNumbers, shows, notchShowsPageNumbersKey, shows,
          &NotchSettings::notchShowsPageNumbersChanged);
}

void NotchSettings::setHideFromScreenShare(bool hide)
{
    changingDerived([&] {
        write(m_hideFromScreenShare, hide, hideFromScreenShareKey, hide,
              &NotchSettings::hideFromScreenShareChanged);
    });
}

void NotchSettings::setShowElapsedTime(bool show)
{
    write(m_showElapsedTime, show, showElapsedTimeKey, show,
          &NotchSettings::showElapsedTimeChanged);
}

void NotchSettings::setGlobalArrowKeysEnabled(bool enabled)
{
    changingDerived([&] {
        write(m_globalArrowKeysEnabled, enabled, globalArrowKeysEnabledKey, enabled,
              &NotchSettings::globalArrowKeysEnabledChanged);
    });
}

void NotchSettings::setArrowScrollsText(bool scrolls)
{
    changingDerived([&] {
        write(m_arrowScrollsText, scrolls, arrowScrollsTextKey, scrolls,
              &NotchSettings::arrowScrollsTextChanged);
    });
}

void NotchSettings::setAppLanguage(const QString &languageCode)
{
    write(m_appLanguage, languageCode, appLanguageKey, languageCode,
          &NotchSettings::appLanguageChanged);
    if (Observable::assign(m_currentLocale, QLocale(languageCode)))
        Q_EMIT currentLocaleChanged();
    if (Observable::assign(m_localizationBundle, localizationBundle(languageCode)))
        Q_EMIT localizationBundleChanged();
}

void NotchSettings::setFullscreenScreenID(quint32 displayNumber)
{
    write(m_fullscreenScreenID, displayNumber, fullscreenScreenIDKey, displayNumber,
          &NotchSettings::fullscreenScreenIDChanged);
}

void NotchSettings::setGlobalHotkeyKeyCode(quint32 keyCode)
{
    write(m_globalHotkeyKeyCode, keyCode, globalHotkeyKeyCodeKey, keyCode,
          &NotchSettings::globalHotkeyKeyCodeChanged);
}

void NotchSettings::setGlobalHotkeyModifiers(quint32 modifiers)
{
    write(m_globalHotkeyModifiers, modifiers, globalHotkeyModifiersKey, modifiers,
          &NotchSettings::globalHotkeyModifiersChanged);
}
