#pragma once

#include "audioinput.h"

#include <QByteArray>
#include <QString>

#include <vector>

class QTimer;

// A WAV file standing in for the microphone, for tests and benchmarks. It reads 16-bit PCM, mono
// or stereo at any rate, and delivers it as 16 kHz mono like the real input.
class WavFileAudioInput : public AudioInput
{
    Q_OBJECT

public:
    enum class Pace {
        // One buffer of bufferFrames every 64 ms, as a microphone delivers them.
        RealTime,
        // One buffer per pass of the event loop, one after the other.
        AsFastAsPossible,
    };

    // Larger files are refused rather than read into memory (70 minutes of 16 kHz mono).
    static constexpr qint64 maxFileBytes = 128 * 1024 * 1024;

    // The file is read at once; a problem with it is reported by start().
    explicit WavFileAudioInput(const QString &path, Pace pace = Pace::RealTime,
                               QObject *parent = nullptr);
    ~WavFileAudioInput() override;

    // Zero rate and channels when the file can't be used.
    Format format() const override;
    // Starts from the beginning of the file; the first buffer comes from the event loop.
    bool start(QString *errorDescription) override;
    void stop() override;
    bool isRunning() const override { return m_running; }

    // The whole file as delivered: 16 kHz mono.
    const std::vector<std::int16_t> &samples() const { return m_samples; }

    // The audio of a WAV file's bytes as 16 kHz mono; empty, with `error` set, when unusable.
    static std::vector<std::int16_t> decode(const QByteArray &bytes, QString *error);

Q_SIGNALS:
    // The last buffer has been delivered; not emitted when stopped before.
    void finished();

private:
    void deliverNextBuffer();

    std::vector<std::int16_t> m_samples;
    QString m_error;
    QTimer *const m_timer;
    size_t m_position = 0;
    bool m_running = false;
};
