#include "globalhotkeys_x11.h"

#include "platform/logging.h"
#include "x11connection.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSet>

#include <X11/keysym.h>
#include <xcb/xcb_keysyms.h>
// The XKB header names a member "explicit"; C++ reserves it.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>
#include <memory>
#include <optional>

namespace {

// Combinations grabbed by any instance in this process. X lets a client grab a combination it
// already holds, and one ungrab would then end both registrations.
QSet<quint32> &heldCombinations()
{
    static QSet<quint32> held;
    return held;
}

quint32 combination(xcb_keycode_t keyCode, quint16 modifiers)
{
    return quint32(keyCode) << 16 | modifiers;
}

std::optional<xcb_keysym_t> keysymForKey(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return XK_a + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return XK_F1 + (key - Qt::Key_F1);
    // Below the letters and above them, Qt's codes for printable ASCII are the characters, and
    // so are their keysyms.
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde)
        return xcb_keysym_t(key);
    switch (key) {
    case Qt::Key_Escape:
        return XK_Escape;
    case Qt::Key_Tab:
        return XK_Tab;
    case Qt::Key_Backspace:
        return XK_BackSpace;
    case Qt::Key_Return:
        return XK_Return;
    case Qt::Key_Enter:
        return XK_KP_Enter;
    case Qt::Key_Insert:
        return XK_Insert;
    case Qt::Key_Delete:
        return XK_Delete;
    case Qt::Key_Pause:
        return XK_Pause;
    case Qt::Key_Print:
        return XK_Print;
    case Qt::Key_Home:
        return XK_Home;
    case Qt::Key_End:
        return XK_End;
    case Qt::Key_Left:
        return XK_Left;
    case Qt::Key_Up:
        return XK_Up;
    case Qt::Key_Right:
        return XK_Right;
    case Qt::Key_Down:
        return XK_Down;
    case Qt::Key_PageUp:
        return XK_Page_Up;
    case Qt::Key_PageDown:
        return XK_Page_Down;
    default:
        return std::nullopt;
    }
}

std::optional<quint16> modifierMask(Qt::KeyboardModifiers modifiers)
{
    constexpr Qt::KeyboardModifiers supported
        = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;
    if ((modifiers & ~supported).toInt() != 0)
        return std::nullopt;
    quint16 mask = 0;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::MetaModifier)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

struct KeySymbolsDeleter
{
    void operator()(xcb_key_symbols_t *symbols) const { xcb_key_symbols_free(symbols); }
};
using KeySymbols = std::unique_ptr<xcb_key_symbols_t, KeySymbolsDeleter>;

QList<xcb_keycode_t> keyCodesFor(xcb_key_symbols_t *symbols, xcb_keysym_t keysym)
{
    QList<xcb_keycode_t> result;
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, keysym);
    if (!codes)
        return result;
    for (const xcb_keycode_t *code = codes; *code != XCB_NO_SYMBOL; ++code) {
        if (!result.contains(*code))
            result.append(*code);
    }
    std::free(codes);
    return result;
}

// NumLock's modifier bit depends on the keymap (Mod2 on most).
quint16 numLockMask(xcb_connection_t *connection, xcb_key_symbols_t *symbols)
{
    const QList<xcb_keycode_t> numLockCodes = keyCodesFor(symbols, XK_Num_Lock);
    if (numLockCodes.isEmpty())
        return 0;
    xcb_get_modifier_mapping_reply_t *reply
        = xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr);
    if (!reply)
        return 0;
    const xcb_keycode_t *map = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    quint16 mask = 0;
    for (int modifier = 0; modifier < 8 && mask == 0; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (numLockCodes.contains(map[modifier * perModifier + i]))
                mask = quint16(1u << modifier);
        }
    }
    std::free(reply);
    return mask;
}

// Without it a held key arrives as a stream of release and press pairs; with it, as repeated
// presses and one release at the end, which the filter can tell apart.
void enableDetectableAutoRepeat(xcb_connection_t *connection)
{
    xcb_xkb_use_extension_reply_t *use = xcb_xkb_use_extension_reply(
        connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
        nullptr);
    const bool hasXkb = use && use->supported;
    std::free(use);
    bool enabled = false;
    if (hasXkb) {
        constexpr quint32 flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
        xcb_xkb_per_client_flags_reply_t *reply = xcb_xkb_per_client_flags_reply(
            connection,
            xcb_xkb_per_client_flags(connection, XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0),
            nullptr);
        enabled = reply && (reply->value & flag);
        std::free(reply);
    }
    if (!enabled)
        qCWarning(lcPlatform, "No detectable auto-repeat: a held hot key reports every repeat");
}

} // namespace

