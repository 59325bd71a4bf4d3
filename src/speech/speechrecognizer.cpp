#include "speechrecognizer.h"

#include "platform/audioinput.h"
#include "platform/observable.h"
#include "platform/permissions.h"
#include "platform/speechengine.h"
#include "settings/localization.h"
#include "settings/tokenizer.h"
#include "speech/speechlocale.h"
#include "speech/speechmatching.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace {

bool isWithheld(Permissions::Status status)
{
    return status == Permissions::Status::Restricted || status == Permissions::Status::Denied;
}

QString microphoneDeniedText()
{
    return QStringLiteral("Microphone access denied. Open System Settings → Privacy & Security → "
                          "Microphone to allow Brivel.");
}

// Root mean square of the samples scaled to [-1, 1], boosted so that speech fills the meter.
qreal inputLevel(std::span<const std::int16_t> samples)
{
    if (samples.empty())
        return 0.0;
    float sumOfSquares = 0.0f;
    for (const std::int16_t sample : samples) {
        const float value = float(sample) / 32768.0f;
        sumOfSquares += value * value;
    }
    const float rms = std::sqrt(sumOfSquares / float(samples.size()));
    return qreal(std::min(rms * 5.0f, 1.0f));
}

} // namespace

SpeechRecognizer::SpeechRecognizer(QObject *parent)
    : SpeechRecognizer(SpeechServices::system(), parent)
{}

