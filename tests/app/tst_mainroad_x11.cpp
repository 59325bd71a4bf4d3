#include "common/brivelwindows.h"
#include "common/files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <optional>

using namespace Qt::StringLiterals;
using namespace TestSupport;

namespace {

// Long enough for the panel's 0.3 s animations and a repaint.
void settle()
{
    QTest::qWait(800);
}

// Every file of a folder: its name, when it was last written and what it holds.
QStringList folderState(const QString &folder)
{
    QStringList state;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo &file : files) {
        state << file.fileName() + u' ' + file.lastModified().toString(Qt::ISODateWithMs) + u' '
                     + QString::fromUtf8(readFile(file.filePath()).toBase64());
    }
    return state;
}

} // namespace

// The main road as a person takes it: write a page, read it in the panel, step through the
// pages, stop, find the editor in the taskbar and the text kept. The real program on a real X
// server with a window manager.
class TestMainRoad : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editorStartsWithoutVoiceOrClips();
    void writeReadStepStopAndKeep();
    void oneDataFolderOneSession();
};

// The first window needs neither the voice follower nor the onboarding's clips, nor Thai's cell
// finder: none of their libraries is mapped once the editor is on screen, only when first used.
void TestMainRoad::editorStartsWithoutVoiceOrClips()
{
    BrivelProcess brivel;
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    settle();
    const QByteArray maps = readFile(u"/proc/%1/maps"_s.arg(brivel.process().processId()));
    QVERIFY2(maps.contains("libQt6Widgets"), "the program's libraries could not be read");
    for (const char *library :
         {"libespeak-ng", "libpcaudio", "libsonic", "libasound", "libpulse", "libQt6Multimedia",
          "libcld2", "libexttextcat", "libpocketsphinx", "libsphinxbase", "libthai", "libbrivel_"})
        QVERIFY2(!maps.contains(library), library);
}

