// A link as handleURL receives it, in any encoding of its raw argument.
#include "document/externaltext.h"
#include "fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    for (const QString &link : {QString::fromUtf8(bytes), QString::fromLocal8Bit(bytes)}) {
        const std::optional<QString> text = ExternalText::textFromLink(link);
        if (text
            && ExternalText::countCharacters(*text, ExternalText::maximumCharacters + 1)
                   > ExternalText::maximumCharacters)
            abort();
    }
    return 0;
}
