#include "audioinput.h"

#include "linux/audioinput_qt.h"

AudioInput::~AudioInput() = default;

std::unique_ptr<AudioInput> AudioInput::createDefault()
{
    return std::make_unique<QtAudioInput>();
}
