#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <span>

// One recognition session: audio goes in, transcripts come out. Everything is called and
// signalled on the thread that made the task (the main thread); decoding runs elsewhere.
class SpeechRecognitionTask : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~SpeechRecognitionTask() override;

    // 16 kHz mono signed 16-bit samples, copied before the call returns.
    virtual void appendAudio(std::span<const std::int16_t> samples) = 0;
    // No more audio will come; the remaining audio is decoded and a final transcript follows.
    virtual void endAudio() = 0;
    // Stops at once: no signal of this task is emitted after it returns.
    virtual void cancel() = 0;

Q_SIGNALS:
    // The whole text heard since the task began, revised as decoding goes on.
    void transcriptChanged(const QString &transcript);
    // Decoding failed or ended for good; no transcript follows.
    void failed(const QString &description);
};

// A recogniser for one locale, made by a SpeechEngine.
class SpeechRecognizerBackend
{
public:
    virtual ~SpeechRecognizerBackend();

    // Whether it can recognise right now.
    virtual bool isAvailable() const = 0;
    // Whether it runs without sending audio anywhere.
    virtual bool supportsOnDeviceRecognition() const = 0;
    // Starts a session biased towards `script` (words the reader is expected to say). Null when
    // it cannot start; `errorDescription` then says why.
    virtual std::unique_ptr<SpeechRecognitionTask> startTask(const QString &script,
                                                             QString *errorDescription)
        = 0;
};

// The speech recognition the device offers.
class SpeechEngine
{
public:
    virtual ~SpeechEngine();

    // Locale identifiers such as "en_US" that a recogniser can be made for, in no set order.
    virtual QStringList supportedLocales() const = 0;
    // Null when no recogniser can be made for the locale.
    virtual std::unique_ptr<SpeechRecognizerBackend> recognizer(const QString &localeId) const = 0;

    // On-device recognition with the models installed on this machine.
    static const SpeechEngine &system();
};
