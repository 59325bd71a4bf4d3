#include "common/brivelwindows.h"
#include "common/files.h"

#include <QFile>
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

} // namespace

// The main road as a person takes it: write a page, read it in the panel, step through the
// pages, stop, find the editor in the taskbar and the text kept. The real program on a real X
// server with a window manager.
class TestMainRoad : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writeReadStepStopAndKeep();
};

void TestMainRoad::writeReadStepStopAndKeep()
{
    BrivelProcess brivel;
    const QString autosave = brivel.autosave();
    QVERIFY(brivel.start());

    // A fresh start shows the editor with the sample pages and the text focused.
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    const QString editor = mainWindow()->id;
    settle();
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
    QVERIFY(xdotool({u"key"_s, u"Right"_s}));
    settle();
    const QRect words(readingPanel()->geometry.x(), 40, readingPanel()->geometry.width(), 100);
    const QImage firstPage = grab(words);
    grab(QRect(0, 0, 1280, 800)).save(u"mainroad-panel.png"_s);
    QVERIFY(xdotool({u"key"_s, u"Right"_s}));
    settle();
    const QImage secondPage = grab(words);
    QVERIFY2(differingShare(firstPage, secondPage) > 0.01, "the right arrow did not change page");
    QVERIFY(xdotool({u"key"_s, u"Left"_s}));
    settle();
    QVERIFY2(differingShare(firstPage, grab(words)) < 0.01, "the left arrow did not come back");

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
    settle();
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

BRIVEL_XVFB_TEST_MAIN(TestMainRoad, true)

#include "tst_mainroad_x11.moc"
