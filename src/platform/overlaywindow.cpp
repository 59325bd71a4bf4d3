#include "overlaywindow.h"

#include "linux/overlaywindow_x11.h"

#include <QWindow>

namespace OverlayWindow {

void configure(QWindow *window)
{
    if (!window)
        return;
    const Qt::WindowFlags before = window->flags();
    window->setFlags((before & ~Qt::WindowType_Mask) | Qt::Window | Qt::FramelessWindowHint
                     | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    X11OverlayWindow::install(window, window->handle() && window->flags() != before);
}

void takeKeyboardWhenShown(QWindow *window)
{
    if (window)
        X11OverlayWindow::takeKeyboardWhenShown(window);
}

bool fullScreenWhenShown(QWindow *window)
{
    return window && X11OverlayWindow::fullScreenWhenShown(window);
}

} // namespace OverlayWindow
