#include "speechrecognizer.h"

#include "platform/observable.h"

#include <QTimer>

SpeechRecognizer::SpeechRecognizer(QObject *parent)
    : QObject(parent)
    , m_pendingRestart(new QTimer(this))
{
    m_pendingRestart->setObjectName(QStringLiteral("pendingRestart"));
    m_pendingRestart->setSingleShot(true);
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

void SpeechRecognizer::stopListening()
{
    setIsListening(false);
    if (Observable::assign(m_sourceText, QString()))
        Q_EMIT sourceTextChanged();
    // An error already on its way must not find room for another restart.
    if (Observable::assign(m_retryCount, maxRetries))
        Q_EMIT retryCountChanged();
    tearDownSession();
}

void SpeechRecognizer::tearDownSession()
{
    // A restart still scheduled would start a new session behind the caller's back.
    m_pendingRestart->stop();
}
