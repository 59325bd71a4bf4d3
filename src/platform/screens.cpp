#include "screens.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace {

class QtScreens : public Screens
{
public:
    QList<ScreenInfo> screens() const override
    {
        QList<ScreenInfo> result;
        QList<QScreen *> all = QGuiApplication::screens();
        // The primary display leads, as the main screen does elsewhere.
        if (QScreen *primary = QGuiApplication::primaryScreen(); primary && !all.isEmpty()) {
            all.removeOne(primary);
            all.prepend(primary);
        }
        for (const QScreen *screen : std::as_const(all)) {
            result.append({screen->name(), screen->geometry(), screen->availableGeometry(),
                           displayNumberForName(screen->name())});
        }
        return result;
    }

    QPoint cursorPosition() const override { return QCursor::pos(); }

    QString keyWindowScreenName() const override
    {
        const QWindow *window = QGuiApplication::focusWindow();
        const QScreen *screen = window ? window->screen() : nullptr;
        return screen ? screen->name() : QString();
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