SpeechRecognizer::SpeechRecognizer(SpeechServices services, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_pendingRestart(new QTimer(this))
{
    m_pendingRestart->setObjectName(QStringLiteral("pendingRestart"));
    m_pendingRestart->setSingleShot(true);
    connect(m_pendingRestart, &QTimer::timeout, this, &SpeechRecognizer::startSession);
}

SpeechRecognizer::~SpeechRecognizer()
{
    // Stops the decoder and the microphone before the children holding them go.
    tearDownSession();
}

void SpeechRecognizer::setRecognizedCharCount(int count)
{
    if (Observable::assign(m_recognizedCharCount, count))
        Q_EMIT recognizedCharCountChanged();
}

void SpeechRecognizer::setIsListening(bool listening)
{
    if (Observable::assign(m_isListening, listening))
        Q_EMIT isListeningChanged();
}

void SpeechRecognizer::setLastSpokenText(const QString &text)
{
    if (Observable::assign(m_lastSpokenText, text))
        Q_EMIT lastSpokenTextChanged();
}

void SpeechRecognizer::setShouldDismiss(bool dismiss)
{
    if (Observable::assign(m_shouldDismiss, dismiss))
        Q_EMIT shouldDismissChanged();
}

void SpeechRecognizer::setShouldAdvancePage(bool advance)
{
    if (Observable::assign(m_shouldAdvancePage, advance))
        Q_EMIT shouldAdvancePageChanged();
}

void SpeechRecognizer::setError(const std::optional<QString> &error)
{
    if (Observable::assign(m_error, error))
        Q_EMIT errorChanged();
}

void SpeechRecognizer::setScript(const TokenizedScript &script)
{
    // The matcher indexes the script once, so that each transcript costs the same on any length.
    m_matcher = std::make_unique<const ScriptMatcher>(script);
    if (Observable::assign(m_sourceText, m_matcher->sourceText()))
        Q_EMIT sourceTextChanged();
}

void SpeechRecognizer::setMatchStartOffset(int offset)
{
    if (Observable::assign(m_matchStartOffset, offset))
        Q_EMIT matchStartOffsetChanged();
}

void SpeechRecognizer::setRetryCount(int count)
{
    if (Observable::assign(m_retryCount, count))
        Q_EMIT retryCountChanged();
}

void SpeechRecognizer::setPosition(int offset)
{
    setRecognizedCharCount(offset);
    setMatchStartOffset(offset);
    setRetryCount(0);
    if (m_isListening)
        restartKeepingPosition();
}

void SpeechRecognizer::startListening(const QString &text)
{
    tearDownSession();
    setScript(tokenizeScript(text));
    setRecognizedCharCount(0);
    setMatchStartOffset(0);
    setRetryCount(0);
    setError(std::nullopt);
    ++m_sessionGeneration;
    Q_EMIT sessionGenerationChanged();

    const int generation = m_sessionGeneration;
    Permissions &permissions = *m_services.permissions;
    switch (permissions.microphoneStatus()) {
    case Permissions::Status::Restricted:
    case Permissions::Status::Denied:
        setError(microphoneDeniedText());
        permissions.openMicrophonePrivacyPane();
        return;
    case Permissions::Status::NotDetermined:
        permissions.requestMicrophoneAccess(this, [this, generation](bool granted) {
            if (!isCurrentRun(generation))
                return;
            if (granted)
                requestSpeechAuthorization(generation);
            else
                setError(microphoneDeniedText());
        });
        return;
    case Permissions::Status::Authorized:
        break;
    }
    requestSpeechAuthorization(generation);
}

bool SpeechRecognizer::isCurrentRun(int generation) const
{
    // A late answer must not open the microphone after the user stopped or started anew.
    return generation == m_sessionGeneration && !m_sourceText.isEmpty();
}

void SpeechRecognizer::requestSpeechAuthorization(int generation)
{
    m_services.permissions->requestSpeechRecognitionAuthorization(
        this, [this, generation](Permissions::Status status) {
            if (!isCurrentRun(generation))
                return;
            if (status == Permissions::Status::Authorized) {
                startSession();
                return;
            }
            setError(QStringLiteral("Speech recognition not authorized. Open System Settings → "
                                    "Privacy & Security → Speech Recognition to allow Brivel."));
            m_services.permissions->openSpeechPrivacyPane();
        });
}

bool SpeechRecognizer::checkPermissionsRevoked()
{
    const Permissions &permissions = *m_services.permissions;
    if (isWithheld(permissions.microphoneStatus())) {
        setError(localizedString("Se desactivó el acceso al micrófono. Abrí Ajustes del Sistema → "
                                 "Privacidad y Seguridad → Micrófono para reactivarlo."));
    } else if (isWithheld(permissions.speechRecognitionStatus())) {
        setError(localizedString("Se desactivó el reconocimiento de voz. Abrí Ajustes del Sistema "
                                 "→ Privacidad y Seguridad → Reconocimiento de Voz para "
                                 "reactivarlo."));
    } else {
        return false;
    }
    setIsListening(false);
    tearDownSession();
    return true;
}

void SpeechRecognizer::stopListening()
{
    setIsListening(false);
    setScript({});
    // An error already on its way must not find room for another restart.
    setRetryCount(maxRetries);
    tearDownSession();
}

void SpeechRecognizer::resumeListening()
{
    setRetryCount(0);
    setMatchStartOffset(m_recognizedCharCount);
    setShouldDismiss(false);
    startSession();
}

void SpeechRecognizer::tearDownSession()
{
    // A restart still scheduled would start a new session behind the caller's back.
    m_pendingRestart->stop();
    if (m_configurationChangeObserver) {
        disconnect(m_configurationChangeObserver);
        m_configurationChangeObserver = {};
    }
    if (SpeechRecognitionTask *task = m_recognitionTask) {
        m_recognitionTask = nullptr;
        task->endAudio();
        task->cancel();
        // Whatever the task still had in flight belongs to a session that no longer exists.
        disconnect(task, nullptr, this, nullptr);
        // Later, not now: this may run inside one of the task's own signals.
        task->deleteLater();
    }
    if (m_audioEngine && m_audioEngine->isRunning())
        m_audioEngine->stop();
    if (m_inputTap) {
        disconnect(m_inputTap);
        m_inputTap = {};
    }
}

void SpeechRecognizer::scheduleRestart(double delaySeconds)
{
    m_lastRestartDelay = delaySeconds;
    const auto delay = std::chrono::milliseconds(
        std::llround(std::max(0.0, delaySeconds * m_restartDelayScale) * 1000.0));
    // Restarting a running single-shot timer replaces the restart scheduled before.
    m_pendingRestart->start(delay);
}

void SpeechRecognizer::startSession()
{
    tearDownSession();
    if (m_audioEngine) {
        m_audioEngine->deleteLater();
        m_audioEngine = nullptr;
    }
    if (std::unique_ptr<AudioInput> input = m_services.makeAudioInput()) {
        m_audioEngine = input.release();
        m_audioEngine->setParent(this);
    }

    m_speechRecognizer = m_services.engine->recognizer(
        preferredSpeechLocale(m_sourceText, *m_services.languageDetector, *m_services.engine));
    if (!m_speechRecognizer || !m_speechRecognizer->isAvailable()) {
        setError(QStringLiteral("Speech recognizer not available"));
        return;
    }
    if (!m_speechRecognizer->supportsOnDeviceRecognition()) {
        setError(localizedString("Este idioma no está disponible sin conexión. Abrí Ajustes del "
                                 "Sistema → Teclado → Dictado para agregarlo."));
        setIsListening(false);
        return;
    }

    QString taskError;
    std::unique_ptr<SpeechRecognitionTask> newTask = m_speechRecognizer->startTask(
        m_matcher ? m_matcher->spokenText() : QString(), &taskError);
    // A recogniser that cannot take a session is as good as none.
    if (!newTask) {
        setError(QStringLiteral("Speech recognizer not available"));
        return;
    }
    SpeechRecognitionTask *task = newTask.release();
    task->setParent(this);
    m_recognitionTask = task;
    // A task whose deletion is pending may still use its recogniser, which a next session
    // replaces; the connection's functor holds it until the task is gone.
    connect(task, &QObject::destroyed, task, [recognizer = m_speechRecognizer] {});

    AudioInput *input = m_audioEngine;
    const AudioInput::Format format = input ? input->format() : AudioInput::Format{};
    if (format.sampleRate <= 0 || format.channelCount == 0) {
        if (m_retryCount > maxRetries - 1) {
            setError(QStringLiteral("Audio input unavailable"));
            setIsListening(false);
        } else {
            setRetryCount(m_retryCount + 1);
            scheduleRestart(0.5);
        }
        return;
    }

    m_configurationChangeObserver = connect(input, &AudioInput::configurationChanged, this, [this] {
        if (!m_sourceText.isEmpty())
            restartKeepingPosition();
    });
    m_inputTap = connect(input, &AudioInput::bufferAvailable, this,
                         [this, task = QPointer(task)](std::span<const std::int16_t> samples) {
                             if (task)
                                 task->appendAudio(samples);
                             appendAudioLevel(inputLevel(samples));
                         });

    const int generation = m_sessionGeneration;
    connect(task, &SpeechRecognitionTask::transcriptChanged, this,
            [this, task, generation](const QString &transcript) {
                handleTranscript(task, generation, transcript);
            });
    connect(task, &SpeechRecognitionTask::failed, this,
            [this, task, generation] { handleRecognitionError(task, generation); });

    QString startError;
    if (input->start(&startError)) {
        setIsListening(true);
        return;
    }
    if (checkPermissionsRevoked())
        return;
    if (m_retryCount > maxRetries - 1) {
        setError(QStringLiteral("Audio engine failed: ") + startError);
        setIsListening(false);
    } else {
        setRetryCount(m_retryCount + 1);
        scheduleRestart(0.5);
    }
}

void SpeechRecognizer::handleTranscript(const SpeechRecognitionTask *task, int generation,
                                        const QString &transcript)
{
    // Results of an earlier session would be matched again from the new start offset.
    if (task != m_recognitionTask || generation != m_sessionGeneration)
        return;
    setRetryCount(0);
    setLastSpokenText(transcript);
    updateProgress(transcript);
}

void SpeechRecognizer::handleRecognitionError(const SpeechRecognitionTask *task, int generation)
{
    if (task != m_recognitionTask || generation != m_sessionGeneration)
        return;
    if (checkPermissionsRevoked())
        return;
    if (m_isListening && !m_shouldDismiss && !m_sourceText.isEmpty()
        && m_retryCount <= maxRetries - 1) {
        setRetryCount(m_retryCount + 1);
        setMatchStartOffset(m_recognizedCharCount);
        scheduleRestart(std::min(m_retryCount * 0.5, 1.5));
    } else {
        setIsListening(false);
    }
}

void SpeechRecognizer::appendAudioLevel(qreal level)
{
    QList<qreal> levels = m_audioLevels;
    levels.append(level);
    if (levels.size() > audioLevelCount)
        levels.removeFirst();
    if (Observable::assign(m_audioLevels, levels))
        Q_EMIT audioLevelsChanged();
}

void SpeechRecognizer::restartKeepingPosition()
{
    setRetryCount(0);
    setMatchStartOffset(m_recognizedCharCount);
    setIsListening(true);
    tearDownSession();
    scheduleRestart(0.5);
}

void SpeechRecognizer::updateProgress(const QString &transcript)
{
    const int candidate
        = m_matchStartOffset + std::max(matchCharacters(transcript), matchWords(transcript));
    const int reached = std::min(candidate, m_matcher ? m_matcher->characterCount() : 0);
    // A revised, shorter hypothesis, or a position set past the end, never moves it back.
    if (reached > m_recognizedCharCount)
        setRecognizedCharCount(reached);
}

int SpeechRecognizer::matchCharacters(const QString &transcript) const
{
    return m_matcher ? m_matcher->matchCharacters(m_matchStartOffset, transcript) : 0;
}

int SpeechRecognizer::matchWords(const QString &transcript) const
{
    return m_matcher ? m_matcher->matchWords(m_matchStartOffset, transcript) : 0;
}
