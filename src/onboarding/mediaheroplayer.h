#pragma once

#include "onboarding/heroplayer.h"

#include <QElapsedTimer>

class QMediaPlayer;
class QVideoFrame;
class QVideoSink;

// Qt Multimedia's player of a clip, in the clips module (MediaClips).
class MediaHeroPlayer : public HeroPlayer
{
    Q_OBJECT
    Q_PROPERTY(int loopCount READ loopCount)

public:
    explicit MediaHeroPlayer(const QString &filePath, QObject *parent = nullptr);
    ~MediaHeroPlayer() override;

    void play() override;
    void restart() override;
    void stop() override;
    bool isPlaying() const override;

    // How often the clip was started again at its end.
    int loopCount() const { return m_loops; }

private:
    void takeFrame(const QVideoFrame &frame);

    QMediaPlayer *m_player;
    QVideoSink *m_sink;
    QElapsedTimer m_sinceStart;
    int m_loops = 0;
    int m_quickEnds = 0;
};

// A decoded frame as an image: YUV 4:2:0 planes converted here, any other layout by Qt.
QImage videoFrameImage(const QVideoFrame &frame);
