#include "audioinput_qt.h"

#include "platform/microphonemodule.h"
#include "platform/runtimemodule.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QMediaDevices>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <cstring>

QtAudioInput::QtAudioInput(QObject *parent)
    : AudioInput(parent)
    , m_devices(new QMediaDevices(this))
{
    connect(m_devices, &QMediaDevices::audioInputsChanged, this,
            &QtAudioInput::configurationChanged);
}

QtAudioInput::~QtAudioInput()
{
    stop();
}

AudioInput::Format QtAudioInput::format() const
{
    return QMediaDevices::defaultAudioInput().isNull() ? Format{} : Format{sampleRate, 1};
}

bool QtAudioInput::start(QString *errorDescription)
{
    if (m_source)
        return true;
    const auto fail = [&](const QString &description) {
        if (errorDescription)
            *errorDescription = description;
        stop();
        return false;
    };
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull())
        return fail(u"No audio input device"_qs);

    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        format = device.preferredFormat();
    if (!format.isValid())
        return fail(u"The audio input device offers no usable format"_qs);
    m_format = format;
    m_partialFrame.clear();
    m_previousSample = 0;
    m_nextOutputPosition = 1.0;

    m_source = new QAudioSource(device, m_format, this);
    // A device that goes away stops the source; the session restarts as for a device change.
    connect(m_source, &QAudioSource::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && m_source && m_source->error() != QAudio::NoError)
            Q_EMIT configurationChanged();
    });
    // Without a sound server this gives null and emits nothing, so the result is all there is.
    m_device = m_source->start();
    if (!m_device)
        return fail(u"The audio input device could not be opened"_qs);
    connect(m_device, &QIODevice::readyRead, this, &QtAudioInput::readAvailable);
    return true;
}

void QtAudioInput::stop()
{
    if (!m_source)
        return;
    m_source->disconnect(this);
    if (m_device)
        m_device->disconnect(this);
    m_source->stop();
    // May be called from the source's own signal.
    m_source->deleteLater();
    m_source = nullptr;
    m_device = nullptr;
}

void QtAudioInput::readAvailable()
{
    if (!m_device)
        return;
    convert(m_device->readAll());
    const QPointer guard(this);
    for (size_t at = 0; at < m_converted.size(); at += bufferFrames) {
        const size_t count = std::min(size_t(bufferFrames), m_converted.size() - at);
        Q_EMIT bufferAvailable(std::span<const std::int16_t>(m_converted.data() + at, count));
        // A receiver may have stopped or deleted the input.
        if (!guard || !m_source)
            return;
    }
}

void QtAudioInput::convert(const QByteArray &bytes)
{
    m_converted.clear();
    const QByteArray data = m_partialFrame.isEmpty() ? bytes : m_partialFrame + bytes;
    const int frameBytes = m_format.bytesPerFrame();
    const qsizetype frames = data.size() / frameBytes;
    m_partialFrame = data.sliced(frames * frameBytes);

    if (m_format.sampleFormat() == QAudioFormat::Int16 && m_format.channelCount() == 1
        && m_format.sampleRate() == sampleRate) {
        m_converted.resize(frames);
        std::memcpy(m_converted.data(), data.constData(), frames * sizeof(std::int16_t));
        return;
    }
    // The device's own format: channels averaged, then linear interpolation to 16 kHz.
    const int channels = m_format.channelCount();
    const int sampleBytes = m_format.bytesPerSample();
    const double step = double(m_format.sampleRate()) / sampleRate;
    for (qsizetype frame = 0; frame < frames; ++frame) {
        const char *samples = data.constData() + frame * frameBytes;
        float value = 0;
        for (int channel = 0; channel < channels; ++channel)
            value += m_format.normalizedSampleValue(samples + channel * sampleBytes);
        value /= channels;
        while (m_nextOutputPosition <= 1.0) {
            const double output
                = m_previousSample + (value - m_previousSample) * m_nextOutputPosition;
            m_converted.push_back(std::int16_t(std::lround(std::clamp(output, -1.0, 1.0) * 32767)));
            m_nextOutputPosition += step;
        }
        m_nextOutputPosition -= 1.0;
        m_previousSample = value;
    }
}

BRIVEL_MODULE_ENTRY_POINTS(MicrophoneModule){
    .createMicrophone = []() -> AudioInput * { return new QtAudioInput; },
};
