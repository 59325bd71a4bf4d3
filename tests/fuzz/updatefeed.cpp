// A release feed's answer: status, body, installed build and the build the user skipped.
#include "document/updatechecker.h"
#include "fuzzing.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int status = input.ConsumeBool() ? 200 : input.ConsumeIntegral<int>();
    const qint64 skipped = input.ConsumeIntegral<qint64>();
    const QString installed = QString::fromStdString(input.ConsumeRandomLengthString(32));
    const QByteArray body = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());
    if (const std::optional<UpdateOffer> offer = evaluateFeed(status, body, installed, skipped)) {
        if (offer->build == skipped || offer->versionText.trimmed().isEmpty())
            abort();
    }
    return 0;
}
