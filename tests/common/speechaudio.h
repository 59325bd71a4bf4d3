#pragma once

#include "platform/linux/espeaklibrary.h"
#include "platform/wavfileaudioinput.h"

#include <espeak-ng/speak_lib.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

// Speech made at test time, so the tests need no recordings in the repository.
namespace TestSupport {

// When one word of a synthesised reading was spoken.
struct SpokenWord
{
    // The word's first UTF-16 index in the text and its length; espeak-ng may split a token such
    // as "$240" into several spoken words, which then share one entry.
    qsizetype textStart = 0;
    qsizetype textLength = 0;
    double startSeconds = 0;
    // The last audible sample of the word, before any pause.
    double endSeconds = 0;
};

struct Reading
{
    // 16 kHz mono signed 16-bit, as the recogniser takes it.
    QString wav;
    std::vector<SpokenWord> words;
    double seconds = 0;
};

namespace Detail {

inline bool runSpeechTool(const QString &program, const QStringList &arguments, QString *error)
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        *error = program + QStringLiteral(" is not installed; scripts/install-deps installs it");
        return false;
    }
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        *error = program + QStringLiteral(" failed: ")
                 + QString::fromLocal8Bit(process.readAllStandardError()).trimmed()
                 + process.errorString();
        return false;
    }
    return true;
}

struct Synthesis
{
    std::vector<std::int16_t> samples;
    // Character position (1-based, in scalars) and first sample of each word event.
    std::vector<std::pair<int, int>> wordEvents;
};

inline Synthesis *&currentSynthesis()
{
    static Synthesis *synthesis = nullptr;
    return synthesis;
}

inline int collect(short *samples, int count, espeak_EVENT *events)
{
    Synthesis &synthesis = *currentSynthesis();
    if (samples)
        synthesis.samples.insert(synthesis.samples.end(), samples, samples + count);
    for (; events && events->type != espeakEVENT_LIST_TERMINATED; ++events) {
        if (events->type == espeakEVENT_WORD)
            synthesis.wordEvents.emplace_back(events->text_position, events->sample);
    }
    return 0;
}

inline QByteArray wavBytes(const std::vector<std::int16_t> &samples, int sampleRate)
{
    const auto dataBytes = quint32(samples.size() * 2);
    QByteArray bytes;
    const auto append32 = [&bytes](quint32 value) {
        bytes.append(reinterpret_cast<const char *>(&value), 4); // little-endian host
    };
    const auto append16
        = [&bytes](quint16 value) { bytes.append(reinterpret_cast<const char *>(&value), 2); };
    bytes += "RIFF";
    append32(36 + dataBytes);
    bytes += "WAVEfmt ";
    append32(16);
    append16(1);
    append16(1);
    append32(quint32(sampleRate));
    append32(quint32(sampleRate) * 2);
    append16(2);
    append16(16);
    bytes += "data";
    append32(dataBytes);
    bytes.append(reinterpret_cast<const char *>(samples.data()), qsizetype(dataBytes));
    return bytes;
}

inline bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    *error = QStringLiteral("Cannot write ") + path + QStringLiteral(": ") + file.errorString();
    return false;
}

} // namespace Detail

// A microphone never gives exact digital silence: seeded ±1 LSB dither and a noise floor near
// -60 dBFS, added to every sample.
inline void addMicrophoneNoise(std::vector<std::int16_t> &samples, quint32 seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> floor(0.0, 32768.0 * std::pow(10.0, -60.0 / 20.0));
    std::uniform_int_distribution<int> dither(-1, 1);
    for (std::int16_t &sample : samples) {
        const double value = sample + std::round(floor(random)) + dither(random);
        sample = std::int16_t(std::clamp(value, -32768.0, 32767.0));
    }
}

