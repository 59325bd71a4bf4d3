#pragma once

#include <QColor>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// Fixed choices of the settings. Each is stored as its raw value, the case name itself.

enum class OverlayMode { pinned, floating, cursor, fullscreen };
enum class CueBrightness { dim, low, medium, bright };
enum class FontFamilyPreset { sans, serif, mono, dyslexia };
enum class FontSizePreset { xs, sm, lg };
enum class FontColorPreset { white, yellow, green, blue, pink, orange };

template <typename Preset>
struct PresetTraits;

template <>
struct PresetTraits<OverlayMode>
{
    static constexpr std::array cases{OverlayMode::pinned, OverlayMode::floating,
                                      OverlayMode::cursor, OverlayMode::fullscreen};
    static constexpr std::array<const char16_t *, 4> rawValues{u"pinned", u"floating", u"cursor",
                                                               u"fullscreen"};
};

template <>
struct PresetTraits<CueBrightness>
{
    static constexpr std::array cases{CueBrightness::dim, CueBrightness::low, CueBrightness::medium,
                                      CueBrightness::bright};
    static constexpr std::array<const char16_t *, 4> rawValues{u"dim", u"low", u"medium",
                                                               u"bright"};
};

template <>
struct PresetTraits<FontFamilyPreset>
{
    static constexpr std::array cases{FontFamilyPreset::sans, FontFamilyPreset::serif,
                                      FontFamilyPreset::mono, FontFamilyPreset::dyslexia};
    static constexpr std::array<const char16_t *, 4> rawValues{u"sans", u"serif", u"mono",
                                                               u"dyslexia"};
};

template <>
struct PresetTraits<FontSizePreset>
{
    static constexpr std::array cases{FontSizePreset::xs, FontSizePreset::sm, FontSizePreset::lg};
    static constexpr std::array<const char16_t *, 3> rawValues{u"xs", u"sm", u"lg"};
};

template <>
struct PresetTraits<FontColorPreset>
{
    static constexpr std::array cases{FontColorPreset::white, FontColorPreset::yellow,
                                      FontColorPreset::green, FontColorPreset::blue,
                                      FontColorPreset::pink,  FontColorPreset::orange};
    static constexpr std::array<const char16_t *, 6> rawValues{u"white", u"yellow", u"green",
                                                               u"blue",  u"pink",   u"orange"};
};

// Every case, in declaration order.
template <typename Preset>
constexpr auto allCases()
{
    return PresetTraits<Preset>::cases;
}

template <typename Preset>
QString rawValue(Preset preset)
{
    return QString::fromUtf16(PresetTraits<Preset>::rawValues[std::size_t(preset)]);
}

// The case whose raw value is exactly the string; nothing for any other string.
template <typename Preset>
std::optional<Preset> presetFromRawValue(QStringView raw)
{
    for (Preset preset : PresetTraits<Preset>::cases) {
        if (raw == QStringView(PresetTraits<Preset>::rawValues[std::size_t(preset)]))
            return preset;
    }
    return std::nullopt;
}

// The sentence the settings screen shows beside the mode, in the interface language.
QString localizedDescription(OverlayMode mode);

struct CueOpacities
{
    double unread = 0;
    double read = 0;
};
// How visible cue markers are before and after the reading position passes them.
CueOpacities cueOpacities(CueBrightness brightness);

// The script font size in points.
double pointSize(FontSizePreset size);

QColor color(FontColorPreset preset);

// The default cue colour.
QColor defaultCueColor();
