#pragma once

#include <QString>
#include <QVariant>

// Whether the desktop asks applications to keep motion to a minimum (its "reduce motion" or
// "animations off" switch).
class MotionPreference
{
public:
    virtual ~MotionPreference();

    // What is known now; false (motion) until the desktop has answered, or when it has no such
    // switch.
    virtual bool reduceMotion() const = 0;

    // The desktop's own switch, read without ever blocking the caller.
    static MotionPreference &system();

    // KDE's switch: an animation speed factor of 0 in its global settings file.
    static bool kdeAnimationsOff(const QString &kdeglobalsPath);
    // GNOME's "enable-animations" as the desktop portal's Settings.Read answers it (a boolean,
    // possibly wrapped in variants): false means less motion.
    static bool portalAnimationsOff(const QVariant &reply);
};
