#pragma once

#include "platform/languagedetector.h"

#include <mutex>

// CLD2 where it is sure; otherwise n-gram text categorisation among English, Spanish, French,
// German, Italian and Portuguese, which does better on short scripts in those languages.
class Cld2LanguageDetector : public LanguageDetector
{
public:
    Cld2LanguageDetector() = default;
    ~Cld2LanguageDetector() override;
    Cld2LanguageDetector(const Cld2LanguageDetector &) = delete;
    Cld2LanguageDetector &operator=(const Cld2LanguageDetector &) = delete;

    std::optional<QString> dominantLanguage(const QString &text) const override;

private:
    std::optional<QString> categorise(const QByteArray &utf8) const;

    // The categoriser is loaded on first need; its handle keeps the last result, so one call at
    // a time.
    mutable std::mutex m_categoriserMutex;
    mutable bool m_categoriserLoaded = false;
    mutable void *m_categoriser = nullptr;
    mutable void *m_candidates = nullptr;
};
