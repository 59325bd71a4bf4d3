#pragma once

#include <QByteArray>

#include <mutex>

// espeak-ng keeps one set of global state per process (voice, parameters, callback), so every
// user, the phonemizer as well as the tests' speech synthesis, holds this lock while it calls it.
class EspeakLibrary
{
public:
    // Locks the library, initialising it on first use for synchronous synthesis without an audio
    // device. `ready` is false when its data could not be loaded; then nothing may be called.
    static std::unique_lock<std::mutex> lock(bool *ready);
    // Samples per second of synthesised speech; only while ready.
    static int sampleRate();
    // Selects a voice such as "en-us" or "en-us+f2", unless it is the one selected; only while
    // locked and ready. Selecting a voice costs more than phonemizing a word.
    static bool useVoice(const QByteArray &name);
};
