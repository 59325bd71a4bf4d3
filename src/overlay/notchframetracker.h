#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

class QPropertyAnimation;
class QWidget;

// The geometry of the pinned panel. The pinned view writes the size it needs; every write moves
// the panel (animated) so that it stays centred under the top edge of its display.
class NotchFrameTracker : public QObject
{
    Q_OBJECT
    Q_PROPERTY(
        double visibleHeight READ visibleHeight WRITE setVisibleHeight NOTIFY visibleHeightChanged)
    Q_PROPERTY(
        double visibleWidth READ visibleWidth WRITE setVisibleWidth NOTIFY visibleWidthChanged)

public:
    static constexpr int frameAnimationMs = 300;

    explicit NotchFrameTracker(QObject *parent = nullptr);

    // Height of the panel, the top-bar strip included.
    double visibleHeight() const { return m_visibleHeight; }
    // Every write, also of an unchanged value, moves the panel.
    void setVisibleHeight(double height);
    double visibleWidth() const { return m_visibleWidth; }
    void setVisibleWidth(double width);

    QWidget *panel() const { return m_panel; }
    void setPanel(QWidget *panel);
    // Horizontal centre and top edge of the display, in global coordinates.
    double screenMidX() const { return m_screenMidX; }
    void setScreenMidX(double x) { m_screenMidX = x; }
    double screenTop() const { return m_screenTop; }
    void setScreenTop(double y) { m_screenTop = y; }
    // Height of the desktop's top bar on that display (0 without one).
    double menuBarHeight() const { return m_menuBarHeight; }
    void setMenuBarHeight(double height) { m_menuBarHeight = height; }

    // The largest frame that fits the display; a larger width or height is cut to it.
    QSize maximumSize() const { return m_maximumSize; }
    void setMaximumSize(const QSize &size) { m_maximumSize = size; }

    // Where the panel belongs for the tracked geometry: centred, hanging from the top edge.
    QRect targetFrame() const;
    // Moves the panel there with the 0.3 s ease-in-out.
    void updatePanelFrame();
    // Moves the panel there at once, ending a move under way (a change of display).
    void movePanelNow();

Q_SIGNALS:
    void visibleHeightChanged();
    void visibleWidthChanged();

private:
    QPropertyAnimation *frameAnimation(bool create);

    double m_visibleHeight = 37;
    double m_visibleWidth = 200;
    QPointer<QWidget> m_panel;
    double m_screenMidX = 0;
    double m_screenTop = 0;
    double m_menuBarHeight = 0;
    QSize m_maximumSize;
};
