#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

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

// The clips' players through Qt Multimedia, which comes with the clips module at the first clip
// rather than with the program. Without the module (logged) there is no player and the hero
// stays dark, as for a missing clip.
namespace MediaClips {

// A player loops by hand at the end of the clip; a clip that ends again and again within
// minimumLoopMs of its start is not restarted any more (a truncated file would otherwise restart
// without pause) and keeps its last frame. Its "loopCount" property says how often it restarted.
inline constexpr int minimumLoopMs = 500;
// Quick ends in a row that are still restarted: the backend reports one now and then.
inline constexpr int maximumQuickEnds = 2;

std::unique_ptr<HeroPlayer> player(const QString &filePath);
// The clip of the main bundle ("<name>.mp4"), or none when it is not there.
std::unique_ptr<HeroPlayer> fromBundle(const QString &videoName);
// Players alive in the process, so that none outlives its screen unnoticed.
int liveCount();

} // namespace MediaClips

// BT.601 limited-range YUV 4:2:0 planes to RGB.
QImage yuv420pToImage(const uchar *y, int yStride, const uchar *u, int uStride, const uchar *v,
                      int vStride, int width, int height);
