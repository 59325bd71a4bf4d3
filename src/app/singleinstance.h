#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QLocalServer>
#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

class QLocalSocket;

// Keeps Brivel to one process per user. The first launch listens on a local socket in the user's
// runtime folder; a later launch hands its arguments over and ends. A message is a 4-byte
// big-endian length followed by that many bytes of UTF-8 JSON: an array of strings. The running
// instance answers a message with one byte before it acts on it: the acknowledgement when it
// takes the launch, the refusal when it has no room for it; it hangs up without an answer on
// anything else (too long, malformed, unfinished, or more connections than it serves). Sessions
// that cannot reach each other's socket (another runtime folder) are kept apart by DataFolderLock.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    static constexpr int headerBytes = 4;
    // A launch carries at most 128 KiB per argument and a few MiB in all: 4 MiB of JSON holds
    // every launch a person makes, and a message claiming more is refused from its header,
    // before any of it is kept. Arguments past it are left out of the message.
    static constexpr quint32 maximumMessageBytes = 4 * 1024 * 1024;
    // A launch names a few documents or links (the running instance keeps 64 waiting); more
    // arguments than this are left out of the message, and a message with more is refused.
    static constexpr int maximumArguments = 4096;
    // Connections beyond this many at once are refused, and so is a message whose length does
    // not fit beside those of the messages still arriving.
    static constexpr int maximumConnections = 8;
    static constexpr qint64 maximumPendingBytes = 2 * (headerBytes + qint64(maximumMessageBytes));
    // A connection that has not delivered its message by then is dropped.
    static constexpr int defaultMessageTimeoutMs = 2000;
    static constexpr char acknowledgement = '\x06';
    // The answer to a launch the running instance will never act on: too many wait already.
    static constexpr char refusal = '\x15';
    // How long a later launch waits for the running one to take its message.
    static constexpr int sendTimeoutMs = 3000;
    // How long a later launch keeps trying while the running one turns it away.
    static constexpr int defaultRetryWindowMs = 2000;
    static constexpr int retryPauseMs = 100;

    enum class Delivery {
        noInstance, // nobody listens there: this launch may become the running instance
        delivered,  // the running instance took the arguments
        turnedAway, // it hung up without taking them (too busy); trying again may help
        noAnswer,   // it took the bytes but did not answer in time: it may still act on them
        dropped,    // it answered that too many launches wait: it will not act on this one
    };

    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // "brivel.sock" in the user's runtime folder; empty when there is no usable one.
    static QString defaultSocketPath();

    // The framed message of the arguments. Arguments past the limits, which no launch reaches,
    // are left out, so the message is always one the running instance accepts.
    static QByteArray encodeMessage(const QStringList &arguments);
    // The arguments in a message's body, or nothing when it is not an array of at most
    // maximumArguments strings.
    static std::optional<QStringList> decodeMessageBody(const QByteArray &body);
    // What the bytes received so far on a connection amount to, from the header (the first
    // headerBytes of them) and their count.
    enum class Framing { incomplete, refused, complete };
    static Framing framing(QByteArrayView header, qint64 received);

    // A later launch, one attempt. Needs no application object, so a launch that only hands
    // over never opens a display.
    static Delivery sendToRunningInstance(const QString &socketPath, const QStringList &arguments);
    // As sendToRunningInstance, trying again for up to retryWindowMs while the running instance
    // turns the launch away.
    static Delivery handOver(const QString &socketPath, const QStringList &arguments,
                             int retryWindowMs = defaultRetryWindowMs);
    // What a launch that could not hand over tells its user; empty for noInstance and delivered.
    static QString failureMessage(Delivery delivery);

    // Becomes the running instance, taking the place of a socket nobody answers on. False when
    // another instance answers there, or the socket cannot be made.
    bool listen(const QString &socketPath);
    bool isListening() const { return m_server.isListening(); }
    void close() { m_server.close(); }

    // Whether the running instance takes a launch's arguments now; one it does not take is
    // answered with the refusal and never reaches argumentsReceived. Without it, every launch is
    // taken.
    void setAdmission(std::function<bool(const QStringList &)> admits)
    {
        m_admits = std::move(admits);
    }

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
    // Each connection served, with the bytes its message claims once its header is in.
    QHash<QLocalSocket *, qint64> m_connections;
    qint64 m_claimedBytes = 0;
    int m_messageTimeoutMs = defaultMessageTimeoutMs;
    std::function<bool(const QStringList &)> m_admits;
};
