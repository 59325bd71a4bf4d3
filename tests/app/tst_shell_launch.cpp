#include "app/launcharguments.h"
#include "app/singleinstance.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <future>
#include <memory>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray frame(const QByteArray &body)
{
    QByteArray header(SingleInstance::headerBytes, '\0');
    qToBigEndian<quint32>(quint32(body.size()), header.data());
    return header + body;
}

// A second launch, run off the main thread as it would run in its own process: it waits for the
// running instance, which needs the main thread's event loop.
std::future<SingleInstance::Delivery> sendInBackground(const QString &path,
                                                       const QStringList &arguments)
{
    return std::async(std::launch::async, [path, arguments] {
        return SingleInstance::sendToRunningInstance(path, arguments);
    });
}

constexpr auto delivered = SingleInstance::Delivery::delivered;

// What a crashed instance leaves behind: a socket file nobody listens on.
bool makeStaleSocket(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

} // namespace

class TestShellLaunch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void commandLine_data();
    void commandLine();
    void localFilePath_data();
    void localFilePath();

    void messagesKeepToTheLimits();
    void argumentsOfALaterLaunchArrive_data();
    void argumentsOfALaterLaunchArrive();
    void malformedMessagesAreDropped_data();
    void malformedMessagesAreDropped();
    void largeMessagesShareABudget();
    void largeLaunchesArriveInPieces();
    void staleSocketIsReplaced();
    void aLiveInstanceIsNeverReplaced();

private:
    std::unique_ptr<QTemporaryDir> m_directory;
    QString m_socketPath;
};

void TestShellLaunch::init()
{
    m_directory = std::make_unique<QTemporaryDir>();
    QVERIFY(m_directory->isValid());
    m_socketPath = m_directory->filePath(u"brivel.sock"_s);
}

void TestShellLaunch::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("nothing") << QStringList() << QStringList();
    QTest::newRow("relative path")
        << QStringList{u"talk.brivel"_s} << QStringList{u"/home/ana/talks/talk.brivel"_s};
    QTest::newRow("parent folder")
        << QStringList{u"../notes/a.brivel"_s} << QStringList{u"/home/ana/notes/a.brivel"_s};
    QTest::newRow("absolute path")
        << QStringList{u"/tmp/x.brivel"_s} << QStringList{u"/tmp/x.brivel"_s};
    QTest::newRow("links as given")
        << QStringList{u"file:///tmp/a%20b.brivel"_s, u"brivel://read?text=Hola"_s}
        << QStringList{u"file:///tmp/a%20b.brivel"_s, u"brivel://read?text=Hola"_s};
    QTest::newRow("a colon before any slash names a file")
        << QStringList{u"notas:v2.brivel"_s, u"BRIVEL://read?text=x"_s}
        << QStringList{u"/home/ana/talks/notas:v2.brivel"_s,
                       u"/home/ana/talks/BRIVEL:/read?text=x"_s};
    QTest::newRow("toolkit options and their values")
        << QStringList{u"-platform"_s, u"offscreen"_s, u"--style=fusion"_s, u"-reverse"_s,
                       u"a.brivel"_s}
        << QStringList{u"/home/ana/talks/a.brivel"_s};
    QTest::newRow("after --") << QStringList{u"--"_s, u"-odd.brivel"_s}
                              << QStringList{u"/home/ana/talks/-odd.brivel"_s};
    QTest::newRow("read the selection")
        << QStringList{u"--read-selection"_s, u"-x"_s} << QStringList{u"--read-selection"_s};
}

void TestShellLaunch::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expected);
    QCOMPARE(LaunchArguments::fromCommandLine(arguments, u"/home/ana/talks"_s), expected);
}

void TestShellLaunch::localFilePath_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("expected");
    QTest::newRow("path") << u"/tmp/a.brivel"_s << u"/tmp/a.brivel"_s;
    QTest::newRow("file URL") << u"file:///tmp/a%20b.brivel"_s << u"/tmp/a b.brivel"_s;
    QTest::newRow("app link") << u"brivel://read?text=x"_s << QString();
    QTest::newRow("scheme only") << u"brivel:read"_s << QString();
    QTest::newRow("another scheme is a file") << u"notas:v2.brivel"_s << u"notas:v2.brivel"_s;
    QTest::newRow("web link is a file")
        << u"https://example.org/a.brivel"_s << u"https://example.org/a.brivel"_s;
}

void TestShellLaunch::localFilePath()
{
    QFETCH(QString, argument);
    QFETCH(QString, expected);
    QCOMPARE(LaunchArguments::localFilePath(argument), expected);
    QCOMPARE(LaunchArguments::isLink(argument), expected.isEmpty());
}

