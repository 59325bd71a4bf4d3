#pragma once

#include "platform/permissions.h"

// The Linux desktop asks no permission for the microphone or for recognition on the device.
class LinuxPermissions : public Permissions
{
public:
    Status microphoneStatus() const override { return Status::Authorized; }
    void requestMicrophoneAccess(QObject *context,
                                 std::function<void(bool granted)> completion) override;
    Status speechRecognitionStatus() const override { return Status::Authorized; }
    void
    requestSpeechRecognitionAuthorization(QObject *context,
                                          std::function<void(Status status)> completion) override;

    // There is no such settings page to open.
    void openMicrophonePrivacyPane() const override {}
    void openSpeechPrivacyPane() const override {}
};
