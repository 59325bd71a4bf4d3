#include "common/files.h"
#include "crashdocument.h"

#include "common/appfakes.h"
#include "document/savedata.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QThread>

#include <functional>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using TestSupport::readFile;
using TestSupport::writeFile;
using Change = std::function<void(BrivelService &)>;
using MakeFile = std::function<void(const QString &)>;
// What happens after the first run saved its pages, given the service and the folder.
using Between = std::function<void(BrivelService &, const QString &)>;

std::optional<SaveData> readAutosave(const BrivelService &service)
{
    return SaveData::decode(readFile(service.autosaveFilePath()));
}

QStringList movedAside(const QString &directory)
{
    return QDir(directory).entryList({u"pages.json.unreadable-*"_s},
                                     QDir::AllEntries | QDir::System | QDir::Hidden);
}

} // namespace

// The autosave file: debounce, hand-off to the worker, loading, and what survives a crash.
class TestDocumentAutosave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void burstOfEditsIsWrittenOnceAfterTheLastOne();
    void flushWritesAPendingChange_data();
    void flushWritesAPendingChange();
    void loadAutosave_data();
    void loadAutosave();
    void loadedPagesAreWrittenBackInTheCurrentForm();
    void openedDocumentReachesTheAutosave();
    void documentFileIsKeptAcrossARelaunch_data();
    void documentFileIsKeptAcrossARelaunch();
    void unusableAutosaveIsMovedAside_data();
    void unusableAutosaveIsMovedAside();
    void writeFailureIsLogged();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void createdFilesAreTheOwnersOnly();
    void killedWhileWritingLeavesACompleteFile();
};

void TestDocumentAutosave::burstOfEditsIsWrittenOnceAfterTheLastOne()
{
    ServiceFixture f;
    const QString file = f.service.autosaveFilePath();
    for (int i = 1; i <= 5; ++i) {
        f.service.setPages({u"draft %1"_s.arg(i)});
        QTest::qWait(20);
    }
    QVERIFY(!QFileInfo::exists(file));
    QTRY_VERIFY(QFileInfo::exists(file));
    QCOMPARE(readAutosave(f.service)->pages, QStringList{u"draft 5"_s});

    // Any further write would replace the marker.
    writeFile(file, "marker");
    QTest::qWait(800);
    QCOMPARE(readFile(file), QByteArray("marker"));
}

void TestDocumentAutosave::flushWritesAPendingChange_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("written");
    QTest::newRow("pages") << Change([](BrivelService &s) { s.setPages({u"edited"_s}); }) << true;
    QTest::newRow("titles") << Change([](BrivelService &s) { s.setPageTitles({u"renamed"_s}); })
                            << true;
    QTest::newRow("while suppressed") << Change([](BrivelService &s) {
        s.setSuppressAutosave(true);
        s.setPages({u"edited"_s});
    }) << false;
    QTest::newRow("unchanged value")
        << Change([](BrivelService &s) { s.setPages({QString()}); }) << false;
}

void TestDocumentAutosave::flushWritesAPendingChange()
{
    QFETCH(Change, change);
    QFETCH(bool, written);
    ServiceFixture f;
    change(f.service);
    f.service.flushAutosave();
    QCOMPARE(QFileInfo::exists(f.service.autosaveFilePath()), written);
    if (written) {
        const std::optional<SaveData> saved = readAutosave(f.service);
        QVERIFY(saved);
        QCOMPARE(saved->pages, f.service.pages());
        QCOMPARE(saved->titles, f.service.pageTitles());
    }
}

void TestDocumentAutosave::loadAutosave_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QStringList>("titles");
    const QStringList abc{u"a"_s, u"b"_s, u"c"_s};
    const QStringList noTitles(3, QString());
    QTest::newRow("record") << QByteArray(R"({"version":1,"pages":["a","b","c"],"titles":["t"]})")
                            << true << abc << QStringList{u"t"_s, {}, {}};
    QTest::newRow("bare list") << QByteArray(R"(["a","b","c"])") << true << abc << noTitles;
    // Versions and limits guard documents from elsewhere, not the app's own file.
    QTest::newRow("later version")
        << QByteArray(R"({"version":7,"pages":["a","b","c"],"titles":[]})") << true << abc
        << noTitles;
    const QStringList many(BrivelService::maximumPages + 1, u"p"_s);
    QTest::newRow("over the page limit")
        << SaveData::encode(many, {}) << true << many << QStringList(many.size(), QString());
    QTest::newRow("no pages") << QByteArray(R"({"pages":[],"titles":["t"]})") << false
                              << QStringList{QString()} << QStringList{QString()};
    QTest::newRow("empty bare list")
        << QByteArray("[]") << false << QStringList{QString()} << QStringList{QString()};
}

