#pragma once

#include <functional>
#include <optional>

class NotchSettings;
struct ScreenInfo;

// What the settings screen asks of its live preview of the reading panel. The preview reads the
// settings it is given and never writes them.
class NotchPreviewControlling
{
public:
    virtual ~NotchPreviewControlling() = default;

    // Shows the preview (or brings a hidden one back) and applies the current mode.
    virtual void show(NotchSettings &settings, bool glow, bool forcePinned) = 0;
    // Makes the preview mirror the current overlay mode, width and height.
    virtual void applyMode(NotchSettings &settings) = 0;
    // Takes every preview window off the screen, keeping them for a later show().
    virtual void hideAll() = 0;
    // Removes the preview at once.
    virtual void tearDown() = 0;
    // Plays the preview's exit, then removes it.
    virtual void dismiss() = 0;
    virtual void startCursorFollow(NotchSettings &settings) = 0;
    // Stops following the pointer and moves back; `completion` runs once the preview is back
    // (at once when it was not following).
    virtual void stopCursorFollow(std::function<void()> completion) = 0;
    // The preview keeps the place it had before it began to follow the pointer.
    virtual bool hasOriginalFrame() const = 0;
    // The display the preview is on, or would be shown on.
    virtual std::optional<ScreenInfo> screen() const = 0;
};
