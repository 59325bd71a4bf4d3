#include "espeaklibrary.h"

#include <espeak-ng/speak_lib.h>

namespace {

struct State
{
    std::mutex mutex;
    bool initialised = false;
    int sampleRate = 0;
    QByteArray voice;
};

State &state()
{
    static State instance;
    return instance;
}

} // namespace

std::unique_lock<std::mutex> EspeakLibrary::lock(bool *ready)
{
    State &library = state();
    std::unique_lock guard(library.mutex);
    if (!library.initialised) {
        library.initialised = true;
        // espeakINITIALIZE_DONT_EXIT: missing data must not end the process.
        const int rate
            = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        library.sampleRate = rate > 0 ? rate : 0;
    }
    *ready = library.sampleRate > 0;
    return guard;
}

int EspeakLibrary::sampleRate()
{
    return state().sampleRate;
}

bool EspeakLibrary::useVoice(const QByteArray &name)
{
    State &library = state();
    if (library.voice == name)
        return true;
    library.voice.clear();
    if (espeak_SetVoiceByName(name.constData()) != EE_OK)
        return false;
    library.voice = name;
    return true;
}
