#pragma once

#include <QEvent>
#include <QObject>

// Counts the frames a panel is asked to paint: by the window system (exposures, sent to its
// window) or by its own widgets (update requests, sent to its top-level widget). Installed as an
// event filter on both.
class FrameCounter : public QObject
{
public:
    using QObject::QObject;
    int frames = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose || event->type() == QEvent::UpdateRequest)
            ++frames;
        return QObject::eventFilter(watched, event);
    }
};
