#pragma once

class QWindow;

// Keeps panels out of screenshots, screen recordings and screen sharing where the window
// system allows it.
class CaptureShield
{
public:
    virtual ~CaptureShield();

    virtual bool isSupported() const = 0;
    // Keeps the window out of captures (hidden) or lets it be captured like any other.
    virtual void setHiddenFromCapture(QWindow *window, bool hidden) const = 0;

    // The window system's own shield.
    static const CaptureShield &system();
};
