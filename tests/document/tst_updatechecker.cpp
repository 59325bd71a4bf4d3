#include "common/appfakes.h"
#include "document/updatechecker.h"
#include "platform/inmemorykeyvaluestore.h"
#include "settings/notchsettings.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

using Answers = QHash<QByteArray, QByteArray>;

const QByteArray goodFeed = R"({"build":"43","version":"2.0","url":"https://example.org/dl"})";

QByteArray response(const QByteArray &status, const QByteArray &body,
                    const QByteArray &headers = "Content-Type: application/json\r\n")
{
    return "HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: "
           + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

// An HTTP server (HTTPS with a TLS configuration) on the loopback that answers each path as the
// test scripted it and then hangs up, unless the answer asks to keep the line open. A path without
// an answer is never answered; "endless" streams a body of spaces that stops only at 100 MB.
class FeedServer : public QObject
{
public:
    explicit FeedServer(const QSslConfiguration *tls = nullptr)
        : m_server(tls ? new QSslServer : new QTcpServer)
    {
        if (tls)
            static_cast<QSslServer *>(m_server.get())->setSslConfiguration(*tls);
        m_server->listen(QHostAddress::LocalHost);
        connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket *socket = m_server->nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        });
    }

    QUrl url(const QString &path) const
    {
        const auto scheme = qobject_cast<QSslServer *>(m_server.get()) ? u"https"_s : u"http"_s;
        return QUrl(u"%1://127.0.0.1:%2%3"_s.arg(scheme).arg(m_server->serverPort()).arg(path));
    }

    Answers answers;
    QList<QByteArray> requested;
    qint64 streamedBytes = 0;

private:
    void serve(QTcpSocket *socket)
    {
        QByteArray request = socket->property("request").toByteArray() + socket->readAll();
        socket->setProperty("request", request);
        if (!request.contains("\r\n\r\n") || socket->property("served").toBool())
            return;
        socket->setProperty("served", true);
        const QByteArray path = request.split(' ').value(1);
        requested << path;
        const QByteArray answer = answers.value(path);
        if (answer == "endless") {
            socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
            connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
                const QByteArray chunk(64 * 1024, ' ');
                while (socket->bytesToWrite() < 256 * 1024 && streamedBytes < 100 << 20) {
                    socket->write(chunk);
                    streamedBytes += chunk.size();
                }
            });
        } else if (!answer.isEmpty()) {
            socket->write(answer);
            if (!answer.contains("Connection: keep-alive"))
                socket->disconnectFromHost();
        }
    }

    std::unique_ptr<QTcpServer> m_server;
};

// Catches what "Descargar" would hand to the browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }

public:
    QList<QUrl> opened;
};

} // namespace

class TestUpdateChecker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void feedDecidesTheOffer_data();
    void feedDecidesTheOffer();
    void redirectsStayOnTheWeb_data();
    void redirectsStayOnTheWeb();
    void secureFeedNeverStepsDown();
    void transfers_data();
    void transfers();
    void answers_data();
    void answers();

private:
    UrlCatcher m_browser;
    QSslConfiguration m_tls;
};

void TestUpdateChecker::initTestCase()
{
    NotchSettings::shared().setAppLanguage(u"es"_s);
    QDesktopServices::setUrlHandler(u"https"_s, &m_browser, "open");
    QDesktopServices::setUrlHandler(u"http"_s, &m_browser, "open");

    // A certificate for the loopback that the checker's default configuration trusts.
    QTemporaryDir dir;
    QProcess openssl;
    openssl.start(u"openssl"_s,
                  {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s,
                   u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s, u"-days"_s, u"2"_s, u"-subj"_s,
                   u"/CN=127.0.0.1"_s, u"-addext"_s, u"subjectAltName=IP:127.0.0.1"_s, u"-keyout"_s,
                   dir.filePath(u"key.pem"_s), u"-out"_s, dir.filePath(u"cert.pem"_s)});
    QVERIFY(openssl.waitForFinished(30'000) && openssl.exitCode() == 0);
    QFile certificateFile(dir.filePath(u"cert.pem"_s));
    QFile keyFile(dir.filePath(u"key.pem"_s));
    QVERIFY(certificateFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly));
    const QSslCertificate certificate(&certificateFile);
    const QSslKey key(&keyFile, QSsl::Ec);
    QVERIFY(!certificate.isNull() && !key.isNull());
    QSslConfiguration trusted = QSslConfiguration::defaultConfiguration();
    trusted.addCaCertificate(certificate);
    QSslConfiguration::setDefaultConfiguration(trusted);
    m_tls = QSslConfiguration::defaultConfiguration();
    m_tls.setLocalCertificate(certificate);
    m_tls.setPrivateKey(key);
}

void TestUpdateChecker::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(u"https"_s);
    QDesktopServices::unsetUrlHandler(u"http"_s);
}

