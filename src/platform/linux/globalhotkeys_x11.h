#pragma once

#include "platform/globalhotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QList>

#include <xcb/xcb.h>

// Hot keys as passive key grabs on the root window. Each key is grabbed once more for every
// combination of CapsLock and NumLock, which X counts as modifiers; events come back through a
// native event filter on Qt's connection.
class X11GlobalHotKeys : public GlobalHotKeys, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit X11GlobalHotKeys(xcb_connection_t *connection, QObject *parent = nullptr);
    ~X11GlobalHotKeys() override;

    bool registerHotKey(int id, int key, Qt::KeyboardModifiers modifiers) override;
    void unregisterHotKey(int id) override;
    bool isRegistered(int id) const override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct KeyGrab
    {
        xcb_keycode_t keyCode = 0;
        quint16 modifiers = 0; // with the lock bits of this variant
    };

    struct HotKey
    {
        QList<xcb_keycode_t> keyCodes;
        quint16 modifiers = 0;
        quint16 lockMask = 0; // CapsLock and NumLock as they were when grabbed
        QList<KeyGrab> grabs;
        bool isDown = false;
    };

    void ungrab(const QList<KeyGrab> &grabs);

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    QHash<int, HotKey> m_hotKeys;
};
