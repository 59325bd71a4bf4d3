#include "common/xvfb.h"
#include "platform/activewindow.h"
#include "platform/globalhotkeys.h"
#include "platform/overlaywindow.h"
#include "platform/selectionreader.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

using TestSupport::ForeignWindow;
using TestSupport::xdotool;

namespace {

// Xvfb's keymap puts NumLock on Mod2.
constexpr quint16 numLock = XCB_MOD_MASK_2;
constexpr quint16 capsLock = XCB_MOD_MASK_LOCK;

// Another client of the server: it competes for keys, reads properties as the window manager
// left them and holds the selection.
class OtherClient
{
public:
    OtherClient()
        : m_connection(xcb_connect(nullptr, nullptr))
        , m_root(xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root)
        , m_symbols(xcb_key_symbols_alloc(m_connection))
    {}

    ~OtherClient()
    {
        xcb_key_symbols_free(m_symbols);
        xcb_disconnect(m_connection);
    }

    xcb_keycode_t keyCode(xcb_keysym_t keysym) const
    {
        xcb_keycode_t *codes = xcb_key_symbols_get_keycode(m_symbols, keysym);
        const xcb_keycode_t code = codes ? codes[0] : 0;
        std::free(codes);
        return code;
    }

    bool grab(xcb_keycode_t keyCode, quint16 modifiers)
    {
        xcb_generic_error_t *error = xcb_request_check(
            m_connection, xcb_grab_key_checked(m_connection, 0, m_root, modifiers, keyCode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return !error;
    }

    void ungrab(xcb_keycode_t keyCode, quint16 modifiers)
    {
        xcb_ungrab_key(m_connection, keyCode, m_root, modifiers);
        xcb_flush(m_connection);
    }

    // Whether nobody else holds the key in any lock state; lets it go again.
    bool canGrabInEveryLockState(xcb_keycode_t keyCode)
    {
        bool all = true;
        for (const quint16 locks : {quint16(0), capsLock, numLock, quint16(capsLock | numLock)}) {
            if (grab(keyCode, locks))
                ungrab(keyCode, locks);
            else
                all = false;
        }
        return all;
    }

    xcb_atom_t atom(const QByteArray &name) const
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, quint16(name.size()), name.constData()),
            nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    }

