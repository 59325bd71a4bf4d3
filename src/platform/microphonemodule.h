#pragma once

class AudioInput;

// The entry points of libbrivel_microphone.so, Qt Multimedia's microphone (QtAudioInput), which
// loads with the first microphone rather than with the program (AudioInput::createDefault).
// microphonemodule.exports lists what the module takes from the program.
struct MicrophoneModule
{
    static constexpr char name[] = "microphone";

    AudioInput *(*createMicrophone)() = nullptr;
};
