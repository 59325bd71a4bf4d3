#include "textservice_dbus.h"

#include "platform/logging.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>

namespace {

// Without an address, the bus library would try to start a bus for the X session and wait for
// it; the one at the runtime folder's "bus" is the systemd user bus it also looks for.
bool hasSessionBus()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

} // namespace

DBusTextService::~DBusTextService()
{
    if (!m_published)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QString::fromLatin1(objectPath));
    bus.unregisterService(QString::fromLatin1(serviceName));
}

bool DBusTextService::publish()
{
    if (!hasSessionBus()) {
        qCWarning(lcPlatform, "No session bus: other programs cannot hand Brivel a text");
        return false;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCWarning(lcPlatform,
                  "The session bus cannot be reached (%s): other programs cannot hand "
                  "Brivel a text",
                  qPrintable(bus.lastError().message()));
        return false;
    }
    if (!bus.registerObject(QString::fromLatin1(objectPath), this,
                            QDBusConnection::ExportAllSlots)) {
        qCWarning(lcPlatform, "Cannot offer %s on the session bus", objectPath);
        return false;
    }
    if (!bus.registerService(QString::fromLatin1(serviceName))) {
        qCWarning(lcPlatform,
                  "%s is taken on the session bus: other programs cannot hand "
                  "Brivel a text",
                  serviceName);
        bus.unregisterObject(QString::fromLatin1(objectPath));
        return false;
    }
    m_published = true;
    return true;
}

void DBusTextService::ReadText(const QString &text)
{
    answer(readText ? readText(text) : QString());
}

void DBusTextService::ReadSelection()
{
    if (!readSelection || !calledFromDBus())
        return;
    // The reply waits for the selection; the bus goes on meanwhile.
    setDelayedReply(true);
    readSelection([bus = connection(), call = message()](const QString &refusal) {
        bus.send(refusal.isEmpty()
                     ? call.createReply()
                     : call.createErrorReply(QString::fromLatin1(refusedError), refusal));
    });
}

void DBusTextService::answer(const QString &refusal)
{
    if (!refusal.isEmpty() && calledFromDBus())
        sendErrorReply(QString::fromLatin1(refusedError), refusal);
}