    // The 32-bit values of a window property; empty when it is not set.
    QList<quint32> property(quint32 window, const QByteArray &name) const
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, window, atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
            nullptr);
        QList<quint32> values;
        if (reply && reply->format == 32) {
            const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
            values = QList<quint32>(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return values;
    }

    QList<quint32> rootProperty(const QByteArray &name) const { return property(m_root, name); }

    // Holds PRIMARY, answering only when asked to, and then as owners of large selections do:
    // announces the size (INCR) and sends the text in pieces, each once the requestor has taken
    // the one before.
    bool takePrimary()
    {
        m_selectionWindow = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_selectionWindow, m_root, 0, 0, 1, 1,
                          0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(m_connection, m_selectionWindow, XCB_ATOM_PRIMARY,
                                XCB_CURRENT_TIME);
        xcb_get_selection_owner_reply_t *reply = xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, XCB_ATOM_PRIMARY), nullptr);
        const bool held = reply && reply->owner == m_selectionWindow;
        std::free(reply);
        return held;
    }

    // Answers what was asked since the last call.
    void answer(const QByteArray &text)
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const auto release = qScopeGuard([event] { std::free(event); });
            const auto *request = reinterpret_cast<xcb_selection_request_event_t *>(event);
            if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST && latin1Only) {
                xcb_selection_notify_event_t notify{};
                notify.response_type = XCB_SELECTION_NOTIFY;
                notify.requestor = request->requestor;
                notify.selection = request->selection;
                notify.target = request->target;
                notify.property = request->target == XCB_ATOM_STRING ? request->property : 0;
                if (notify.property)
                    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request->requestor,
                                        notify.property, XCB_ATOM_STRING, 8, quint32(text.size()),
                                        text.constData());
                xcb_send_event(m_connection, 0, request->requestor, 0,
                               reinterpret_cast<const char *>(&notify));
            } else if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
                m_requestor = request->requestor;
                m_property = request->property;
                m_sent = 0;
                const quint32 events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(m_connection, m_requestor, XCB_CW_EVENT_MASK, &events);
                const auto size = quint32(text.size());
                xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_requestor, m_property,
                                    atom("INCR"), 32, 1, &size);
                xcb_selection_notify_event_t notify{};
                notify.response_type = XCB_SELECTION_NOTIFY;
                notify.requestor = m_requestor;
                notify.selection = request->selection;
                notify.target = request->target;
                notify.property = m_property;
                xcb_send_event(m_connection, 0, m_requestor, 0,
                               reinterpret_cast<const char *>(&notify));
            } else if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event);
                if (change->window != m_requestor || change->atom != m_property
                    || change->state != XCB_PROPERTY_DELETE || m_sent > text.size())
                    continue;
                // An empty piece ends the text.
                const QByteArray piece = text.mid(m_sent, 1000);
                m_sent += piece.isEmpty() ? 1 : piece.size();
                xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_requestor, m_property,
                                    atom("UTF8_STRING"), 8, quint32(piece.size()),
                                    piece.constData());
            }
        }
        xcb_flush(m_connection);
    }

    // Whether the owner offers its text only as STRING (Latin-1), in one piece.
    bool latin1Only = false;

    bool isViewable(quint32 window) const
    {
        xcb_get_window_attributes_reply_t *reply = xcb_get_window_attributes_reply(
            m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
        const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(reply);
        return viewable;
    }

private:
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_key_symbols_t *m_symbols = nullptr;
    xcb_window_t m_selectionWindow = XCB_WINDOW_NONE;
    xcb_window_t m_requestor = XCB_WINDOW_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    qsizetype m_sent = 0;
};

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

class MousePresses : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            ++count;
        return false;
    }

    int count = 0;
};

} // namespace

class TestX11Platform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void hotKeyFiresWhileAnotherWindowHasFocus_data();
    void hotKeyFiresWhileAnotherWindowHasFocus();
    void heldKeyIsOnePressAndOneRelease();
    void unregisteredKeyReachesTheFocusedWindow();
    void keyHeldByAnotherClientIsRefused_data();
    void keyHeldByAnotherClientIsRefused();
    void keyIsRegisteredOnceInTheProcess();
    void activeWindowIsReadAndRestored();
    void overlayWindowStaysAboveOnAllDesktopsWithoutFocus_data();
    void overlayWindowStaysAboveOnAllDesktopsWithoutFocus();
    void selectionIsReadWithoutWaitingOnItsOwner();

private:
    std::unique_ptr<ForeignWindow> m_foreign;
    std::unique_ptr<OtherClient> m_other;
};

void TestX11Platform::initTestCase()
{
    m_foreign = std::make_unique<ForeignWindow>("Foreign");
    QVERIFY(m_foreign->isValid());
    m_other = std::make_unique<OtherClient>();
}

void TestX11Platform::init()
{
    QVERIFY(xdotool({u"windowactivate"_qs, u"--sync"_qs, m_foreign->idString()}));
    QTRY_VERIFY(m_foreign->hasInputFocus());
    m_foreign->takeKeyPresses();
}

void TestX11Platform::hotKeyFiresWhileAnotherWindowHasFocus_data()
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

void TestX11Platform::hotKeyFiresWhileAnotherWindowHasFocus()
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

void TestX11Platform::heldKeyIsOnePressAndOneRelease()
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

void TestX11Platform::unregisteredKeyReachesTheFocusedWindow()
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

void TestX11Platform::keyHeldByAnotherClientIsRefused_data()
{
    QTest::addColumn<quint16>("heldLocks");

    QTest::newRow("without locks") << quint16(0);
    QTest::newRow("with CapsLock") << capsLock;
    QTest::newRow("with NumLock") << numLock;
    QTest::newRow("with both locks") << quint16(capsLock | numLock);
}

