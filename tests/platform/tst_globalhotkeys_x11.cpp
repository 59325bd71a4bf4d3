#include "common/xvfb.h"
#include "platform/globalhotkeys.h"
#include "x11otherclient.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <memory>

using TestSupport::capsLock;
using TestSupport::numLock;

using TestSupport::xdotool;

namespace {

// Counts the presses of one key as the server sends them, repeats included.
class RawKeyPresses : public QAbstractNativeEventFilter
{
public:
    explicit RawKeyPresses(xcb_keycode_t keyCode)
        : m_keyCode(keyCode)
    {}

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *event = static_cast<const xcb_key_press_event_t *>(message);
        if ((event->response_type & 0x7f) == XCB_KEY_PRESS && event->detail == m_keyCode)
            ++count;
        return false;
    }

    int count = 0;

private:
    xcb_keycode_t m_keyCode = 0;
};

} // namespace

// Global hot keys grabbed on the root window, while another window has the keyboard.
class TestGlobalHotKeysX11 : public TestSupport::OtherClientTest
{
    Q_OBJECT

private Q_SLOTS:
    void hotKeyFiresWhileAnotherWindowHasFocus_data();
    void hotKeyFiresWhileAnotherWindowHasFocus();
    void heldKeyIsOnePressAndOneRelease();
    void unregisteredKeyReachesTheFocusedWindow();
    void keyHeldByAnotherClientIsRefused_data();
    void keyHeldByAnotherClientIsRefused();
    void keyIsRegisteredOnceInTheProcess();
};

void TestGlobalHotKeysX11::hotKeyFiresWhileAnotherWindowHasFocus_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<quint32>("keysym");
    QTest::addColumn<QStringList>("locks");

    const Qt::KeyboardModifiers none;
    QTest::newRow("Left") << int(Qt::Key_Left) << none << u"Left"_qs << quint32(XK_Left)
                          << QStringList();
    QTest::newRow("Right") << int(Qt::Key_Right) << none << u"Right"_qs << quint32(XK_Right)
                           << QStringList();
    QTest::newRow("Up") << int(Qt::Key_Up) << none << u"Up"_qs << quint32(XK_Up) << QStringList();
    QTest::newRow("Down") << int(Qt::Key_Down) << none << u"Down"_qs << quint32(XK_Down)
                          << QStringList();
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << u"Escape"_qs << quint32(XK_Escape)
                            << QStringList();
    QTest::newRow("Ctrl+M") << int(Qt::Key_M) << Qt::KeyboardModifiers(Qt::ControlModifier)
                            << u"ctrl+m"_qs << quint32(XK_m) << QStringList();
    QTest::newRow("Ctrl+M, NumLock on")
        << int(Qt::Key_M) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"ctrl+m"_qs
        << quint32(XK_m) << QStringList{u"Num_Lock"_qs};
    QTest::newRow("Left, CapsLock and NumLock on")
        << int(Qt::Key_Left) << none << u"Left"_qs << quint32(XK_Left)
        << QStringList{u"Caps_Lock"_qs, u"Num_Lock"_qs};
    QTest::newRow("Shift+F5") << int(Qt::Key_F5) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                              << u"shift+F5"_qs << quint32(XK_F5) << QStringList();
    QTest::newRow("Alt+A") << int(Qt::Key_A) << Qt::KeyboardModifiers(Qt::AltModifier)
                           << u"alt+a"_qs << quint32(XK_a) << QStringList();
    QTest::newRow("Meta+7") << int(Qt::Key_7) << Qt::KeyboardModifiers(Qt::MetaModifier)
                            << u"super+7"_qs << quint32(XK_7) << QStringList();
}

void TestGlobalHotKeysX11::hotKeyFiresWhileAnotherWindowHasFocus()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, typed);
    QFETCH(quint32, keysym);
    QFETCH(QStringList, locks);

    const std::unique_ptr<GlobalHotKeys> hotKeys = GlobalHotKeys::create();
    QSignalSpy pressed(hotKeys.get(), &GlobalHotKeys::pressed);
    QSignalSpy released(hotKeys.get(), &GlobalHotKeys::released);
    QVERIFY(hotKeys->registerHotKey(16, key, modifiers));
    QVERIFY(hotKeys->isRegistered(16));

    const auto toggleLocks = [&locks] {
        for (const QString &lock : std::as_const(locks))
            xdotool({u"key"_qs, lock});
    };
    toggleLocks();
    const auto unlock = qScopeGuard(toggleLocks);

    QVERIFY(xdotool({u"key"_qs, typed}));
    QTRY_COMPARE(released.count(), 1);
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed.first().first().toInt(), 16);
    QCOMPARE(released.first().first().toInt(), 16);
    QVERIFY(!m_foreign->takeKeyPresses().contains(m_other->keyCode(keysym)));
}

