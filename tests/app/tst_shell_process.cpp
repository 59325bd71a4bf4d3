#include "app/singleinstance.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray record(const QStringList &pages)
{
    const QJsonObject object{{u"version"_s, 1},
                             {u"pages"_s, QJsonArray::fromStringList(pages)},
                             {u"titles"_s, QJsonArray::fromStringList(QStringList(pages.size()))}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The program's own folders in `home`, on the offscreen platform; the runtime folder by the name.
QProcessEnvironment isolatedEnvironment(const QTemporaryDir &home,
                                        const QString &runtimeFolder = u"runtime"_s)
{
    const QString runtime = home.filePath(runtimeFolder);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
    environment.insert(u"XDG_DATA_HOME"_s, home.filePath(u"data"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    return environment;
}

QStringList autosavedPages(const QTemporaryDir &home)
{
    QFile file(home.filePath(u"data/Brivel/pages.json"_s));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList pages;
    for (const QJsonValue &page : QJsonDocument::fromJson(file.readAll())[u"pages"].toArray())
        pages << page.toString();
    return pages;
}

bool answers(const QString &socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    return socket.waitForConnected(200);
}

// Run by the superuser (as CI runs the suite), the program runs as nobody, whom permissions
// refuse what they refuse a user; the home and all in it become nobody's.
void runUnprivileged(QProcess &process, const QTemporaryDir &home)
{
    constexpr uid_t nobody = 65534;
    if (::geteuid() != 0)
        return;
    ::lchown(QFile::encodeName(home.path()).constData(), nobody, nobody);
    for (QDirIterator it(home.path(), QDir::AllEntries | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        ::lchown(QFile::encodeName(it.next()).constData(), nobody, nobody);
    process.setChildProcessModifier([] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
            ::_exit(126);
    });
}

} // namespace

// The real program, ended by the signals a session, a service manager or a terminal sends.
class TestShellProcess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void signalsEndThroughTheQuitSequence_data();
    void signalsEndThroughTheQuitSequence();
    void aLaunchTheRunningInstanceDoesNotTakeFails();
    void launchesBeyondTheQueueAreTold();
    void aFileSizeLimitFailsTheWriteNotTheProgram();
    void aDocumentKeepsItsFileAcrossARelaunch_data();
    void aDocumentKeepsItsFileAcrossARelaunch();
    void aFreshHomeIsTheOwnersOnly_data();
    void aFreshHomeIsTheOwnersOnly();
    void twoStartsOverALockThatIsNotAFile();
    void aLockFileOfAnotherUser_data();
    void aLockFileOfAnotherUser();
};

void TestShellProcess::signalsEndThroughTheQuitSequence_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestShellProcess::signalsEndThroughTheQuitSequence()
{
    QFETCH(int, signalNumber);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString runtime = home.filePath(u"runtime"_s);
    const QString autosave = home.filePath(u"data/Brivel/pages.json"_s);
    // An earlier run left an empty page: text in no document file would make the open below
    // ask first.
    QVERIFY(writeFile(autosave, record({u" "_s})));
    const QString document = home.filePath(u"talk.brivel"_s);
    QVERIFY(writeFile(document, record({u"today's talk"_s})));

    const QProcessEnvironment environment = isolatedEnvironment(home);

    // A crash of an earlier run left its socket behind; the new instance takes its place.
    const QString socketPath = runtime + u"/brivel.sock"_s;
    QVERIFY(writeFile(socketPath, QByteArray()));

    QProcess brivel;
    brivel.setProcessEnvironment(environment);
    brivel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    brivel.start(QStringLiteral(BRIVEL_EXECUTABLE), {});
    QVERIFY(brivel.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(answers(socketPath), 10'000);

    // A second launch hands the document over and ends; the running instance has opened it
    // by then, and its autosave of the new pages is pending for the next 500 ms.
    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(BRIVEL_EXECUTABLE), {document});
    QVERIFY(second.waitForFinished(10'000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);

    ::kill(pid_t(brivel.processId()), signalNumber);
    QVERIFY(brivel.waitForFinished(10'000));
    QCOMPARE(brivel.exitStatus(), QProcess::NormalExit);
    QCOMPARE(brivel.exitCode(), 0);

    QFile written(autosave);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(written.readAll()).object();
    QCOMPARE(saved[u"pages"].toArray(), QJsonArray{u"today's talk"_s});
    // An orderly end takes the socket with it.
    QVERIFY(!QFileInfo::exists(socketPath));
}

// The running instance is this test; a launch it does not take tries again for a while, then
// says so and fails instead of ending as if it had worked.
void TestShellProcess::aLaunchTheRunningInstanceDoesNotTakeFails()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString runtime = home.filePath(u"runtime"_s);
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    SingleInstance instance;
    instance.setMessageTimeoutMs(60'000);
    QVERIFY(instance.listen(runtime + u"/brivel.sock"_s));
    QSignalSpy received(&instance, &SingleInstance::argumentsReceived);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    const QString document = home.filePath(u"talk.brivel"_s);
    const auto launch = [&](QProcess &process) {
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(BRIVEL_EXECUTABLE), {document});
        return process.waitForStarted();
    };
    const auto ended = [](QProcess &process) { return process.state() == QProcess::NotRunning; };

    // Clients that say nothing hold every connection the instance serves.
    std::vector<std::unique_ptr<QLocalSocket>> held;
    for (int i = 0; i < SingleInstance::maximumConnections; ++i) {
        held.push_back(std::make_unique<QLocalSocket>());
        held.back()->connectToServer(runtime + u"/brivel.sock"_s);
        QVERIFY(held.back()->waitForConnected(2000));
    }
    QProcess turnedAway;
    QVERIFY(launch(turnedAway));
    QTRY_VERIFY_WITH_TIMEOUT(ended(turnedAway), 10'000);
    QCOMPARE(turnedAway.exitCode(), 1);
    QVERIFY(turnedAway.readAllStandardError().contains("too busy"));
    QCOMPARE(received.count(), 0);

    // Room comes while a launch is trying.
    QProcess retried;
    QVERIFY(launch(retried));
    QTimer::singleShot(500, this, [&held] { held.clear(); });
    QTRY_VERIFY_WITH_TIMEOUT(ended(retried), 10'000);
    QCOMPARE(retried.exitCode(), 0);
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.constFirst().constFirst().toStringList(), QStringList{document});

    // An instance whose event loop is stuck never answers.
    QProcess unanswered;
    QVERIFY(launch(unanswered));
    QVERIFY(unanswered.waitForFinished(10'000));
    QCOMPARE(unanswered.exitCode(), 1);
    QVERIFY(unanswered.readAllStandardError().contains("does not answer"));
}

// The running instance is the real program with a question open: every launch waits for it, up
// to as many as the queue holds; the rest are told at once, and fail.
void TestShellProcess::launchesBeyondTheQueueAreTold()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString runtime = home.filePath(u"runtime"_s);
    // Text in no document file: opening a document asks first, and the question stays open.
    QVERIFY(writeFile(home.filePath(u"data/Brivel/pages.json"_s), record({u"mine"_s})));

    const QProcessEnvironment environment = isolatedEnvironment(home);
    QProcess brivel;
    brivel.setProcessEnvironment(environment);
    brivel.start(QStringLiteral(BRIVEL_EXECUTABLE), {});
    QVERIFY(brivel.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(answers(runtime + u"/brivel.sock"_s), 10'000);

    // The first document is in hand behind its question; 64 wait; two more find no room.
    const int waiting = 64;
    QList<int> exitCodes;
    QByteArray told;
    for (int i = 0; i < 1 + waiting + 2; ++i) {
        QProcess launch;
        launch.setProcessEnvironment(environment);
        launch.start(QStringLiteral(BRIVEL_EXECUTABLE), {home.filePath(u"%1.brivel"_s.arg(i))});
        QVERIFY(launch.waitForFinished(10'000));
        exitCodes << launch.exitCode();
        if (launch.exitCode() != 0)
            told += launch.readAllStandardError();
    }
    const QList<int> expected = QList<int>(1 + waiting, 0) + QList<int>{1, 1};
    QCOMPARE(exitCodes, expected);
    QCOMPARE(told.count("too busy"), 2);
    QVERIFY(brivel.state() == QProcess::Running);
    brivel.kill();
    brivel.waitForFinished();
}

// Under a file size limit, a write past it fails as on a full disk: the program logs it and goes
// on, and the old autosave stays.
void TestShellProcess::aFileSizeLimitFailsTheWriteNotTheProgram()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString autosave = home.filePath(u"data/Brivel/pages.json"_s);
    const QByteArray restored = record({QString(100'000, u'w')});
    QVERIFY(writeFile(autosave, restored));
    QProcess brivel;
    brivel.setProcessEnvironment(isolatedEnvironment(home));
    brivel.setChildProcessModifier([] {
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    brivel.start(QStringLiteral(BRIVEL_EXECUTABLE), {});
    QVERIFY(brivel.waitForStarted());

    // The restored pages are written back half a second after the start.
    QString errors;
    const QString failure = u"Autosave failed: "_s + qt_error_string(EFBIG);
    QTRY_VERIFY_WITH_TIMEOUT(
        (errors += QString::fromLocal8Bit(brivel.readAllStandardError())).contains(failure)
            || brivel.state() == QProcess::NotRunning,
        10'000);
    QVERIFY2(brivel.state() == QProcess::Running, qPrintable(errors));
    ::kill(pid_t(brivel.processId()), SIGTERM);
    QVERIFY(brivel.waitForFinished(10'000));
    QCOMPARE(brivel.exitStatus(), QProcess::NormalExit);
    QCOMPARE(brivel.exitCode(), 0);
    QFile kept(autosave);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), restored);
}

void TestShellProcess::aDocumentKeepsItsFileAcrossARelaunch_data()
{
    QTest::addColumn<bool>("changedInBetween");
    QTest::newRow("file unchanged") << false;
    QTest::newRow("file changed in between") << true;
}

// A document opened in one run is the restored pages' file in the next, and another document
// replaces them without a question. Once the file changed, the pages are in no file: the
// question comes, and while it is open the pages stay.
void TestShellProcess::aDocumentKeepsItsFileAcrossARelaunch()
{
    QFETCH(bool, changedInBetween);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(writeFile(home.filePath(u"data/Brivel/pages.json"_s), record({u" "_s})));
    const QString talk = home.filePath(u"talk.brivel"_s);
    const QString other = home.filePath(u"other.brivel"_s);
    QVERIFY(writeFile(talk, record({u"today's talk"_s})));
    QVERIFY(writeFile(other, record({u"another talk"_s})));
    // `settled`: the pages may already be the expected ones, so the run gets time to change them.
    const auto run = [&](const QString &document, const QStringList &expected, bool settled) {
        QProcess brivel;
        brivel.setProcessEnvironment(isolatedEnvironment(home));
        brivel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        brivel.start(QStringLiteral(BRIVEL_EXECUTABLE), {document});
        QVERIFY(brivel.waitForStarted());
        // The autosave follows an open half a second later.
        if (settled)
            QTest::qWait(2'000);
        QTRY_COMPARE_WITH_TIMEOUT(autosavedPages(home), expected, 10'000);
        ::kill(pid_t(brivel.processId()), SIGTERM);
        QVERIFY(brivel.waitForFinished(10'000));
        QCOMPARE(brivel.exitCode(), 0);
    };

    run(talk, {u"today's talk"_s}, false);
    if (changedInBetween)
        QVERIFY(writeFile(talk, record({u"today's talk, edited elsewhere"_s})));
    run(other, {changedInBetween ? u"today's talk"_s : u"another talk"_s}, changedInBetween);
}

void TestShellProcess::aFreshHomeIsTheOwnersOnly_data()
{
    QTest::addColumn<int>("umask");
    QTest::newRow("umask 022") << 0022;
    QTest::newRow("umask 000") << 0000;
}

// Every folder the start creates on the way to the settings and the data is the owner's only.
void TestShellProcess::aFreshHomeIsTheOwnersOnly()
{
    QFETCH(int, umask);
    QTemporaryDir home;
    QProcessEnvironment environment = isolatedEnvironment(home);
    environment.remove(u"XDG_CONFIG_HOME"_s);
    environment.remove(u"XDG_DATA_HOME"_s);
    environment.insert(u"HOME"_s, home.path());
    QProcess brivel;
    brivel.setProcessEnvironment(environment);
    brivel.setChildProcessModifier([umask] { ::umask(mode_t(umask)); });
    brivel.start(QStringLiteral(BRIVEL_EXECUTABLE), {});
    QTRY_VERIFY_WITH_TIMEOUT(answers(home.filePath(u"runtime/brivel.sock"_s)), 10'000);
    // The socket answers before the start has made the folders of the data and the settings.
    for (const char *folder :
         {".local", ".local/share", ".local/share/Brivel", ".config", ".config/Brivel"}) {
        struct stat status
        {};
        QTRY_COMPARE(::stat(QFile::encodeName(home.filePath(QString::fromLatin1(folder))), &status),
                     0);
        QCOMPARE(status.st_mode & 07777, mode_t(0700));
    }
    brivel.kill();
    brivel.waitForFinished();
}

// Two sessions on one data folder from two runtime folders, started together over a folder in
// the lock's place: the folder is moved aside once and only one of them runs.
void TestShellProcess::twoStartsOverALockThatIsNotAFile()
{
    QTemporaryDir home;
    QVERIFY(QDir().mkpath(home.filePath(u"data/Brivel/brivel.lock"_s)));
    QProcess sessions[2];
    QByteArray told[2];
    for (int i : {0, 1}) {
        sessions[i].setProcessEnvironment(isolatedEnvironment(home, u"runtime%1"_s.arg(i)));
        sessions[i].start(QStringLiteral(BRIVEL_EXECUTABLE), {});
    }
    // The one turned away says so and waits on its alert; the other serves its socket.
    const auto refused = [&](int i) {
        return (told[i] += sessions[i].readAllStandardError()).contains("same data folder");
    };
    QTRY_VERIFY_WITH_TIMEOUT(refused(0) || refused(1), 15'000);
    const int running = refused(0) ? 1 : 0;
    QTRY_VERIFY_WITH_TIMEOUT(answers(home.filePath(u"runtime%1/brivel.sock"_s.arg(running))),
                             10'000);
    QVERIFY(!refused(running) && QFileInfo(home.filePath(u"data/Brivel/brivel.lock"_s)).isFile());
    QCOMPARE(
        QDir(home.filePath(u"data/Brivel"_s)).entryList({u"*not-a-file*"_s}, QDir::Dirs).size(), 1);
    for (QProcess &session : sessions)
        session.kill();
    for (QProcess &session : sessions)
        session.waitForFinished();
}

void TestShellProcess::aLockFileOfAnotherUser_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("heldByItsSession");
    QTest::newRow("0600") << 0600 << false;
    QTest::newRow("0000") << 0000 << false;
    QTest::newRow("0600, its session running") << 0600 << true;
}

// A run as the superuser with the user's home leaves a lock the user may not open in the user's
// own data folder. The next session moves it aside and takes a fresh lock, so that a session on
// another runtime folder is still turned away; while the other user's session runs, its lock
// holds.
void TestShellProcess::aLockFileOfAnotherUser()
{
    QFETCH(int, mode);
    QFETCH(bool, heldByItsSession);
    if (::geteuid() != 0 && mode != 0)
        QSKIP("A lock of another user's needs the superuser to make it.");
    QTemporaryDir home;
    const QString lock = home.filePath(u"data/Brivel/brivel.lock"_s);
    QVERIFY(writeFile(lock, QByteArray()));
    QProcess sessions[2];
    QByteArray told[2];
    for (int i : {0, 1}) {
        QProcessEnvironment environment = isolatedEnvironment(home, u"runtime%1"_s.arg(i));
        environment.insert(u"HOME"_s, home.path());
        sessions[i].setProcessEnvironment(environment);
    }
    for (QProcess &session : sessions)
        runUnprivileged(session, home);
    // The superuser's when the test runs as the superuser; else the test's own, unreadable.
    QCOMPARE(::lchown(QFile::encodeName(lock).constData(), ::geteuid(), ::getegid()), 0);
    QCOMPARE(::chmod(QFile::encodeName(lock).constData(), mode_t(mode)), 0);
    const int held = heldByItsSession ? ::open(QFile::encodeName(lock).constData(), O_RDONLY) : -1;
    QVERIFY(!heldByItsSession || ::flock(held, LOCK_EX) == 0);
    const auto cleanUp = qScopeGuard([&] {
        for (QProcess &session : sessions) {
            session.kill();
            session.waitForFinished();
        }
        if (held >= 0)
            ::close(held);
    });
    const auto refused = [&](int i) {
        return (told[i] += sessions[i].readAllStandardError()).contains("same data folder");
    };
    const auto movedAside = [&] {
        return QDir(home.filePath(u"data/Brivel"_s))
            .entryList({u"brivel.lock.unopenable-*"_s}, QDir::Files | QDir::System)
            .size();
    };

    sessions[0].start(QStringLiteral(BRIVEL_EXECUTABLE), {});
    if (heldByItsSession) {
        QTRY_VERIFY_WITH_TIMEOUT(refused(0), 15'000);
        QCOMPARE(movedAside(), 0);
        return;
    }
    // Its socket listens before the lock is claimed: the lock is what tells it has started.
    QTRY_COMPARE_WITH_TIMEOUT(movedAside(), 1, 15'000);
    QTRY_VERIFY_WITH_TIMEOUT(answers(home.filePath(u"runtime0/brivel.sock"_s)), 15'000);
    sessions[1].start(QStringLiteral(BRIVEL_EXECUTABLE), {});
    QTRY_VERIFY_WITH_TIMEOUT(refused(1), 15'000);
    QVERIFY(!answers(home.filePath(u"runtime1/brivel.sock"_s)));
}

QTEST_GUILESS_MAIN(TestShellProcess)
#include "tst_shell_process.moc"
