#pragma once

#include <QString>

#include <optional>

// Finds the language a text is mostly written in.
class LanguageDetector
{
public:
    virtual ~LanguageDetector();

    // An ISO 639 code in lower case ("en", "es", "ja", …), or none when the text gives no
    // reliable answer (empty, too short, mixed beyond recognition).
    virtual std::optional<QString> dominantLanguage(const QString &text) const = 0;

    // CLD2, falling back to text categorisation among the six languages the app knows best.
    static const LanguageDetector &system();
};