void TestX11Platform::keyHeldByAnotherClientIsRefused()
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

void TestX11Platform::keyIsRegisteredOnceInTheProcess()
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

void TestX11Platform::activeWindowIsReadAndRestored()
{
    ActiveWindow &activeWindow = ActiveWindow::system();
    QTRY_COMPARE(activeWindow.current(), ActiveWindow::WindowId(m_foreign->id()));

    ForeignWindow second("Second", {500, 300, 200, 150});
    QVERIFY(second.isValid());
    QVERIFY(xdotool({u"windowactivate"_qs, u"--sync"_qs, second.idString()}));
    QTRY_COMPARE(activeWindow.current(), ActiveWindow::WindowId(second.id()));

    activeWindow.activate(m_foreign->id());
    QTRY_COMPARE(activeWindow.current(), ActiveWindow::WindowId(m_foreign->id()));
    QTRY_VERIFY(m_foreign->hasInputFocus());
}

void TestX11Platform::overlayWindowStaysAboveOnAllDesktopsWithoutFocus_data()
{
    QTest::addColumn<bool>("createdFirst");

    QTest::newRow("configured before the native window exists") << false;
    QTest::newRow("configured after the native window exists") << true;
}

void TestX11Platform::overlayWindowStaysAboveOnAllDesktopsWithoutFocus()
{
    QFETCH(bool, createdFirst);

    QWindow panel;
    panel.setGeometry(400, 0, 400, 120);
    if (createdFirst)
        panel.create();
    OverlayWindow::configure(&panel);
    const Qt::WindowFlags flags = panel.flags();
    QVERIFY(flags.testFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                            | Qt::WindowDoesNotAcceptFocus));

    const auto id = quint32(panel.winId());
    const auto stateAtoms = [&](const QList<QByteArray> &names) {
        QList<quint32> atoms;
        for (const QByteArray &name : names)
            atoms.append(m_other->atom(name));
        return atoms;
    };
    const auto hasStates = [&](const QList<quint32> &wanted) {
        const QList<quint32> states = m_other->property(id, "_NET_WM_STATE");
        return std::all_of(wanted.cbegin(), wanted.cend(),
                           [&](quint32 state) { return states.contains(state); });
    };
    const QList<quint32> allDesktops{0xFFFFFFFF};
    // What the window manager reads when it first maps the window.
    QVERIFY(hasStates(stateAtoms({"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY",
                                  "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"})));
    QCOMPARE(m_other->property(id, "_NET_WM_DESKTOP"), allDesktops);

    // ICCCM WM_STATE, written by the window manager: 1 when it manages the window as normal.
    const auto isManaged = [&] { return m_other->property(id, "WM_STATE").value(0) == 1; };
    // What it keeps once it manages the window (openbox has no sticky state of its own).
    const QList<quint32> keptStates = stateAtoms(
        {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"});

    // Shown again after a hide, the window manager has forgotten what it knew of it.
    for (int showing = 0; showing < 2; ++showing) {
        panel.show();
        QCOMPARE(quint32(panel.winId()), id);
        QTRY_VERIFY(isManaged());
        // Transient for nothing, which window managers would minimise it with or place it by.
        QVERIFY(m_other->property(id, "WM_TRANSIENT_FOR").isEmpty());
        QVERIFY(m_other->property(id, "_NET_WM_WINDOW_TYPE")
                    .contains(m_other->atom("_NET_WM_WINDOW_TYPE_UTILITY")));
        QVERIFY(hasStates(keptStates));
        QCOMPARE(m_other->property(id, "_NET_WM_DESKTOP"), allDesktops);
        QCOMPARE(ActiveWindow::system().current(), ActiveWindow::WindowId(m_foreign->id()));
        panel.hide();
        QTRY_VERIFY(!isManaged());
    }
    panel.show();
    QTRY_VERIFY(isManaged());

    // A click does not give it the keyboard either.
    MousePresses clicks;
    panel.installEventFilter(&clicks);
    QVERIFY(xdotool({u"mousemove"_qs, u"--window"_qs, QString::number(id), u"20"_qs, u"20"_qs,
                     u"click"_qs, u"1"_qs}));
    QTRY_COMPARE(clicks.count, 1);
    QVERIFY(!panel.isActive());
    QVERIFY(QGuiApplication::focusWindow() != &panel);
    QVERIFY(m_foreign->hasInputFocus());

    // Activating another window raises it, but not over the panel.
    QVERIFY(xdotool({u"windowactivate"_qs, u"--sync"_qs, m_foreign->idString()}));
    const QList<quint32> bottomToTop = m_other->rootProperty("_NET_CLIENT_LIST_STACKING");
    QVERIFY(bottomToTop.contains(m_foreign->id()));
    QVERIFY(bottomToTop.indexOf(id) > bottomToTop.indexOf(m_foreign->id()));

    // On another desktop the foreign window goes away and the panel stays.
    QVERIFY(xdotool({u"set_desktop"_qs, u"1"_qs}));
    auto backToFirstDesktop = qScopeGuard([] { xdotool({u"set_desktop"_qs, u"0"_qs}); });
    QTRY_VERIFY(!m_other->isViewable(m_foreign->id()));
    QVERIFY(m_other->isViewable(id));
    backToFirstDesktop.dismiss();
    QVERIFY(xdotool({u"set_desktop"_qs, u"0"_qs}));
    QTRY_VERIFY(m_other->isViewable(m_foreign->id()));
}

void TestX11Platform::selectionIsReadWithoutWaitingOnItsOwner()
{
    OtherClient &owner = *m_other;
    QVERIFY(owner.takePrimary());
    struct Reading
    {
        std::optional<QString> text;
        qint64 afterMs = 0;
        bool timerFired = false;
        bool timerFiredBefore = false;
    };
    const std::unique_ptr<SelectionReader> reader = SelectionReader::create();
    const auto read = [&](qsizetype maximumCodeUnits, const QByteArray &answer = {}) {
        auto reading = std::make_shared<Reading>();
        QElapsedTimer clock;
        clock.start();
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &timer,
                         [reading] { reading->timerFired = true; });
        timer.start(50);
        reader->read(maximumCodeUnits, [reading, clock](const QString &text) {
            reading->text = text;
            reading->afterMs = clock.elapsed();
            reading->timerFiredBefore = reading->timerFired;
        });
        for (QDeadlineTimer deadline(30'000); !reading->text && !deadline.hasExpired();) {
            if (!answer.isNull())
                owner.answer(answer);
            QTest::qWait(5);
        }
        return *reading;
    };

    // The event loop turns while the silent owner is waited for, and the clipboard answers.
    QGuiApplication::clipboard()->setText(u"copiado"_qs);
    Reading reading = read(1000);
    QCOMPARE(reading.text, u"copiado"_qs);
    QVERIFY(reading.timerFiredBefore);
    QVERIFY2(reading.afterMs < 2000, qPrintable(QString::number(reading.afterMs)));
    QGuiApplication::clipboard()->clear();
    reading = read(1000);
    QCOMPARE(reading.text, QString());
    QVERIFY2(reading.afterMs < 2000, qPrintable(QString::number(reading.afterMs)));

    // A large selection comes in increments, split inside its characters; past the limit it
    // is cut.
    const QString large = u"ñandú "_qs.repeated(5000);
    QCOMPARE(read(1'000'000, large.toUtf8()).text, large);
    QCOMPARE(read(1000, large.toUtf8()).text, large.first(1001));
    owner.latin1Only = true;
    QCOMPARE(read(1000, "caf\xe9 au lait").text, u"café au lait"_qs);
}

BRIVEL_XVFB_TEST_MAIN(TestX11Platform, true)

#include "tst_x11platform.moc"
