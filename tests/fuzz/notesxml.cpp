// One notes or slide part on its own.
#include "fuzzing.h"
#include "import/pptxnotexmlparser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    PPTXNoteXMLParser parser(fuzzBytes(data, size));
    parser.parse();
    const QStringList paragraphs = parser.paragraphs();
    Q_UNUSED(paragraphs);
    return 0;
}
