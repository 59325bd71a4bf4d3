#include "app/brivelapplication.h"
#include "app/mainwindow.h"
#include "common/appfakes.h"
#include "document/brivelservice.h"
#include "overlay/notchoverlaycontroller.h"
#include "platform/textservice.h"
#include "settings/localization.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDialog>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#ifdef __has_feature
#if __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define BRIVEL_ASAN
#endif
#endif

using namespace Qt::StringLiterals;

namespace {

const QString busName = u"org.brivel.Brivel"_s;

qint64 residentKiB()
{
#ifdef BRIVEL_ASAN
    // The sanitizer holds freed memory back to catch late uses: released first, it counts as
    // given back, as it is in a normal build.
    __sanitizer_purge_allocator();
#endif
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Counts the times a widget was shown at all.
class ShowCounter : public QObject
{
public:
    int shows = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        shows += event->type() == QEvent::Show;
        return false;
    }
};

} // namespace

// Text from other programs in the running application: links of a launch, the request to read
// the selection, the text entry on a private session bus (the test runs under dbus-run-session),
// and the toggle key's window policy.
class TestShellLinks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void firstLaunchWithALinkNeverShowsTheWindow_data();
    void firstLaunchWithALinkNeverShowsTheWindow();
    void laterLinkTakesTheWindowAway_data();
    void laterLinkTakesTheWindowAway();
    void readSelection();
    void linksAndTextsWaitForModalDialogs();
    void textEntryOnTheBus();
    void hugeTextIsRefusedAndGivenBack();
    void noBusMeansNoWait();
    void toggleKeyHidesAndBringsBack();

private:
    void startApp(const QStringList &arguments = {});
    FakeDialogs &dialogs() const { return static_cast<FakeDialogs &>(m_app->dialogs()); }
    MainWindow &window() const { return m_app->mainWindow(); }
    BrivelService &service() const { return m_app->service(); }
    QStringList shownWords() const
    {
        return m_app->overlayController().hasPanel()
                   ? m_app->overlayController().overlayContent().words()
                   : QStringList();
    }

    // Through the bus from a connection of its own, as another program calls.
    QDBusPendingCall call(const QString &method, const QVariantList &arguments = {}) const
    {
        QDBusMessage message
            = QDBusMessage::createMethodCall(busName, u"/org/brivel/Brivel"_s, busName, method);
        message.setArguments(arguments);
        return m_client.asyncCall(message, 60'000);
    }

    QTemporaryDir m_home;
    std::unique_ptr<BrivelApplication> m_app;
    QDBusConnection m_client{QString()};
};

void TestShellLinks::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(u"config"_s)));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"data"_s)));
    m_client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"client"_s);
    QVERIFY2(m_client.isConnected(), "needs a session bus: run under dbus-run-session");
}

void TestShellLinks::cleanup()
{
    m_app.reset();
    QGuiApplication::clipboard()->clear();
}

void TestShellLinks::startApp(const QStringList &arguments)
{
    m_app = std::make_unique<BrivelApplication>(std::make_unique<FakeDialogs>());
    m_app->start(arguments);
}

void TestShellLinks::firstLaunchWithALinkNeverShowsTheWindow_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("read") << u"brivel://read?text=Hola%20desde%20afuera"_s
                          << QStringList{u"Hola"_s, u"desde"_s, u"afuera"_s};
    QTest::newRow("ignored") << u"brivel://other?text=x"_s << QStringList();
}

void TestShellLinks::firstLaunchWithALinkNeverShowsTheWindow()
{
    QFETCH(QString, link);
    QFETCH(QStringList, words);
    m_app = std::make_unique<BrivelApplication>(std::make_unique<FakeDialogs>());
    ShowCounter counter;
    window().installEventFilter(&counter);
    m_app->start({link});
    QTRY_COMPARE(shownWords(), words);
    QTest::qWait(50);
    QCOMPARE(counter.shows, 0);
    QVERIFY(service().launchedExternally());
    // The taskbar's way back, a launch without arguments, brings it.
    m_app->handleLaunchArguments({});
    QVERIFY(window().isVisible());
    QVERIFY(!service().launchedExternally());
}

void TestShellLinks::laterLinkTakesTheWindowAway_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("read") << u"brivel://read?text=uno+dos"_s << QStringList{u"uno+dos"_s};
    QTest::newRow("ignored") << u"brivel://read?text=%zz"_s << QStringList();
}

void TestShellLinks::laterLinkTakesTheWindowAway()
{
    QFETCH(QString, link);
    QFETCH(QStringList, words);
    startApp();
    QVERIFY(QTest::qWaitForWindowExposed(&window()));
    m_app->handleLaunchArguments({link});
    QTRY_VERIFY(!window().isVisible());
    QCOMPARE(shownWords(), words);
    // Withdrawn, not minimised: no taskbar entry while text from outside is read.
    QVERIFY(service().launchedExternally());
    // A second link never brings it back.
    m_app->handleLaunchArguments({u"brivel://read?text=otra"_s});
    QTest::qWait(50);
    QVERIFY(!window().isVisible());
    QCOMPARE(shownWords(), QStringList{u"otra"_s});
}

