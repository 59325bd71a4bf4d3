#include "languagedetector_cld2.h"

#include "platform/languagedetectormodule.h"
#include "platform/logging.h"
#include "platform/runtimemodule.h"

#include <QFile>
#include <QTemporaryFile>

// The CLD2 header uses FILE without including its declaration.
#include <cstdio>

#include <cld2/public/compact_lang_det.h>
#include <libexttextcat/textcat.h>

namespace {

constexpr char categoriserDataFolder[] = "/usr/share/libexttextcat/";
// The fingerprints of the six languages, each with the name the categoriser answers with. The
// packaged configuration lists about 170 languages and mistakes short texts for rare ones.
constexpr char categoriserConfiguration[] = "en.lm en\n"
                                            "es.lm es\n"
                                            "fr.lm fr\n"
                                            "de.lm de\n"
                                            "it.lm it\n"
                                            "pt.lm pt\n";

// Stage directions in brackets are not read aloud; they only blur the language of the words.
QString withoutCueMarkers(QStringView text)
{
    QString kept;
    kept.reserve(text.size());
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(u'[', from);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u']', open + 1);
        if (close < 0)
            break;
        kept += text.sliced(from, open - from);
        kept += u' ';
        from = close + 1;
    }
    kept += text.sliced(from);
    return kept;
}

// CLD2's answer when it is sure of it, as a bare lower-case language code.
std::optional<QString> reliableCld2Language(const QByteArray &utf8)
{
    CLD2::Language topThree[3];
    int percentages[3];
    int textBytes = 0;
    bool isReliable = false;
    const CLD2::Language language = CLD2::ExtDetectLanguageSummary(
        utf8.constData(), int(utf8.size()), true, topThree, percentages, &textBytes, &isReliable);
    if (!isReliable || language == CLD2::UNKNOWN_LANGUAGE)
        return std::nullopt;
    // Some codes carry a script or region ("zh-Hant").
    QString code = QString::fromLatin1(CLD2::LanguageCode(language)).toLower();
    if (const qsizetype dash = code.indexOf(u'-'); dash >= 0)
        code.truncate(dash);
    if (code.isEmpty())
        return std::nullopt;
    return code;
}

} // namespace

Cld2LanguageDetector::~Cld2LanguageDetector()
{
    if (!m_categoriser)
        return;
    textcat_ReleaseClassifyFullOutput(m_categoriser, static_cast<candidate_t *>(m_candidates));
    textcat_Done(m_categoriser);
}

std::optional<QString> Cld2LanguageDetector::dominantLanguage(const QString &text) const
{
    const QString words = withoutCueMarkers(text);
    if (words.trimmed().isEmpty())
        return std::nullopt;
    const QByteArray utf8 = words.toUtf8();
    if (std::optional<QString> language = reliableCld2Language(utf8))
        return language;
    return categorise(utf8);
}

std::optional<QString> Cld2LanguageDetector::categorise(const QByteArray &utf8) const
{
    const std::lock_guard lock(m_categoriserMutex);
    if (!m_categoriserLoaded) {
        m_categoriserLoaded = true;
        QTemporaryFile configuration;
        if (!configuration.open() || configuration.write(categoriserConfiguration) < 0
            || !configuration.flush()) {
            qCWarning(lcPlatform, "Cannot write the language categoriser's configuration: %ls",
                      qUtf16Printable(configuration.errorString()));
            return std::nullopt;
        }
        m_categoriser = special_textcat_Init(
            QFile::encodeName(configuration.fileName()).constData(), categoriserDataFolder);
        if (!m_categoriser) {
            qCWarning(lcPlatform, "Cannot load the language fingerprints from %s",
                      categoriserDataFolder);
            return std::nullopt;
        }
        m_candidates = textcat_GetClassifyFullOutput(m_categoriser);
    }
    if (!m_categoriser)
        return std::nullopt;
    auto *candidates = static_cast<candidate_t *>(m_candidates);
    // Negative when the text is too short, 0 when no language stands out.
    const int count
        = textcat_ClassifyFull(m_categoriser, utf8.constData(), size_t(utf8.size()), candidates);
    if (count <= 0)
        return std::nullopt;
    return QString::fromLatin1(candidates[0].name);
}

BRIVEL_MODULE_ENTRY_POINTS(LanguageDetectorModule){
    .createLanguageDetector = []() -> LanguageDetector * { return new Cld2LanguageDetector; },
};
