#pragma once

#include "speech/speechservices.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class AudioInput;
class QTimer;
class ScriptMatcher;
class SpeechRecognitionTask;
class SpeechRecognizerBackend;
struct TokenizedScript;

// The voice follower of one overlay window. It publishes how much of the script has been spoken,
// whether it listens, the latest transcript, a rolling window of input levels and an error text,
// and carries the two flags through which a window asks its controller for the next page or for
// closing. Main thread only.
class SpeechRecognizer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int recognizedCharCount READ recognizedCharCount WRITE setRecognizedCharCount NOTIFY
                   recognizedCharCountChanged)
    Q_PROPERTY(bool isListening READ isListening WRITE setIsListening NOTIFY isListeningChanged)
    Q_PROPERTY(std::optional<QString> error READ error NOTIFY errorChanged)
    Q_PROPERTY(QList<qreal> audioLevels READ audioLevels NOTIFY audioLevelsChanged)
    Q_PROPERTY(QString lastSpokenText READ lastSpokenText WRITE setLastSpokenText NOTIFY
                   lastSpokenTextChanged)
    Q_PROPERTY(
        bool shouldDismiss READ shouldDismiss WRITE setShouldDismiss NOTIFY shouldDismissChanged)
    Q_PROPERTY(bool shouldAdvancePage READ shouldAdvancePage WRITE setShouldAdvancePage NOTIFY
                   shouldAdvancePageChanged)
    Q_PROPERTY(QString sourceText READ sourceText NOTIFY sourceTextChanged)
    Q_PROPERTY(int matchStartOffset READ matchStartOffset NOTIFY matchStartOffsetChanged)
    Q_PROPERTY(int retryCount READ retryCount NOTIFY retryCountChanged)
    Q_PROPERTY(int sessionGeneration READ sessionGeneration NOTIFY sessionGenerationChanged)

public:
    // Automatic restarts allowed in a row; retryCount at this value forbids any further one.
    static constexpr int maxRetries = 10;
    // The level window always holds this many values, oldest first.
    static constexpr int audioLevelCount = 30;

    // Follows with the device's microphone and recogniser. Asks no permission and opens no
    // audio until listening starts.
    explicit SpeechRecognizer(QObject *parent = nullptr);
    explicit SpeechRecognizer(SpeechServices services, QObject *parent = nullptr);
    ~SpeechRecognizer() override;

    // Characters of sourceText counted as spoken; only moves forward while listening.
    int recognizedCharCount() const { return m_recognizedCharCount; }
    void setRecognizedCharCount(int count);
    bool isListening() const { return m_isListening; }
    void setIsListening(bool listening);
    // Text for the user after a failure.
    std::optional<QString> error() const { return m_error; }
    // Input levels from 0 to 1.
    QList<qreal> audioLevels() const { return m_audioLevels; }
    // The latest transcript of the current recognition session.
    QString lastSpokenText() const { return m_lastSpokenText; }
    void setLastSpokenText(const QString &text);
    // Requests to the window's controller, which clears them once handled.
    bool shouldDismiss() const { return m_shouldDismiss; }
    void setShouldDismiss(bool dismiss);
    bool shouldAdvancePage() const { return m_shouldAdvancePage; }
    void setShouldAdvancePage(bool advance);

    // The script being followed: its words joined by single spaces.
    QString sourceText() const { return m_sourceText; }
    // Where in sourceText the current recognition session's transcript starts.
    int matchStartOffset() const { return m_matchStartOffset; }
    // Automatic restarts since the last recognised result.
    int retryCount() const { return m_retryCount; }
    // Number of the current listening run; results of an earlier run are stale.
    int sessionGeneration() const { return m_sessionGeneration; }

    // Moves the reading position outright; a running session restarts from there.
    void setPosition(int offset);
    // Follows a new script from its start, once the microphone and speech recognition are
    // allowed.
    void startListening(const QString &text);
    // True when the user withdrew the microphone or speech permission; the session is then
    // torn down and the error says what to re-enable.
    bool checkPermissionsRevoked();
    // Ends listening for good: nothing pending may restart it.
    void stopListening();
    // Listens again from the position reached, with a fresh retry budget.
    void resumeListening();
    // Releases the current recognition session. Leaves isListening alone, so callers that end a
    // window's listening clear it themselves.
    void tearDownSession();
    // Starts a session once after the delay, replacing any restart already scheduled.
    void scheduleRestart(double delaySeconds);
    // Builds and starts one recognition session.
    void startSession();
    // Restarts soon without losing the position reached.
    void restartKeepingPosition();
    // Moves recognizedCharCount forward to where the transcript reaches, never back.
    void updateProgress(const QString &transcript);
    // How far past matchStartOffset the transcript reaches, letter by letter and word by word.
    int matchCharacters(const QString &transcript) const;
    int matchWords(const QString &transcript) const;

    // Restart delays are multiplied by this; tests use 0 to run restarts on the next event loop
    // pass instead of seconds later.
    void setRestartDelayScale(double scale) { m_restartDelayScale = scale; }
    // The delay the latest scheduleRestart asked for, in seconds, before scaling.
    double lastRestartDelay() const { return m_lastRestartDelay; }

Q_SIGNALS:
    void recognizedCharCountChanged();
    void isListeningChanged();
    void errorChanged();
    void audioLevelsChanged();
    void lastSpokenTextChanged();
    void shouldDismissChanged();
    void shouldAdvancePageChanged();
    void sourceTextChanged();
    void matchStartOffsetChanged();
    void retryCountChanged();
    void sessionGenerationChanged();

private:
    void setError(const std::optional<QString> &error);
    void setScript(const TokenizedScript &script);
    void setMatchStartOffset(int offset);
    void setRetryCount(int count);
    bool isCurrentRun(int generation) const;
    void requestSpeechAuthorization(int generation);
    void handleTranscript(const SpeechRecognitionTask *task, int generation,
                          const QString &transcript);
    void handleRecognitionError(const SpeechRecognitionTask *task, int generation);
    void appendAudioLevel(qreal level);

    SpeechServices m_services;

    int m_recognizedCharCount = 0;
    bool m_isListening = false;
    std::optional<QString> m_error;
    QList<qreal> m_audioLevels = QList<qreal>(audioLevelCount, 0.0);
    QString m_lastSpokenText;
    bool m_shouldDismiss = false;
    bool m_shouldAdvancePage = false;
    // Shared so that a task whose deletion is still pending keeps its recogniser alive.
    std::shared_ptr<SpeechRecognizerBackend> m_speechRecognizer;
    // Request and task of the current recognition session, owned by this object.
    QPointer<SpeechRecognitionTask> m_recognitionTask;
    // The microphone of the current session, owned by this object; none before the first.
    QPointer<AudioInput> m_audioEngine;
    QString m_sourceText;
    std::unique_ptr<const ScriptMatcher> m_matcher;
    int m_matchStartOffset = 0;
    int m_retryCount = 0;
    QMetaObject::Connection m_configurationChangeObserver;
    QMetaObject::Connection m_inputTap;
    // The scheduled restart of listening, if any.
    QTimer *const m_pendingRestart;
    int m_sessionGeneration = 0;
    double m_restartDelayScale = 1.0;
    double m_lastRestartDelay = 0.0;
};
