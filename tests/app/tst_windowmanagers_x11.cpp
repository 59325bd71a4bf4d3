#include "common/brivelwindows.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;
using namespace TestSupport;

namespace {

// No event says that a window manager has left something undone: a moment for it before a
// check that nothing happened.
// The longest a reaction of the program or the window manager may take on a busy machine.
constexpr int reaction = 15000;

void settle()
{
    QTest::qWait(800);
}

QString xprop(const QString &id, const QString &property)
{
    QProcess process;
    process.start(u"xprop"_s, {u"-id"_s, id, property});
    process.waitForFinished(10000);
    return QString::fromLatin1(process.readAllStandardOutput());
}

// The window manager calls it active and the server sends it the keys.
bool hasKeyboard(const QString &id)
{
    QByteArray focus;
    return keyboardWindow() == id && xdotool({u"getwindowfocus"_s}, &focus)
           && QString::fromLatin1(focus.trimmed()) == id;
}

// The program's windows on screen but its editor.
QList<ShownWindow> panels(const QString &editor)
{
    QList<ShownWindow> windows = shownWindows({u"--classname"_s, u"^brivel$"_s});
    windows.removeIf([&editor](const ShownWindow &window) { return window.id == editor; });
    return windows;
}

// The share of a screen area that shows the white desk.
double deskShare(const QRect &area)
{
    const QImage image = grab(area);
    qint64 white = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            white += image.pixel(x, y) == qRgb(255, 255, 255);
    }
    return image.isNull() ? 1.0 : double(white) / (qint64(image.width()) * image.height());
}

// Where the pinned panel of that size hangs: from the top edge, centred.
QRect pinnedPlace(QSize size)
{
    return {QPoint(640 - size.width() / 2, 0), size};
}

QString readLink(const QString &text)
{
    return u"brivel://read?text="_s + QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// What a panel must be under any window manager: mapped and Normal whatever the editor's
// state, a window of its own, not asking for attention, above the focused desk, and where the
// program put it.
// Once it is where the program put it (`place` of its size now: the pinned panel grows and
// shrinks), the window manager has long since decided on the attention.
void verifyPanel(const QString &id, const std::function<QRect(QSize)> &place)
{
    const auto placed = [&] {
        const QRect area = clientArea(id);
        return area == place(area.size()) ? area : QRect();
    };
    QTRY_VERIFY2_WITH_TIMEOUT(
        placed().isValid(),
        qPrintable(u"panel at %1, %2"_s.arg(clientArea(id).x()).arg(clientArea(id).y())), reaction);
    QTRY_COMPARE_WITH_TIMEOUT(windowManagerState(id), u"Normal"_s, reaction);
    QTRY_VERIFY2_WITH_TIMEOUT(deskShare(placed()) < 0.3, "the panel is beneath the focused window",
                              reaction);
    QVERIFY(xprop(id, u"WM_TRANSIENT_FOR"_s).contains(u"not found"_s));
    QVERIFY(!xprop(id, u"_NET_WM_STATE"_s).contains(u"DEMANDS_ATTENTION"_s));
    QVERIFY(!xprop(id, u"WM_HINTS"_s).contains(u"urgency"_s, Qt::CaseInsensitive));
}

} // namespace

// The real program under each window manager of Debian's desktops: every panel where the
// program placed it and above the other windows while the editor waits iconified, text from
// outside while another program has the keyboard, the full screen, the editor coming back, and
// the settings' preview.
class TestWindowManagers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_desk.isValid()); }
    void panelsWhileTheEditorIsIconified_data();
    void panelsWhileTheEditorIsIconified();
    void textFromOutsideAndTheEditorBack();
    void textFromOutsideAndTheKeyboard_data();
    void textFromOutsideAndTheKeyboard();
    void floatingWindowMovesAndResizes_data();
    void floatingWindowMovesAndResizes();
    void fullScreenCoversTheScreen();
    void settingsPreview();

