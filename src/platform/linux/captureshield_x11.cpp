#include "captureshield_x11.h"

bool X11CaptureShield::isSupported() const
{
    return false;
}
