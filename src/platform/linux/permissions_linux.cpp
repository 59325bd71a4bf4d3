#include "permissions_linux.h"

#include <QTimer>

#include <utility>

// Answers come later, as the interface promises, so callers behave the same on every desktop.

void LinuxPermissions::requestMicrophoneAccess(QObject *context,
                                               std::function<void(bool granted)> completion)
{
    QTimer::singleShot(0, context, [completion = std::move(completion)] { completion(true); });
}

void LinuxPermissions::requestSpeechRecognitionAuthorization(
    QObject *context, std::function<void(Status status)> completion)
{
    QTimer::singleShot(0, context,
                       [completion = std::move(completion)] { completion(Status::Authorized); });
}
