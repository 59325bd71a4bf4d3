#pragma once

#include <QByteArray>

#include <espeak-ng/speak_lib.h>

#include <mutex>

// espeak-ng keeps one set of global state per process (voice, parameters, callback), so every
// user, the phonemizer as well as the tests' speech synthesis, holds this lock while it calls it.
// The library, with the audio output libraries it brings, is loaded at the first lock rather than
// with the program, whose first window never needs it.
class EspeakLibrary
{
public:
    // The library's calls, bound when it is loaded.
    struct Functions
    {
        decltype(&espeak_Initialize) initialize = nullptr;
        decltype(&espeak_SetVoiceByName) setVoiceByName = nullptr;
        decltype(&espeak_TextToPhonemes) textToPhonemes = nullptr;
        decltype(&espeak_SetSynthCallback) setSynthCallback = nullptr;
        decltype(&espeak_SetParameter) setParameter = nullptr;
        decltype(&espeak_Synth) synth = nullptr;
    };

    // Locks the library, loading and initialising it on first use for synchronous synthesis
    // without an audio device. `ready` is false when it or its data could not be loaded; then
    // nothing may be called.
    static std::unique_lock<std::mutex> lock(bool *ready);
    // Only while locked and ready.
    static const Functions &functions();
    // Samples per second of synthesised speech; only while ready.
    static int sampleRate();
    // Selects a voice such as "en-us" or "en-us+f2", unless it is the one selected; only while
    // locked and ready. Selecting a voice costs more than phonemizing a word.
    static bool useVoice(const QByteArray &name);
};