void TestDocumentAutosave::loadAutosave()
{
    QFETCH(QByteArray, content);
    ServiceFixture f;
    writeFile(f.service.autosaveFilePath(), content);
    f.service.loadAutosave();
    QTEST(f.service.dataWasLoaded(), "loaded");
    QTEST(f.service.pages(), "pages");
    QTEST(f.service.pageTitles(), "titles");
    QVERIFY(!f.service.hasUnsavedChanges());
    QVERIFY(movedAside(f.directory.path()).isEmpty());
}

void TestDocumentAutosave::loadedPagesAreWrittenBackInTheCurrentForm()
{
    ServiceFixture f;
    writeFile(f.service.autosaveFilePath(), R"(["old","form"])");
    f.service.loadAutosave();
    QTRY_VERIFY(readFile(f.service.autosaveFilePath()).startsWith(R"({"version":1,)"));
    QCOMPARE(readAutosave(f.service)->pages, QStringList({u"old"_s, u"form"_s}));
}

void TestDocumentAutosave::openedDocumentReachesTheAutosave()
{
    ServiceFixture f;
    const QString document = f.path(u"talk.brivel"_s);
    writeFile(document, SaveData::encode({u"Opened"_s}, {u"Title"_s}));
    f.service.openDocument(document);
    QTRY_VERIFY(QFileInfo::exists(f.service.autosaveFilePath()));
    QCOMPARE(readAutosave(f.service)->pages, QStringList{u"Opened"_s});
}

void TestDocumentAutosave::documentFileIsKeptAcrossARelaunch_data()
{
    QTest::addColumn<Between>("between");
    // The file the relaunched pages belong to; empty for none.
    QTest::addColumn<QString>("tiedTo");
    const QString talk = u"charla.brivel"_s;
    QTest::newRow("saved") << Between([](BrivelService &, const QString &) {}) << talk;
    QTest::newRow("opened") << Between([](BrivelService &s, const QString &directory) {
        writeFile(directory + u"/other.brivel"_s, SaveData::encode({u"otra"_s}, {u"T"_s}));
        s.openDocument(directory + u"/other.brivel"_s);
    }) << u"other.brivel"_s;
    QTest::newRow("opened from a file with fewer titles than pages")
        << Between([](BrivelService &s, const QString &directory) {
               writeFile(directory + u"/other.brivel"_s,
                         R"({"version":1,"pages":["otra","dos"],"titles":["T"]})");
               s.openDocument(directory + u"/other.brivel"_s);
           })
        << u"other.brivel"_s;
    QTest::newRow("edited after the save")
        << Between([](BrivelService &s, const QString &) { s.setPages({u"charla editada"_s}); })
        << QString();
    QTest::newRow("edited, then back to what the file holds")
        << Between([](BrivelService &s, const QString &) {
               const QStringList pages = s.pages();
               s.setPages({u"charla editada"_s});
               s.flushAutosave();
               s.setPages(pages);
           })
        << talk;
    QTest::newRow("a title renamed after the save")
        << Between([](BrivelService &s, const QString &) { s.setPageTitles({u"Otra"_s}); })
        << QString();
    QTest::newRow("the file changed in between")
        << Between([](BrivelService &s, const QString &directory) {
               writeFile(directory + u"/charla.brivel"_s,
                         SaveData::encode(s.pages() + QStringList{u"más"_s}, s.pageTitles()));
           })
        << QString();
    QTest::newRow("the file removed in between")
        << Between([](BrivelService &, const QString &directory) {
               QFile::remove(directory + u"/charla.brivel"_s);
           })
        << QString();
    QTest::newRow("a presentation replaced the pages")
        << Between([](BrivelService &s, const QString &) {
               const QStringList pages = s.pages();
               QVERIFY(!s.applyImportedSlides(pages));
               s.setPageTitles({u"Intro"_s});
           })
        << QString();
}