void TestShellLaunch::messagesKeepToTheLimits()
{
    // Whatever a launch can carry arrives whole: many documents, the longest argument a program
    // is given, and arguments JSON must escape byte by byte, up to the 2 MiB a program is given
    // under the usual stack limit.
    QStringList launch;
    for (int i = 0; i < 40; ++i)
        launch << u"/tmp/%1.brivel"_s.arg(i);
    launch << u"brivel://read?text="_s + QString(131'071 - 19, u'a');
    for (int i = 0; i < 2; ++i)
        launch << QString(131'071, u'\x01');
    for (int i = 0; i < 12; ++i)
        launch << QString(65'535, u'é'); // two bytes each
    // Commas and quotes in names are no items of the array.
    const QStringList most(SingleInstance::maximumArguments, u"/tmp/a\",b\".brivel"_s);
    QCOMPARE(SingleInstance::decodeMessageBody(
                 SingleInstance::encodeMessage(most).mid(SingleInstance::headerBytes))
                 .value_or(QStringList()),
             most);
    // Past the cap, the arguments that do not fit are left out and the rest still arrives.
    const QStringList beyond = launch + QStringList(8, QString(131'071, u'\x01'));
    for (const QStringList &arguments : {launch, beyond}) {
        const QByteArray message = SingleInstance::encodeMessage(arguments);
        QVERIFY(message.size()
                <= SingleInstance::headerBytes + qsizetype(SingleInstance::maximumMessageBytes));
        QCOMPARE(qFromBigEndian<quint32>(message.constData()),
                 quint32(message.size() - SingleInstance::headerBytes));
        const auto decoded
            = SingleInstance::decodeMessageBody(message.mid(SingleInstance::headerBytes));
        QVERIFY(decoded);
        QCOMPARE(decoded->mid(0, launch.size()), launch);
        QCOMPARE(*decoded, arguments.mid(0, decoded->size()));
    }
}

void TestShellLaunch::argumentsOfALaterLaunchArrive_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("taken");
    QTest::newRow("none: bring the window back") << QStringList() << true;
    QTest::newRow("documents") << QStringList{u"/tmp/ñandú talk.brivel"_s, u"/tmp/b.brivel"_s}
                               << true;
    QTest::newRow("no room for it") << QStringList{u"/tmp/a.brivel"_s} << false;
}

// The launch hears whether the running instance took it; only one taken reaches it.
void TestShellLaunch::argumentsOfALaterLaunchArrive()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, taken);
    SingleInstance instance;
    QVERIFY(instance.listen(m_socketPath));
    QSignalSpy received(&instance, &SingleInstance::argumentsReceived);
    QStringList asked;
    instance.setAdmission([&](const QStringList &launch) {
        asked = launch;
        return taken;
    });

    auto sent = sendInBackground(m_socketPath, arguments);
    QTRY_VERIFY_WITH_TIMEOUT(sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready,
                             5000);
    QCOMPARE(sent.get(), taken ? delivered : SingleInstance::Delivery::dropped);
    QCOMPARE(asked, arguments);
    QCOMPARE(received.count(), taken ? 1 : 0);
    if (taken)
        QCOMPARE(received.constFirst().constFirst().toStringList(), arguments);
}

void TestShellLaunch::malformedMessagesAreDropped_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("hangUp");
    const QByteArray valid = frame(R"(["/tmp/a.brivel"])");
    QByteArray nested(20'000, '[');
    nested += QByteArray(20'000, ']');
    QByteArray tooMany = "[";
    for (int i = 0; i <= SingleInstance::maximumArguments; ++i)
        tooMany += i ? R"(,"x")" : R"("x")";
    tooMany += ']';

    QTest::newRow("zero length") << QByteArray(4, '\0') << false;
    QTest::newRow("huge length") << QByteArray::fromHex("ffffffff") + "[]" << false;
    QByteArray pastTheCap(SingleInstance::headerBytes, '\0');
    qToBigEndian<quint32>(SingleInstance::maximumMessageBytes + 1, pastTheCap.data());
    QTest::newRow("one past the cap") << pastTheCap + "[" << false;
    QTest::newRow("invalid JSON") << frame(R"(["a")") << false;
    QTest::newRow("not an array") << frame(R"({"a":"b"})") << false;
    QTest::newRow("non-string items") << frame(R"(["a",1,null])") << false;
    QTest::newRow("deeply nested") << frame(nested) << false;
    QTest::newRow("too many arguments") << frame(tooMany) << false;
    QTest::newRow("bytes after the message") << valid + valid << false;
    QTest::newRow("cut short, then gone") << valid.left(valid.size() - 3) << true;
    QTest::newRow("cut short, never finished") << valid.left(valid.size() - 3) << false;
    QTest::newRow("half a header, never finished") << QByteArray(2, '\0') << false;
}

void TestShellLaunch::malformedMessagesAreDropped()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, hangUp);
    SingleInstance instance;
    instance.setMessageTimeoutMs(300);
    QVERIFY(instance.listen(m_socketPath));
    QSignalSpy received(&instance, &SingleInstance::argumentsReceived);

    QLocalSocket client;
    client.connectToServer(m_socketPath);
    QVERIFY(client.waitForConnected(2000));
    client.write(bytes);
    QVERIFY(client.waitForBytesWritten(2000));
    if (hangUp)
        client.disconnectFromServer();
    // The instance hangs up on everything it will not act on, without the answer that it took it.
    QTRY_COMPARE_WITH_TIMEOUT(client.state(), QLocalSocket::UnconnectedState, 5000);
    QTest::qWait(50);
    QCOMPARE(received.count(), 0);
    QCOMPARE(client.readAll(), QByteArray());

    // And goes on serving.
    auto sent = sendInBackground(m_socketPath, {u"/tmp/next.brivel"_s});
    QVERIFY(received.wait(5000));
    QCOMPARE(received.constFirst().constFirst().toStringList(), QStringList{u"/tmp/next.brivel"_s});
    QCOMPARE(sent.get(), delivered);
}

// Two of the largest messages may arrive at once; a third is turned away until one is gone.
void TestShellLaunch::largeMessagesShareABudget()
{
    SingleInstance instance;
    instance.setMessageTimeoutMs(60'000);
    QVERIFY(instance.listen(m_socketPath));
    QByteArray largest(SingleInstance::headerBytes, '\0');
    qToBigEndian<quint32>(SingleInstance::maximumMessageBytes, largest.data());
    std::vector<std::unique_ptr<QLocalSocket>> clients;
    for (int i = 0; i < 3; ++i) {
        clients.push_back(std::make_unique<QLocalSocket>());
        clients.back()->connectToServer(m_socketPath);
        QVERIFY(clients.back()->waitForConnected(2000));
        clients.back()->write(largest + "[\"");
        QVERIFY(clients.back()->waitForBytesWritten(2000));
        QTest::qWait(100);
    }
    QTRY_COMPARE_WITH_TIMEOUT(clients[2]->state(), QLocalSocket::UnconnectedState, 5000);
    QCOMPARE(clients[1]->state(), QLocalSocket::ConnectedState);

    QSignalSpy received(&instance, &SingleInstance::argumentsReceived);
    clients[0]->abort();
    auto sent = sendInBackground(m_socketPath, {u"/tmp/a.brivel"_s});
    QVERIFY(received.wait(5000));
    QCOMPARE(sent.get(), delivered);
}

// A legal launch of a few MiB, read as it trickles in, twice: the room it takes from the shared
// budget is claimed once and given back.
void TestShellLaunch::largeLaunchesArriveInPieces()
{
    SingleInstance instance;
    QVERIFY(instance.listen(m_socketPath));
    QSignalSpy received(&instance, &SingleInstance::argumentsReceived);
    const QStringList arguments(26, QString(120 * 1024, u'x'));
    const QByteArray message = SingleInstance::encodeMessage(arguments);
    QVERIFY(message.size() > 3 * 1024 * 1024);
    for (int launch = 1; launch <= 3; ++launch) {
        QLocalSocket client;
        client.connectToServer(m_socketPath);
        QVERIFY(client.waitForConnected(2000));
        for (qsizetype at = 0; at < message.size(); at += 64 * 1024) {
            client.write(message.mid(at, 64 * 1024));
            // The server reads on this thread: a blocking wait would leave the buffer full.
            QTRY_COMPARE_WITH_TIMEOUT(client.bytesToWrite(), 0, 10'000);
        }
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), launch, 5000);
        QCOMPARE(received.last().first().toStringList(), arguments);
    }
}

void TestShellLaunch::staleSocketIsReplaced()
{
    QVERIFY(makeStaleSocket(m_socketPath));
    QCOMPARE(SingleInstance::sendToRunningInstance(m_socketPath, {u"/tmp/a.brivel"_s}),
             SingleInstance::Delivery::noInstance);

    SingleInstance instance;
    QVERIFY(instance.listen(m_socketPath));
    QSignalSpy received(&instance, &SingleInstance::argumentsReceived);
    auto sent = sendInBackground(m_socketPath, {});
    QVERIFY(received.wait(5000));
    QCOMPARE(sent.get(), delivered);
}

void TestShellLaunch::aLiveInstanceIsNeverReplaced()
{
    SingleInstance first;
    QVERIFY(first.listen(m_socketPath));
    QSignalSpy received(&first, &SingleInstance::argumentsReceived);
    {
        SingleInstance second;
        QVERIFY(!second.listen(m_socketPath));
    }
    // The loser's end leaves the socket file of the running instance alone.
    QVERIFY(QFileInfo::exists(m_socketPath));
    auto sent = sendInBackground(m_socketPath, {u"/tmp/a.brivel"_s});
    QVERIFY(received.wait(5000));
    QCOMPARE(sent.get(), delivered);
}

QTEST_GUILESS_MAIN(TestShellLaunch)
#include "tst_shell_launch.moc"
