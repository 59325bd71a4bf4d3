#pragma once

#include <QElapsedTimer>
#include <QObject>

class QWindow;

// Keeps a top-level window where the program asked for it in the moment after each show. Some
// window managers put a window being mapped where their placement policy wants it (fluxbox,
// beside other windows) or off its place by their frame (awesome, a window shown again), in
// spite of the place asked for, but honour a move once it is on screen. Qt writes the place it
// asks for into the size hints whenever it moves the window.
class X11WindowPlace : public QObject
{
    Q_OBJECT

public:
    // Once for the life of the window; nothing without an X connection.
    static void keepWhenShown(QWindow *window);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;

    // Moves the window back to the place asked for; true when it was elsewhere.
    static bool restore(QWindow *window);
    void restoreWhilePlacing(QWindow *window);

    // A show is under way; its first exposure comes once the window manager manages it.
    bool m_showing = false;
    // Since the show's first exposure, for as long as the window manager may still place it.
    static constexpr int placingTime = 1000;
    QElapsedTimer m_placing;
    int m_attempts = 0;
};
