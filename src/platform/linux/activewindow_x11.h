#pragma once

#include "platform/activewindow.h"

// The window manager's _NET_ACTIVE_WINDOW, read from the root window and asked for with a
// client message.
class X11ActiveWindow : public ActiveWindow
{
public:
    WindowId current() const override;
    void activate(WindowId window) override;
};
