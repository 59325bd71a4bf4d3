#include "motionpreference_desktop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStandardPaths>

DesktopMotionPreference::DesktopMotionPreference()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    m_kdeOff = kdeAnimationsOff(config + u"/kdeglobals");

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage read = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
    read << QStringLiteral("org.gnome.desktop.interface") << QStringLiteral("enable-animations");
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(read, portalTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *call) {
                const QDBusPendingReply<QDBusVariant> reply = *call;
                if (!reply.isError())
                    m_portalOff = portalAnimationsOff(QVariant::fromValue(reply.value()));
                call->deleteLater();
            });
}
