#pragma once

#include <QtGlobal>

// The window that has the keyboard, so a session can hand it back when the panel collapses.
class ActiveWindow
{
public:
    using WindowId = quint64; // 0: none

    virtual ~ActiveWindow();

    virtual WindowId current() const = 0;
    // Asks the window manager to give the window the keyboard; nothing for 0.
    virtual void activate(WindowId window) = 0;

    // X11 (_NET_ACTIVE_WINDOW) when there is an X connection, otherwise one that knows none.
    static ActiveWindow &system();
};
