#pragma once

#include "presets.h"

#include <QColor>
#include <QLocale>
#include <QObject>
#include <QString>

#include <memory>

class Bundle;
class CaptureShield;
class KeyValueStore;

// Every appearance and behaviour setting, one object per process. Each assignment writes its
// key at once (also when the value is unchanged); observers hear only of real changes.
class NotchSettings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double notchWidth READ notchWidth WRITE setNotchWidth NOTIFY notchWidthChanged)
    Q_PROPERTY(double textAreaHeight READ textAreaHeight WRITE setTextAreaHeight NOTIFY
                   textAreaHeightChanged)
    Q_PROPERTY(FontSizePreset fontSizePreset READ fontSizePreset WRITE setFontSizePreset NOTIFY
                   fontSizePresetChanged)
    Q_PROPERTY(FontFamilyPreset fontFamilyPreset READ fontFamilyPreset WRITE setFontFamilyPreset
                   NOTIFY fontFamilyPresetChanged)
    Q_PROPERTY(QColor highlightColor READ highlightColor WRITE setHighlightColor NOTIFY
                   highlightColorChanged)
    Q_PROPERTY(QColor cueColor READ cueColor WRITE setCueColor NOTIFY cueColorChanged)
    Q_PROPERTY(CueBrightness cueBrightness READ cueBrightness WRITE setCueBrightness NOTIFY
                   cueBrightnessChanged)
    Q_PROPERTY(
        OverlayMode overlayMode READ overlayMode WRITE setOverlayMode NOTIFY overlayModeChanged)
    Q_PROPERTY(bool glassEffect READ glassEffect WRITE setGlassEffect NOTIFY glassEffectChanged)
    Q_PROPERTY(
        double glassOpacity READ glassOpacity WRITE setGlassOpacity NOTIFY glassOpacityChanged)
    Q_PROPERTY(bool notchShowsPageNumbers READ notchShowsPageNumbers WRITE setNotchShowsPageNumbers
                   NOTIFY notchShowsPageNumbersChanged)
    Q_PROPERTY(bool hideFromScreenShare READ hideFromScreenShare WRITE setHideFromScreenShare NOTIFY
                   hideFromScreenShareChanged)
    Q_PROPERTY(bool showElapsedTime READ showElapsedTime WRITE setShowElapsedTime NOTIFY
                   showElapsedTimeChanged)
    Q_PROPERTY(bool globalArrowKeysEnabled READ globalArrowKeysEnabled WRITE
                   setGlobalArrowKeysEnabled NOTIFY globalArrowKeysEnabledChanged)
    Q_PROPERTY(bool arrowScrollsText READ arrowScrollsText WRITE setArrowScrollsText NOTIFY
                   arrowScrollsTextChanged)
    Q_PROPERTY(QString appLanguage READ appLanguage WRITE setAppLanguage NOTIFY appLanguageChanged)
    Q_PROPERTY(QLocale currentLocale READ currentLocale NOTIFY currentLocaleChanged)
    Q_PROPERTY(quint32 fullscreenScreenID READ fullscreenScreenID WRITE setFullscreenScreenID NOTIFY
                   fullscreenScreenIDChanged)
    Q_PROPERTY(quint32 globalHotkeyKeyCode READ globalHotkeyKeyCode WRITE setGlobalHotkeyKeyCode
                   NOTIFY globalHotkeyKeyCodeChanged)
    Q_PROPERTY(quint32 globalHotkeyModifiers READ globalHotkeyModifiers WRITE
                   setGlobalHotkeyModifiers NOTIFY globalHotkeyModifiersChanged)
    Q_PROPERTY(bool effectiveHideFromScreenShare READ effectiveHideFromScreenShare NOTIFY
                   effectiveHideFromScreenShareChanged)
    Q_PROPERTY(bool effectiveGlobalArrowKeysEnabled READ effectiveGlobalArrowKeysEnabled NOTIFY
                   effectiveGlobalArrowKeysEnabledChanged)
    Q_PROPERTY(bool effectiveArrowScrollsText READ effectiveArrowScrollsText NOTIFY
                   effectiveArrowScrollsTextChanged)

