#pragma once

// Stand-ins for the device services of the voice follower. Each records what the follower asked
// and lets the test decide when and how the device answers. They emit their bases' signals and
// declare none of their own, so they need no moc run of this header.

#include "platform/audioinput.h"
#include "platform/languagedetector.h"
#include "platform/permissions.h"
#include "platform/speechengine.h"
#include "speech/speechservices.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

// A recognition session that says whatever the test makes it say. Its emit helpers ignore
// cancel() on purpose: a result already in flight when a session ends must still be dropped.
class FakeRecognitionTask : public SpeechRecognitionTask
{
public:
    explicit FakeRecognitionTask(QString script)
        : script(std::move(script))
    {}

    void appendAudio(std::span<const std::int16_t> samples) override
    {
        appendedFrames += qsizetype(samples.size());
    }
    void endAudio() override { endedAudio = true; }
    void cancel() override { cancelled = true; }

    void hear(const QString &transcript) { Q_EMIT transcriptChanged(transcript); }
    void fail(const QString &description = QStringLiteral("no speech"))
    {
        Q_EMIT failed(description);
    }

    const QString script;
    qsizetype appendedFrames = 0;
    bool endedAudio = false;
    bool cancelled = false;
};

// What a fake recogniser for one locale can do.
struct FakeRecognizerTraits
{
    bool available = true;
    bool onDevice = true;
    // Non-empty: startTask fails with this description.
    QString taskStartError;
};

// Recognisers for the locales the test lists; every task started is kept for the test.
class FakeSpeechEngine : public SpeechEngine
{
public:
    class Backend : public SpeechRecognizerBackend
    {
    public:
        Backend(const FakeSpeechEngine &engine, FakeRecognizerTraits traits)
            : m_engine(engine)
            , m_traits(std::move(traits))
        {}
        bool isAvailable() const override { return m_traits.available; }
        bool supportsOnDeviceRecognition() const override { return m_traits.onDevice; }
        std::unique_ptr<SpeechRecognitionTask> startTask(const QString &script,
                                                         QString *errorDescription) override
        {
            if (!m_traits.taskStartError.isEmpty()) {
                *errorDescription = m_traits.taskStartError;
                return nullptr;
            }
            auto task = std::make_unique<FakeRecognitionTask>(script);
            m_engine.tasks.append(task.get());
            return task;
        }

    private:
        const FakeSpeechEngine &m_engine;
        FakeRecognizerTraits m_traits;
    };

    QStringList supportedLocales() const override { return recognizers.keys(); }
    std::unique_ptr<SpeechRecognizerBackend> recognizer(const QString &localeId) const override
    {
        requestedLocales.append(localeId);
        const auto found = recognizers.constFind(localeId);
        if (found == recognizers.cend())
            return nullptr;
        return std::make_unique<Backend>(*this, *found);
    }

    // The newest task, or null when none was started.
    FakeRecognitionTask *lastTask() const { return tasks.isEmpty() ? nullptr : tasks.last(); }

    QHash<QString, FakeRecognizerTraits> recognizers{{QStringLiteral("en_US"), {}}};
    mutable QStringList requestedLocales;
    mutable QList<QPointer<FakeRecognitionTask>> tasks;
};

// A microphone whose format and start-up the test sets; it delivers what the test feeds it.
class FakeAudioInput : public AudioInput
{
public:
    FakeAudioInput(Format format, QString startError)
        : m_format(format)
        , m_startError(std::move(startError))
    {}

    Format format() const override { return m_format; }
    bool start(QString *errorDescription) override
    {
        ++startCalls;
        if (!m_startError.isEmpty()) {
            *errorDescription = m_startError;
            return false;
        }
        m_running = true;
        return true;
    }
    void stop() override { m_running = false; }
    bool isRunning() const override { return m_running; }

    void feed(const std::vector<std::int16_t> &samples)
    {
        Q_EMIT bufferAvailable(std::span<const std::int16_t>(samples));
    }
    void changeConfiguration() { Q_EMIT configurationChanged(); }

    int startCalls = 0;

private:
    Format m_format;
    QString m_startError;
    bool m_running = false;
};

// Makes a FakeAudioInput for each session with the format and start failure set at that moment.
struct FakeAudioDevices
{
    std::unique_ptr<AudioInput> make()
    {
        auto input = std::make_unique<FakeAudioInput>(format, startError);
        made.append(input.get());
        return input;
    }
    FakeAudioInput *last() const { return made.isEmpty() ? nullptr : made.last().data(); }

    AudioInput::Format format{AudioInput::sampleRate, 1};
    QString startError;
    QList<QPointer<FakeAudioInput>> made;
};

// Answers every status as set; the answers to requests wait until the test releases them, and
// reach their context only while it lives, as the real permissions promise.
class FakePermissions : public Permissions
{
public:
    Status microphoneStatus() const override { return microphone; }
    void requestMicrophoneAccess(QObject *context, std::function<void(bool)> completion) override
    {
        microphoneRequests.append({context, std::move(completion)});
    }
    Status speechRecognitionStatus() const override { return speech; }
    void requestSpeechRecognitionAuthorization(QObject *context,
                                               std::function<void(Status)> completion) override
    {
        speechRequests.append({context, std::move(completion)});
    }
    void openMicrophonePrivacyPane() const override { ++microphonePanesOpened; }
    void openSpeechPrivacyPane() const override { ++speechPanesOpened; }

    // Answers the oldest pending microphone request; false when none is pending.
    bool answerMicrophone(bool granted) { return answer(microphoneRequests, granted); }
    bool answerSpeech(Status status) { return answer(speechRequests, status); }
    // Both requests answered yes, as a desktop that asks nothing would.
    void grantAll()
    {
        while (answerMicrophone(true) || answerSpeech(Status::Authorized)) {
        }
    }

    template <typename Answer>
    struct Request
    {
        QPointer<QObject> context;
        std::function<void(Answer)> completion;
    };

    Status microphone = Status::Authorized;
    Status speech = Status::Authorized;
    QList<Request<bool>> microphoneRequests;
    QList<Request<Status>> speechRequests;
    mutable int microphonePanesOpened = 0;
    mutable int speechPanesOpened = 0;

private:
    template <typename Answer>
    static bool answer(QList<Request<Answer>> &requests, Answer value)
    {
        if (requests.isEmpty())
            return false;
        const Request<Answer> request = requests.takeFirst();
        if (request.context)
            request.completion(value);
        return true;
    }
};

class FakeLanguageDetector : public LanguageDetector
{
public:
    std::optional<QString> dominantLanguage(const QString &) const override { return language; }

    std::optional<QString> language = QStringLiteral("en");
};

// One fake of each, wired into the services a follower takes.
struct FakeSpeechDevice
{
    SpeechServices services()
    {
        return {&engine, &detector, &permissions, [this] { return audio.make(); }};
    }

    FakeSpeechEngine engine;
    FakeLanguageDetector detector;
    FakePermissions permissions;
    FakeAudioDevices audio;
};
