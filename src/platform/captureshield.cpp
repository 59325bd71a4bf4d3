#include "captureshield.h"

#include "linux/captureshield_x11.h"

CaptureShield::~CaptureShield() = default;

const CaptureShield &CaptureShield::system()
{
    static const X11CaptureShield shield;
    return shield;
}
