#pragma once

#include <functional>
#include <memory>

class AudioInput;
class LanguageDetector;
class Permissions;
class SpeechEngine;

// What the voice follower takes from the device. The app uses the system's; tests hand in fakes.
struct SpeechServices
{
    const SpeechEngine *engine = nullptr;
    const LanguageDetector *languageDetector = nullptr;
    Permissions *permissions = nullptr;
    // A new microphone input for every recognition session.
    std::function<std::unique_ptr<AudioInput>()> makeAudioInput;

    static SpeechServices system();
};
