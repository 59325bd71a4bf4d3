#include "app/appsignals.h"
#include "app/brivelapplication.h"
#include "app/mainwindow.h"
#include "common/appfakes.h"
#include "document/brivelservice.h"
#include "editor/model/editorcontroller.h"
#include "overlay/overlaypanel.h"
#include "platform/bundle.h"
#include "platform/keyvaluestore.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Choice = Dialogs::UnsavedChangesChoice;

QStringList pagesInFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {u"<unreadable>"_s};
    QStringList pages;
    const QJsonArray array = QJsonDocument::fromJson(file.readAll()).object()[u"pages"].toArray();
    for (const QJsonValue &page : array)
        pages << page.toString();
    return pages;
}

void writeDocument(const QString &path, const QStringList &pages)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QJsonObject record{{u"version"_s, 1},
                             {u"pages"_s, QJsonArray::fromStringList(pages)},
                             {u"titles"_s, QJsonArray::fromStringList(QStringList(pages.size()))}};
    file.write(QJsonDocument(record).toJson());
}

// Runs the event loop until the application ends it, or reports 99 when it never does.
int runUntilQuit(const std::function<void()> &action)
{
    QTimer::singleShot(0, qApp, action);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    guard.start(10'000);
    return QCoreApplication::exec();
}

QAction *findAction(const QMenuBar *menuBar, const QString &text)
{
    for (QAction *menuAction : menuBar->actions()) {
        if (!menuAction->menu())
            continue;
        for (QAction *action : menuAction->menu()->actions()) {
            if (action->text() == text)
                return action;
        }
    }
    return nullptr;
}

// Alerts and open panels that are real modal dialogs, as the desktop's are: each stays up while
// the next scripted action runs, and the deepest nesting of them is kept.
class ModalDialogs : public FakeDialogs
{
public:
    void alert(const QString &message, const QString &informativeText, AlertStyle style) override
    {
        FakeDialogs::alert(message, informativeText, style);
        runModal();
    }
    std::optional<QString> openPanel(const QStringList &extensions,
                                     const QString &message = QString()) override
    {
        const std::optional<QString> answer = FakeDialogs::openPanel(extensions, message);
        runModal();
        return answer;
    }

    QList<std::function<void()>> whileOpen;
    int deepest = 0;

private:
    void runModal()
    {
        const QScopedValueRollback nested(m_depth, m_depth + 1);
        deepest = std::max(deepest, m_depth);
        QDialog dialog;
        dialog.setModal(true);
        const std::function<void()> action = whileOpen.isEmpty() ? nullptr : whileOpen.takeFirst();
        QTimer::singleShot(0, &dialog, [&dialog, action] {
            if (action)
                action();
            QTimer::singleShot(250, &dialog, &QDialog::accept);
        });
        dialog.exec();
    }

    int m_depth = 0;
};

} // namespace

class TestShellWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void menuBarHasOnlyTheApplicationAndFileMenus();
    void menuItems_data();
    void menuItems();
    void readingShortcutReachesTheEditor();
    void openAndSaveReachTheService();

    void closing_data();
    void closing();
    void cancelledCloseKeepsTheWindow_data();
    void cancelledCloseKeepsTheWindow();

    void documentFromOutsideAsksFirst_data();
    void documentFromOutsideAsksFirst();
    void documentsWaitForModalDialogs();
    void launchesBeyondTheQueueAreRefused();
    void readingPutsAwayAllButThePanels_data();
    void readingPutsAwayAllButThePanels();
    void fullScreenIsRefused();
    void placeIsKeptWhileOffScreen_data();
    void placeIsKeptWhileOffScreen();
    void windowCarriesBrivelsIcon();
    void updateCheckFollowsTheOnboarding_data();
    void updateCheckFollowsTheOnboarding();

private:
    FakeDialogs &dialogs() const { return static_cast<FakeDialogs &>(m_app->dialogs()); }
    BrivelService &service() const { return m_app->service(); }
    MainWindow &window() const { return m_app->mainWindow(); }

    QTemporaryDir m_home;
    std::unique_ptr<BrivelApplication> m_app;
};

void TestShellWindow::initTestCase()
{
    // Never the user's own files, whoever runs the test.
    QVERIFY(m_home.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(u"config"_s)));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(u"data"_s)));
}

