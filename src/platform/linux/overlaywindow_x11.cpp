#include "overlaywindow_x11.h"

#include "x11connection.h"

#include <QEvent>
#include <QList>
#include <QWindow>

#include <cstdlib>

namespace {

constexpr quint32 allDesktops = 0xFFFFFFFF;

constexpr const char *panelStates[] = {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY",
                                       "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"};

} // namespace

void X11OverlayWindow::install(QWindow *window, bool flagsChanged)
{
    if (!X11Connection::connection())
        return;
    if (!window->findChild<X11OverlayWindow *>(QString(), Qt::FindDirectChildrenOnly))
        window->installEventFilter(new X11OverlayWindow(window));
    // Qt would replace the native window on the next show for the new stays-on-top hint, and
    // the properties with it; replace it now, before they are written.
    if (flagsChanged && !window->isVisible())
        window->destroy();
    if (!window->handle())
        window->create();
    writeProperties(window);
}

bool X11OverlayWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *window = static_cast<QWindow *>(watched);
    // Qt sends the show event before it maps the window.
    if (event->type() == QEvent::Show) {
        writeProperties(window);
        m_showing = true;
    } else if (event->type() == QEvent::Expose && m_showing && window->isExposed()) {
        m_showing = false;
        reapplyInputShape(window);
    }
    return false;
}

// Qt gives a window that lets clicks through an empty input shape when it creates it, before
// the window manager frames it. Openbox copies a client's input shape to its frame only on a
// change it hears of later, so the frame caught the clicks; setting the shape again once the
// window is on screen makes the frame follow.
void X11OverlayWindow::reapplyInputShape(QWindow *window)
{
    const Qt::WindowFlags flags = window->flags();
    if (!flags.testFlag(Qt::WindowTransparentForInput))
        return;
    window->setFlags(flags & ~Qt::WindowTransparentForInput);
    window->setFlags(flags);
}

void X11OverlayWindow::writeProperties(QWindow *window)
{
    xcb_connection_t *connection = X11Connection::connection();
    if (!connection || !window->handle())
        return;
    const auto id = xcb_window_t(window->winId());

    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id,
                        X11Connection::atom(connection, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL, 32,
                        1, &allDesktops);

    // Merged into what the window already has; Qt merges its own states the same way on show.
    const xcb_atom_t stateProperty = X11Connection::atom(connection, "_NET_WM_STATE");
    QList<xcb_atom_t> states;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, stateProperty, XCB_ATOM_ATOM, 0, 1024),
        nullptr);
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t));
        states = QList<xcb_atom_t>(atoms, atoms + count);
    }
    std::free(reply);
    for (const char *name : panelStates) {
        const xcb_atom_t state = X11Connection::atom(connection, name);
        if (state != XCB_ATOM_NONE && !states.contains(state))
            states.append(state);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, stateProperty, XCB_ATOM_ATOM, 32,
                        quint32(states.size()), states.constData());

    // Qt offers every window WM_TAKE_FOCUS; a window manager that sends it on a click moves
    // the keyboard away from the reader's application even though the panel declines it.
    // Without it the panel is a no-input window and a click leaves the focus where it was.
    const xcb_atom_t protocolsProperty = X11Connection::atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t takeFocus = X11Connection::atom(connection, "WM_TAKE_FOCUS");
    xcb_get_property_reply_t *protocolsReply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, protocolsProperty, XCB_ATOM_ATOM, 0, 64),
        nullptr);
    if (protocolsReply && protocolsReply->type == XCB_ATOM_ATOM && protocolsReply->format == 32) {
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(protocolsReply));
        const int count = xcb_get_property_value_length(protocolsReply) / int(sizeof(xcb_atom_t));
        QList<xcb_atom_t> protocols(atoms, atoms + count);
        if (protocols.removeAll(takeFocus) > 0) {
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, protocolsProperty,
                                XCB_ATOM_ATOM, 32, quint32(protocols.size()),
                                protocols.constData());
        }
    }
    std::free(protocolsReply);
    xcb_flush(connection);
}
