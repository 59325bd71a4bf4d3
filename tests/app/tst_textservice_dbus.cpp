#include "app/brivelapplication.h"
#include "common/appfakes.h"
#include "overlay/notchoverlaycontroller.h"
#include "platform/textservice.h"
#include "settings/localization.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString service = u"org.brivel.Brivel"_s;
const QString path = u"/org/brivel/Brivel"_s;

struct CallResult
{
    int exitCode = -1;
    QString error;
};

// gdbus, as another program on the desktop calls Brivel.
CallResult gdbusCall(const QString &method, const QStringList &arguments = {})
{
    QProcess gdbus;
    gdbus.start(u"gdbus"_s,
                QStringList{u"call"_s, u"--session"_s, u"--dest"_s, service, u"--object-path"_s,
                            path, u"--method"_s, service + u'.' + method}
                    + arguments);
    // The application answers on this thread's event loop.
    QElapsedTimer timer;
    timer.start();
    while (gdbus.state() != QProcess::NotRunning && timer.elapsed() < 20'000)
        QTest::qWait(10);
    return {gdbus.exitCode(), QString::fromUtf8(gdbus.readAllStandardError())};
}

qint64 residentKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace

// The text entry on a private session bus (the test runs under dbus-run-session).
class TestTextServiceDBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void readTextShowsOrRefuses();
    void readSelection();
    void hugeTextIsRefusedAndGivenBack();
    void manyCallsInARow();
    void noBusMeansNoWait();

private:
    QStringList shownWords() const
    {
        return m_app->overlayController().hasPanel()
                   ? m_app->overlayController().overlayContent().words()
                   : QStringList();
    }
    QDBusPendingCall callReadText(const QString &text) const
    {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, service, u"ReadText"_s);
        call << text;
        return m_client.asyncCall(call, 60'000);
    }

    QTemporaryDir m_home;
    std::unique_ptr<BrivelApplication> m_app;
    // A connection of its own, so calls travel through the bus as another program's do.
    QDBusConnection m_client{QString()};
};

void TestTextServiceDBus::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        QSKIP("needs a session bus: run under dbus-run-session");
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(u"config"_s)));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"data"_s)));
    m_app = std::make_unique<BrivelApplication>(std::make_unique<FakeDialogs>());
    m_app->start();
    QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(service));
    m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"client"_s);
    QVERIFY(m_client.isConnected());
}

void TestTextServiceDBus::cleanupTestCase()
{
    m_app.reset();
    QDBusConnection::disconnectFromBus(u"client"_s);
}

void TestTextServiceDBus::readTextShowsOrRefuses()
{
    CallResult result = gdbusCall(u"ReadText"_s, {u"Hola desde el bus"_s});
    QCOMPARE(result.exitCode, 0);
    QTRY_COMPARE(shownWords(), QStringList({u"Hola"_s, u"desde"_s, u"el"_s, u"bus"_s}));

    for (const QString &blank : {QString(), u"   "_s}) {
        result = gdbusCall(u"ReadText"_s, {u"'%1'"_s.arg(blank)});
        QCOMPARE(result.exitCode, 0);
    }
    result = gdbusCall(u"ReadText"_s, {QString(100'001, u'a')});
    QVERIFY(result.exitCode != 0);
    QVERIFY2(result.error.contains(localizedString("El texto es demasiado largo")),
             qPrintable(result.error));

    result = gdbusCall(u"ReadText"_s, {QString(100'000, u'a')});
    QCOMPARE(result.exitCode, 0);
    QTRY_COMPARE(shownWords(), QStringList{QString(100'000, u'a')});
}

void TestTextServiceDBus::readSelection()
{
    QGuiApplication::clipboard()->clear();
    CallResult result = gdbusCall(u"ReadSelection"_s);
    QVERIFY(result.exitCode != 0);
    QVERIFY2(result.error.contains(localizedString("No se encontró texto en el portapapeles")),
             qPrintable(result.error));
    QGuiApplication::clipboard()->setText(u"lo copiado"_s);
    result = gdbusCall(u"ReadSelection"_s);
    QCOMPARE(result.exitCode, 0);
    QTRY_COMPARE(shownWords(), QStringList({u"lo"_s, u"copiado"_s}));
}

void TestTextServiceDBus::hugeTextIsRefusedAndGivenBack()
{
    const qint64 before = residentKiB();
    {
        QElapsedTimer timer;
        timer.start();
        QDBusPendingCall call = callReadText(QString(50'000'000, u'a'));
        QTRY_VERIFY_WITH_TIMEOUT(call.isFinished(), 30'000);
        qInfo("50 MB refused in %lld ms", qint64(timer.elapsed()));
        QVERIFY(call.isError());
        QCOMPARE(call.error().message(), localizedString("El texto es demasiado largo"));
    }
    // Both ends of the call live in this process: the client's copy goes too.
    QTest::qWait(100);
    const qint64 after = residentKiB();
    qInfo("resident: %lld KiB before, %lld KiB after", before, after);
    QVERIFY2(after - before < 40 * 1024,
             qPrintable(u"%1 KiB before, %2 KiB after"_s.arg(before).arg(after)));
}

void TestTextServiceDBus::manyCallsInARow()
{
    QList<QDBusPendingCall> calls;
    for (int i = 0; i < 1000; ++i)
        calls.append(callReadText(u"texto %1"_s.arg(i)));
    QTRY_VERIFY_WITH_TIMEOUT(calls.constLast().isFinished(), 30'000);
    for (const QDBusPendingCall &call : std::as_const(calls)) {
        QVERIFY(call.isFinished());
        QVERIFY(!call.isError());
    }
    QTRY_COMPARE(shownWords(), QStringList({u"texto"_s, u"999"_s}));
}

void TestTextServiceDBus::noBusMeansNoWait()
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    const auto restore = qScopeGuard([&] { qputenv("DBUS_SESSION_BUS_ADDRESS", address); });
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"No session bus"_s));
    QVERIFY(!TextService::create()->publish());
}

QTEST_MAIN(TestTextServiceDBus)
#include "tst_textservice_dbus.moc"
