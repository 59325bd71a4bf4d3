#include "wavfileaudioinput.h"

#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int bufferIntervalMs = 1000 * AudioInput::bufferFrames / AudioInput::sampleRate;
constexpr quint16 pcmFormatTag = 1;
constexpr quint16 extensibleFormatTag = 0xFFFE;

quint16 readUInt16(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

quint32 readUInt32(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

struct PcmFormat
{
    int sampleRate = 0;
    int channelCount = 0;
};

std::optional<PcmFormat> readFormatChunk(const QByteArray &bytes, qsizetype offset, quint32 size,
                                         QString *error)
{
    if (size < 16) {
        *error = u"The WAV format chunk is too short"_qs;
        return std::nullopt;
    }
    quint16 formatTag = readUInt16(bytes, offset);
    // The extensible header names the real format in its sub-format GUID, whose first two bytes
    // are the classic format tag.
    if (formatTag == extensibleFormatTag && size >= 40)
        formatTag = readUInt16(bytes, offset + 24);
    const PcmFormat format{int(readUInt32(bytes, offset + 4)), readUInt16(bytes, offset + 2)};
    const quint16 blockAlign = readUInt16(bytes, offset + 12);
    const quint16 bitsPerSample = readUInt16(bytes, offset + 14);
    if (formatTag != pcmFormatTag || bitsPerSample != 16
        || (format.channelCount != 1 && format.channelCount != 2)
        || blockAlign != 2 * format.channelCount || format.sampleRate < 1000
        || format.sampleRate > 384000) {
        *error = u"Unsupported WAV format: 16-bit PCM, mono or stereo, is needed"_qs;
        return std::nullopt;
    }
    return format;
}

} // namespace

// Walks the RIFF chunks, whatever comes before the audio, and gives the audio as 16 kHz mono.
std::vector<std::int16_t> WavFileAudioInput::decode(const QByteArray &bytes, QString *error)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        *error = u"Not a WAV file"_qs;
        return {};
    }
    std::optional<PcmFormat> format;
    qsizetype offset = 12;
    while (offset + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(offset, 4);
        const quint32 size = readUInt32(bytes, offset + 4);
        offset += 8;
        if (size > bytes.size() - offset) {
            *error = u"The WAV file is truncated"_qs;
            return {};
        }
        if (id == "fmt ") {
            format = readFormatChunk(bytes, offset, size, error);
            if (!format)
                return {};
        } else if (id == "data") {
            if (!format) {
                *error = u"The WAV file has audio data before its format"_qs;
                return {};
            }
            const qsizetype frames = size / (2 * format->channelCount);
            const char *data = bytes.constData() + offset;
            std::vector<float> mono(frames);
            for (qsizetype frame = 0; frame < frames; ++frame) {
                float sum = 0;
                for (int channel = 0; channel < format->channelCount; ++channel) {
                    const qsizetype at = (frame * format->channelCount + channel) * 2;
                    sum += qFromLittleEndian<qint16>(data + at);
                }
                mono[frame] = sum / format->channelCount;
            }
            // Linear interpolation is plenty for speech going to a recogniser.
            const double step = double(format->sampleRate) / AudioInput::sampleRate;
            const auto outputCount = qsizetype(std::floor((frames - 1) / step)) + 1;
            std::vector<std::int16_t> samples(frames > 0 ? outputCount : 0);
            for (size_t i = 0; i < samples.size(); ++i) {
                const double position = i * step;
                const auto before = qsizetype(position);
                const qsizetype after = std::min(before + 1, frames - 1);
                const double fraction = position - before;
                const double value = mono[before] + (mono[after] - mono[before]) * fraction;
                samples[i] = std::int16_t(std::lround(std::clamp(value, -32768.0, 32767.0)));
            }
            return samples;
        }
        // Chunks are padded to an even length.
        offset += qsizetype(size) + (size & 1);
    }
    *error = format ? u"The WAV file has no audio data"_qs : u"The WAV file has no format"_qs;
    return {};
}

WavFileAudioInput::WavFileAudioInput(const QString &path, Pace pace, QObject *parent)
    : AudioInput(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(pace == Pace::RealTime ? bufferIntervalMs : 0);
    connect(m_timer, &QTimer::timeout, this, &WavFileAudioInput::deliverNextBuffer);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = u"Cannot read %1: %2"_qs.arg(path, file.errorString());
        return;
    }
    const QByteArray bytes = file.read(maxFileBytes + 1);
    if (bytes.size() > maxFileBytes) {
        m_error = u"The WAV file is too large"_qs;
        return;
    }
    m_samples = decode(bytes, &m_error);
}

WavFileAudioInput::~WavFileAudioInput() = default;

AudioInput::Format WavFileAudioInput::format() const
{
    return m_error.isEmpty() ? Format{sampleRate, 1} : Format{};
}

bool WavFileAudioInput::start(QString *errorDescription)
{
    if (!m_error.isEmpty()) {
        if (errorDescription)
            *errorDescription = m_error;
        return false;
    }
    if (!m_running) {
        m_position = 0;
        m_running = true;
        m_timer->start();
    }
    return true;
}

void WavFileAudioInput::stop()
{
    m_running = false;
    m_timer->stop();
}

void WavFileAudioInput::deliverNextBuffer()
{
    const size_t count = std::min(size_t(bufferFrames), m_samples.size() - m_position);
    const std::span<const std::int16_t> buffer(m_samples.data() + m_position, count);
    m_position += count;
    const QPointer guard(this);
    if (count > 0)
        Q_EMIT bufferAvailable(buffer);
    // A receiver may have stopped or deleted the input.
    if (!guard || !m_running || m_position < m_samples.size())
        return;
    m_running = false;
    m_timer->stop();
    Q_EMIT finished();
}
