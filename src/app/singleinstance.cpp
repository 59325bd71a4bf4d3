#include "singleinstance.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A connected stream socket to the path, or -1. Blocking, with both directions timed out.
int connectTo(const QString &socketPath, int timeoutMs)
{
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address{};
    if (path.isEmpty() || size_t(path.size()) >= sizeof(address.sun_path))
        return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const QByteArray &bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n
            = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

QByteArray jsonBody(const QStringList &arguments)
{
    return QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact);
}

} // namespace

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
}

// Closing the server removes its socket file.
SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultSocketPath()
{
    // Empty when the runtime folder is unusable: Brivel then runs without the channel.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/brivel.sock");
}

QByteArray SingleInstance::encodeMessage(const QStringList &arguments)
{
    QStringList kept = arguments.mid(0, maximumArguments);
    QByteArray body = jsonBody(kept);
    while (quint32(body.size()) > maximumMessageBytes) {
        kept.removeLast();
        body = jsonBody(kept);
    }
    QByteArray message(headerBytes, '\0');
    qToBigEndian<quint32>(quint32(body.size()), message.data());
    return message + body;
}

std::optional<QStringList> SingleInstance::decodeMessageBody(const QByteArray &body)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    const QJsonArray array = document.array();
    if (array.size() > maximumArguments)
        return std::nullopt;
    QStringList arguments;
    for (const QJsonValue &value : array) {
        if (!value.isString())
            return std::nullopt;
        arguments << value.toString();
    }
    return arguments;
}

bool SingleInstance::sendToRunningInstance(const QString &socketPath, const QStringList &arguments)
{
    const int fd = connectTo(socketPath, sendTimeoutMs);
    if (fd < 0)
        return false;
    const bool sent = sendAll(fd, encodeMessage(arguments));
    if (sent) {
        // The running instance hangs up once it has the message: waiting for that orders what
        // it does with the message before whatever follows this launch.
        ::shutdown(fd, SHUT_WR);
        char byte;
        while (true) {
            const ssize_t n = ::recv(fd, &byte, 1, 0);
            if (n > 0 || (n < 0 && errno == EINTR))
                continue;
            break;
        }
    }
    ::close(fd);
    return sent;
}

bool SingleInstance::isAnswering(const QString &socketPath)
{
    const int fd = connectTo(socketPath, 500);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool SingleInstance::listen(const QString &socketPath)
{
    if (m_server.listen(socketPath))
        return true;
    if (m_server.serverError() != QAbstractSocket::AddressInUseError || isAnswering(socketPath))
        return false;
    // Left behind by an instance that did not end cleanly.
    QLocalServer::removeServer(socketPath);
    return m_server.listen(socketPath);
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        if (m_connections.size() >= maximumConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_connections.insert(socket);
        // One byte past the largest message is enough to see that a message is too long.
        socket->setReadBufferSize(headerBytes + maximumMessageBytes + 1);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            // The message may have come with the hang-up.
            if (m_connections.contains(socket))
                readMessage(socket);
            if (m_connections.contains(socket))
                drop(socket);
        });
        QTimer::singleShot(m_messageTimeoutMs, socket, [this, socket] {
            if (m_connections.contains(socket))
                drop(socket);
        });
        if (socket->bytesAvailable() > 0)
            readMessage(socket);
    }
}

void SingleInstance::readMessage(QLocalSocket *socket)
{
    const qint64 available = socket->bytesAvailable();
    if (available < headerBytes)
        return;
    const QByteArray header = socket->peek(headerBytes);
    const quint32 length = qFromBigEndian<quint32>(header.constData());
    if (length == 0 || length > maximumMessageBytes) {
        drop(socket);
        return;
    }
    const qint64 messageBytes = headerBytes + qint64(length);
    if (available < messageBytes)
        return;
    if (available > messageBytes) {
        drop(socket);
        return;
    }
    const QByteArray body = socket->read(messageBytes).mid(headerBytes);
    // Hang up before acting: the launch waiting on the other end may go, and acting may open a
    // modal question.
    drop(socket);
    if (const std::optional<QStringList> arguments = decodeMessageBody(body))
        Q_EMIT argumentsReceived(*arguments);
}

void SingleInstance::drop(QLocalSocket *socket)
{
    m_connections.remove(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}