// The pages a relaunch restores stay tied to the file they were last opened from or saved to,
// as long as that file still holds exactly them.
void TestDocumentAutosave::documentFileIsKeptAcrossARelaunch()
{
    QFETCH(Between, between);
    QFETCH(QString, tiedTo);
    ServiceFixture f;
    const QString talk = f.path(u"charla.brivel"_s);
    f.service.setPages({u"charla"_s, u"segunda"_s});
    f.service.setPageTitles({u"Intro"_s});
    QVERIFY(f.service.save(talk));
    between(f.service, f.directory.path());
    f.service.flushAutosave();

    FakeDialogs dialogs;
    BrivelService relaunched(f.settings, f.overlay, dialogs, f.directory.path());
    relaunched.loadAutosave();
    QCOMPARE(relaunched.pages(), f.service.pages());
    const QString file = tiedTo.isEmpty() ? QString() : f.path(tiedTo);
    QCOMPARE(relaunched.currentFilePath(), file);
    QVERIFY(!relaunched.hasUnsavedChanges());
    // Pages in no file ask before another document replaces them; "Cancelar" stays.
    QCOMPARE(relaunched.confirmReplacingPages(), !file.isEmpty());
    QCOMPARE(dialogs.unsavedQuestions, file.isEmpty() ? 1 : 0);
    if (file.isEmpty())
        return;
    relaunched.setPages({u"otra vez"_s});
    QVERIFY(relaunched.save(relaunched.currentFilePath()));
    QCOMPARE(SaveData::decode(readFile(file))->pages, QStringList{u"otra vez"_s});
}

void TestDocumentAutosave::unusableAutosaveIsMovedAside_data()
{
    QTest::addColumn<MakeFile>("make");
    QTest::newRow("not JSON") << MakeFile(
        [](const QString &path) { writeFile(path, "{\"pages\": [\"half"); });
    QTest::newRow("wrong types") << MakeFile(
        [](const QString &path) { writeFile(path, R"({"pages":"a","titles":[]})"); });
    QTest::newRow("directory") << MakeFile([](const QString &path) { QDir().mkpath(path); });
    QTest::newRow("fifo") << MakeFile(
        [](const QString &path) { ::mkfifo(QFile::encodeName(path).constData(), 0600); });
    QTest::newRow("no permission") << MakeFile([](const QString &path) {
        writeFile(path, R"(["kept"])");
        QFile::setPermissions(path, {});
    });
}

void TestDocumentAutosave::unusableAutosaveIsMovedAside()
{
    QFETCH(MakeFile, make);
    if (QByteArray(QTest::currentDataTag()) == "no permission" && ::geteuid() == 0)
        QSKIP("File permissions do not bind the superuser, so the file stays readable.");
    ServiceFixture f;
    const QString file = f.service.autosaveFilePath();
    make(file);
    QFileInfo before(file);
    const QByteArray content = before.isFile() ? readFile(file) : QByteArray();

    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(u"^Autosave load failed: .+"_s));
    f.service.loadAutosave();
    QVERIFY(!f.service.dataWasLoaded());
    QCOMPARE(f.service.pages(), QStringList{QString()});
    const QStringList aside = movedAside(f.directory.path());
    QCOMPARE(aside.size(), 1);
    QVERIFY(QRegularExpression(u"^pages\\.json\\.unreadable-\\d{8}-\\d{6}$"_s)
                .match(aside.first())
                .hasMatch());
    const QString kept = f.path(aside.first());
    if (before.isFile()) {
        QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(readFile(kept), content);
    }

    // The next autosave takes the free place and leaves the kept file alone.
    f.service.setPages({u"new"_s});
    f.service.flushAutosave();
    QCOMPARE(readAutosave(f.service)->pages, QStringList{u"new"_s});
    QCOMPARE(movedAside(f.directory.path()), aside);
}

void TestDocumentAutosave::writeFailureIsLogged()
{
    ServiceFixture f;
    // A file where the autosave folder should be.
    const QString blocked = f.path(u"blocked"_s);
    writeFile(blocked, "x");
    BrivelService service(f.settings, f.overlay, f.dialogs, blocked);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(u"^Autosave failed: .+"_s));
    service.setPages({u"kept in memory"_s});
    service.flushAutosave();
    QCOMPARE(service.pages(), QStringList{u"kept in memory"_s});
    QVERIFY(f.dialogs.alerts.isEmpty());
}

void TestDocumentAutosave::fullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("realDisk");
    // Smaller and larger than what a file buffers before it writes.
    for (const char *mode : {"autosave", "save"}) {
        for (const int bytes : {3'000, 100'000}) {
            QTest::addRow("%s, %d bytes, file size limit", mode, bytes)
                << QString::fromLatin1(mode) << bytes << false;
            QTest::addRow("%s, %d bytes, full tmpfs", mode, bytes)
                << QString::fromLatin1(mode) << bytes << true;
        }
    }
}

