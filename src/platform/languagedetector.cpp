#include "languagedetector.h"

#include "platform/languagedetectormodule.h"
#include "platform/runtimemodule.h"

#include <memory>
#include <mutex>

namespace {

// The detector of the language detector module (CLD2 and text categorisation), loaded when a
// language is first asked for; without it no language is ever reliable, as for an empty text.
class ModuleLanguageDetector : public LanguageDetector
{
public:
    std::optional<QString> dominantLanguage(const QString &text) const override
    {
        std::call_once(m_loaded, [this] {
            if (const auto *module = RuntimeModule::entryPoints<LanguageDetectorModule>())
                m_detector.reset(module->createLanguageDetector());
        });
        return m_detector ? m_detector->dominantLanguage(text) : std::nullopt;
    }

private:
    mutable std::once_flag m_loaded;
    mutable std::unique_ptr<LanguageDetector> m_detector;
};

} // namespace

LanguageDetector::~LanguageDetector() = default;

const LanguageDetector &LanguageDetector::system()
{
    static const ModuleLanguageDetector detector;
    return detector;
}