void TestShellWindow::init()
{
    QDir(m_home.filePath(u"data"_s)).removeRecursively();
    m_app = std::make_unique<BrivelApplication>(std::make_unique<FakeDialogs>());
    m_app->start();
    QVERIFY(QTest::qWaitForWindowExposed(&window()));
}

void TestShellWindow::cleanup()
{
    m_app.reset();
}

void TestShellWindow::menuBarHasOnlyTheApplicationAndFileMenus()
{
    QStringList titles;
    for (const QAction *menu : window().menuBar()->actions())
        titles << menu->text();
    QCOMPARE(titles, QStringList({u"Brivel"_s, localizedString("Archivo")}));
}

void TestShellWindow::menuItems_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QByteArray>("notification"); // empty: the item reaches no listener
    QTest::newRow("about") << 0 << localizedString("Acerca de Brivel") << QKeySequence()
                           << QByteArray(SIGNAL(openAbout()));
    QTest::newRow("settings") << 0 << localizedString("Ajustes…") << QKeySequence(u"Ctrl+,"_s)
                              << QByteArray(SIGNAL(openSettings()));
    QTest::newRow("quit") << 0 << localizedString("Salir") << QKeySequence(u"Ctrl+Q"_s)
                          << QByteArray();
    QTest::newRow("open") << 1 << localizedString("Abrir archivo o presentación…")
                          << QKeySequence(u"Ctrl+O"_s) << QByteArray();
    QTest::newRow("save") << 1 << localizedString("Guardar") << QKeySequence(u"Ctrl+S"_s)
                          << QByteArray();
    QTest::newRow("save as") << 1 << localizedString("Guardar como…")
                             << QKeySequence(u"Ctrl+Shift+S"_s) << QByteArray();
    QTest::newRow("reading") << 1 << localizedString("Iniciar / Detener lectura")
                             << QKeySequence(u"Ctrl+Return"_s)
                             << QByteArray(SIGNAL(toggleTeleprompter()));
}

void TestShellWindow::menuItems()
{
    QFETCH(int, menu);
    QFETCH(QString, label);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QByteArray, notification);
    QAction *found = findAction(window().menuBar(), label);
    QVERIFY2(found && window().menuBar()->actions().at(menu)->menu()->actions().contains(found),
             qPrintable(label));
    QCOMPARE(found->shortcut(), shortcut);
    if (notification.isEmpty())
        return;
    QSignalSpy notified(&AppSignals::shared(), notification.constData());
    found->trigger();
    QCOMPARE(notified.count(), 1);
    QVERIFY(!m_app->isQuitting());
}

void TestShellWindow::readingShortcutReachesTheEditor()
{
    window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window()));
    QSignalSpy toggled(&AppSignals::shared(), &AppSignals::toggleTeleprompter);
    QTest::keyClick(&window(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(toggled.count(), 1);
}

void TestShellWindow::openAndSaveReachTheService()
{
    findAction(window().menuBar(), localizedString("Abrir archivo o presentación…"))->trigger();
    QCOMPARE(dialogs().openPanels.size(), 1);

    QAction *save = findAction(window().menuBar(), localizedString("Guardar"));
    service().setPages({u"first draft"_s});
    save->trigger(); // no file yet: the save panel, cancelled
    QCOMPARE(dialogs().savePanels.size(), 1);
    QVERIFY(service().hasUnsavedChanges());

    const QString path = m_home.filePath(u"talk.brivel"_s);
    dialogs().savePanelAnswer = path;
    findAction(window().menuBar(), localizedString("Guardar como…"))->trigger();
    QCOMPARE(dialogs().savePanels.size(), 2);
    QCOMPARE(service().currentFilePath(), path);

    service().setPages({u"second draft"_s});
    save->trigger(); // to the document's own file, without a panel
    QCOMPARE(dialogs().savePanels.size(), 2);
    QCOMPARE(pagesInFile(path), QStringList{u"second draft"_s});
}

void TestShellWindow::closing_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<Choice>("choice");
    QTest::addColumn<bool>("fromMenu");
    const QStringList edit{u"typed a moment ago"_s};
    // What the editor writes over a fresh profile's empty page.
    QStringList sample;
    for (const EditorController::SamplePage &page : EditorController::sampleContent())
        sample << page.text;
    QTest::newRow("nothing to save, window") << QStringList() << false << Choice::cancel << false;
    QTest::newRow("nothing to save, Salir") << QStringList() << false << Choice::cancel << true;
    QTest::newRow("Descartar, window") << edit << true << Choice::discard << false;
    QTest::newRow("Descartar, Salir") << edit << true << Choice::discard << true;
    QTest::newRow("untouched sample, window") << sample << false << Choice::cancel << false;
    QTest::newRow("untouched sample, Salir") << sample << false << Choice::cancel << true;
    // Written in the other language, before a switch to this one.
    const bool english = NotchSettings::shared().appLanguage() == u"en"_s;
    QStringList other;
    for (const EditorController::SamplePage &page :
         EditorController::sampleContent(*Bundle::localization(english ? u"es"_s : u"en"_s)))
        other << page.text;
    QTest::newRow("untouched sample of the other language")
        << other << false << Choice::cancel << false;
}

