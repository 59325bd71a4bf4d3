#include "phonemizer.h"

#include "platform/linux/espeaklibrary.h"

#include <espeak-ng/speak_lib.h>

#include <QList>

#include <algorithm>
#include <string>
#include <string_view>

namespace {

// Longer "words" are runs of letters nobody reads out as one word.
constexpr qsizetype maxWordLength = 48;
constexpr qsizetype maxPhones = 64;

struct PhoneMapping
{
    std::string_view espeak;
    // One or two model phones.
    std::string_view phones;
};

// espeak-ng's US English phonemes and the closest phones of the model, which writes no stress.
// Checked against the model's own dictionary: see the phonemizer test for the agreement.
constexpr PhoneMapping phoneTable[] = {
    // Vowels and diphthongs.
    {"a", "AE"},
    {"aa", "AE"},
    {"a#", "AH"},
    {"A:", "AA"},
    {"A@", "AA R"},
    {"0", "AA"},
    {"O", "AO"},
    {"O:", "AO"},
    {"O2", "AO"},
    {"O@", "AO R"},
    {"o@", "AO R"},
    {"V", "AH"},
    {"@", "AH"},
    {"@-", "AH"},
    {"@2", "AH"},
    {"@5", "AH"},
    {"@L", "AH L"},
    {"3", "ER"},
    {"3:", "ER"},
    {"E", "EH"},
    {"e", "EH"},
    {"e@", "EH R"},
    {"eI", "EY"},
    {"I", "IH"},
    {"I2", "IH"},
    {"I#", "IH"},
    {"i", "IY"},
    {"i:", "IY"},
    {"i@", "IY AH"},
    {"i@3", "IH R"},
    {"U", "UH"},
    {"U@", "UH R"},
    {"u:", "UW"},
    {"u", "UW"},
    {"oU", "OW"},
    {"o", "OW"},
    {"aI", "AY"},
    {"aI@", "AY ER"},
    {"aI3", "AY ER"},
    {"aU", "AW"},
    {"aU@", "AW ER"},
    {"OI", "OY"},
    // Consonants.
    {"p", "P"},
    {"b", "B"},
    {"t", "T"},
    {"t#", "T"},
    {"t2", "T"},
    {"?", "T"},
    {"d", "D"},
    {"k", "K"},
    {"x", "K"},
    {"g", "G"},
    {"f", "F"},
    {"v", "V"},
    {"T", "TH"},
    {"D", "DH"},
    {"s", "S"},
    {"z", "Z"},
    {"S", "SH"},
    {"Z", "ZH"},
    {"h", "HH"},
    {"tS", "CH"},
    {"dZ", "JH"},
    {"m", "M"},
    {"n", "N"},
    {"n-", "AH N"},
    {"N", "NG"},
    {"l", "L"},
    {"r", "R"},
    {"r-", "R"},
    {"w", "W"},
    {"j", "Y"},
};

std::string_view modelPhones(std::string_view name)
{
    for (const PhoneMapping &mapping : phoneTable) {
        if (mapping.espeak == name)
            return mapping.phones;
    }
    return {};
}

bool isWrittenInLatin(const QString &word)
{
    bool hasLetter = false;
    for (const QChar c : word) {
        if (c.isLetter()) {
            if (c.script() != QChar::Script_Latin)
                return false;
            hasLetter = true;
        } else if (!c.isMark() && c != u'\'') {
            return false;
        }
    }
    return hasLetter;
}

} // namespace

QByteArray modelPhonesFromEspeak(QByteArrayView espeakPhonemes)
{
    QByteArray phones;
    qsizetype count = 0;
    const std::string_view text(espeakPhonemes.data(), size_t(espeakPhonemes.size()));
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("_ ", start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string name(text.substr(start, end - start));
        // Stress, and the palatal and length modifiers, only colour the phoneme before or after.
        std::erase_if(
            name, [](char c) { return c == '\'' || c == ',' || c == '%' || c == '=' || c == ';'; });
        start = end + 1;
        if (name.empty())
            continue;
        const std::string_view mapped = modelPhones(name);
        if (mapped.empty())
            return {};
        if (!phones.isEmpty())
            phones += ' ';
        phones.append(mapped.data(), qsizetype(mapped.size()));
        count += 1 + qsizetype(std::count(mapped.begin(), mapped.end(), ' '));
        if (count > maxPhones)
            return {};
    }
    return phones;
}

QByteArray espeakPronunciation(const QString &word)
{
    if (word.size() > maxWordLength || !isWrittenInLatin(word))
        return {};
    const QByteArray utf8 = word.toUtf8();
    QByteArray espeakPhonemes;
    {
        bool ready = false;
        const auto lock = EspeakLibrary::lock(&ready);
        if (!ready || !EspeakLibrary::useVoice(QByteArrayLiteral("en-us")))
            return {};
        const void *text = utf8.constData();
        // Names separated by '_', words by spaces, one clause per call.
        while (text) {
            const char *clause
                = EspeakLibrary::functions().textToPhonemes(&text, espeakCHARS_UTF8, '_' << 8);
            if (clause) {
                espeakPhonemes += clause;
                espeakPhonemes += ' ';
            }
        }
    }
    return modelPhonesFromEspeak(espeakPhonemes);
}
