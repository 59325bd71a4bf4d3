#include "motionpreference.h"

#include "linux/motionpreference_desktop.h"

#include <QDBusVariant>
#include <QSettings>

MotionPreference::~MotionPreference() = default;

MotionPreference &MotionPreference::system()
{
    static DesktopMotionPreference *const preference = new DesktopMotionPreference;
    return *preference;
}

bool MotionPreference::kdeAnimationsOff(const QString &kdeglobalsPath)
{
    const QSettings kdeglobals(kdeglobalsPath, QSettings::IniFormat);
    bool ok = false;
    const double factor
        = kdeglobals.value(QStringLiteral("KDE/AnimationDurationFactor")).toDouble(&ok);
    return ok && factor == 0;
}

bool MotionPreference::portalAnimationsOff(const QVariant &reply)
{
    QVariant value = reply;
    // The portal wraps the setting's value in one or two variants.
    for (int depth = 0; depth < 3 && value.metaType() == QMetaType::fromType<QDBusVariant>();
         ++depth)
        value = value.value<QDBusVariant>().variant();
    return value.metaType() == QMetaType::fromType<bool>() && !value.toBool();
}