// Every edit reaches the autosave before the process ends, however it ends.
void TestShellWindow::closing()
{
    QFETCH(QStringList, typed);
    QFETCH(bool, asked);
    QFETCH(Choice, choice);
    QFETCH(bool, fromMenu);
    if (!typed.isEmpty())
        service().setPages(typed);
    dialogs().unsavedChoice = choice;

    const int exitCode = runUntilQuit([this, fromMenu] {
        if (fromMenu)
            findAction(window().menuBar(), localizedString("Salir"))->trigger();
        else
            window().close();
    });
    QCOMPARE(exitCode, 0);
    QVERIFY(m_app->isQuitting());
    QCOMPARE(dialogs().unsavedQuestions, asked ? 1 : 0);
    if (!typed.isEmpty())
        QCOMPARE(pagesInFile(service().autosaveFilePath()), typed);
}

void TestShellWindow::cancelledCloseKeepsTheWindow_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("window") << false;
    QTest::newRow("Salir") << true;
}

void TestShellWindow::cancelledCloseKeepsTheWindow()
{
    QFETCH(bool, fromMenu);
    service().setPages({u"unsaved"_s});
    dialogs().unsavedChoice = Choice::cancel;
    if (fromMenu)
        findAction(window().menuBar(), localizedString("Salir"))->trigger();
    else
        QVERIFY(!window().close());
    QCOMPARE(dialogs().unsavedQuestions, 1);
    QVERIFY(!m_app->isQuitting());
    QVERIFY(window().isVisible());
    QCOMPARE(service().pages(), QStringList{u"unsaved"_s});
}

void TestShellWindow::documentFromOutsideAsksFirst_data()
{
    // What the window holds before: nothing, an edit, or pages restored from the autosave.
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("restored");
    QTest::addColumn<Choice>("choice");
    QTest::addColumn<bool>("asURL");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("opened");
    const QStringList mine{u"mine"_s};
    QStringList sample;
    for (const EditorController::SamplePage &page : EditorController::sampleContent())
        sample << page.text;
    QTest::newRow("no changes") << QStringList() << QStringList() << Choice::cancel << false
                                << false << true;
    QTest::newRow("Cancelar") << mine << QStringList() << Choice::cancel << false << true << false;
    QTest::newRow("Descartar") << mine << QStringList() << Choice::discard << false << true << true;
    QTest::newRow("Descartar, file URL")
        << mine << QStringList() << Choice::discard << true << true << true;
    QTest::newRow("restored, Cancelar")
        << QStringList() << mine << Choice::cancel << false << true << false;
    QTest::newRow("restored, Descartar")
        << QStringList() << mine << Choice::discard << false << true << true;
    QTest::newRow("restored untouched sample")
        << QStringList() << sample << Choice::cancel << false << false << true;
    QTest::newRow("a fresh profile's untouched sample")
        << sample << QStringList() << Choice::cancel << false << false << true;
}

