#include "screens.h"

#include "platform/linux/x11connection.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

ScreenInfo infoOf(const QScreen &screen)
{
    return {screen.name(), screen.geometry(), screen.availableGeometry(),
            Screens::displayNumberForName(screen.name())};
}

// The pointer where the X server has it, in device pixels; none off X11.
std::optional<QPoint> devicePointer()
{
    xcb_connection_t *connection = X11Connection::connection();
    if (!connection)
        return std::nullopt;
    xcb_query_pointer_reply_t *reply = xcb_query_pointer_reply(
        connection, xcb_query_pointer(connection, X11Connection::rootWindow(connection)), nullptr);
    if (!reply)
        return std::nullopt;
    const QPoint position(reply->root_x, reply->root_y);
    std::free(reply);
    return position;
}

class QtScreens : public Screens
{
public:
    QList<ScreenInfo> screens() const override
    {
        QList<ScreenInfo> result;
        for (const QScreen *screen : ordered())
            result.append(infoOf(*screen));
        return result;
    }

    // Qt maps the pointer's device position to the nearest logical pixel, which at a scale of 2
    // takes a display's last device row or column (1799 of 1800) to the first pixel past it
    // (900), outside every display. The display whose device area holds the pointer is its
    // display, and the position maps down within it.
    QPoint cursorPosition() const override
    {
        const std::optional<QPoint> device = devicePointer();
        if (!device)
            return QCursor::pos();
        for (const QScreen *screen : ordered()) {
            if (const std::optional<QPoint> logical = logicalPosition(*screen, *device))
                return *logical;
        }
        // Outside every display's device area: outside every display's logical one too.
        return *device;
    }

    std::optional<ScreenInfo> screenUnderMouse() const override
    {
        const std::optional<QPoint> device = devicePointer();
        if (!device)
            return Screens::screenUnderMouse();
        for (const QScreen *screen : ordered()) {
            if (logicalPosition(*screen, *device))
                return infoOf(*screen);
        }
        return std::nullopt;
    }

    QString keyWindowScreenName() const override
    {
        const QWindow *window = QGuiApplication::focusWindow();
        const QScreen *screen = window ? window->screen() : nullptr;
        return screen ? screen->name() : QString();
    }

    void whenScreenRemoved(QObject *context,
                           std::function<void(const ScreenInfo &removed)> handler) override
    {
        if (!qGuiApp)
            return;
        QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, context,
                         [handler = std::move(handler)](QScreen *screen) {
                             if (screen)
                                 handler(infoOf(*screen));
                         });
    }

private:
    // The primary display leads, as the main screen does elsewhere.
    static QList<QScreen *> ordered()
    {
        QList<QScreen *> all = QGuiApplication::screens();
        if (QScreen *primary = QGuiApplication::primaryScreen(); primary && !all.isEmpty()) {
            all.removeOne(primary);
            all.prepend(primary);
        }
        return all;
    }

    // Qt keeps a display's top-left corner where the device has it and divides the rest by
    // the display's scale.
    static std::optional<QPoint> logicalPosition(const QScreen &screen, QPoint device)
    {
        const QRect logical = screen.geometry();
        const qreal scale = screen.devicePixelRatio();
        const QRect deviceArea(logical.topLeft(), (QSizeF(logical.size()) * scale).toSize());
        if (!deviceArea.contains(device))
            return std::nullopt;
        const auto down = [scale](int offset, int extent) {
            return std::min(int(std::floor(offset / scale)), extent - 1);
        };
        return logical.topLeft()
               + QPoint(down(device.x() - logical.x(), logical.width()),
                        down(device.y() - logical.y(), logical.height()));
    }
};

} // namespace

Screens::~Screens() = default;

std::optional<ScreenInfo> Screens::screenUnderMouse() const
{
    const QPoint cursor = cursorPosition();
    for (const ScreenInfo &screen : screens()) {
        if (screen.geometry.contains(cursor))
            return screen;
    }
    return std::nullopt;
}

bool Screens::showsWhole(const QRect &frame) const
{
    const QList<ScreenInfo> all = screens();
    return std::any_of(all.cbegin(), all.cend(), [&frame](const ScreenInfo &screen) {
        return screen.geometry.contains(frame);
    });
}

void Screens::whenScreenRemoved(QObject *, std::function<void(const ScreenInfo &)>) {}

std::optional<ScreenInfo> Screens::screenOfFrame(const QList<ScreenInfo> &screens,
                                                 const QRect &frame)
{
    std::optional<ScreenInfo> best;
    qint64 bestArea = 0;
    for (const ScreenInfo &screen : screens) {
        const QRect common = screen.geometry.intersected(frame);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = screen;
        }
    }
    return best;
}

std::optional<ScreenInfo> Screens::screenWithDisplayNumber(quint32 displayNumber) const
{
    for (const ScreenInfo &screen : screens()) {
        if (screen.displayNumber == displayNumber)
            return screen;
    }
    return std::nullopt;
}

std::optional<ScreenInfo> Screens::mainScreen() const
{
    const QList<ScreenInfo> all = screens();
    if (all.isEmpty())
        return std::nullopt;
    const QString keyScreen = keyWindowScreenName();
    for (const ScreenInfo &screen : all) {
        if (!keyScreen.isEmpty() && screen.name == keyScreen)
            return screen;
    }
    return all.first();
}

quint32 Screens::displayNumberForName(const QString &name)
{
    quint32 hash = 2166136261u;
    for (const char byte : name.toUtf8()) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return hash == 0 ? 1 : hash;
}

Screens &Screens::system()
{
    static QtScreens screens;
    return screens;
}