private:
    // The editor as the window manager placed it, shown and focused.
    std::optional<ShownWindow> startEditor(BrivelProcess &brivel)
    {
        if (!brivel.start())
            return std::nullopt;
        QDeadlineTimer deadline(reaction);
        while (!mainWindow() && !deadline.hasExpired())
            QTest::qWait(50);
        const std::optional<ShownWindow> editor = mainWindow();
        // A new window does not always take the keyboard from the one that has it (fluxbox, at
        // times): the user then clicks it.
        for (int look = 0; editor && look < 100 && !hasKeyboard(editor->id); ++look) {
            if (look == 50)
                xdotool({u"windowactivate"_s, editor->id});
            QTest::qWait(50);
        }
        return editor;
    }
    // Asked again now and then: a window manager still busy with another window may let a
    // request go.
    bool focusDesk()
    {
        QDeadlineTimer deadline(reaction);
        for (int look = 0; !hasKeyboard(m_desk.idString()) && !deadline.hasExpired(); ++look) {
            if (look % 20 == 0)
                xdotool({u"windowactivate"_s, m_desk.idString()});
            QTest::qWait(50);
        }
        return hasKeyboard(m_desk.idString());
    }

    // White, beneath everything of the program; kept for the whole run, as a window manager
    // may take a later window for one gone before.
    ForeignWindow m_desk{"Desk", {0, 0, 1280, 800}};
};

void TestWindowManagers::panelsWhileTheEditorIsIconified_data()
{
    QTest::addColumn<QByteArray>("mode");
    // The centre of the panel; the top-left corner of the one that hangs from the pointer.
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("pinned") << QByteArray("pinned") << QPoint();
    QTest::newRow("floating") << QByteArray("floating") << QPoint(640, 300);
    QTest::newRow("cursor") << QByteArray("cursor") << QPoint(208, 300);
}