// Reads `text` aloud with espeak-ng (`voice` such as "en-us" or "en-us+f2", at `wordsPerMinute`),
// converts it with sox to 16 kHz mono signed 16-bit, adds microphone noise drawn from `seed` and
// writes it into `directory`. Returns the WAV and when each word was spoken, or an empty `wav`
// with the reason in `error`. The tools are part of the project's dependencies, so a caller
// should fail on an empty path, not skip.
inline Reading synthesiseReading(const QString &directory, const QString &text,
                                 const QString &voice, int wordsPerMinute, quint32 seed,
                                 QString *error)
{
    Reading reading;
    const QByteArray key = voice.toUtf8() + '\n' + QByteArray::number(wordsPerMinute) + '\n'
                           + QByteArray::number(seed) + '\n' + text.toUtf8();
    const QString stem = QDir(directory).filePath(
        QStringLiteral("speech-")
        + QString::fromLatin1(
            QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16)));

    Detail::Synthesis synthesis;
    int sampleRate = 0;
    {
        bool ready = false;
        const auto lock = EspeakLibrary::lock(&ready);
        if (!ready) {
            *error = QStringLiteral("espeak-ng has no data; scripts/install-deps installs it");
            return reading;
        }
        sampleRate = EspeakLibrary::sampleRate();
        const QByteArray utf8 = text.toUtf8();
        const EspeakLibrary::Functions &espeak = EspeakLibrary::functions();
        Detail::currentSynthesis() = &synthesis;
        espeak.setSynthCallback(Detail::collect);
        const bool spoken = EspeakLibrary::useVoice(voice.toUtf8())
                            && espeak.setParameter(espeakRATE, wordsPerMinute, 0) == EE_OK
                            && espeak.synth(utf8.constData(), size_t(utf8.size()) + 1, 0,
                                            POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr)
                                   == EE_OK;
        espeak.setSynthCallback(nullptr);
        Detail::currentSynthesis() = nullptr;
        if (!spoken || synthesis.samples.empty()) {
            *error = QStringLiteral("espeak-ng could not speak with the voice ") + voice;
            return reading;
        }
    }

    // Word events count characters in scalars from 1; the caller's text is UTF-16.
    std::vector<qsizetype> scalarStarts;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isLowSurrogate())
            scalarStarts.push_back(i);
    }
    const auto wordAt = [&](qsizetype index) {
        qsizetype start = index;
        while (start > 0 && !text[start - 1].isSpace())
            --start;
        qsizetype end = index;
        while (end < text.size() && !text[end].isSpace())
            ++end;
        return std::pair(start, end - start);
    };
    const auto &events = synthesis.wordEvents;
    for (size_t i = 0; i < events.size(); ++i) {
        const size_t scalar = size_t(std::max(1, events[i].first) - 1);
        if (scalar >= scalarStarts.size())
            continue;
        const auto [start, length] = wordAt(scalarStarts[scalar]);
        const int first = events[i].second;
        const int next
            = i + 1 < events.size() ? events[i + 1].second : int(synthesis.samples.size());
        int last = std::min<int>(next, int(synthesis.samples.size())) - 1;
        while (last > first && std::abs(synthesis.samples[size_t(last)]) < 64)
            --last;
        const double startSeconds = double(first) / sampleRate;
        const double endSeconds = double(last + 1) / sampleRate;
        if (!reading.words.empty() && reading.words.back().textStart == start) {
            reading.words.back().endSeconds = endSeconds;
            continue;
        }
        reading.words.push_back({start, length, startSeconds, endSeconds});
    }

    const QString spokenWav = stem + QStringLiteral("-espeak.wav");
    const QString converted = stem + QStringLiteral("-16k.wav");
    if (!Detail::writeFile(spokenWav, Detail::wavBytes(synthesis.samples, sampleRate), error)
        || !Detail::runSpeechTool(QStringLiteral("sox"),
                                  {spokenWav, QStringLiteral("-r"), QStringLiteral("16000"),
                                   QStringLiteral("-c"), QStringLiteral("1"), QStringLiteral("-b"),
                                   QStringLiteral("16"), QStringLiteral("-e"),
                                   QStringLiteral("signed-integer"), converted},
                                  error)) {
        return reading;
    }
    std::vector<std::int16_t> samples = WavFileAudioInput(converted).samples();
    QFile::remove(spokenWav);
    QFile::remove(converted);
    if (samples.empty()) {
        *error = QStringLiteral("sox wrote no audio");
        return reading;
    }
    addMicrophoneNoise(samples, seed);
    const QString wav = stem + QStringLiteral(".wav");
    if (!Detail::writeFile(wav, Detail::wavBytes(samples, AudioInput::sampleRate), error))
        return reading;
    reading.seconds = double(samples.size()) / AudioInput::sampleRate;
    reading.wav = wav;
    return reading;
}

// The same, for callers that only need the WAV; the noise is drawn from seed 1.
inline QString synthesiseSpeech(const QString &directory, const QString &text,
                                const QString &voice = QStringLiteral("en-us"),
                                int wordsPerMinute = 150, QString *error = nullptr)
{
    QString ignored;
    return synthesiseReading(directory, text, voice, wordsPerMinute, 1, error ? error : &ignored)
        .wav;
}

} // namespace TestSupport
