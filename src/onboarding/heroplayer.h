#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QMediaPlayer;
class QVideoFrame;
class QVideoSink;

// A muted, looping player of one short clip, as the hero of an intro page shows it.
class HeroPlayer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void play() = 0;
    // From time zero, playing.
    virtual void restart() = 0;
    // Paused and rewound.
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

    // Asked before each frame is converted: a view off screen says no and costs nothing.
    void setFrameGate(std::function<bool()> gate) { m_gate = std::move(gate); }

Q_SIGNALS:
    // On the main thread.
    void frameReady(const QImage &frame);

protected:
    bool wantsFrames() const { return !m_gate || m_gate(); }

private:
    std::function<bool()> m_gate;
};

// Makes the player of a clip, or none when the clip is missing.
using HeroPlayerFactory = std::function<std::unique_ptr<HeroPlayer>(const QString &videoName)>;

// Qt Multimedia's player. It loops by hand at the end of the clip; a clip that ends again and
// again within half a second of its start is not restarted any more (a truncated file would
// otherwise restart without pause) and keeps its last frame.
class MediaHeroPlayer : public HeroPlayer
{
    Q_OBJECT

public:
    static constexpr int minimumLoopMs = 500;
    // Quick ends in a row that are still restarted: the backend reports one now and then.
    static constexpr int maximumQuickEnds = 2;

    explicit MediaHeroPlayer(const QString &filePath, QObject *parent = nullptr);
    ~MediaHeroPlayer() override;

    void play() override;
    void restart() override;
    void stop() override;
    bool isPlaying() const override;

    // How often the clip was started again at its end.
    int loopCount() const { return m_loops; }
    // Players alive in the process, so that none outlives its screen unnoticed.
    static int liveCount();

    // The clip of the main bundle ("<name>.mp4"), or none when it is not there.
    static std::unique_ptr<HeroPlayer> fromBundle(const QString &videoName);

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

// BT.601 limited-range YUV 4:2:0 planes to RGB.
QImage yuv420pToImage(const uchar *y, int yStride, const uchar *u, int uStride, const uchar *v,
                      int vStride, int width, int height);
