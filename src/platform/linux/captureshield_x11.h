#pragma once

#include "platform/captureshield.h"

// X11 lets every client read every window's pixels; nothing can keep a window out of a capture.
class X11CaptureShield : public CaptureShield
{
public:
    bool isSupported() const override;
    void setHiddenFromCapture(QWindow *window, bool hidden) const override;
};
