#pragma once

#include <QString>

#include <functional>

class OverlayContent;
class SpeechRecognizer;

// The reading session as the document service drives it.
class ReadingOverlay
{
public:
    virtual ~ReadingOverlay() = default;

    // Opens a session on the text, replacing any open one; the completion runs once it closed.
    virtual void show(const QString &text, bool hasNextPage, bool isNotesMode,
                      std::function<void()> onComplete)
        = 0;
    // Loads another page into the open session.
    virtual void updateContent(const QString &text, bool hasNextPage, bool isNotesMode) = 0;
    virtual void dismiss() = 0;
    // The session's global keys.
    virtual void registerHotKeys() = 0;
    // Whether a session's panel is open.
    virtual bool hasPanel() const = 0;
    // The main window's model and voice follower.
    virtual OverlayContent &overlayContent() const = 0;
    virtual SpeechRecognizer &speechRecognizer() const = 0;
};
