#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class QTimer;

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

    explicit SpeechRecognizer(QObject *parent = nullptr);

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

    // Ends listening for good: nothing pending may restart it.
    void stopListening();
    // Releases the current recognition session. Leaves isListening alone, so callers that end a
    // window's listening clear it themselves.
    void tearDownSession();

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
    int m_recognizedCharCount = 0;
    bool m_isListening = false;
    std::optional<QString> m_error;
    QList<qreal> m_audioLevels = QList<qreal>(audioLevelCount, 0.0);
    QString m_lastSpokenText;
    bool m_shouldDismiss = false;
    bool m_shouldAdvancePage = false;
    QString m_sourceText;
    int m_matchStartOffset = 0;
    int m_retryCount = 0;
    int m_sessionGeneration = 0;
    // The scheduled restart of listening, if any.
    QTimer *const m_pendingRestart;
};
