#pragma once

#include "onboarding/heroplayer.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <memory>

// The hero of an intro page: the latest frame of its clip, covering the view with its top edge
// on the view's top edge. It plays its own player, or one preloaded elsewhere that it only
// starts and stops. Without a player it shows nothing, and the black behind shows through.
class HeroVideoView : public QWidget
{
    Q_OBJECT

public:
    HeroVideoView(const QString &videoName, HeroPlayer *preloadedPlayer, HeroPlayerFactory factory,
                  QWidget *parent = nullptr);
    ~HeroVideoView() override;

    // The rectangle a video of that size covers in the bounds, its top edge on theirs and
    // centred across; the bounds themselves while the size is unknown.
    static QRectF topAlignedRect(const QRectF &bounds, const QSizeF &videoSize);

    // A player made by the language step; it takes effect at the next start.
    void setPreloadedPlayer(HeroPlayer *player) { m_preloaded = player; }

    // On appearance: the preloaded player is only started; otherwise a player of its own is made.
    void startPlayback();
    // A page that becomes current starts again from its beginning; one that stops being
    // current plays on.
    void setActive(bool active);
    // On disappearance: paused and rewound; a player of its own is released.
    void stopPlayback();

    HeroPlayer *player() const { return m_player; }
    const QImage &frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void takeFrame(const QImage &frame);

    const QString m_videoName;
    QPointer<HeroPlayer> m_preloaded;
    HeroPlayerFactory m_factory;
    std::unique_ptr<HeroPlayer> m_own;
    QPointer<HeroPlayer> m_player;
    bool m_active = false;
    QImage m_frame;
};
