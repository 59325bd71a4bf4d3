#pragma once

#include <QObject>

// The application's notifications: the menu commands reach the editor window through them, and
// the settings preview announces that its panel is about to go.
class AppSignals : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The process's one instance, created on first use.
    static AppSignals &shared();

Q_SIGNALS:
    void toggleTeleprompter();
    void openSettings();
    void openAbout();
    void notchPreviewWillDismiss();
};
