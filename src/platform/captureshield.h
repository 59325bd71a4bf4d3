#pragma once

// Keeps panels out of screenshots, screen recordings and screen sharing where the window
// system allows it.
class CaptureShield
{
public:
    virtual ~CaptureShield();

    virtual bool isSupported() const = 0;

    // The window system's own shield.
    static const CaptureShield &system();
};
