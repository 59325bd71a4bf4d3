#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <span>

// The microphone, delivering 16 kHz mono signed 16-bit samples in buffers of up to
// `bufferFrames` frames on the thread the input lives on (the main thread in the app).
class AudioInput : public QObject
{
    Q_OBJECT

public:
    static constexpr int sampleRate = 16000;
    static constexpr int bufferFrames = 1024;

    struct Format
    {
        int sampleRate = 0;
        int channelCount = 0;
    };

    using QObject::QObject;
    ~AudioInput() override;

    // The format the input will deliver; zero rate or channels when there is no usable device.
    virtual Format format() const = 0;
    // False with a description for the user when the input cannot run (no device, refused,
    // unreadable file). Never throws, never crashes.
    virtual bool start(QString *errorDescription) = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;

    // The desktop's default microphone through Qt Multimedia.
    static std::unique_ptr<AudioInput> createDefault();

Q_SIGNALS:
    // Samples are only valid during the emission.
    void bufferAvailable(std::span<const std::int16_t> samples);
    // The set of devices or the default device changed; a running input may have gone quiet.
    void configurationChanged();
};
