// A WAV file's bytes.
#include "fuzzing.h"
#include "platform/wavfileaudioinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString error;
    const std::vector<std::int16_t> samples
        = WavFileAudioInput::decode(fuzzBytes(data, size), &error);
    if (!samples.empty() && !error.isEmpty())
        abort();
    return 0;
}
