#pragma once

class QWindow;

// Window-system properties of an overlay panel: above every other window, on every desktop,
// out of the task bar and pager, never taking the keyboard. Call before the window is shown;
// the X11 part applies only with an X connection.
namespace OverlayWindow {

void configure(QWindow *window);

} // namespace OverlayWindow
