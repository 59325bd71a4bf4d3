#include "speechlocale.h"

#include "platform/languagedetector.h"
#include "platform/speechengine.h"

#include <QStringList>

#include <array>

using namespace Qt::StringLiterals;

namespace {

struct LanguageDefault
{
    QStringView languageCode;
    QStringView identifier;
};

// Languages the script is most often written in, each with the locale used when no region of
// it is recognised on the device. The first one also stands for an undetected language.
constexpr std::array languageDefaults{
    LanguageDefault{u"es", u"es_AR"}, LanguageDefault{u"en", u"en_US"},
    LanguageDefault{u"pt", u"pt_BR"}, LanguageDefault{u"fr", u"fr_FR"},
    LanguageDefault{u"de", u"de_DE"}, LanguageDefault{u"it", u"it_IT"},
};

constexpr QStringView fallbackIdentifier = u"es_AR";

// Regions tried in order before the engine's own list.
QStringList speechLocaleRegions(QStringView languageCode)
{
    if (languageCode == u"es")
        return {u"es_AR"_s, u"es_ES"_s, u"es_MX"_s, u"es_419"_s, u"es_US"_s, u"es_CO"_s};
    if (languageCode == u"en")
        return {u"en_US"_s, u"en_GB"_s, u"en_AU"_s, u"en_CA"_s, u"en_IN"_s};
    return {};
}

// "fi" names "fi_FI" and "fi-FI", never "fil_PH".
bool isLocaleOfLanguage(QStringView identifier, QStringView languageCode)
{
    if (!identifier.startsWith(languageCode))
        return false;
    if (identifier.size() == languageCode.size())
        return true;
    const QChar separator = identifier[languageCode.size()];
    return separator == u'_' || separator == u'-';
}

bool recognizesOnDevice(const SpeechEngine &engine, const QString &identifier)
{
    const std::unique_ptr<SpeechRecognizerBackend> recognizer = engine.recognizer(identifier);
    return recognizer && recognizer->supportsOnDeviceRecognition();
}

} // namespace

QString preferredSpeechLocale(const QString &scriptText, const LanguageDetector &detector,
                              const SpeechEngine &engine)
{
    const std::optional<QString> detected = detector.dominantLanguage(scriptText);
    const QStringView languageCode
        = detected ? QStringView(*detected) : languageDefaults[0].languageCode;
    for (const LanguageDefault &language : languageDefaults) {
        if (language.languageCode == languageCode)
            return onDeviceSpeechLocale(languageCode.toString(), engine)
                .value_or(language.identifier.toString());
    }
    if (std::optional<QString> onDevice = onDeviceSpeechLocale(*detected, engine))
        return *onDevice;
    const QStringList supported = engine.supportedLocales();
    for (const QString &identifier : supported) {
        if (isLocaleOfLanguage(identifier, *detected))
            return identifier;
    }
    return fallbackIdentifier.toString();
}

std::optional<QString> onDeviceSpeechLocale(const QString &languageCode, const SpeechEngine &engine)
{
    const QStringList regions = speechLocaleRegions(languageCode);
    for (const QString &identifier : regions) {
        if (recognizesOnDevice(engine, identifier))
            return identifier;
    }
    const QStringList supported = engine.supportedLocales();
    for (const QString &identifier : supported) {
        if (isLocaleOfLanguage(identifier, languageCode) && recognizesOnDevice(engine, identifier))
            return identifier;
    }
    return std::nullopt;
}
