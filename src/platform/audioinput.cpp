#include "audioinput.h"

#include "platform/microphonemodule.h"
#include "platform/runtimemodule.h"

namespace {

// Stands in for the microphone when its module cannot be loaded, saying so where it is used.
class MissingAudioInput : public AudioInput
{
public:
    explicit MissingAudioInput(QString reason)
        : m_reason(std::move(reason))
    {}

    Format format() const override { return {}; }
    bool start(QString *errorDescription) override
    {
        if (errorDescription)
            *errorDescription = m_reason;
        return false;
    }
    void stop() override {}
    bool isRunning() const override { return false; }

private:
    QString m_reason;
};

} // namespace

AudioInput::~AudioInput() = default;

std::unique_ptr<AudioInput> AudioInput::createDefault()
{
    // Qt Multimedia and the sound server's libraries come with the first microphone.
    if (const MicrophoneModule *module = RuntimeModule::entryPoints<MicrophoneModule>())
        return std::unique_ptr<AudioInput>(module->createMicrophone());
    return std::make_unique<MissingAudioInput>(u"The audio input could not be loaded: "_qs
                                               + RuntimeModule::failure<MicrophoneModule>());
}