void TestMainRoad::writeReadStepStopAndKeep()
{
    BrivelProcess brivel;
    const QString autosave = brivel.autosave();
    QVERIFY(brivel.start());

    // A fresh start shows the editor with the sample pages and the text focused.
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    const QString editor = mainWindow()->id;
    QTRY_COMPARE(keyboardWindow(), editor);
    QVERIFY(xdotool({u"key"_s, u"ctrl+a"_s}));
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"Good morning everyone"_s}));
    settle();
    grab(QRect(0, 0, 1280, 800)).save(u"mainroad-editor.png"_s);
    QTRY_COMPARE_WITH_TIMEOUT(jsonStringList(autosave, u"pages"_s).value(0),
                              u"Good morning everyone"_s, 5000);
    QVERIFY(jsonStringList(autosave, u"pages"_s).size() >= 2);

    // Ctrl+Return: the panel opens centred under the top edge with the page picker, and the
    // editor leaves the screen minimised, keeping its taskbar entry.
    QVERIFY(xdotool({u"key"_s, u"ctrl+Return"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(readingPanel().has_value(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(windowManagerState(editor), u"Iconic"_s, 5000);
    QVERIFY(!mainWindow().has_value());
    const QRect panel = readingPanel()->geometry;
    QVERIFY2(qAbs(panel.x() + panel.width() / 2 - 640) <= 1, "the panel is not centred");

    // The picker's choice opens the first page; the arrows step to the next page and back.
    const QRect words(readingPanel()->geometry.x(), 40, readingPanel()->geometry.width(), 100);
    QVERIFY(settled(words));
    const QImage picker = grab(words);
    QVERIFY(xdotool({u"key"_s, u"Right"_s}));
    QTRY_VERIFY(differingShare(picker, grab(words)) > 0.01);
    QVERIFY(settled(words));
    const QImage firstPage = grab(words);
    grab(QRect(0, 0, 1280, 800)).save(u"mainroad-panel.png"_s);
    QVERIFY(xdotool({u"key"_s, u"Right"_s}));
    QTRY_VERIFY2(differingShare(firstPage, grab(words)) > 0.01,
                 "the right arrow did not change page");
    QVERIFY(xdotool({u"key"_s, u"Left"_s}));
    QTRY_VERIFY2(differingShare(firstPage, grab(words)) < 0.01, "the left arrow did not come back");

    // Esc opens the picker, Esc again ends the reading; the text is kept, and the editor waits
    // in the taskbar.
    QVERIFY(xdotool({u"key"_s, u"Escape"_s}));
    settle();
    QVERIFY(xdotool({u"key"_s, u"Escape"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(!readingPanel().has_value(), 5000);
    QCOMPARE(jsonStringList(autosave, u"pages"_s).value(0), u"Good morning everyone"_s);
    settle();
    QCOMPARE(windowManagerState(editor), u"Iconic"_s);

    // Restoring it from the taskbar (a pager's activation request) brings the editor back with
    // the text taking the keys where they left it.
    QVERIFY(xdotool({u"windowactivate"_s, editor}));
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 5000);
    QCOMPARE(windowManagerState(editor), u"Normal"_s);
    QTRY_COMPARE(keyboardWindow(), editor);
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"!"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(jsonStringList(autosave, u"pages"_s).value(0),
                              u"Good morning everyone!"_s, 5000);
    grab(QRect(0, 0, 1280, 800)).save(u"mainroad-restored.png"_s);

    // Folding the panel away (Ctrl+M) hands the keyboard back to where the reading came from,
    // but never brings back the editor the reading put away.
    QVERIFY(xdotool({u"key"_s, u"ctrl+Return"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(windowManagerState(editor), u"Iconic"_s, 5000);
    QVERIFY(xdotool({u"key"_s, u"Right"_s}));
    settle();
    QVERIFY(xdotool({u"key"_s, u"ctrl+m"_s}));
    settle();
    QCOMPARE(windowManagerState(editor), u"Iconic"_s);
    QVERIFY(readingPanel().has_value());

    // A second launch brings the editor back; the session's end keeps every page.
    QCOMPARE(brivel.launchAgain({}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 5000);
    QCOMPARE(windowManagerState(editor), u"Normal"_s);
    ::kill(pid_t(brivel.process().processId()), SIGTERM);
    QVERIFY(brivel.process().waitForFinished(10000));
    QCOMPARE(brivel.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(brivel.process().exitCode(), 0);
    QCOMPARE(jsonStringList(autosave, u"pages"_s).value(0), u"Good morning everyone!"_s);
}

// Two sessions of one user with one home, each with its own runtime folder (two logins, an ssh
// session), cannot reach each other's socket: the later one is refused before it loads or writes
// anything, and the first keeps its pages. A crash lets go of the data folder.
void TestMainRoad::oneDataFolderOneSession()
{
    BrivelProcess first;
    QVERIFY(first.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    QTRY_COMPARE(keyboardWindow(), mainWindow()->id);
    QVERIFY(xdotool({u"key"_s, u"ctrl+a"_s}));
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"first session"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(jsonStringList(first.autosave(), u"pages"_s).value(0),
                              u"first session"_s, 5000);
    settle();

    const QString otherRuntime = first.path(u"other runtime"_s);
    QVERIFY(QDir().mkpath(otherRuntime));
    QFile::setPermissions(otherRuntime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = first.environment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, otherRuntime);
    const auto ownFiles = [&] {
        return folderState(QFileInfo(first.autosave()).path())
               + folderState(first.path(u"config/Brivel"_s));
    };
    const QStringList before = ownFiles();
    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(BRIVEL_EXECUTABLE), {});
    QTRY_VERIFY_WITH_TIMEOUT(alertWindow().has_value(), 10000);
    settle();
    screenshot(u"datafolder-refused.png"_s);
    QVERIFY(xdotool({u"windowactivate"_s, u"--sync"_s, alertWindow()->id}));
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 1);
    QVERIFY(second.readAllStandardError().contains("same data folder"));
    QCOMPARE(ownFiles(), before);

    // The first session goes on keeping its edits.
    QVERIFY(xdotool({u"windowactivate"_s, u"--sync"_s, mainWindow()->id}));
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"!"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(jsonStringList(first.autosave(), u"pages"_s).value(0),
                              u"first session!"_s, 5000);

    ::kill(pid_t(first.process().processId()), SIGKILL);
    QVERIFY(first.process().waitForFinished(10000));
    QProcess afterCrash;
    afterCrash.setProcessEnvironment(environment);
    afterCrash.start(QStringLiteral(BRIVEL_EXECUTABLE), {});
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    QVERIFY(!alertWindow().has_value());
    afterCrash.terminate();
    QVERIFY(afterCrash.waitForFinished(10000));
    QCOMPARE(afterCrash.exitCode(), 0);
    QCOMPARE(jsonStringList(first.autosave(), u"pages"_s).value(0), u"first session!"_s);
}

BRIVEL_XVFB_TEST_MAIN(TestMainRoad, true)

#include "tst_mainroad_x11.moc"
