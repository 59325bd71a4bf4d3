#include "overlaywindow_x11.h"

#include "activewindow_x11.h"
#include "windowplace_x11.h"
#include "x11connection.h"

#include <QEvent>
#include <QList>
#include <QVariant>
#include <QWindow>

#include <cstdlib>

namespace {

constexpr quint32 allDesktops = 0xFFFFFFFF;

// Qt's own window property for the window types it cannot tell from the flags; it writes them
// whenever it applies the flags, so a later change of flags keeps the type.
constexpr const char *qtWindowTypeProperty = "_q_xcb_wm_window_type";
constexpr int qtNormalWindowType = 0x01;
constexpr int qtUtilityWindowType = 0x20;

constexpr const char *panelStates[] = {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY",
                                       "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"};

void writeAtomList(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property,
                   const QList<xcb_atom_t> &atoms)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32,
                        quint32(atoms.size()), atoms.constData());
}

} // namespace

X11OverlayWindow *X11OverlayWindow::of(QWindow *window)
{
    return window->findChild<X11OverlayWindow *>(QString(), Qt::FindDirectChildrenOnly);
}

void X11OverlayWindow::install(QWindow *window, bool flagsChanged)
{
    if (!X11Connection::connection())
        return;
    // Filters run newest first: the place is kept once the full screen has been asked for,
    // which it leaves alone.
    X11WindowPlace::keepWhenShown(window);
    if (!of(window))
        window->installEventFilter(new X11OverlayWindow(window));
    window->setProperty(qtWindowTypeProperty, QVariant(qtUtilityWindowType));
    // Qt would replace the native window on the next show for the new stays-on-top hint, and
    // the properties with it; replace it now, before they are written.
    if (flagsChanged && !window->isVisible())
        window->destroy();
    if (!window->handle())
        window->create();
    writeProperties(window);
}

void X11OverlayWindow::takeKeyboardWhenShown(QWindow *window)
{
    if (X11OverlayWindow *filter = of(window))
        filter->m_takesKeyboard = true;
}

bool X11OverlayWindow::fullScreenWhenShown(QWindow *window)
{
    X11OverlayWindow *filter = of(window);
    if (filter)
        filter->m_fullScreen = true;
    return filter;
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
        withdrawAttentionRequest(window);
        // Qt sends the window manager the request of a mapped window.
        if (m_fullScreen)
            window->setWindowStates(window->windowStates() | Qt::WindowFullScreen);
        if (m_takesKeyboard)
            X11ActiveWindow().activate(window->winId());
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

// Window managers that keep the keyboard where it was when a window maps mark that window as
// demanding attention; a panel shown on purpose needs none, and a taskbar would flash for it.
void X11OverlayWindow::withdrawAttentionRequest(QWindow *window)
{
    xcb_connection_t *connection = X11Connection::connection();
    if (!connection)
        return;
    const xcb_atom_t stateProperty = X11Connection::atom(connection, "_NET_WM_STATE");
    const xcb_atom_t attention = X11Connection::atom(connection, "_NET_WM_STATE_DEMANDS_ATTENTION");
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window->winId());
    event.type = stateProperty;
    event.data.data32[0] = 0; // remove
    event.data.data32[1] = attention;
    event.data.data32[3] = 1; // from an application
    xcb_send_event(connection, 0, X11Connection::rootWindow(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
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
    QList<xcb_atom_t> states = X11Connection::atomList(connection, id, stateProperty);
    for (const char *name : panelStates) {
        const xcb_atom_t state = X11Connection::atom(connection, name);
        if (state != XCB_ATOM_NONE && !states.contains(state))
            states.append(state);
    }
    writeAtomList(connection, id, stateProperty, states);

    // A native window made before install() got its type from the flags alone. Window
    // managers (openbox) grant the full-screen state to normal windows only.
    const X11OverlayWindow *filter = of(window);
    const bool fullScreen
        = window->windowStates().testFlag(Qt::WindowFullScreen) || (filter && filter->m_fullScreen);
    window->setProperty(qtWindowTypeProperty,
                        QVariant(fullScreen ? qtNormalWindowType : qtUtilityWindowType));
    const xcb_atom_t typeProperty = X11Connection::atom(connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t utility = X11Connection::atom(connection, "_NET_WM_WINDOW_TYPE_UTILITY");
    QList<xcb_atom_t> types = X11Connection::atomList(connection, id, typeProperty);
    if (fullScreen && types.removeAll(utility) > 0) {
        writeAtomList(connection, id, typeProperty, types);
    } else if (!fullScreen && utility != XCB_ATOM_NONE && !types.contains(utility)) {
        types.prepend(utility);
        writeAtomList(connection, id, typeProperty, types);
    }

    // Qt offers every window WM_TAKE_FOCUS; a window manager that sends it on a click moves
    // the keyboard away from the reader's application even though the panel declines it.
    // Without it the panel is a no-input window and a click leaves the focus where it was.
    const xcb_atom_t protocolsProperty = X11Connection::atom(connection, "WM_PROTOCOLS");
    QList<xcb_atom_t> protocols = X11Connection::atomList(connection, id, protocolsProperty);
    if (protocols.removeAll(X11Connection::atom(connection, "WM_TAKE_FOCUS")) > 0)
        writeAtomList(connection, id, protocolsProperty, protocols);
    xcb_flush(connection);
}
