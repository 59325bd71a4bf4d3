#pragma once

class QWindow;

// Window-system properties of an overlay panel: above every other window, on every desktop,
// out of the task bar and pager, never taking the keyboard. Call before the window is shown;
// the X11 part applies only with an X connection.
//
// It is a plain top-level window that only says it is a utility window: Qt makes a tool window
// transient for its hidden group leader, and window managers then minimise the panel with the
// editor or place it beside that 1×1 window at the screen's corner.
namespace OverlayWindow {

void configure(QWindow *window);
// Once the window is on screen, asks the window manager to give it the keyboard as a task bar
// would: some (xfwm4) weigh the toolkit's own request against focus-stealing prevention and
// may refuse it.
void takeKeyboardWhenShown(QWindow *window);
// Once the window is on screen, asks the window manager to show it full screen, as a player
// does: asked in the window's first state instead, some (awesome) place it below their bars.
// A full-screen window is a normal one from the start. False when it is not on X11 and the
// caller asks for full screen itself.
bool fullScreenWhenShown(QWindow *window);

} // namespace OverlayWindow