void TestWindowManagers::panelsWhileTheEditorIsIconified()
{
    QFETCH(QByteArray, mode);
    QFETCH(QPoint, expected);
    BrivelProcess brivel("overlayMode=" + mode + '\n');
    const std::optional<ShownWindow> editor = startEditor(brivel);
    QVERIFY(editor);
    QVERIFY(movePointer({200, 300}));
    QVERIFY(xdotool({u"key"_s, u"ctrl+Return"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(windowManagerState(editor->id), u"Iconic"_s, reaction);
    QTRY_VERIFY_WITH_TIMEOUT(!panels(editor->id).isEmpty(), reaction);
    QVERIFY(focusDesk());

    QList<ShownWindow> shown = panels(editor->id);
    // The cursor mode's stop button hangs under the top edge, centred.
    if (mode == "cursor") {
        const auto button = std::find_if(shown.cbegin(), shown.cend(), [](const auto &window) {
            return window.geometry.width() == 36;
        });
        QVERIFY(button != shown.cend());
        verifyPanel(button->id, [](QSize) { return QRect(622, 8, 36, 36); });
        shown.removeIf([&button](const ShownWindow &window) { return window.id == button->id; });
    }
    QCOMPARE(shown.size(), 1);
    const QString panel = shown.constFirst().id;
    if (mode == "pinned")
        verifyPanel(panel, pinnedPlace);
    else if (mode == "cursor")
        verifyPanel(panel, [&](QSize size) { return QRect(expected, size); });
    else
        verifyPanel(panel, [&](QSize size) {
            return QRect(expected - QPoint(size.width() / 2, size.height() / 2), size);
        });
    screenshot(u"%1-panel.png"_s.arg(QString::fromLatin1(mode)));
}

// After a reading that put the editor away and a restore from the taskbar, a link and a text
// on the bus read while another program has the keyboard, without the editor; a plain launch
// then brings the editor back, shown and focused, exactly where it was, however often.
void TestWindowManagers::textFromOutsideAndTheEditorBack()
{
    // Off the editor: some window managers (awesome) focus the window the pointer enters.
    QVERIFY(movePointer({5, 795}));
    BrivelProcess brivel;
    const std::optional<ShownWindow> editor = startEditor(brivel);
    QVERIFY(editor);
    const QRect place = clientArea(editor->id);
    QVERIFY(xdotool({u"key"_s, u"ctrl+Return"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(windowManagerState(editor->id), u"Iconic"_s, reaction);
    // The first Esc opens the page list, the second ends the reading. The keys are the
    // program's once its panel is on screen: it asks for them right after showing it.
    QTRY_COMPARE_WITH_TIMEOUT(panels(editor->id).size(), 1, reaction);
    QTRY_COMPARE_WITH_TIMEOUT(windowManagerState(panels(editor->id).constFirst().id), u"Normal"_s,
                              reaction);
    QVERIFY(xdotool({u"key"_s, u"Escape"_s}));
    QVERIFY(xdotool({u"key"_s, u"Escape"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(panels(editor->id).isEmpty(), reaction);
    QVERIFY(xdotool({u"windowactivate"_s, editor->id}));
    QTRY_COMPARE_WITH_TIMEOUT(windowManagerState(editor->id), u"Normal"_s, reaction);
    QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(editor->id), reaction);

    for (int cycle = 0; cycle < 2; ++cycle) {
        QVERIFY(focusDesk());
        QCOMPARE(brivel.launchAgain({readLink(u"Un texto desde otro programa"_s)}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(panels(editor->id).size(), 1, reaction);
        const QString panel = panels(editor->id).constFirst().id;
        verifyPanel(panel, pinnedPlace);
        QVERIFY(!mainWindow());

        if (cycle == 0) {
            QVERIFY(focusDesk());
            QCOMPARE(readTextOnTheBus(u"Leído desde el bus"_s), 0);
            settle();
            QCOMPARE(panels(editor->id).size(), 1);
            const QString textPanel = panels(editor->id).constFirst().id;
            verifyPanel(textPanel, pinnedPlace);
        }

        QCOMPARE(brivel.launchAgain({}), 0);
        // Shown at once, never iconified on the way.
        bool seenIconic = false;
        for (QDeadlineTimer deadline(reaction); !mainWindow() && !deadline.hasExpired();)
            seenIconic = seenIconic || windowManagerState(editor->id) == u"Iconic"_s;
        QVERIFY(mainWindow());
        QVERIFY(!seenIconic);
        QTRY_COMPARE_WITH_TIMEOUT(keyboardWindow(), editor->id, reaction);
        QCOMPARE(windowManagerState(editor->id), u"Normal"_s);
        const QRect back = clientArea(editor->id);
        QVERIFY2(back == place,
                 qPrintable(u"launch %1: at %2, %3 instead of %4, %5"_s.arg(cycle + 1)
                                .arg(back.x())
                                .arg(back.y())
                                .arg(place.x())
                                .arg(place.y())));
        // A compositing window manager may show the raise a frame later.
        QTRY_VERIFY2_WITH_TIMEOUT(deskShare(place) < 0.05, "the editor is beneath another window",
                                  2000);
    }
}

void TestWindowManagers::textFromOutsideAndTheKeyboard_data()
{
    QTest::addColumn<QByteArray>("mode");
    for (const char *mode : {"pinned", "floating", "cursor", "fullscreen"})
        QTest::newRow(mode) << QByteArray(mode);
}

// Text from outside while another program has the keyboard leaves it there, but for the full
// screen, whose first Esc ends the reading and gives it back; a floating panel takes it only
// when clicked, and gives it back when its Esc collapses it.
void TestWindowManagers::textFromOutsideAndTheKeyboard()
{
    QFETCH(QByteArray, mode);
    BrivelProcess brivel("overlayMode=" + mode + '\n');
    // Away from every panel, as in the test above.
    QVERIFY(movePointer({5, 795}));
    QVERIFY(focusDesk());
    QVERIFY(brivel.start({readLink(u"Un texto desde otro programa"_s)}));
    QTRY_COMPARE_WITH_TIMEOUT(panels({}).size(), mode == "cursor" ? 2 : 1, reaction);
    QList<ShownWindow> shown = panels({});
    std::ranges::sort(shown, {}, [](const ShownWindow &window) { return window.geometry.width(); });
    const QString panel = shown.constLast().id;
    if (mode == "fullscreen") {
        QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(panel), reaction);
        QVERIFY(xdotool({u"key"_s, u"Escape"_s}));
        QTRY_VERIFY_WITH_TIMEOUT(panels({}).isEmpty(), reaction);
        QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(m_desk.idString()), reaction);
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(windowManagerState(panel), u"Normal"_s, reaction);
    settle();
    QVERIFY(hasKeyboard(m_desk.idString()));
    if (mode != "floating")
        return;
    QVERIFY(movePointer(clientArea(panel).topLeft() + QPoint(clientArea(panel).width() / 2, 10))
            && xdotool({u"click"_s, u"1"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(panel), reaction);
    QVERIFY(xdotool({u"key"_s, u"Escape"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(hasKeyboard(m_desk.idString()), reaction);
}

void TestWindowManagers::floatingWindowMovesAndResizes_data()
{
    QTest::addColumn<int>("scale");
    QTest::newRow("scale 1") << 1;
    QTest::newRow("scale 2") << 2;
}

// Moved by its background and resized from its corner within 280..500 × h..h + 350, by the
// window manager or, where it offers no such move (jwm, awesome), by the program itself; at
// scale 2 as well, by as many device pixels as the pointer travelled.
void TestWindowManagers::floatingWindowMovesAndResizes()
{
    QFETCH(int, scale);
    BrivelProcess brivel("overlayMode=floating\nnotchWidth=340\ntextAreaHeight=140\n");
    QProcessEnvironment environment = brivel.environment();
    environment.insert(u"QT_SCALE_FACTOR"_s, QString::number(scale));
    brivel.process().setProcessEnvironment(environment);
    QVERIFY(brivel.start({readLink(u"Un texto que se mueve"_s)}));
    QTRY_COMPARE_WITH_TIMEOUT(panels({}).size(), 1, reaction);
    const QString panel = panels({}).constFirst().id;
    // Centred across the screen, 100 points above its middle.
    const QRect start(QPoint(640 - 170 * scale, 400 - 170 * scale), QSize(340, 140) * scale);
    QTRY_COMPARE_WITH_TIMEOUT(clientArea(panel), start, reaction);

    // The button is held until the window is there (or a while): a busy window manager may
    // still be catching up with the pointer when it sees the release.
    const auto dragTo = [&panel](QPoint from, QPoint to, const std::function<bool(QRect)> &there) {
        if (!movePointer(from) || !xdotool({u"mousedown"_s, u"1"_s}))
            return false;
        for (int step = 1; step <= 8; ++step) {
            QTest::qWait(30);
            if (!movePointer(from + (to - from) * step / 8))
                return false;
        }
        // Some (kwin) follow the pointer only on its next motion: a hand trembles.
        if (!QTest::qWaitFor([&] { return there(clientArea(panel)); }, 2000)
            && movePointer(to + QPoint(1, 0)) && movePointer(to)) {
            // Released either way; the check after it says where the window ended.
            [[maybe_unused]] const bool reached
                = QTest::qWaitFor([&] { return there(clientArea(panel)); }, 3000);
        }
        return xdotool({u"mouseup"_s, u"1"_s});
    };
    const QPoint background = start.topLeft() + QPoint(start.width() / 2, 10 * scale);
    const QRect moved = start.translated(60, 40);
    QVERIFY(
        dragTo(background, background + QPoint(60, 40), [&](QRect area) { return area == moved; }));
    QTRY_COMPARE_WITH_TIMEOUT(clientArea(panel), moved, reaction);

    const auto corner = [&] { return clientArea(panel).bottomRight() - QPoint(6, 6) * scale; };
    const auto resize = [&](QPoint to, QSize size) {
        return dragTo(corner(), to, [size](QRect area) { return area.size() == size; });
    };
    QVERIFY(resize(corner() + QPoint(40, 30), start.size() + QSize(40, 30)));
    QTRY_COMPARE_WITH_TIMEOUT(clientArea(panel).size(), start.size() + QSize(40, 30), reaction);
    QVERIFY(resize(corner() - QPoint(200, 100), QSize(280, 140) * scale));
    QTRY_COMPARE_WITH_TIMEOUT(clientArea(panel).size(), QSize(280, 140) * scale, reaction);
    // At scale 2 the largest window is wider than the room right of it.
    if (scale == 1) {
        QVERIFY(resize({1279, 799}, QSize(500, 140 + 350)));
        QTRY_COMPARE_WITH_TIMEOUT(clientArea(panel).size(), QSize(500, 140 + 350), reaction);
    }
    QCOMPARE(clientArea(panel).topLeft(), start.topLeft() + QPoint(60, 40));
}

void TestWindowManagers::fullScreenCoversTheScreen()
{
    BrivelProcess brivel("overlayMode=fullscreen\n");
    const std::optional<ShownWindow> editor = startEditor(brivel);
    QVERIFY(editor);
    QVERIFY(xdotool({u"key"_s, u"ctrl+Return"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(panels(editor->id).size(), 1, reaction);
    const QString panel = panels(editor->id).constFirst().id;
    QTRY_VERIFY_WITH_TIMEOUT(
        xprop(panel, u"_NET_WM_STATE"_s).contains(u"_NET_WM_STATE_FULLSCREEN"_s), reaction);
    QTRY_COMPARE_WITH_TIMEOUT(clientArea(panel), QRect(0, 0, 1280, 800), reaction);
    // Nothing of the window manager's own (a task bar, a tool bar) shows over its edges.
    const auto edgesBlack = [] {
        const QImage screen = grab();
        return std::ranges::all_of(
            std::initializer_list<QPoint>{{5, 5}, {640, 5}, {640, 795}, {1275, 795}},
            [&screen](QPoint edge) { return screen.pixel(edge) == qRgb(0, 0, 0); });
    };
    QTRY_VERIFY_WITH_TIMEOUT(edgesBlack(), reaction);
    screenshot(u"fullscreen-panel.png"_s);
    QTRY_COMPARE_WITH_TIMEOUT(keyboardWindow(), panel, reaction);
}

// The live preview hangs from the top of the screen, above the settings.
void TestWindowManagers::settingsPreview()
{
    BrivelProcess brivel;
    const std::optional<ShownWindow> editor = startEditor(brivel);
    QVERIFY(editor);
    QVERIFY(xdotool({u"key"_s, u"ctrl+comma"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(panels(editor->id).size(), 1, reaction);
    const QString preview = panels(editor->id).constFirst().id;
    verifyPanel(preview, pinnedPlace);
}

int main(int argc, char *argv[])
{
    // The window managers write their settings under the home: a fresh one each run.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    TestSupport::XvfbServer server(false);
    // The command CTest gives, openbox when none.
    std::vector<std::string> command{"openbox", "--sm-disable"};
    if (const QByteArray given = qgetenv("BRIVEL_TEST_WINDOW_MANAGER"); !given.isEmpty()) {
        command.clear();
        for (const QByteArray &word : given.split(' '))
            command.push_back(word.toStdString());
    }
    if (!server.isRunning() || !server.startWindowManager(command)) {
        std::fprintf(stderr, "%s\n", qPrintable(server.errorString()));
        return 1;
    }
    QGuiApplication app(argc, argv);
    TestWindowManagers test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowmanagers_x11.moc"
