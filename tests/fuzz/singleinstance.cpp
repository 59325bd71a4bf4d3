// What a later launch, or anything else that connects, sends the running instance: a byte
// stream cut into arbitrary reads. The first bytes choose the cuts.
#include "app/singleinstance.h"
#include "fuzzing.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    QByteArray received;
    while (input.remaining_bytes() > 0) {
        const size_t chunk = input.ConsumeIntegralInRange<size_t>(1, 4096);
        received += QByteArray::fromStdString(input.ConsumeBytesAsString(chunk));
        switch (SingleInstance::framing(received, received.size())) {
        case SingleInstance::Framing::incomplete:
            continue;
        case SingleInstance::Framing::refused:
            return 0;
        case SingleInstance::Framing::complete:
            if (const auto arguments
                = SingleInstance::decodeMessageBody(received.mid(SingleInstance::headerBytes))) {
                if (arguments->size() > SingleInstance::maximumArguments)
                    abort();
            }
            return 0;
        }
    }
    return 0;
}
