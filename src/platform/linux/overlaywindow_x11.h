#pragma once

#include <QObject>

class QWindow;

// Puts an overlay panel on every desktop, above other windows and out of the task bar and pager,
// where the program placed it.
// The window manager reads these properties when the window is mapped and erases them when it
// is hidden, so they are written again before every show.
class X11OverlayWindow : public QObject
{
    Q_OBJECT

public:
    // Creates the native window if needed, or again when its flags changed since it was made;
    // does nothing without an X connection.
    static void install(QWindow *window, bool flagsChanged);

    // Both do nothing for a window that was not installed; the second then says false.
    static void takeKeyboardWhenShown(QWindow *window);
    static bool fullScreenWhenShown(QWindow *window);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;

    static X11OverlayWindow *of(QWindow *window);
    static void writeProperties(QWindow *window);
    static void reapplyInputShape(QWindow *window);
    static void withdrawAttentionRequest(QWindow *window);

    // A show is under way; its first exposure comes once the window manager manages it.
    bool m_showing = false;
    bool m_takesKeyboard = false;
    bool m_fullScreen = false;
};