void TestUpdateChecker::feedDecidesTheOffer_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("installed");
    QTest::addColumn<qint64>("skipped");
    QTest::addColumn<QString>("versionText"); // empty: nothing is offered

    const QByteArray feed42 = R"({"build":"42","url":"https://example.org/dl"})";
    QTest::newRow("newer") << 200 << feed42 << u"41"_s << qint64(0) << u"42"_s;
    QTest::newRow("same build") << 200 << feed42 << u"42"_s << qint64(0) << QString();
    QTest::newRow("skipped") << 200 << feed42 << u"41"_s << qint64(42) << QString();
    QTest::newRow("later than skipped") << 200 << goodFeed << u"41"_s << qint64(42) << u"2.0"_s;
    QTest::newRow("installed not a number") << 200 << feed42 << u"1.2"_s << qint64(0) << u"42"_s;
    QTest::newRow("largest build")
        << 200 << R"({"build":"+9223372036854775807","url":"https://e.org/"})"_ba << u"-1"_s
        << qint64(0) << u"9223372036854775807"_s;
    QTest::newRow("markup kept as written")
        << 200 << R"({"build":"43","version":"<b>2.0</b>","url":"https://e.org/"})"_ba << u"0"_s
        << qint64(0) << u"<b>2.0</b>"_s;
    QTest::newRow("blank version")
        << 200 << R"({"build":"43","version":" ","url":"https://e.org/"})"_ba << u"0"_s << qint64(0)
        << u"43"_s;
    // The alert holds one short line whatever the feed says.
    const auto withVersion = [](const QString &version) {
        return QJsonDocument(QJsonObject{{u"build"_s, u"43"_s},
                                         {u"version"_s, version},
                                         {u"url"_s, u"https://e.org/"_s}})
            .toJson();
    };
    const QString marks(30'000, u'\u0301');
    QTest::newRow("2,000 line breaks")
        << 200 << withVersion(u"2.0"_s + QString(2'000, u'\n') + u"beta"_s) << u"0"_s << qint64(0)
        << u"2.0 beta"_s;
    QTest::newRow("60 KB") << 200 << withVersion(QString(60'000, u'x')) << u"0"_s << qint64(0)
                           << QString(40, u'x') + u'\u2026';
    QTest::newRow("endless marks") << 200 << withVersion(u"a"_s + marks) << u"0"_s << qint64(0)
                                   << u"a"_s + marks.first(79) + u'\u2026';
    const QString tones = u"\U0001F3FD"_s.repeated(100);
    QTest::newRow("endless astral marks") << 200 << withVersion(u"a"_s + tones) << u"0"_s
                                          << qint64(0) << u"a"_s + tones.first(78) + u'\u2026';
    QTest::newRow("only breaks and controls")
        << 200 << withVersion(u"\n\r\n\u0001\u0085"_s) << u"0"_s << qint64(0) << u"43"_s;

    const auto silent = [](const char *name, const QByteArray &body, int status = 200) {
        QTest::newRow(name) << status << body << u"0"_s << qint64(0) << QString();
    };
    silent("500", feed42, 500);
    silent("HTML", "<html><body>latest</body></html>");
    silent("array", R"([{"build":"42","url":"https://example.org/dl"}])");
    silent("build as a number", R"({"build":42,"url":"https://example.org/dl"})");
    silent("empty build", R"({"build":"","url":"https://example.org/dl"})");
    silent("build with a space", R"({"build":" 42","url":"https://example.org/dl"})");
    silent("build past 64 bits", R"({"build":"9223372036854775808","url":"https://e.org/"})");
    silent("twenty digits", R"({"build":"99999999999999999999","url":"https://e.org/"})");
    silent("other digits", R"({"build":"\u0664\u0662","url":"https://e.org/"})");
    silent("no url", R"({"build":"42"})");
    silent("relative url", R"({"build":"42","url":"/dl/brivel.deb"})");
    silent("file url", R"({"build":"42","url":"file:///etc/passwd"})");
    silent("script url", R"j({"build":"42","url":"javascript:alert(1)"})j");
    silent("url without host", R"({"build":"42","url":"https:dl"})");
    silent("malformed url", R"({"build":"42","url":"https://exa mple.org/%zz"})");
}

void TestUpdateChecker::feedDecidesTheOffer()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, installed);
    QFETCH(qint64, skipped);
    QFETCH(QString, versionText);
    const std::optional<UpdateOffer> offer = evaluateFeed(status, body, installed, skipped);
    QCOMPARE(offer.has_value(), !versionText.isEmpty());
    if (offer) {
        QCOMPARE(offer->versionText, versionText);
        QVERIFY(offer->url.host().endsWith(u"e.org"));
    }
}

void TestUpdateChecker::redirectsStayOnTheWeb_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("http to https") << u"http://a.org/"_s << u"https://a.org/"_s << true;
    QTest::newRow("https to http") << u"https://a.org/"_s << u"http://a.org/"_s << false;
}

void TestUpdateChecker::redirectsStayOnTheWeb()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, allowed);
    QCOMPARE(UpdateChecker::isRedirectAllowed(QUrl(from), QUrl(to)), allowed);
}

// Through the real transfer: a feed over TLS is offered, but not after a hop from it down to
// plain http, which is never even asked.
void TestUpdateChecker::secureFeedNeverStepsDown()
{
    FeedServer plain;
    plain.answers = {{"/latest.json", response("200 OK", goodFeed)}};
    FeedServer secure(&m_tls);
    secure.answers
        = {{"/latest.json", response("200 OK", goodFeed)},
           {"/moved", response("302 Found", {},
                               "Location: " + plain.url(u"/latest.json"_s).toEncoded() + "\r\n")}};
    for (const auto &[path, offers] : {std::pair(u"/latest.json"_s, 1), {u"/moved"_s, 0}}) {
        FakeDialogs dialogs;
        InMemoryKeyValueStore store;
        UpdateChecker checker(secure.url(path));
        QSignalSpy finished(&checker, &UpdateChecker::finished);
        checker.checkForUpdates(u"41"_s, store, dialogs);
        QVERIFY(finished.wait(4000));
        QCOMPARE(dialogs.questions.size(), offers);
    }
    QCOMPARE(secure.requested.size(), 2);
    QVERIFY(plain.requested.isEmpty());
}

void TestUpdateChecker::transfers_data()
{
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<bool>("offered");

    const auto at = [](const QByteArray &answer) { return Answers{{"/latest.json", answer}}; };
    const auto redirect = [](const QByteArray &location) {
        return response("302 Found", {}, "Location: " + location + "\r\n");
    };
    // "/latest.json" sends the client on to "/1", and so on, until "/<hops>" serves the feed.
    const auto hops = [&](int count) {
        Answers answers{{'/' + QByteArray::number(count), response("200 OK", goodFeed)}};
        for (int i = 0; i < count; ++i)
            answers.insert(i ? '/' + QByteArray::number(i) : QByteArray("/latest.json"),
                           redirect('/' + QByteArray::number(i + 1)));
        return answers;
    };
    // A feed that fills the body exactly to the limit, and one that passes it by a byte.
    QByteArray atCap = goodFeed;
    atCap.append(UpdateChecker::maximumFeedBytes - atCap.size(), ' ');

    QTest::newRow("offer") << at(response("200 OK", goodFeed)) << true;
    QTest::newRow("404") << at(response("404 Not Found", goodFeed)) << false;
    QTest::newRow("at the cap") << at(response("200 OK", atCap)) << true;
    // Without a declared length the body ends with the connection.
    QTest::newRow("a byte past the cap") << at("HTTP/1.1 200 OK\r\n\r\n" + atCap + ' ') << false;
    // The declared length alone ends it: the server sends nothing more and keeps the line open.
    QTest::newRow("declares 100 MB")
        << at("HTTP/1.1 200 OK\r\nConnection: keep-alive\r\nContent-Length: 104857600\r\n\r\n")
        << false;
    QTest::newRow("100 MB body") << at("endless") << false;
    QTest::newRow("never answers") << Answers{} << false;
    QTest::newRow("three redirects") << hops(3) << true;
    QTest::newRow("four redirects") << hops(4) << false;
    QTest::newRow("redirect loop") << at(redirect("/latest.json")) << false;
    QTest::newRow("redirect to a file") << at(redirect("file:///etc/passwd")) << false;
}

// A feed served for real: every failure is silent, and none waits for the time-out unless the
// server does.
void TestUpdateChecker::transfers()
{
    QFETCH(Answers, answers);
    QFETCH(bool, offered);
    FeedServer server;
    server.answers = answers;
    FakeDialogs dialogs;
    InMemoryKeyValueStore store;
    UpdateChecker checker(server.url(u"/latest.json"_s));
    const bool neverAnswers = answers.isEmpty();
    checker.setTimeout(neverAnswers ? 300ms : 5s);
    QSignalSpy finished(&checker, &UpdateChecker::finished);
    QElapsedTimer clock;
    clock.start();
    checker.checkForUpdates(u"41"_s, store, dialogs);
    QVERIFY(finished.wait(4000));
    QCOMPARE(dialogs.questions.size(), offered ? 1 : 0);
    QVERIFY(!server.requested.isEmpty());
    if (!neverAnswers)
        QCOMPARE_LT(clock.elapsed(), 4000);
    // Once the limit is passed nothing more is read, so the server stops well short of 100 MB.
    QCOMPARE_LT(server.streamedBytes, 16 << 20);
    QCOMPARE(finished.size(), 1);
}

void TestUpdateChecker::answers_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("opened");
    QTest::addColumn<QVariant>("skipped");
    QTest::addColumn<int>("questionsNextTime");
    QTest::newRow("Descargar") << 0 << 1 << QVariant() << 1;
    QTest::newRow("Ahora no") << 1 << 0 << QVariant() << 1;
    QTest::newRow("Omitir esta versión") << 2 << 0 << QVariant(qint64(43)) << 0;
}

void TestUpdateChecker::answers()
{
    QFETCH(int, answer);
    QFETCH(int, opened);
    QFETCH(QVariant, skipped);
    QFETCH(int, questionsNextTime);
    FeedServer server;
    server.answers = {{"/latest.json", response("200 OK", goodFeed)}};
    FakeDialogs dialogs;
    dialogs.askAnswer = answer;
    InMemoryKeyValueStore store;
    m_browser.opened.clear();
    UpdateChecker checker(server.url(u"/latest.json"_s));
    QSignalSpy finished(&checker, &UpdateChecker::finished);
    checker.checkForUpdates(u"41"_s, store, dialogs);
    QVERIFY(finished.wait(4000));

    QCOMPARE(dialogs.questions.size(), 1);
    const FakeDialogs::Question &question = dialogs.questions.first();
    QCOMPARE(question.message, u"Hay una nueva versión de Brivel"_s);
    QCOMPARE(question.informativeText,
             u"La versión 2.0 ya está disponible. Descargala para actualizar."_s);
    QCOMPARE(question.buttons,
             QStringList({u"Descargar"_s, u"Ahora no"_s, u"Omitir esta versión"_s}));
    QCOMPARE(question.defaultButton, 0);
    QCOMPARE(question.escapeButton, 1);
    QCOMPARE(m_browser.opened.size(), opened);
    if (opened)
        QCOMPARE(m_browser.opened.first(), QUrl(u"https://example.org/dl"_s));
    QCOMPARE(store.value(u"directUpdaterSkippedBuild"_s), skipped);

    // The next launch asks again unless the build was skipped.
    checker.checkForUpdates(u"41"_s, store, dialogs);
    QVERIFY(finished.wait(4000));
    QCOMPARE(dialogs.questions.size(), 1 + questionsNextTime);
}

QTEST_MAIN(TestUpdateChecker)
#include "tst_updatechecker.moc"
