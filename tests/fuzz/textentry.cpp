// The checks of the desktop's text entry on any text another program sends, as UTF-8 and as
// raw UTF-16 (D-Bus strings may carry lone surrogates through other bindings).
#include "document/brivelservice.h"
#include "document/externaltext.h"
#include "fuzzing.h"

#include <cstring>
#include <string>

namespace {

void check(const QString &text)
{
    QString refusal;
    const std::optional<QString> accepted = BrivelService::acceptExternalText(text, &refusal);
    if (accepted == std::nullopt ? refusal.isEmpty() : accepted->size() > text.size())
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzScratch();
    check(QString::fromUtf8(fuzzBytes(data, size)));
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    check(QString::fromStdU16String(units));
    return 0;
}
