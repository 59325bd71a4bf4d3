#include "common/brivelwindows.h"

#include <QClipboard>
#include <QImage>
#include <QProcess>
#include <QUrl>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using namespace TestSupport;

namespace {

// B on Xvfb's keymap.
constexpr quint8 bKeyCode = 56;

QString sixtyWords()
{
    QStringList words;
    for (int i = 1; i <= 60; ++i)
        words << u"palabra%1"_s.arg(i);
    return words.join(u' ');
}

QString readLink(const QString &text)
{
    return u"brivel://read?text="_s + QString::fromLatin1(QUrl::toPercentEncoding(text));
}

} // namespace

// Text from other programs and the global toggle key, on a real X server with a window manager
// and a session bus of the test's own: the real program, driven as the desktop drives it.
class TestTextFromOutside : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void linkWhileRunningScrollsWithoutTheWindow();
    void firstLaunchWithALinkNeverMapsTheWindow();
    void hundredLaunchesAtOnce();
    void textEntryAndSelection();
    void toggleKeyFromAnotherApplication();
    void toggleKeyThatIsTaken_data();
    void toggleKeyThatIsTaken();
};

void TestTextFromOutside::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        QSKIP("needs a session bus: run under dbus-run-session");
}

void TestTextFromOutside::linkWhileRunningScrollsWithoutTheWindow()
{
    BrivelProcess brivel;
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    QTest::qWait(500);
    screenshot(u"outside-editor.png"_s);

    QCOMPARE(brivel.launchAgain({readLink(sixtyWords())}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(readingPanel().has_value(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!mainWindow().has_value(), 5000);
    QTest::qWait(1000);
    const QRect panel = readingPanel()->geometry;
    const QImage first = grab(panel);
    screenshot(u"outside-link-1.png"_s);
    QTRY_VERIFY2_WITH_TIMEOUT(grab(panel) != first, "the text did not move on by itself", 5000);
    screenshot(u"outside-link-2.png"_s);
}

void TestTextFromOutside::firstLaunchWithALinkNeverMapsTheWindow()
{
    BrivelProcess brivel;
    QVERIFY(brivel.start({readLink(u"Un texto que llega desde otro programa"_s)}));
    bool mainWindowSeen = false;
    // Until the panel is up and a while after: the window manager never sees the main window.
    QDeadlineTimer deadline(10000);
    while (!readingPanel() && !deadline.hasExpired())
        mainWindowSeen = mainWindowSeen || mainWindow().has_value();
    QVERIFY(readingPanel().has_value());
    for (QDeadlineTimer after(1500); !after.hasExpired(); QTest::qWait(50))
        mainWindowSeen = mainWindowSeen || mainWindow().has_value();
    QVERIFY(!mainWindowSeen);
    screenshot(u"outside-first-launch.png"_s);

    // Brought back by a later launch, it comes at its default size and place, not its minimum.
    QCOMPARE(brivel.launchAgain({}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 5000);
    QTRY_COMPARE(clientArea(mainWindow()->id).width(), 900);
    const QRect shown = clientArea(mainWindow()->id);
    screenshot(u"outside-window-back.png"_s);
    QCOMPARE(shown.width(), 900);
    QVERIFY2(shown.height() >= 580, qPrintable(u"%1 px high"_s.arg(shown.height())));
    QVERIFY2(qAbs(shown.center().x() - 640) <= 10 && qAbs(shown.center().y() - 400) <= 40,
             qPrintable(u"centred at %1, %2"_s.arg(shown.center().x()).arg(shown.center().y())));
}

// With no Brivel running: one process remains and shows one panel; every launch reports success.
void TestTextFromOutside::hundredLaunchesAtOnce()
{
    BrivelProcess brivel;
    std::vector<std::unique_ptr<QProcess>> launches;
    for (int i = 0; i < 100; ++i) {
        auto launch = std::make_unique<QProcess>();
        launch->setProcessEnvironment(brivel.environment());
        launch->start(QStringLiteral(BRIVEL_EXECUTABLE), {readLink(u"lanzamiento %1"_s.arg(i))});
        launches.push_back(std::move(launch));
    }
    const auto running = [&] {
        return std::count_if(launches.cbegin(), launches.cend(), [](const auto &launch) {
            return launch->state() != QProcess::NotRunning;
        });
    };
    QTRY_COMPARE_WITH_TIMEOUT(running(), 1, 30000);
    QTest::qWait(1000);
    QCOMPARE(running(), 1);
    for (const auto &launch : launches) {
        if (launch->state() == QProcess::NotRunning)
            QCOMPARE(launch->exitCode(), 0);
    }
    QTRY_VERIFY_WITH_TIMEOUT(readingPanel().has_value(), 5000);
    QCOMPARE(shownWindows().size(), 1);
    for (const auto &launch : launches) {
        launch->kill();
        launch->waitForFinished();
    }
}

void TestTextFromOutside::textEntryAndSelection()
{
    BrivelProcess brivel;
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    QCOMPARE(readTextOnTheBus(u"Leído desde el bus de sesión"_s), 0);
    QTRY_VERIFY_WITH_TIMEOUT(readingPanel().has_value(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!mainWindow().has_value(), 5000);
    QTest::qWait(800);
    screenshot(u"outside-dbus.png"_s);
    const QImage dbusText = grab(readingPanel()->geometry);

    // The test owns the selection the launch asks Brivel to read.
    QGuiApplication::clipboard()->setText(u"Texto seleccionado en otro programa"_s,
                                          QClipboard::Selection);
    QCOMPARE(brivel.launchAgain({u"--read-selection"_s}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(grab(readingPanel()->geometry) != dbusText, 5000);
    QTest::qWait(800);
    screenshot(u"outside-selection.png"_s);

    // A program holds the selection and never answers: the alert comes all the same.
    TestSupport::ForeignWindow hung("Hung program", QRect(700, 500, 200, 100));
    QVERIFY(hung.isValid() && hung.takePrimarySelection());
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
    QCOMPARE(brivel.launchAgain({u"--read-selection"_s}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(alertWindow().has_value(), 5000);
    // Return answers the alert once it has the keyboard.
    QTRY_COMPARE(keyboardWindow(), alertWindow()->id);
    screenshot(u"outside-no-selection.png"_s);
    QVERIFY(xdotool({u"key"_s, u"Return"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(!alertWindow().has_value(), 5000);
    QVERIFY(brivel.isRunning());
}

void TestTextFromOutside::toggleKeyFromAnotherApplication()
{
    // Ctrl+Alt+B as Qt stores it: the key and the modifier bits.
    BrivelProcess brivel("globalHotkeyKeyCode=66\nglobalHotkeyModifiers=201326592\n");
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    const QString editor = mainWindow()->id;
    TestSupport::ForeignWindow other("Other program", QRect(700, 300, 400, 300));
    QVERIFY(other.isValid());
    QVERIFY(xdotool({u"windowactivate"_s, u"--sync"_s, other.idString()}));
    QTRY_COMPARE_WITH_TIMEOUT(keyboardWindow(), other.idString(), 5000);

    // Real key events: only they set off a grab.
    QVERIFY(xdotool({u"key"_s, u"ctrl+alt+b"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(keyboardWindow(), editor, 5000);
    QVERIFY(mainWindow().has_value());
    QTest::qWait(300);
    screenshot(u"toggle-shown.png"_s);
    // Only Ctrl and Alt went down there; B went to Brivel.
    QVERIFY(!other.takeKeyPresses().contains(bKeyCode));

    QVERIFY(xdotool({u"key"_s, u"ctrl+alt+b"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(!mainWindow().has_value(), 5000);
    QTest::qWait(300);
    screenshot(u"toggle-hidden.png"_s);

    QVERIFY(xdotool({u"key"_s, u"ctrl+alt+b"_s}));
    QTRY_COMPARE_WITH_TIMEOUT(keyboardWindow(), editor, 5000);
    QVERIFY(mainWindow().has_value());
}

void TestTextFromOutside::toggleKeyThatIsTaken_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("name"); // the key as the warning names it
    QTest::addColumn<bool>("grabFirst");
    QTest::newRow("held by another client")
        << QByteArray("globalHotkeyKeyCode=66\nglobalHotkeyModifiers=201326592\n")
        << u"Ctrl+Alt+B"_s << true;
    // Openbox binds these by default.
    QTest::newRow("Alt+Tab") << QByteArray("globalHotkeyKeyCode=16777217\n"
                                           "globalHotkeyModifiers=134217728\n")
                             << u"Alt+Tab"_s << false;
    QTest::newRow("Super+D") << QByteArray("globalHotkeyKeyCode=68\n"
                                           "globalHotkeyModifiers=268435456\n")
                             << u"Meta+D"_s << false;
    QTest::newRow("not a key") << QByteArray("globalHotkeyKeyCode=19088743\n") << u"not available"_s
                               << false;
}

void TestTextFromOutside::toggleKeyThatIsTaken()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, name);
    QFETCH(bool, grabFirst);
    xcb_connection_t *holder = xcb_connect(nullptr, nullptr);
    const auto disconnect = qScopeGuard([holder] { xcb_disconnect(holder); });
    if (grabFirst) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(holder)).data->root;
        // B, with Ctrl and Alt, in every lock variant.
        for (const int locks : {0, int(XCB_MOD_MASK_LOCK), int(XCB_MOD_MASK_2),
                                int(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2)}) {
            xcb_grab_key(holder, 1, root, quint16(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | locks),
                         bKeyCode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        }
        xcb_flush(holder);
    }
    BrivelProcess brivel(settings);
    QVERIFY(brivel.start());
    QTRY_VERIFY_WITH_TIMEOUT(mainWindow().has_value(), 10000);
    QString log;
    QTRY_VERIFY2((log += brivel.log(), log.contains(name)), qPrintable(log));
    QVERIFY(brivel.isRunning());
}

BRIVEL_XVFB_TEST_MAIN(TestTextFromOutside, true)

#include "tst_textfromoutside_x11.moc"
