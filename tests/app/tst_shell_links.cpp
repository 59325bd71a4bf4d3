#include "app/brivelapplication.h"
#include "app/mainwindow.h"
#include "common/appfakes.h"
#include "document/brivelservice.h"
#include "overlay/notchoverlaycontroller.h"
#include "settings/localization.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

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
// the selection, the text entry, and the toggle key's window policy.
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
    void textEntryAnswersAtOnce();
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

    QTemporaryDir m_home;
    std::unique_ptr<BrivelApplication> m_app;
};

void TestShellLinks::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(u"config"_s)));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"data"_s)));
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
    QTest::newRow("web") << u"https://example.org/"_s << QStringList();
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
    m_app->handleLaunchArguments({u"--read-selection"_s});
    QCOMPARE(dialogs().alerts.size(), 1);
    QCOMPARE(dialogs().alerts[0].message,
             localizedString("No se encontró texto en el portapapeles"));
    QVERIFY(window().isVisible());

    QGuiApplication::clipboard()->setText(QString(100'001, u'x'));
    QCOMPARE(m_app->readSelection(), localizedString("El texto es demasiado largo"));
    m_app->handleLaunchArguments({u"--read-selection"_s});
    QCOMPARE(dialogs().alerts.size(), 2);
    QCOMPARE(dialogs().alerts[1].message, localizedString("El texto es demasiado largo"));

    QGuiApplication::clipboard()->setText(u"copiado antes"_s);
    m_app->handleLaunchArguments({u"--read-selection"_s});
    QCOMPARE(shownWords(), QStringList({u"copiado"_s, u"antes"_s}));
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

void TestShellLinks::textEntryAnswersAtOnce()
{
    startApp();
    QCOMPARE(m_app->readText(QString(100'001, u'x')),
             localizedString("El texto es demasiado largo"));
    QCOMPARE(m_app->readText(u"  "_s), QString());
    QCOMPARE(m_app->readText(u"hola"_s), QString());
    // Shown on the next turn, after the caller has its answer.
    QCOMPARE(shownWords(), QStringList());
    QTRY_COMPARE(shownWords(), QStringList{u"hola"_s});
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
