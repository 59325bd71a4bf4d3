#include "common/brivelwindows.h"
#include "common/files.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;
using namespace TestSupport;

namespace {

// The window's inside on the screen, as the X server has it (the window manager's own report
// counts its frame in).
QRect insideOf(const QString &window)
{
    QProcess xwininfo;
    xwininfo.start(u"xwininfo"_s, {u"-id"_s, window});
    xwininfo.waitForFinished(10000);
    int values[4] = {};
    const char *names[] = {"Absolute upper-left X:", "Absolute upper-left Y:", "Width:", "Height:"};
    for (const QByteArray &line : xwininfo.readAllStandardOutput().split('\n')) {
        for (int i = 0; i < 4; ++i) {
            if (line.trimmed().startsWith(names[i]))
                values[i] = line.mid(line.indexOf(':') + 1).trimmed().toInt();
        }
    }
    return {values[0], values[1], values[2], values[3]};
}

bool moveTo(QPoint at)
{
    return xdotool({u"mousemove"_s, QString::number(at.x()), QString::number(at.y())});
}

bool clickAt(QPoint at, int button = 1)
{
    return moveTo(at) && xdotool({u"click"_s, QString::number(button)});
}

void settle()
{
    QTest::qWait(600);
}

} // namespace

// The pages sidebar as a person uses it: pages added with the footer, renamed through the row's
// menu, moved by dragging, found with the search, and selected and renamed with the keyboard
// alone; the autosave keeps each change.
class TestSidebarX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void addRenameDragSearchAndKeys();
};

void TestSidebarX11::addRenameDragSearchAndKeys()
{
    BrivelProcess brivel;
    const QString autosave = brivel.autosave();
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    QVERIFY(atRest(mainWindow()->id));
    const QRect inside = insideOf(mainWindow()->id);
    QVERIFY(inside.width() >= 680);
    // Under the menu bar: the list's rows, 27 points apart, and the footer at the bottom.
    const int sidebarX = inside.left() + 140;
    const auto row = [&](int r) { return QPoint(sidebarX, inside.top() + 44 + 27 * r); };
    const QPoint addPage(sidebarX, inside.bottom() - 84);
    const QPoint bullets(sidebarX, inside.bottom() - 54);

    // Two pages more from the footer: an empty one and a bullet list.
    QVERIFY(clickAt(addPage));
    settle();
    QVERIFY(clickAt(bullets));
    QTRY_COMPARE_WITH_TIMEOUT(jsonStringList(autosave, u"pages"_s).size(), 4, 5000);
    QCOMPARE(jsonStringList(autosave, u"pages"_s).at(3), u"• \n• \n• "_s);
    screenshot(u"sidebar-added.png"_s);

    // The empty page renamed through its menu.
    QVERIFY(clickAt(row(2), 3));
    settle();
    screenshot(u"sidebar-menu.png"_s);
    QVERIFY(clickAt(row(2) + QPoint(30, 12)));
    settle();
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"Cierre"_s}));
    screenshot(u"sidebar-renaming.png"_s);
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(jsonStringList(autosave, u"titles"_s).value(2), u"Cierre"_s, 5000);

    // The bullet list dragged above the first page, in steps with pauses, as a hand does.
    QVERIFY(moveTo(row(3)));
    QTest::qWait(200);
    QVERIFY(xdotool({u"mousedown"_s, u"1"_s}));
    const QPoint target = row(0) - QPoint(0, 10);
    for (int step = 1; step <= 8; ++step) {
        QVERIFY(moveTo(row(3) + (target - row(3)) * step / 8));
        QTest::qWait(60);
    }
    screenshot(u"sidebar-dragging.png"_s);
    QVERIFY(xdotool({u"mouseup"_s, u"1"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(jsonStringList(autosave, u"pages"_s).value(0), u"• \n• \n• "_s, 5000);
    QCOMPARE(jsonStringList(autosave, u"titles"_s),
             (QStringList{u"Bullets"_s, u"Bienvenido a Brivel"_s, u"Puntos clave"_s, u"Cierre"_s}));
    settle();
    screenshot(u"sidebar-dragged.png"_s);

    // A word of the first-run text: its page alone is listed, with a snippet, where four rows
    // were. Then a word in no page; then the first again, and the one row's menu renames that
    // page.
    const QRect laterRows(inside.left() + 10, inside.top() + 84, 260, 80);
    const auto blank = [](const QImage &image) {
        QImage plain(image.size(), image.format());
        plain.fill(image.pixel(0, 0));
        return differingShare(image, plain) < 0.001;
    };
    QVERIFY(!blank(grab(laterRows)));
    const QImage before = grab(QRect(inside.left(), inside.top() + 30, 280, 150));
    const QRect rows(inside.left(), inside.top() + 30, 280, 150);
    QVERIFY(clickAt(QPoint(inside.right() - 24, inside.top() + 45)));
    settle();
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"contacto"_s}));
    // The search runs apart from the typing: its rows come when it ends.
    QTRY_VERIFY(blank(grab(laterRows)));
    QVERIFY(settled(rows));
    const QImage found = grab(rows);
    screenshot(u"sidebar-search-snippet.png"_s);
    QVERIFY(found != before);
    QVERIFY(xdotool({u"key"_s, u"ctrl+a"_s}));
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"zzzz"_s}));
    QTRY_VERIFY(grab(rows) != found);
    QVERIFY(settled(rows));
    screenshot(u"sidebar-search-none.png"_s);
    QVERIFY(xdotool({u"key"_s, u"ctrl+a"_s}));
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"contacto"_s}));
    QTRY_VERIFY(differingShare(found, grab(rows)) < 0.01);
    QVERIFY(clickAt(row(0), 3));
    settle();
    QVERIFY(clickAt(row(0) + QPoint(30, 12)));
    settle();
    QVERIFY(xdotool({u"key"_s, u"ctrl+a"_s}));
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"Hallada"_s}));
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(jsonStringList(autosave, u"titles"_s).value(1), u"Hallada"_s, 5000);

    // Keyboard alone: the search closed, Shift+Tab from the text to the list, Home and Down to
    // the second row, Return to select it, the Menu key, "Renombrar", a name and Return.
    QVERIFY(clickAt(QPoint(inside.right() - 22, inside.top() + 47)));
    settle();
    QVERIFY(clickAt(QPoint(inside.center().x() + 140, inside.center().y())));
    settle();
    QVERIFY(xdotool({u"key"_s, u"--delay"_s, u"100"_s, u"shift+Tab"_s, u"Home"_s, u"Down"_s,
                     u"Return"_s, u"Menu"_s}));
    settle();
    screenshot(u"sidebar-keyboard-menu.png"_s);
    QVERIFY(xdotool({u"key"_s, u"--delay"_s, u"100"_s, u"Down"_s, u"Return"_s}));
    settle();
    QVERIFY(xdotool({u"key"_s, u"ctrl+a"_s}));
    QVERIFY(xdotool({u"type"_s, u"--delay"_s, u"15"_s, u"Teclado"_s}));
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(jsonStringList(autosave, u"titles"_s).value(1), u"Teclado"_s, 5000);
    settle();
    screenshot(u"sidebar-keyboard-renamed.png"_s);
}

BRIVEL_XVFB_TEST_MAIN(TestSidebarX11, true)

#include "tst_sidebar_x11.moc"