public:
    // Reads every key once and migrates the keys of older versions. The language code stands
    // for the system's when no interface language is stored.
    NotchSettings(KeyValueStore &store, const CaptureShield &captureShield,
                  const QString &systemLanguageCode = systemLanguage(), QObject *parent = nullptr);
    ~NotchSettings() override;

    // The process's settings over the user's store, created on first use, never released.
    static NotchSettings &shared();

    // The language code of the system locale; empty when it has none.
    static QString systemLanguage();

    double notchWidth() const { return m_notchWidth; }
    void setNotchWidth(double width);
    double textAreaHeight() const { return m_textAreaHeight; }
    void setTextAreaHeight(double height);
    FontSizePreset fontSizePreset() const { return m_fontSizePreset; }
    void setFontSizePreset(FontSizePreset preset);
    FontFamilyPreset fontFamilyPreset() const { return m_fontFamilyPreset; }
    void setFontFamilyPreset(FontFamilyPreset preset);
    QColor highlightColor() const { return m_highlightColor; }
    void setHighlightColor(const QColor &color);
    QColor cueColor() const { return m_cueColor; }
    void setCueColor(const QColor &color);
    CueBrightness cueBrightness() const { return m_cueBrightness; }
    void setCueBrightness(CueBrightness brightness);
    OverlayMode overlayMode() const { return m_overlayMode; }
    void setOverlayMode(OverlayMode mode);
    bool glassEffect() const { return m_glassEffect; }
    void setGlassEffect(bool enabled);
    double glassOpacity() const { return m_glassOpacity; }
    void setGlassOpacity(double opacity);
    bool notchShowsPageNumbers() const { return m_notchShowsPageNumbers; }
    void setNotchShowsPageNumbers(bool shows);
    bool hideFromScreenShare() const { return m_hideFromScreenShare; }
    void setHideFromScreenShare(bool hide);
    bool showElapsedTime() const { return m_showElapsedTime; }
    void setShowElapsedTime(bool show);
    bool globalArrowKeysEnabled() const { return m_globalArrowKeysEnabled; }
    void setGlobalArrowKeysEnabled(bool enabled);
    bool arrowScrollsText() const { return m_arrowScrollsText; }
    void setArrowScrollsText(bool scrolls);
    QString appLanguage() const { return m_appLanguage; }
    void setAppLanguage(const QString &languageCode);
    QLocale currentLocale() const { return m_currentLocale; }
    // The string table of the interface language; texts are looked up here.
    std::shared_ptr<const Bundle> localizationBundle() const { return m_localizationBundle; }
    quint32 fullscreenScreenID() const { return m_fullscreenScreenID; }
    void setFullscreenScreenID(quint32 displayNumber);
    quint32 globalHotkeyKeyCode() const { return m_globalHotkeyKeyCode; }
    void setGlobalHotkeyKeyCode(quint32 keyCode);
    quint32 globalHotkeyModifiers() const { return m_globalHotkeyModifiers; }
    void setGlobalHotkeyModifiers(quint32 modifiers);

    // Hidden from capture only where the window system can do it, so no view claims a
    // protection the user does not have.
    bool effectiveHideFromScreenShare() const;
    // The cursor mode is driven by the arrows alone, so it forces both arrow settings on.
    bool effectiveGlobalArrowKeysEnabled() const;
    bool effectiveArrowScrollsText() const;

    void saveColor(const QColor &color, const QString &baseKey);
    QColor loadColor(const QString &baseKey, const QColor &defaultColor) const;

    // The bundle of the language's "<code>.lproj" folder, or the main bundle.
    static std::shared_ptr<const Bundle> localizationBundle(const QString &languageCode);

Q_SIGNALS:
    void notchWidthChanged();
    void textAreaHeightChanged();
    void fontSizePresetChanged();
    void fontFamilyPresetChanged();
    void highlightColorChanged();
    void cueColorChanged();
    void cueBrightnessChanged();
    void overlayModeChanged();
    void glassEffectChanged();
    void glassOpacityChanged();
    void notchShowsPageNumbersChanged();
    void hideFromScreenShareChanged();
    void showElapsedTimeChanged();
    void globalArrowKeysEnabledChanged();
    void arrowScrollsTextChanged();
    void appLanguageChanged();
    void currentLocaleChanged();
    void localizationBundleChanged();
    void fullscreenScreenIDChanged();
    void globalHotkeyKeyCodeChanged();
    void globalHotkeyModifiersChanged();
    void effectiveHideFromScreenShareChanged();
    void effectiveGlobalArrowKeysEnabledChanged();
    void effectiveArrowScrollsTextChanged();

private:
    bool effectiveArrowSetting(bool setting) const;
    // Stores the value, writes its key in every case and notifies only a real change.
    template <typename T>
    void write(T &member, const T &value, const QString &key, const QVariant &stored,
               void (NotchSettings::*changedSignal)());
    // Runs a change of a property that the derived settings depend on, telling their observers
    // when their values move.
    template <typename Change>
    void changingDerived(Change &&change);
    QColor migratedColor(const QString &legacyKey, const QString &baseKey,
                         const QColor &defaultColor);

    KeyValueStore &m_store;
    const CaptureShield &m_captureShield;

    double m_notchWidth = 340;
    double m_textAreaHeight = 160;
    FontSizePreset m_fontSizePreset = FontSizePreset::sm;
    FontFamilyPreset m_fontFamilyPreset = FontFamilyPreset::sans;
    QColor m_highlightColor = Qt::white;
    QColor m_cueColor;
    CueBrightness m_cueBrightness = CueBrightness::dim;
    OverlayMode m_overlayMode = OverlayMode::pinned;
    bool m_glassEffect = false;
    double m_glassOpacity = 0.7;
    bool m_notchShowsPageNumbers = false;
    bool m_hideFromScreenShare = true;
    bool m_showElapsedTime = false;
    bool m_globalArrowKeysEnabled = true;
    bool m_arrowScrollsText = true;
    QString m_appLanguage;
    QLocale m_currentLocale;
    std::shared_ptr<const Bundle> m_localizationBundle;
    quint32 m_fullscreenScreenID = 0;
    quint32 m_globalHotkeyKeyCode = 0;
    quint32 m_globalHotkeyModifiers = 0;
};