void TestShellLinks::readSelection()
{
    startApp();
    // Read on a later turn: the selection's owner may take its time.
    m_app->handleLaunchArguments({u"--read-selection"_s});
    QTRY_COMPARE(dialogs().alerts.size(), 1);
    QCOMPARE(dialogs().alerts[0].message,
             localizedString("No se encontró texto en el portapapeles"));
    QVERIFY(window().isVisible());

    QGuiApplication::clipboard()->setText(QString(100'001, u'x'));
    m_app->handleLaunchArguments({u"--read-selection"_s});
    QTRY_COMPARE(dialogs().alerts.size(), 2);
    QCOMPARE(dialogs().alerts[1].message, localizedString("El texto es demasiado largo"));

    // A link after the request waits for its answer.
    QGuiApplication::clipboard()->setText(u"copiado antes"_s);
    m_app->handleLaunchArguments({u"--read-selection"_s, u"brivel://read?text=luego"_s});
    QCOMPARE(shownWords(), QStringList());
    QTRY_COMPARE(shownWords(), QStringList({u"luego"_s}));
    QTRY_VERIFY(!window().isVisible());
    QCOMPARE(dialogs().alerts.size(), 2);
}

// Links, the request to read the selection and texts from the entry take their turn after a
// modal dialog, in order, as documents do: the dialog is never hidden with the window.
void TestShellLinks::linksAndTextsWaitForModalDialogs()
{
    startApp();
    QGuiApplication::clipboard()->setText(u"seleccion"_s);
    QDialog dialog(&window());
    dialog.setModal(true);
    QStringList wordsWhileOpen{u"<not run>"_s};
    QTimer::singleShot(0, &dialog, [&] {
        m_app->handleLaunchArguments({u"brivel://read?text=primero"_s});
        QVERIFY(m_app->readText(u"segundo"_s).isEmpty());
        m_app->handleLaunchArguments({u"--read-selection"_s});
        QTest::qWait(300);
        wordsWhileOpen = shownWords();
        QVERIFY(dialog.isVisible());
        dialog.accept();
    });
    dialog.exec();
    QCOMPARE(wordsWhileOpen, QStringList());
    QTRY_COMPARE(shownWords(), QStringList{u"seleccion"_s});
    QVERIFY(service().launchedExternally());
}

void TestShellLinks::textEntryOnTheBus()
{
    startApp();
    // Waiting on the event loop: the application answers on this thread.
    const auto refusal = [](const QDBusPendingCall &pending) {
        for (QDeadlineTimer deadline(10'000); !pending.isFinished() && !deadline.hasExpired();)
            QTest::qWait(5);
        return pending.isError() ? pending.error().message() : QString();
    };
    QCOMPARE(refusal(call(u"ReadText"_s, {QString(100'001, u'x')})),
             localizedString("El texto es demasiado largo"));
    QGuiApplication::clipboard()->clear();
    QCOMPARE(refusal(call(u"ReadSelection"_s)),
             localizedString("No se encontró texto en el portapapeles"));
    QCOMPARE(shownWords(), QStringList());

    // A thousand in a row: each answered, none dropped, the last one shown.
    QList<QDBusPendingCall> calls{call(u"ReadText"_s, {QString()}), call(u"ReadText"_s, {u"  "_s})};
    for (int i = 0; i < 1000; ++i)
        calls.append(call(u"ReadText"_s, {u"texto %1"_s.arg(i)}));
    QTRY_VERIFY_WITH_TIMEOUT(calls.constLast().isFinished(), 30'000);
    for (const QDBusPendingCall &pending : std::as_const(calls))
        QVERIFY(pending.isFinished() && !pending.isError());
    QTRY_COMPARE(shownWords(), QStringList({u"texto"_s, u"999"_s}));

    QGuiApplication::clipboard()->setText(u"lo copiado"_s);
    QCOMPARE(refusal(call(u"ReadSelection"_s)), QString());
    QTRY_COMPARE(shownWords(), QStringList({u"lo"_s, u"copiado"_s}));
}

void TestShellLinks::hugeTextIsRefusedAndGivenBack()
{
    startApp();
    const qint64 before = residentKiB();
    {
        QDBusPendingCall pending = call(u"ReadText"_s, {QString(50'000'000, u'a')});
        QTRY_VERIFY_WITH_TIMEOUT(pending.isFinished(), 30'000);
        QCOMPARE(pending.error().message(), localizedString("El texto es demasiado largo"));
    }
    // Both ends of the call live in this process: the client's copy goes too.
    const qint64 after = residentKiB();
    QVERIFY2(after - before < 40 * 1024,
             qPrintable(u"%1 KiB, then %2 KiB"_s.arg(before).arg(after)));
}

void TestShellLinks::noBusMeansNoWait()
{
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    const auto restore = qScopeGuard([&] { qputenv("DBUS_SESSION_BUS_ADDRESS", address); });
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"No session bus"_s));
    QVERIFY(!TextService::create()->publish());
}

void TestShellLinks::toggleKeyHidesAndBringsBack()
{
    startApp();
    QVERIFY(QTest::qWaitForWindowActive(&window()));
    m_app->toggleMainWindow();
    QVERIFY(window().isMinimized());
    m_app->toggleMainWindow();
    QVERIFY(window().isVisible());
    QVERIFY(!window().isMinimized());
    QVERIFY(QTest::qWaitForWindowActive(&window()));

    // After a link: the window comes back and the application is regular again.
    m_app->handleLaunchArguments({u"brivel://read?text=x"_s});
    QTRY_VERIFY(!window().isVisible());
    m_app->toggleMainWindow();
    QVERIFY(window().isVisible());
    QVERIFY(!service().launchedExternally());
}

QTEST_MAIN(TestShellLinks)
#include "tst_shell_links.moc"
