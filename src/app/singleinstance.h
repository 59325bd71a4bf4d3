#pragma once

#include <QLocalServer>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <optional>

class QLocalSocket;

// Keeps Brivel to one process per user. The first launch listens on a local socket in the user's
// runtime folder; a later launch hands its arguments over and ends. A message is a 4-byte
// big-endian length followed by that many bytes of UTF-8 JSON: an array of strings. Anything
// else reaching the socket (too long, malformed, unfinished) is dropped without effect.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    static constexpr int headerBytes = 4;
    static constexpr quint32 maximumMessageBytes = 64 * 1024;
    static constexpr int maximumArguments = 32;
    // Connections beyond this many at once are refused.
    static constexpr int maximumConnections = 8;
    // A connection that has not delivered its message by then is dropped.
    static constexpr int defaultMessageTimeoutMs = 2000;
    // How long a later launch waits for the running one to take its message.
    static constexpr int sendTimeoutMs = 3000;

    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // "brivel.sock" in the user's runtime folder; empty when there is no usable one.
    static QString defaultSocketPath();

    // The framed message of the arguments. Arguments past the limits are left out, so the
    // message is always one the running instance accepts.
    static QByteArray encodeMessage(const QStringList &arguments);
    // The arguments in a message's body, or nothing when it is not an array of at most
    // maximumArguments strings.
    static std::optional<QStringList> decodeMessageBody(const QByteArray &body);

    // A later launch: true when a running instance took the arguments. Needs no application
    // object, so a launch that only hands over never opens a display.
    static bool sendToRunningInstance(const QString &socketPath, const QStringList &arguments);

    // Becomes the running instance, taking the place of a socket nobody answers on. False when
    // another instance answers there, or the socket cannot be made.
    bool listen(const QString &socketPath);
    bool isListening() const { return m_server.isListening(); }

    int messageTimeoutMs() const { return m_messageTimeoutMs; }
    void setMessageTimeoutMs(int milliseconds) { m_messageTimeoutMs = milliseconds; }

Q_SIGNALS:
    // The arguments of a later launch; an empty list is a launch without arguments.
    void argumentsReceived(const QStringList &arguments);

private:
    static bool isAnswering(const QString &socketPath);
    void acceptConnections();
    void readMessage(QLocalSocket *socket);
    void drop(QLocalSocket *socket);

    QLocalServer m_server;
    QSet<QLocalSocket *> m_connections;
    int m_messageTimeoutMs = defaultMessageTimeoutMs;
};
