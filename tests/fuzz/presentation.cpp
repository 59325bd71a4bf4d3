// A .pptx from its bytes: archive, caps, slide list, notes and slide parsers, as the import
// runs it, from a file opened by its path like a user's.
#include "fuzzing.h"
#include "import/presentationnotesextractor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzFile(data, size);
    try {
        const QStringList texts = PresentationNotesExtractor::extractNotes(path);
        for (const QString &text : texts) {
            if (text.isEmpty() || text.trimmed() != text)
                abort();
        }
    } catch (const PresentationNotesExtractor::ExtractionError &) {
    }
    return 0;
}