void TestShellWindow::documentFromOutsideAsksFirst()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, restored);
    QFETCH(Choice, choice);
    QFETCH(bool, asURL);
    QFETCH(bool, asked);
    QFETCH(bool, opened);
    const QString path = m_home.filePath(u"from outside.brivel"_s);
    writeDocument(path, {u"outside page"_s});
    if (!restored.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(service().autosaveFilePath()).path()));
        writeDocument(service().autosaveFilePath(), restored);
        service().loadAutosave();
    }
    if (!typed.isEmpty())
        service().setPages(typed);
    const QStringList before = service().pages();
    dialogs().unsavedChoice = choice;
    window().hide();

    m_app->handleLaunchArguments({asURL ? QUrl::fromLocalFile(path).toString() : path});
    QCOMPARE(dialogs().unsavedQuestions, asked ? 1 : 0);
    const QStringList expected = opened ? QStringList{u"outside page"_s} : before;
    QCOMPARE(service().pages(), expected);
    QCOMPARE(service().currentFilePath(), opened ? path : QString());
    QVERIFY(window().isVisible());
    // What the autosave keeps is what the window shows, once its debounces have run.
    const QList<QTimer *> debounces = service().findChildren<QTimer *>();
    QTRY_VERIFY(std::none_of(debounces.cbegin(), debounces.cend(),
                             [](const QTimer *timer) { return timer->isActive(); }));
    service().flushAutosave();
    QCOMPARE(pagesInFile(service().autosaveFilePath()), expected);
}

// Documents handed over while a modal dialog is up wait for it, then open one at a time, each
// document once however often it was sent.
void TestShellWindow::documentsWaitForModalDialogs()
{
    auto owned = std::make_unique<ModalDialogs>();
    ModalDialogs &modal = *owned;
    m_app = std::make_unique<BrivelApplication>(std::move(owned));
    m_app->start();
    modal.unsavedChoice = Choice::discard;
    const QString missing = m_home.filePath(u"gone.brivel"_s);
    const QString talk = m_home.filePath(u"talk.brivel"_s);
    writeDocument(talk, {u"talk page"_s});
    modal.whileOpen = {
        // The user's own open panel is up.
        [&] {
            for (int i = 0; i < 3; ++i)
                m_app->handleLaunchArguments({missing});
            m_app->handleLaunchArguments({missing, talk});
            QCOMPARE(modal.alerts.size(), 0);
        },
        // The missing document's alert is up.
        [&] {
            m_app->handleLaunchArguments({talk});
            m_app->handleLaunchArguments({missing});
            QCOMPARE(service().currentFilePath(), QString());
        },
    };
    window().openAction()->trigger();
    QTRY_COMPARE(service().pages(), QStringList{u"talk page"_s});
    QCOMPARE(modal.deepest, 1);
    QCOMPARE(modal.alerts.size(), 1);
    QCOMPARE(modal.openPanels.size(), 1);
    QCOMPARE(service().currentFilePath(), talk);
}

// However long a question keeps them waiting, 64 launches wait; one beyond is refused whole (a
// document already waiting still counts as taken), and those waiting open in turn afterwards.
void TestShellWindow::launchesBeyondTheQueueAreRefused()
{
    auto owned = std::make_unique<ModalDialogs>();
    ModalDialogs &modal = *owned;
    m_app = std::make_unique<BrivelApplication>(std::move(owned));
    m_app->start();
    modal.unsavedChoice = Choice::discard;
    QStringList documents;
    for (int i = 0; i < 64 + 1; ++i) {
        documents << m_home.filePath(u"talk %1.brivel"_s.arg(i));
        writeDocument(documents.constLast(), {u"page %1"_s.arg(i)});
    }
    QList<bool> taken;
    modal.whileOpen = {[&] {
        for (const QString &document : documents) {
            taken << m_app->canTakeLaunch({document});
            if (taken.constLast())
                m_app->handleLaunchArguments({document});
        }
        taken << m_app->canTakeLaunch({documents.constFirst()});
    }};
    window().openAction()->trigger();
    const QList<bool> expected = QList<bool>(64, true) + QList<bool>{false, true};
    QCOMPARE(taken, expected);
    QTRY_COMPARE(service().currentFilePath(), documents.at(63));
    QCOMPARE(service().pages(), QStringList{u"page 63"_s});
}

