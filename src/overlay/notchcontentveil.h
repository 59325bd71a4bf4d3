#pragma once

#include "overlay/notchoverlayview.h"

#include <QPixmap>
#include <QPoint>
#include <QWidget>

// Lies over the content column while it fades. A widget tree cannot be drawn translucent
// without graphics effects, so the fade is drawn on top instead: the panel's own fill over
// the column hides what is not yet (or no longer) visible, and a picture of the section below
// the top bar as it was before a change fades out over the new one.
class NotchOverlayView::ContentVeil : public QWidget
{
public:
    explicit ContentVeil(NotchOverlayView &view);

    void setSnapshot(const QPixmap &snapshot, const QPoint &position)
    {
        m_snapshot = snapshot;
        m_snapshotPosition = position;
    }
    bool hasSnapshot() const { return !m_snapshot.isNull(); }
    void clearSnapshot() { m_snapshot = {}; }

    // `content` is the column's own opacity, `before` the share of the old section still shown;
    // the section changes below `sectionTop`.
    void setFade(double content, double before, double sectionTop);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    NotchOverlayView &m_view;
    QPixmap m_snapshot;
    QPoint m_snapshotPosition;
    double m_content = 1;
    double m_before = 0;
    double m_sectionTop = 0;
};
