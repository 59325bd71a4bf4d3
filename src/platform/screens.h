#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class QObject;

// A display as the overlay sees it.
struct ScreenInfo
{
    QString name;
    QRect geometry;          // the whole display, global coordinates
    QRect availableGeometry; // without the desktop's panels
    quint32 displayNumber = 0;

    // The strip a top panel takes (0 without one): where the menu bar would be.
    int menuBarHeight() const { return availableGeometry.top() - geometry.top(); }
};

// The displays and the pointer.
class Screens
{
public:
    virtual ~Screens();

    // In the window system's order; the primary display first.
    virtual QList<ScreenInfo> screens() const = 0;
    virtual QPoint cursorPosition() const = 0;
    // The name of the display of the window that has the keyboard; empty when none of ours has.
    virtual QString keyWindowScreenName() const = 0;

    // The first display whose frame contains the pointer.
    virtual std::optional<ScreenInfo> screenUnderMouse() const;
    std::optional<ScreenInfo> screenWithDisplayNumber(quint32 displayNumber) const;
    // The display of the key window, or the primary one while no window of ours is key.
    std::optional<ScreenInfo> mainScreen() const;

    // Calls `handler` whenever a display goes away, with the display as it was, for as long as
    // `context` lives. The windows that were on it still have their frames there.
    virtual void whenScreenRemoved(QObject *context,
                                   std::function<void(const ScreenInfo &removed)> handler);

    // True when one display holds the whole frame.
    bool showsWhole(const QRect &frame) const;

    // The display that holds most of the frame, as a window's own display is reckoned; none when
    // no display holds any of it.
    static std::optional<ScreenInfo> screenOfFrame(const QList<ScreenInfo> &screens,
                                                   const QRect &frame);

    // A stable number for a display name (FNV-1a, never 0), so a stored choice of display
    // survives restarts.
    static quint32 displayNumberForName(const QString &name);

    // The displays of the running application.
    static Screens &system();
};