void TestShellWindow::readingPutsAwayAllButThePanels_data()
{
    QTest::addColumn<bool>("textFromOutside");
    QTest::newRow("the editor's pages") << false;
    QTest::newRow("text from outside") << true;
}

// The main window stays in the taskbar, minimised, unless the text came from outside.
void TestShellWindow::readingPutsAwayAllButThePanels()
{
    QFETCH(bool, textFromOutside);
    auto *panel = new OverlayPanel(new QWidget);
    panel->show();
    QWidget other;
    other.show();
    service().setLaunchedExternally(textFromOutside);
    service().hideMainWindows();
    QTRY_VERIFY(!other.isVisible());
    QVERIFY(panel->isVisible());
    QVERIFY(!panel->isMinimized());
    QCOMPARE(window().isVisible(), !textFromOutside);
    QCOMPARE(window().isMinimized(), !textFromOutside);
    delete panel;
}

void TestShellWindow::fullScreenIsRefused()
{
    window().showFullScreen();
    QTRY_VERIFY(!window().windowState().testFlag(Qt::WindowFullScreen));
    QVERIFY(window().isVisible());
}

void TestShellWindow::placeIsKeptWhileOffScreen_data()
{
    QTest::addColumn<QPoint>("movedWhileHidden");
    QTest::newRow("left alone") << QPoint();
    // As a window manager hands a withdrawn window back: where its title bar began.
    QTest::newRow("handed back at its frame") << QPoint(0, -37);
}

// A link takes the editor off screen; a later launch brings it back where the user left it.
void TestShellWindow::placeIsKeptWhileOffScreen()
{
    QFETCH(QPoint, movedWhileHidden);
    const QRect place(QPoint(31, 5), window().size());
    window().setGeometry(place);
    QTRY_COMPARE(window().geometry(), place);
    service().setLaunchedExternally(true);
    service().hideMainWindows();
    QTRY_VERIFY(!window().isVisible());
    window().move(window().pos() + movedWhileHidden);
    m_app->handleLaunchArguments({});
    QVERIFY(window().isVisible());
    QCOMPARE(window().geometry(), place);
}

void TestShellWindow::windowCarriesBrivelsIcon()
{
    const QIcon icon = window().windowIcon();
    for (const int side : {16, 24, 32, 48, 64, 128, 256})
        QVERIFY2(icon.availableSizes().contains(QSize(side, side)),
                 qPrintable(QString::number(side)));
    // Drawn from the image: a clear rounded corner, and the line being read in its accent.
    const QImage image = icon.pixmap(QSize(256, 256)).toImage();
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(image.pixelColor(128, 93), QColor(0, 216, 191));
}

void TestShellWindow::updateCheckFollowsTheOnboarding_data()
{
    QTest::addColumn<bool>("onboarded");
    QTest::addColumn<int>("requests");
    QTest::newRow("first launch") << false << 0;
    QTest::newRow("after the onboarding") << true << 1;
}

// Once per launch, and never before the onboarding is done; bringing the window back does not
// look again.
void TestShellWindow::updateCheckFollowsTheOnboarding()
{
    QFETCH(bool, onboarded);
    QFETCH(int, requests);
    QTcpServer feed;
    QVERIFY(feed.listen(QHostAddress::LocalHost));
    int connections = 0;
    connect(&feed, &QTcpServer::newConnection, &feed, [&] {
        while (feed.nextPendingConnection())
            ++connections;
    });
    const QString key = u"hasCompletedOnboarding"_s;
    KeyValueStore::standard().setValue(key, onboarded);
    m_app.reset();
    m_app = std::make_unique<BrivelApplication>(std::make_unique<FakeDialogs>());
    m_app->updateFeedUrl = QUrl(u"http://127.0.0.1:%1/latest.json"_s.arg(feed.serverPort()));
    m_app->start();
    KeyValueStore::standard().remove(key);
    QVERIFY(QTest::qWaitForWindowExposed(&window()));
    m_app->handleLaunchArguments({});
    QTRY_COMPARE_WITH_TIMEOUT(connections, requests, 5000);
    QTest::qWait(BrivelApplication::updateCheckDelayMs + 500);
    QCOMPARE(connections, requests);
}

QTEST_MAIN(TestShellWindow)
#include "tst_shell_window.moc"
