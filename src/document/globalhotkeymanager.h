#pragma once

#include "platform/globalhotkeys.h"

#include <QObject>

#include <functional>
#include <memory>

// The one system-wide key that shows or hides the main window from any application, stored in
// the settings as a Qt key code and Qt modifier bits (0: no key).
class GlobalHotkeyManager : public QObject
{
    Q_OBJECT

public:
    // The reading session's keys use other ids.
    static constexpr int hotKeyId = 1;

    // The window system's hot keys unless a test brings its own.
    explicit GlobalHotkeyManager(std::unique_ptr<GlobalHotKeys> hotKeys = nullptr,
                                 QObject *parent = nullptr);
    ~GlobalHotkeyManager() override;

    // Replaces any registration by one for this key. Key 0 registers nothing; modifier bits
    // other than Ctrl, Shift, Alt and Meta are dropped. A key that cannot be had (another
    // client holds it, or it is not on the keyboard) is reported in the log and left
    // unregistered.
    void registerHotKey(quint32 keyCode, quint32 modifiers);
    void unregister();
    bool isRegistered() const;

    // Runs on a later turn of the event loop after the key is pressed, never inside the window
    // system's event handling.
    std::function<void()> onHotkeyPressed;

private:
    std::unique_ptr<GlobalHotKeys> m_hotKeys;
};
