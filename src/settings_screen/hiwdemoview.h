#pragma once

#include "hiwenvironment.h"
#include "hiwpainting.h"
#include "hiwphase.h"
#include "hiwphaseplayer.h"

#include <QTimer>
#include <QWidget>

// One how-it-works demo on its stage: the 520 by 240 point scene, scaled from its top-left
// corner, painted in one piece. Its timeline starts at phase 0 each time it is shown and
// stops, with every timer, when it is hidden. Frames are painted only while something moves.
class HiwDemoView : public QWidget
{
    Q_OBJECT

public:
    static constexpr double stageWidth = 520;
    static constexpr double stageHeight = 240;

    // `fadeIn`: the first showing comes in with the tab's short transition.
    HiwDemoView(HiwTab tab, double scale, HiwEnvironment environment, bool fadeIn = false,
                QWidget *parent = nullptr);

    HiwTab tab() const { return m_tab; }
    double scale() const { return m_scale; }
    void setScale(double scale);
    int idx() const { return m_player.idx(); }

    // Catches up with the clock, as the timers do when they fire.
    void tick();
    // Paints the stage as it is at the clock's time, at the painter's current transform.
    void paintStage(QPainter &painter);
    // Whether anything on the stage is still moving at the clock's time.
    bool isMoving() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void phaseChanged();
    void updateFrameTimer();
    void paintArrows(QPainter &painter, qint64 now);
    void paintInvisible(QPainter &painter, qint64 now);
    void paintNotes(QPainter &painter, qint64 now);
    void paintCursorAndRipple(QPainter &painter, qint64 now, QPointF target, QPointF rest,
                              QPointF rippleCentre);

    HiwTab m_tab;
    double m_scale = 1;
    HiwEnvironment m_environment;
    bool m_fadeIn = false;
    qint64 m_fadeStartedAt = -1;
    HiwPhasePlayer m_player;
    QTimer m_frameTimer;
    HiwShadowCache m_shadows;
    HiwTextCache m_texts;
};