void TestGlobalHotKeysX11::heldKeyIsOnePressAndOneRelease()
{
    const std::unique_ptr<GlobalHotKeys> hotKeys = GlobalHotKeys::create();
    QSignalSpy pressed(hotKeys.get(), &GlobalHotKeys::pressed);
    QSignalSpy released(hotKeys.get(), &GlobalHotKeys::released);
    QVERIFY(hotKeys->registerHotKey(13, Qt::Key_Down, {}));
    // Installed last, so it sees every press before the hot keys do.
    RawKeyPresses raw(m_other->keyCode(XK_Down));
    QCoreApplication::instance()->installNativeEventFilter(&raw);

    QVERIFY(xdotool({u"keydown"_qs, u"Down"_qs}));
    auto letGo = qScopeGuard([] { xdotool({u"keyup"_qs, u"Down"_qs}); });
    // The server's own auto-repeat has set in.
    QTRY_VERIFY_WITH_TIMEOUT(raw.count >= 3, 5000);
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(released.count(), 0);

    letGo.dismiss();
    QVERIFY(xdotool({u"keyup"_qs, u"Down"_qs}));
    QTRY_COMPARE(released.count(), 1);
    QCOMPARE(pressed.count(), 1);
}

void TestGlobalHotKeysX11::unregisteredKeyReachesTheFocusedWindow()
{
    const xcb_keycode_t left = m_other->keyCode(XK_Left);
    std::unique_ptr<GlobalHotKeys> hotKeys = GlobalHotKeys::create();
    QSignalSpy pressed(hotKeys.get(), &GlobalHotKeys::pressed);
    QVERIFY(hotKeys->registerHotKey(10, Qt::Key_Left, {}));
    QVERIFY(!m_other->canGrabInEveryLockState(left));
    hotKeys->unregisterHotKey(10);
    QVERIFY(!hotKeys->isRegistered(10));

    QVERIFY(xdotool({u"key"_qs, u"Left"_qs}));
    QList<quint8> received;
    QTRY_VERIFY((received += m_foreign->takeKeyPresses()).contains(left));
    QCoreApplication::processEvents();
    QCOMPARE(pressed.count(), 0);
    QVERIFY(m_other->canGrabInEveryLockState(left));

    // Destroying the object lets its keys go as well.
    QVERIFY(hotKeys->registerHotKey(10, Qt::Key_Left, {}));
    hotKeys.reset();
    QVERIFY(m_other->canGrabInEveryLockState(left));
}

void TestGlobalHotKeysX11::keyHeldByAnotherClientIsRefused_data()
{
    QTest::addColumn<quint16>("heldLocks");

    QTest::newRow("without locks") << quint16(0);
    QTest::newRow("with CapsLock") << capsLock;
    QTest::newRow("with NumLock") << numLock;
    QTest::newRow("with both locks") << quint16(capsLock | numLock);
}

void TestGlobalHotKeysX11::keyHeldByAnotherClientIsRefused()
{
    QFETCH(quint16, heldLocks);

    const xcb_keycode_t escape = m_other->keyCode(XK_Escape);
    QVERIFY(m_other->grab(escape, heldLocks));
    auto release = qScopeGuard([&] { m_other->ungrab(escape, heldLocks); });

    const std::unique_ptr<GlobalHotKeys> hotKeys = GlobalHotKeys::create();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"held by another client"_qs));
    QVERIFY(!hotKeys->registerHotKey(15, Qt::Key_Escape, {}));
    QVERIFY(!hotKeys->isRegistered(15));

    // The lock states that could be had were let go again.
    release.dismiss();
    m_other->ungrab(escape, heldLocks);
    QVERIFY(m_other->canGrabInEveryLockState(escape));
}

void TestGlobalHotKeysX11::keyIsRegisteredOnceInTheProcess()
{
    const std::unique_ptr<GlobalHotKeys> hotKeys = GlobalHotKeys::create();
    const std::unique_ptr<GlobalHotKeys> otherHotKeys = GlobalHotKeys::create();
    QVERIFY(hotKeys->registerHotKey(1, Qt::Key_Right, {}));
    QVERIFY(!hotKeys->registerHotKey(2, Qt::Key_Right, {}));
    QVERIFY(!otherHotKeys->registerHotKey(1, Qt::Key_Right, {}));

    // Releasing one id must not release a key another id still holds.
    hotKeys->unregisterHotKey(2);
    QVERIFY(!m_other->canGrabInEveryLockState(m_other->keyCode(XK_Right)));

    hotKeys->unregisterHotKey(1);
    QVERIFY(otherHotKeys->registerHotKey(1, Qt::Key_Right, {}));
    QSignalSpy pressed(otherHotKeys.get(), &GlobalHotKeys::pressed);
    QVERIFY(xdotool({u"key"_qs, u"Right"_qs}));
    QTRY_COMPARE(pressed.count(), 1);
}

BRIVEL_XVFB_TEST_MAIN(TestGlobalHotKeysX11, true)

#include "tst_globalhotkeys_x11.moc"
