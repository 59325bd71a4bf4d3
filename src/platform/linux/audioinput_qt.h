#pragma once

#include "platform/audioinput.h"

#include <QAudioFormat>
#include <QByteArray>

#include <vector>

class QAudioSource;
class QIODevice;
class QMediaDevices;

// The desktop's default microphone through Qt Multimedia (PulseAudio on Linux). It asks for
// 16 kHz mono 16-bit; a device that can't give that is read in its own format and converted.
class QtAudioInput : public AudioInput
{
    Q_OBJECT

public:
    explicit QtAudioInput(QObject *parent = nullptr);
    ~QtAudioInput() override;

    Format format() const override;
    bool start(QString *errorDescription) override;
    void stop() override;
    bool isRunning() const override { return m_source != nullptr; }

private:
    void readAvailable();
    void convert(const QByteArray &bytes);

    QMediaDevices *const m_devices;
    QAudioSource *m_source = nullptr;
    QIODevice *m_device = nullptr;
    QAudioFormat m_format;
    // Bytes of a frame split across two reads.
    QByteArray m_partialFrame;
    // Resampling state: the last input sample and where the next output falls after it, in
    // input samples.
    float m_previousSample = 0;
    double m_nextOutputPosition = 1.0;
    std::vector<std::int16_t> m_converted;
};
