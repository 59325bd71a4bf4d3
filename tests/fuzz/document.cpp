// A document file or the autosave: the bounded read, then the checks openDocument and
// loadAutosave make before any page is taken.
#include "document/brivelservice.h"
#include "document/savedata.h"
#include "fuzzing.h"
#include "platform/boundedfilereader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzFile(data, size);
    BoundedFileReader::Result read = BoundedFileReader::read(path, BrivelService::maximumFileBytes);
    if (!read.ok())
        return 0;
    std::optional<SaveData> saved = SaveData::decode(read.bytes);
    if (!saved || !saved->hasSupportedVersion() || !saved->isWithinDocumentLimits())
        return 0;
    BrivelService::normalizedTitles(saved->titles, int(saved->pages.size()));
    if (saved->titles.size() != saved->pages.size())
        abort();
    return 0;
}