// The write runs in the helper process, under a file size limit (with the program's start-up
// handling, writes past it fail with EFBIG) or on a full tmpfs of its own; the helper reports
// whether the old file survived.
void TestDocumentAutosave::fullDiskKeepsTheOldFile()
{
    QFETCH(QString, mode);
    QFETCH(int, bytes);
    QFETCH(bool, realDisk);
    const QString helper = QCoreApplication::applicationDirPath() + u"/autosave_crash_helper"_s;
    QTemporaryDir directory;
    const QString target = directory.filePath(mode == u"save" ? u"doc.brivel"_s : u"pages.json"_s);
    const QStringList arguments{directory.path(), mode, QString::number(bytes)};
    QProcess process;
    // A Spanish user: the alert gives the reason in Spanish, the log in the system's words.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"es_AR.UTF-8"_s);
    process.setProcessEnvironment(environment);
    QString reason;
    QString alertReason = u"El archivo supera el tamaño máximo que permite el sistema."_s;
    if (realDisk) {
        if (::geteuid() != 0 || QProcess::execute(u"unshare"_s, {u"-m"_s, u"true"_s}) != 0)
            QSKIP("A tmpfs of the test's own needs the superuser and a mount namespace.");
        const QString script = u"mount -t tmpfs -o size=64k tmpfs \"$1\" && printf old > \"$2\" "
                               u"&& { cat /dev/zero > \"$1/filler\" 2>/dev/null; "
                               u"exec \"$3\" \"$1\" \"$4\" \"$5\"; }"_s;
        process.start(u"unshare"_s, QStringList{u"-m"_s, u"sh"_s, u"-c"_s, script, u"sh"_s,
                                                directory.path(), target, helper}
                                        + arguments.mid(1));
        reason = qt_error_string(ENOSPC);
        alertReason = u"No queda espacio libre en el disco."_s;
    } else {
        writeFile(target, "old");
        process.setChildProcessModifier([] {
            const rlimit limit{1024, 1024};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        process.start(helper, arguments);
        reason = qt_error_string(EFBIG);
    }
    QVERIFY(process.waitForFinished(30'000));
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(process.exitCode() == 0, qPrintable(errors));
    const QString alert = mode == u"save"
                              ? u"alert Error al guardar el archivo: %1\n"_s.arg(alertReason)
                              : QString();
    QCOMPARE(QString::fromLocal8Bit(process.readAllStandardOutput()),
             alert + u"unsaved 1\nkept\n"_s);
    QCOMPARE(errors.contains(u"Autosave failed: "_s + reason), mode == u"autosave");
    if (!realDisk)
        QCOMPARE(readFile(target), QByteArray("old"));
}

void TestDocumentAutosave::createdFilesAreTheOwnersOnly()
{
    ServiceFixture f;
    const auto restoreUmask = qScopeGuard([previous = ::umask(0)] { ::umask(previous); });
    const auto mode = [](const QString &path) {
        struct stat status
        {};
        ::stat(QFile::encodeName(path).constData(), &status);
        return status.st_mode & 07777;
    };
    BrivelService service(f.settings, f.overlay, f.dialogs, f.path(u"data/Brivel"_s));
    service.setPages({u"mine"_s});
    service.flushAutosave();
    const QString existing = f.path(u"shared.brivel"_s);
    writeFile(existing, "old");
    QFile::setPermissions(existing, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                        | QFile::ReadOther);
    QVERIFY(service.save(f.path(u"new.brivel"_s)));
    QVERIFY(service.save(existing));

    QCOMPARE(mode(f.path(u"data"_s)), 0700u);
    QCOMPARE(mode(f.path(u"data/Brivel"_s)), 0700u);
    QCOMPARE(mode(service.autosaveFilePath()), 0600u);
    QCOMPARE(mode(f.path(u"new.brivel"_s)), 0600u);
    QCOMPARE(mode(existing), 0644u);
}

void TestDocumentAutosave::killedWhileWritingLeavesACompleteFile()
{
    const QString helper = QCoreApplication::applicationDirPath() + u"/autosave_crash_helper"_s;
    QVERIFY(QFileInfo::exists(helper));
    QTemporaryDir directory;
    const QString file = directory.filePath(u"pages.json"_s);
    for (int run = 0; run < 20; ++run) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(helper, {directory.path()});
        QVERIFY(process.waitForReadyRead(10'000));
        // Spread the kills over the writes that follow the first complete one.
        QThread::msleep((run * 7) % 50);
        process.kill();
        QVERIFY(process.waitForFinished(10'000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);

        const std::optional<SaveData> saved = SaveData::decode(readFile(file));
        QVERIFY2(saved, qPrintable(u"run %1 left no complete autosave"_s.arg(run)));
        const QString first = saved->pages.value(0);
        const qint64 generation = first.section(u' ', 1, 1).section(u':', 0, 0).toLongLong();
        QVERIFY(generation > 0);
        QCOMPARE(saved->pages, CrashDocument::pages(generation));
        QCOMPARE(saved->titles, CrashDocument::titles(generation));
    }
    QVERIFY(movedAside(directory.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestDocumentAutosave)
#include "tst_documentautosave.moc"
