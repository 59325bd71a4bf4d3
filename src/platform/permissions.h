#pragma once

#include <functional>

class QObject;

// Access to the microphone and to speech recognition, as the desktop grants it.
class Permissions
{
public:
    enum class Status { NotDetermined, Restricted, Denied, Authorized };

    virtual ~Permissions();

    virtual Status microphoneStatus() const = 0;
    // The answer arrives later on the main thread, and only while `context` lives.
    virtual void requestMicrophoneAccess(QObject *context,
                                         std::function<void(bool granted)> completion)
        = 0;
    virtual Status speechRecognitionStatus() const = 0;
    virtual void
    requestSpeechRecognitionAuthorization(QObject *context,
                                          std::function<void(Status status)> completion)
        = 0;

    // Where the desktop has a settings page for these permissions, opens it.
    virtual void openMicrophonePrivacyPane() const = 0;
    virtual void openSpeechPrivacyPane() const = 0;

    // The desktop's permissions: Linux asks nothing, so both are authorised.
    static Permissions &system();
};
