#include "languagedetector.h"

#include "linux/languagedetector_cld2.h"

LanguageDetector::~LanguageDetector() = default;

const LanguageDetector &LanguageDetector::system()
{
    static const Cld2LanguageDetector detector;
    return detector;
}
