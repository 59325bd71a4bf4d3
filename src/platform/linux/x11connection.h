#pragma once

#include <QList>

#include <xcb/xcb.h>

#include <functional>

// Qt's own connection to the X server, shared by the X11 parts of the platform layer.
namespace X11Connection {

// Null when the application does not run on the xcb platform (offscreen, or no application).
xcb_connection_t *connection();
// The root window of the default screen.
xcb_window_t rootWindow(xcb_connection_t *connection);
// XCB_ATOM_NONE when the server does not answer.
xcb_atom_t atom(xcb_connection_t *connection, const char *name);
// A property of atoms (a window's states, types or protocols, what the window manager supports);
// empty when unset.
QList<xcb_atom_t> atomList(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property);
// Calls `then` on the main thread with the server's time, for requests that window managers weigh
// by their time (activation). The time comes with an event of Qt's own connection, so asking never
// waits on the server; `then` is dropped when the application goes first. Main thread only.
void withServerTime(std::function<void(xcb_timestamp_t)> then);

} // namespace X11Connection