X11GlobalHotKeys::X11GlobalHotKeys(xcb_connection_t *connection, QObject *parent)
    : GlobalHotKeys(parent)
    , m_connection(connection)
    , m_root(X11Connection::rootWindow(connection))
{
    enableDetectableAutoRepeat(m_connection);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalHotKeys::~X11GlobalHotKeys()
{
    // Once the application is gone so is its connection, and the server dropped the grabs.
    const bool connected = X11Connection::connection() == m_connection;
    for (const HotKey &hotKey : std::as_const(m_hotKeys)) {
        if (connected)
            ungrab(hotKey.grabs);
        for (const KeyGrab &grab : hotKey.grabs)
            heldCombinations().remove(combination(grab.keyCode, grab.modifiers));
    }
}

bool X11GlobalHotKeys::registerHotKey(int id, int key, Qt::KeyboardModifiers modifiers)
{
    unregisterHotKey(id);
    const std::optional<xcb_keysym_t> keysym = keysymForKey(key);
    const std::optional<quint16> mask = modifierMask(modifiers);
    if (!keysym || !mask) {
        qCWarning(lcPlatform, "Hot key 0x%x with modifiers 0x%x has no X11 equivalent", key,
                  modifiers.toInt());
        return false;
    }

    const KeySymbols symbols(xcb_key_symbols_alloc(m_connection));
    if (!symbols)
        return false;
    HotKey hotKey;
    hotKey.keyCodes = keyCodesFor(symbols.get(), *keysym);
    if (hotKey.keyCodes.isEmpty()) {
        qCWarning(lcPlatform, "Hot key 0x%x is not on the keyboard", key);
        return false;
    }
    hotKey.modifiers = *mask;
    const quint16 numLock = numLockMask(m_connection, symbols.get());
    hotKey.lockMask = XCB_MOD_MASK_LOCK | numLock;
    QList<quint16> lockVariants{0, XCB_MOD_MASK_LOCK};
    if (numLock != 0 && (numLock & (*mask | XCB_MOD_MASK_LOCK)) == 0)
        lockVariants << numLock << quint16(XCB_MOD_MASK_LOCK | numLock);

    QList<KeyGrab> wanted;
    for (const xcb_keycode_t keyCode : std::as_const(hotKey.keyCodes)) {
        for (const quint16 variant : std::as_const(lockVariants)) {
            const KeyGrab grab{keyCode, quint16(*mask | variant)};
            if (heldCombinations().contains(combination(grab.keyCode, grab.modifiers)))
                return false;
            wanted.append(grab);
        }
    }

    // Not owner_events: every grabbed key reports to the root, even over Brivel's own windows.
    QList<xcb_void_cookie_t> cookies;
    for (const KeyGrab &grab : std::as_const(wanted)) {
        cookies.append(xcb_grab_key_checked(m_connection, 0, m_root, grab.modifiers, grab.keyCode,
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    bool granted = true;
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookies.at(i))) {
            granted = false;
            std::free(error);
        } else {
            hotKey.grabs.append(wanted.at(i));
        }
    }
    if (!granted) {
        // Another client holds the key, at least with one lock state.
        ungrab(hotKey.grabs);
        qCWarning(lcPlatform, "Hot key 0x%x with modifiers 0x%x is held by another client", key,
                  modifiers.toInt());
        return false;
    }

    for (const KeyGrab &grab : std::as_const(hotKey.grabs))
        heldCombinations().insert(combination(grab.keyCode, grab.modifiers));
    m_hotKeys.insert(id, hotKey);
    return true;
}

void X11GlobalHotKeys::unregisterHotKey(int id)
{
    const auto it = m_hotKeys.constFind(id);
    if (it == m_hotKeys.cend())
        return;
    ungrab(it->grabs);
    for (const KeyGrab &grab : it->grabs)
        heldCombinations().remove(combination(grab.keyCode, grab.modifiers));
    m_hotKeys.erase(it);
}

bool X11GlobalHotKeys::isRegistered(int id) const
{
    return m_hotKeys.contains(id);
}

void X11GlobalHotKeys::ungrab(const QList<KeyGrab> &grabs)
{
    for (const KeyGrab &grab : grabs)
        xcb_ungrab_key(m_connection, grab.keyCode, m_root, grab.modifiers);
    // Wait until the server has done it: a key pressed right after unregistering must already
    // reach the window that has the keyboard.
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

bool X11GlobalHotKeys::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto *keyEvent = static_cast<const xcb_key_press_event_t *>(message);
    // The grabs report to the root; key events for Brivel's own windows are Qt's.
    if (keyEvent->event != m_root)
        return false;

    if (type == XCB_KEY_PRESS) {
        for (auto it = m_hotKeys.begin(); it != m_hotKeys.end(); ++it) {
            const quint16 state = keyEvent->state & 0xff & ~it->lockMask;
            if (state != it->modifiers || !it->keyCodes.contains(keyEvent->detail))
                continue;
            // Auto-repeat of a held key.
            if (it->isDown)
                return true;
            it->isDown = true;
            Q_EMIT pressed(it.key());
            return true;
        }
        return false;
    }

    // A release is matched by its key alone: modifiers are often let go first.
    QList<int> releasedIds;
    for (auto it = m_hotKeys.begin(); it != m_hotKeys.end(); ++it) {
        if (it->isDown && it->keyCodes.contains(keyEvent->detail)) {
            it->isDown = false;
            releasedIds.append(it.key());
        }
    }
    if (releasedIds.isEmpty())
        return false;
    const QPointer<X11GlobalHotKeys> self(this);
    for (const int id : std::as_const(releasedIds)) {
        if (!self)
            break;
        Q_EMIT released(id);
    }
    return true;
}
