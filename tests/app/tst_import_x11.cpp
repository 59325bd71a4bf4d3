#include "common/brivelwindows.h"
#include "common/files.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace TestSupport;

namespace {

// Windows on screen whose whole name is `name`.
QList<ShownWindow> windowsNamed(const QString &name)
{
    return shownWindows({u"--name"_s, u"^"_s + name + u"$"_s});
}

// Presses the drag source, moves in steps onto `target`, waits there until the program shows
// that it would take the drop, then releases.
bool dragOnto(const QPoint &target, const QString &hoverScreenshot)
{
    const std::optional<ShownWindow> window = mainWindow();
    if (!window)
        return false;
    const QImage before = grab(window->geometry);
    const QList<ShownWindow> source = windowsNamed(u"brivel-drag-source"_s);
    if (source.isEmpty())
        return false;
    const QPoint start = source.first().geometry.center();
    xdotool({u"mousemove"_s, QString::number(start.x()), QString::number(start.y())});
    QTest::qWait(200);
    xdotool({u"mousedown"_s, u"1"_s});
    for (int step = 1; step <= 12; ++step) {
        const QPoint at = start + (target - start) * step / 12;
        xdotool({u"mousemove"_s, QString::number(at.x()), QString::number(at.y())});
        QTest::qWait(60);
    }
    if (!QTest::qWaitFor([&] { return differingShare(before, grab(window->geometry)) > 0.01; }))
        qWarning("no sign of the drop being taken");
    if (!hoverScreenshot.isEmpty())
        screenshot(hoverScreenshot);
    return xdotool({u"mouseup"_s, u"1"_s});
}

} // namespace

// The import as a person does it: a deck chosen in the open panel replaces the script, one
// dragged from another program is added after the question, a .key one is refused.
class TestImportX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openPanelAndRealDrops();
};

void TestImportX11::openPanelAndRealDrops()
{
    BrivelProcess brivel;
    const QString twelve = brivel.path(u"twelve.pptx"_s);
    QVERIFY(QFile::copy(TEST_DATA_DIR u"/import/twelve-notes.pptx"_s, twelve));
    const QString three = brivel.path(u"three.pptx"_s);
    QVERIFY(QFile::copy(TEST_DATA_DIR u"/import/three-slides.pptx"_s, three));
    const QString keynote = brivel.path(u"deck.key"_s);
    QVERIFY(QFile::copy(three, keynote));

    const QString autosave = brivel.autosave();
    // Under umask 000 Qt's own file in the configuration folder must not become writable by
    // others either (Brivel's own files are the settings store's test).
    const mode_t umaskBefore = ::umask(0);
    const bool started = brivel.start();
    ::umask(umaskBefore);
    QVERIFY(started);
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    QTRY_COMPARE(keyboardWindow(), mainWindow()->id);

    // Ctrl+O, the deck's path typed into the panel, Return: twelve pages, written at once. The
    // untouched first-run pages go without a question.
    QVERIFY(xdotool({u"key"_s, u"ctrl+o"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(!windowsNamed(u"Abrir archivo o presentación…"_s).isEmpty(), 5000);
    QVERIFY(!alertWindow().has_value());
    QTRY_COMPARE(keyboardWindow(), windowsNamed(u"Abrir archivo o presentación…"_s).value(0).id);
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"10"_s, twelve}));
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(jsonObjectFile(autosave)[u"pages"_s].toArray().size(), 12, 5000);
    QJsonObject saved = jsonObjectFile(autosave);
    QCOMPARE(saved[u"pages"_s][0].toString(), u"Bienvenida y presentación del equipo"_s);
    QCOMPARE(saved[u"titles"_s][0].toString(), u"Diapositiva 1"_s);
    QCOMPARE(saved[u"titles"_s][11].toString(), u"Diapositiva 12"_s);
    QTest::qWait(500);
    screenshot(u"import-opened.png"_s);
    // The closed panel has left Qt's own record of it beside Brivel's settings.
    const QString qtSettings = brivel.path(u"config/QtProject.conf"_s);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(qtSettings), 5000);
    QCOMPARE(QFile::permissions(qtSettings) & (QFile::WriteGroup | QFile::WriteOther), 0);

    // A drop from another program: the highlight while hovering, then the question, whose
    // default answer appends.
    QProcess source;
    source.start(QStringLiteral(DRAG_SOURCE), {three});
    const auto stopSource = qScopeGuard([&] {
        source.kill();
        source.waitForFinished();
    });
    QTRY_VERIFY_WITH_TIMEOUT(!windowsNamed(u"brivel-drag-source"_s).isEmpty(), 5000);
    QTest::qWait(500);
    const QPoint pane = mainWindow()->geometry.center();
    QVERIFY(dragOnto(pane, u"import-drop-hover.png"_s));
    QTRY_VERIFY_WITH_TIMEOUT(alertWindow().has_value(), 5000);
    QTRY_COMPARE(keyboardWindow(), alertWindow()->id);
    screenshot(u"import-question.png"_s);
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(jsonObjectFile(autosave)[u"pages"_s].toArray().size(), 14, 5000);
    saved = jsonObjectFile(autosave);
    QCOMPARE(saved[u"pages"_s][12].toString(), u"Notas de la primera"_s);
    QCOMPARE(saved[u"titles"_s][13].toString(), u"Diapositiva 14"_s);

    // A .key file is refused with the conversion alert, and nothing changes.
    source.kill();
    source.waitForFinished();
    source.start(QStringLiteral(DRAG_SOURCE), {keynote});
    QTRY_VERIFY_WITH_TIMEOUT(!windowsNamed(u"brivel-drag-source"_s).isEmpty(), 5000);
    QTest::qWait(500);
    QVERIFY(dragOnto(pane, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(alertWindow().has_value(), 5000);
    QTRY_COMPARE(keyboardWindow(), alertWindow()->id);
    screenshot(u"import-key-alert.png"_s);
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(!alertWindow().has_value(), 5000);
    QCOMPARE(jsonObjectFile(autosave)[u"pages"_s].toArray().size(), 14);
}

BRIVEL_XVFB_TEST_MAIN(TestImportX11, true)

#include "tst_import_x11.moc"
