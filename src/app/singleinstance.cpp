#include "singleinstance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A connected stream socket to the path, or -1 with errno telling why. Blocking, with both
// directions timed out.
int connectTo(const QString &socketPath, int timeoutMs)
{
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address{};
    if (path.isEmpty() || size_t(path.size()) >= sizeof(address.sun_path)) {
        errno = ENAMETOOLONG;
        return -1;
    }
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
        const int error = errno;
        ::close(fd);
        errno = error;
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

// The items of a JSON array of strings, counted without parsing it: the commas outside strings,
// plus one.
qsizetype jsonItemsAtLeast(QByteArrayView json)
{
    qsizetype commas = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : json) {
        if (escaped)
            escaped = false;
        else if (inString && c == '\\')
            escaped = true;
        else if (c == '"')
            inString = !inString;
        else if (!inString && c == ',')
            ++commas;
    }
    return commas + 1;
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
SingleInstance::~SingleInstance()
{
    // The server deletes the connections after the members their handlers use are gone.
    for (auto socket = m_connections.keyBegin(); socket != m_connections.keyEnd(); ++socket)
        (*socket)->disconnect(this);
}

QString SingleInstance::defaultSocketPath()
{
    // Empty when the runtime folder is unusable: Brivel then runs without the channel.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/brivel.sock");
}

QByteArray SingleInstance::encodeMessage(const QStringList &arguments)
{
    // Each argument's share of the array is its own JSON string and a comma, so the arguments
    // that fit are counted in one pass.
    qint64 bodyBytes = 2; // []
    qsizetype kept = 0;
    for (; kept < std::min<qsizetype>(arguments.size(), maximumArguments); ++kept) {
        const qint64 argumentBytes = jsonBody({arguments.at(kept)}).size() - 2 + (kept > 0 ? 1 : 0);
        if (bodyBytes + argumentBytes > qint64(maximumMessageBytes))
            break;
        bodyBytes += argumentBytes;
    }
    const QByteArray body = jsonBody(arguments.mid(0, kept));
    QByteArray message(headerBytes, '\0');
    qToBigEndian<quint32>(quint32(body.size()), message.data());
    return message + body;
}

std::optional<QStringList> SingleInstance::decodeMessageBody(const QByteArray &body)
{
    // Counted before parsing: a parsed array of a million tiny items costs many times the bytes.
    if (jsonItemsAtLeast(body) > maximumArguments)
        return std::nullopt;
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

SingleInstance::Framing SingleInstance::framing(QByteArrayView header, qint64 received)
{
    if (received < headerBytes || header.size() < headerBytes)
        return Framing::incomplete;
    const quint32 length = qFromBigEndian<quint32>(header.data());
    if (length == 0 || length > maximumMessageBytes)
        return Framing::refused;
    const qint64 messageBytes = headerBytes + qint64(length);
    if (received < messageBytes)
        return Framing::incomplete;
    // One message per connection: anything after it is no launch of ours.
    return received > messageBytes ? Framing::refused : Framing::complete;
}

SingleInstance::Delivery SingleInstance::sendToRunningInstance(const QString &socketPath,
                                                               const QStringList &arguments)
{
    const int fd = connectTo(socketPath, sendTimeoutMs);
    if (fd < 0) {
        // A full queue of connections waiting to be accepted is a running instance, busy.
        return errno == EAGAIN || errno == ETIMEDOUT ? Delivery::turnedAway : Delivery::noInstance;
    }
    if (!sendAll(fd, encodeMessage(arguments))) {
        const bool timedOut = errno == EAGAIN;
        ::close(fd);
        return timedOut ? Delivery::noAnswer : Delivery::turnedAway;
    }
    // The answer comes before the running instance acts, so waiting for it also orders what it
    // does with the message before whatever follows this launch.
    ::shutdown(fd, SHUT_WR);
    char byte = 0;
    ssize_t n;
    do {
        n = ::recv(fd, &byte, 1, 0);
    } while (n < 0 && errno == EINTR);
    const bool timedOut = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    ::close(fd);
    if (n == 1 && byte == acknowledgement)
        return Delivery::delivered;
    if (n == 1 && byte == refusal)
        return Delivery::dropped;
    return timedOut ? Delivery::noAnswer : Delivery::turnedAway;
}

SingleInstance::Delivery SingleInstance::handOver(const QString &socketPath,
                                                  const QStringList &arguments, int retryWindowMs)
{
    const QDeadlineTimer deadline(retryWindowMs);
    while (true) {
        const Delivery delivery = sendToRunningInstance(socketPath, arguments);
        // Only a launch turned away is sure the running instance did nothing with it.
        if (delivery != Delivery::turnedAway || deadline.hasExpired())
            return delivery;
        ::usleep(useconds_t(std::min<qint64>(retryPauseMs, deadline.remainingTime()) * 1000));
    }
}

QString SingleInstance::failureMessage(Delivery delivery)
{
    switch (delivery) {
    case Delivery::noInstance:
    case Delivery::delivered:
        return {};
    case Delivery::turnedAway:
        return QStringLiteral("brivel: Brivel is already running but is too busy to take this "
                              "launch; nothing was opened. Try again in a moment.");
    case Delivery::noAnswer:
        return QStringLiteral("brivel: Brivel is already running but does not answer; this "
                              "launch may not have reached it.");
    case Delivery::dropped:
        return QStringLiteral("brivel: Brivel is already running but is too busy: too many "
                              "launches are waiting, so this one was dropped and nothing was "
                              "opened.");
    }
    return {};
}

bool SingleInstance::isAnswering(const QString &socketPath)
{
    const int fd = connectTo(socketPath, 500);
    if (fd < 0)
        return errno == EAGAIN; // a backlog that is full belongs to a live instance
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
        m_connections.insert(socket, 0);
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
    const Framing framed = framing(header, available);
    if (framed == Framing::refused) {
        drop(socket);
        return;
    }
    // The room a message needs is taken from the shared budget as soon as its length is known;
    // a flood of large messages is turned away (the launches behind them try again) rather
    // than kept.
    qint64 &claimed = m_connections[socket];
    if (claimed == 0) {
        const qint64 messageBytes = headerBytes + qint64(qFromBigEndian<quint32>(header.data()));
        if (m_claimedBytes + messageBytes > maximumPendingBytes) {
            drop(socket);
            return;
        }
        claimed = messageBytes;
        m_claimedBytes += messageBytes;
    }
    if (framed == Framing::incomplete)
        return;
    socket->skip(headerBytes);
    const QByteArray body = socket->read(available - headerBytes);
    const std::optional<QStringList> arguments = decodeMessageBody(body);
    // Answer and hang up before acting: the launch waiting on the other end may go, and acting
    // may open a modal question.
    const bool taken = arguments && (!m_admits || m_admits(*arguments));
    if (arguments) {
        socket->write(taken ? &acknowledgement : &refusal, 1);
        socket->flush();
    }
    drop(socket);
    if (taken)
        Q_EMIT argumentsReceived(*arguments);
}

void SingleInstance::drop(QLocalSocket *socket)
{
    m_claimedBytes -= m_connections.take(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}
