#pragma once

// The pointer and keys of a test's private X server, driven through xdotool.

#include "x11requests.h"

#include <QByteArray>
#include <QPoint>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace TestSupport {

// Runs xdotool against the test's server. True when it succeeded; its standard output goes to
// output when given.
inline bool xdotool(const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    const bool finished = process.waitForFinished(10000);
    if (output)
        *output = process.readAllStandardOutput();
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    qWarning("xdotool %s failed: %s", qPrintable(arguments.join(u' ')),
             process.readAllStandardError().constData());
    return false;
}

// Moves the pointer to a point of the screen.
inline bool movePointer(QPoint to)
{
    return xdotool({QStringLiteral("mousemove"), QString::number(to.x()), QString::number(to.y())});
}

// Drags with the first button from one point of the screen to another in small steps, pausing
// as a hand does, so that the window under the pointer sees a press, moves and a release.
inline bool drag(QPoint from, QPoint to)
{
    if (!movePointer(from) || !xdotool({QStringLiteral("mousedown"), QStringLiteral("1")}))
        return false;
    QTest::qWait(250);
    for (int step = 1; step <= 8; ++step) {
        if (!movePointer(from + (to - from) * step / 8))
            return false;
        QTest::qWait(30);
    }
    QTest::qWait(150);
    const bool released = xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    QTest::qWait(250);
    return released;
}

// The window that a press at a point of the screen reaches, as the server picks it: the deepest
// mapped window there, each counting only where its outline and its input shape let presses in.
// A panel that lets clicks through lets them reach the window beneath only once the window
// manager has copied its empty input shape to the frame around it.
inline quint32 windowAt(QPoint point)
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return XCB_WINDOW_NONE;
    }
    static xcb_extension_t shapeExtension{"SHAPE", 0};
    // A window's bounding (0) or input (2) shape holds the point, given in the window's
    // coordinates; an unshaped window answers with its whole rectangle.
    const auto shapeHolds = [connection](xcb_window_t window, quint8 kind, QPoint local) {
        struct
        {
            quint8 major = 0, minor = 0;
            quint16 length = 0;
            quint32 window;
            quint8 kind, pad[3] = {};
        } request{0, 0, 0, window, kind};
        const unsigned int sequence = sendExtensionRequest(connection, &shapeExtension,
                                                           8, // ShapeGetRectangles
                                                           &request, sizeof request, true);
        xcb_generic_error_t *error = nullptr;
        auto *reply = static_cast<quint8 *>(xcb_wait_for_reply(connection, sequence, &error));
        std::free(error);
        bool holds = !reply; // a server without the extension shapes nothing
        quint32 count = 0;
        if (reply)
            std::memcpy(&count, reply + 8, 4);
        for (quint32 i = 0; i < count && !holds; ++i) {
            qint16 rectangle[4];
            std::memcpy(rectangle, reply + 32 + 8 * i, 8);
            holds = QRect(rectangle[0], rectangle[1], quint16(rectangle[2]), quint16(rectangle[3]))
                        .contains(local);
        }
        std::free(reply);
        return holds;
    };

    xcb_window_t window = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    QPoint local = point;
    for (bool deeper = true; deeper;) {
        deeper = false;
        xcb_query_tree_reply_t *tree
            = xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
        const xcb_window_t *children = tree ? xcb_query_tree_children(tree) : nullptr;
        // From the top of the stack down.
        for (int i = tree ? xcb_query_tree_children_length(tree) - 1 : -1; i >= 0 && !deeper; --i) {
            const xcb_window_t child = children[i];
            xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, child), nullptr);
            xcb_get_geometry_reply_t *geometry
                = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, child), nullptr);
            if (attributes && geometry && attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
                const int border = geometry->border_width;
                const QPoint inner = local - QPoint(geometry->x + border, geometry->y + border);
                if (QRect(-border, -border, geometry->width + 2 * border,
                          geometry->height + 2 * border)
                        .contains(inner)
                    && shapeHolds(child, 0, inner) && shapeHolds(child, 2, inner)) {
                    window = child;
                    local = inner;
                    deeper = true;
                }
            }
            std::free(attributes);
            std::free(geometry);
        }
        std::free(tree);
    }
    xcb_disconnect(connection);
    return window;
}

} // namespace TestSupport
