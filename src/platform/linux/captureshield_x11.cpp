#include "captureshield_x11.h"

bool X11CaptureShield::isSupported() const
{
    return false;
}

void X11CaptureShield::setHiddenFromCapture(QWindow *, bool) const
{
    // Nothing to set: the window stays capturable, which isSupported() already tells callers.
}
