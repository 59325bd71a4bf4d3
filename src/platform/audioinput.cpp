#include "audioinput.h"

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
    using Create = AudioInput *(*)();
    static QString failure;
    static const Create create = [] {
        RuntimeModule module = RuntimeModule::brivel("microphone");
        Create function = nullptr;
        if (!module.resolve(function, "brivelCreateMicrophone"))
            failure = u"The audio input could not be loaded: "_qs + module.errorString();
        return function;
    }();
    if (!create)
        return std::make_unique<MissingAudioInput>(failure);
    return std::unique_ptr<AudioInput>(create());
}
