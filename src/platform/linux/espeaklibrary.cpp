#include "espeaklibrary.h"

#include "platform/logging.h"
#include "platform/runtimemodule.h"

namespace {

struct State
{
    std::mutex mutex;
    bool initialised = false;
    int sampleRate = 0;
    QByteArray voice;
    EspeakLibrary::Functions functions;
};

State &state()
{
    static State instance;
    return instance;
}

bool load(EspeakLibrary::Functions &functions)
{
    RuntimeModule library = RuntimeModule::system(ESPEAK_SONAME);
    const bool complete = library.resolve(functions.initialize, "espeak_Initialize")
                          && library.resolve(functions.setVoiceByName, "espeak_SetVoiceByName")
                          && library.resolve(functions.textToPhonemes, "espeak_TextToPhonemes")
                          && library.resolve(functions.setSynthCallback, "espeak_SetSynthCallback")
                          && library.resolve(functions.setParameter, "espeak_SetParameter")
                          && library.resolve(functions.synth, "espeak_Synth");
    if (!complete)
        qCWarning(lcPlatform, "Cannot load the speech synthesiser: %ls",
                  qUtf16Printable(library.errorString()));
    return complete;
}

} // namespace

std::unique_lock<std::mutex> EspeakLibrary::lock(bool *ready)
{
    State &library = state();
    std::unique_lock guard(library.mutex);
    if (!library.initialised) {
        library.initialised = true;
        // espeakINITIALIZE_DONT_EXIT: missing data must not end the process.
        int rate = 0;
        if (load(library.functions))
            rate = library.functions.initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                                espeakINITIALIZE_DONT_EXIT);
        library.sampleRate = rate > 0 ? rate : 0;
    }
    *ready = library.sampleRate > 0;
    return guard;
}

const EspeakLibrary::Functions &EspeakLibrary::functions()
{
    return state().functions;
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
    if (library.functions.setVoiceByName(name.constData()) != EE_OK)
        return false;
    library.voice = name;
    return true;
}
