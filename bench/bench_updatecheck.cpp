#include "common/appfakes.h"
#include "document/updatechecker.h"
#include "platform/inmemorykeyvaluestore.h"

#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace {

const QByteArray feed = R"({"build":"43","version":"2.0","url":"https://example.org/dl"})";

// The process's peak resident memory in KiB since the last reset.
qint64 peakResidentKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

bool resetPeakResident()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// Serves the feed followed by `padding` spaces, without declaring a length, in chunks written
// only as the client takes them, so the server's own memory stays flat.
class PaddedFeedServer : public QObject
{
public:
    explicit PaddedFeedServer(qint64 padding)
        : m_padding(padding)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { fill(socket); });
            }
        });
    }

    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/latest.json").arg(m_server.serverPort()));
    }

    qint64 sentBytes = 0;

private:
    void answer(QTcpSocket *socket)
    {
        socket->readAll();
        if (socket->property("answered").toBool())
            return;
        socket->setProperty("answered", true);
        socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + feed);
        fill(socket);
    }

    void fill(QTcpSocket *socket)
    {
        const qint64 sent = socket->property("sent").toLongLong();
        qint64 left = m_padding - sent;
        while (left > 0 && socket->bytesToWrite() < 256 * 1024) {
            const qint64 size = std::min<qint64>(left, 64 * 1024);
            socket->write(QByteArray(size, ' '));
            left -= size;
            sentBytes += size;
        }
        socket->setProperty("sent", m_padding - left);
        if (left == 0 && socket->bytesToWrite() == 0)
            socket->disconnectFromHost();
    }

    qint64 m_padding = 0;
    QTcpServer m_server;
};

// Peak memory of one update check against a feed padded to the given size: a 100 MB answer
// must cost no more than a small one plus about the 64 KiB the check may keep.
void BM_UpdateCheckPeakMemory(benchmark::State &state)
{
    const qint64 padding = state.range(0);
    PaddedFeedServer server(padding);
    FakeDialogs dialogs;
    InMemoryKeyValueStore store;
    const auto check = [&] {
        UpdateChecker checker(server.url());
        QEventLoop loop;
        QObject::connect(&checker, &UpdateChecker::finished, &loop, &QEventLoop::quit);
        checker.checkForUpdates(QStringLiteral("41"), store, dialogs);
        loop.exec();
    };
    // The first request loads the network stack; that is not the answer's cost.
    check();
    qint64 growthKib = 0;
    for (auto _ : state) {
        if (!resetPeakResident()) {
            state.SkipWithError("cannot reset the peak resident memory");
            return;
        }
        const qint64 before = peakResidentKib();
        check();
        growthKib = std::max(growthKib, peakResidentKib() - before);
    }
    const bool small = padding == 0;
    if ((small && dialogs.questions.isEmpty())
        || (!small && server.sentBytes <= UpdateChecker::maximumFeedBytes)) {
        state.SkipWithError("the check did not read the answer");
        return;
    }
    state.counters["peak_growth_kib"] = double(growthKib);
    state.counters["sent_kib"] = double(server.sentBytes) / 1024 / double(state.iterations() + 1);
}

} // namespace

BENCHMARK(BM_UpdateCheckPeakMemory)
    ->Arg(0)
    ->Arg(qint64(100) << 20)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
