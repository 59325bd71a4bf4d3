#include "platform/datafolderlock.h"
#include "platform/userfiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestUserFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void movedAsideTwiceInOneSecondKeepsBoth();
    void newFilesAreTheOwnersOnlyUnderAnyUmask();
    void whatStandsInTheLockPlace_data();
    void whatStandsInTheLockPlace();
    void aLockLetGoWithinTheWaitIsTaken();
    void aFolderLockedByAnotherProgramIsClaimedAfterTheWait();
    void startsTogetherOverAFolderLeaveOneHolder();
};

void TestUserFiles::movedAsideTwiceInOneSecondKeepsBoth()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pages.json"_s);
    for (int i = 0; i < 2; ++i)
        QVERIFY(QFile(path).open(QIODevice::WriteOnly)
                && !UserFiles::moveAside(path, u"x"_s).isEmpty());
    QCOMPARE(QDir(dir.path()).entryList({u"pages.json.*"_s}, QDir::Files).size(), 2);
}

void TestUserFiles::newFilesAreTheOwnersOnlyUnderAnyUmask()
{
    for (const auto &[before, after] : {std::pair(0000, 0077), {0022, 0077}, {0222, 0277}}) {
        const mode_t previous = ::umask(mode_t(before));
        UserFiles::keepNewFilesFromOthers();
        QCOMPARE(int(::umask(previous)), after);
    }
}

// Only a regular file is the lock; anything else there is kept under another name, and a link
// is never followed.
void TestUserFiles::whatStandsInTheLockPlace_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("regular file") << u"file"_s;
    QTest::newRow("directory") << u"directory"_s;
    QTest::newRow("FIFO") << u"fifo"_s;
    QTest::newRow("link to a missing file") << u"link"_s;
}

void TestUserFiles::whatStandsInTheLockPlace()
{
    QFETCH(QString, kind);
    QTemporaryDir folder;
    const QByteArray lock = QFile::encodeName(folder.filePath(u"brivel.lock"_s));
    const QByteArray target = QFile::encodeName(folder.filePath(u"elsewhere"_s));
    QCOMPARE(kind == u"file"        ? ::close(::creat(lock.constData(), 0600))
             : kind == u"directory" ? ::mkdir(lock.constData(), 0700)
             : kind == u"fifo"      ? ::mkfifo(lock.constData(), 0600)
                                    : ::symlink(target.constData(), lock.constData()),
             0);
    struct stat before = {}, after = {};
    ::lstat(lock.constData(), &before);
    if (kind != u"file")
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"was not a file; kept as "_s));

    DataFolderLock claimed;
    QVERIFY(claimed.claim(folder.path()) && claimed.isHeld());
    QCOMPARE(::lstat(lock.constData(), &after), 0);
    QVERIFY(S_ISREG(after.st_mode) && !QFile::exists(QFile::decodeName(target)));
    QCOMPARE(after.st_ino == before.st_ino, kind == u"file");
    QCOMPARE(
        QDir(folder.path()).entryList({u"*not-a-file*"_s}, QDir::AllEntries | QDir::System).size(),
        kind == u"file" ? 0 : 1);
}

// A session that just quit lets go of the lock while a new launch waits for it.
void TestUserFiles::aLockLetGoWithinTheWaitIsTaken()
{
    QTemporaryDir folder;
    auto quitting = std::make_unique<DataFolderLock>();
    QVERIFY(quitting->claim(folder.path()));
    std::atomic<bool> letGo = false;
    std::thread quit([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        letGo = true;
        quitting.reset();
    });
    DataFolderLock launch;
    const bool claimed = launch.claim(folder.path());
    // Taken only once the other let go: the launch waited for it.
    const bool waited = letGo;
    quit.join();
    QVERIFY(claimed && waited);
}

// A backup or sync tool holds the folder itself locked while a start finds something to move
// aside in the lock's place: the start claims the folder once its wait is over.
void TestUserFiles::aFolderLockedByAnotherProgramIsClaimedAfterTheWait()
{
    QTemporaryDir folder;
    QVERIFY(QDir().mkdir(folder.filePath(u"brivel.lock"_s)));
    const int tool = ::open(QFile::encodeName(folder.path()).constData(), O_RDONLY | O_DIRECTORY);
    QCOMPARE(::flock(tool, LOCK_EX), 0);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"was not a file; kept as "_s));
    std::atomic<bool> claimed = false;
    std::thread start([&] {
        DataFolderLock lock;
        claimed = lock.claim(folder.path()) && lock.isHeld();
    });
    // A start that waited for ever would hold the test: the tool lets go after a bound.
    const bool inTime
        = QTest::qWaitFor([&] { return claimed.load(); }, DataFolderLock::waitMs + 8'000);
    ::close(tool);
    start.join();
    QVERIFY(inTime);
}

// Starts that all find a folder in the lock's place move it aside once between them: none moves
// aside the fresh lock another has just taken.
void TestUserFiles::startsTogetherOverAFolderLeaveOneHolder()
{
    for (int round = 0; round < 3; ++round) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"was not a file; kept as "_s));
        QTemporaryDir folder;
        QVERIFY(QDir().mkdir(folder.filePath(u"brivel.lock"_s)));
        constexpr int starts = 12;
        std::vector<std::unique_ptr<DataFolderLock>> locks;
        std::vector<std::thread> threads;
        std::atomic<int> ready = 0;
        std::atomic<int> held = 0;
        for (int i = 0; i < starts; ++i)
            locks.push_back(std::make_unique<DataFolderLock>());
        for (int i = 0; i < starts; ++i) {
            threads.emplace_back([&, i] {
                for (++ready; ready < starts;) {
                }
                held += locks[size_t(i)]->claim(folder.path()) ? 1 : 0;
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(held.load(), 1);
        QCOMPARE(QDir(folder.path())
                     .entryList({u"*not-a-file*"_s}, QDir::AllEntries | QDir::System)
                     .size(),
                 1);
    }
}

QTEST_GUILESS_MAIN(TestUserFiles)
#include "tst_userfiles.moc"
