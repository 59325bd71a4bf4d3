#pragma once

class QWindow;

// What a top-level window tells the window manager before it is mapped.
namespace WindowHints {

// The next map shows the window normal, not iconified. Qt asks for an iconified first state
// once it has minimised a window and never takes that back, so a window minimised, restored by
// the window manager and then withdrawn would map minimised. Nothing without an X connection.
void mapNormal(QWindow *window);
// In the moment after each show, moves the window back to the place the program asked for
// where the window manager put it elsewhere. Nothing without an X connection.
void keepPlaceWhenShown(QWindow *window);

} // namespace WindowHints
