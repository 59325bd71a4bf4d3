#pragma once

#include "platform/motionpreference.h"

#include <QObject>

// KDE's global settings file is read at once; GNOME's switch is asked of the desktop portal on
// the session bus, and its answer, when it comes, is kept.
class DesktopMotionPreference : public QObject, public MotionPreference
{
    Q_OBJECT

public:
    static constexpr int portalTimeoutMs = 500;

    DesktopMotionPreference();

    bool reduceMotion() const override { return m_kdeOff || m_portalOff; }

private:
    bool m_kdeOff = false;
    bool m_portalOff = false;
};
