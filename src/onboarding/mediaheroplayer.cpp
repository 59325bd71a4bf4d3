#include "mediaheroplayer.h"

#include "onboarding/clipsmodule.h"
#include "platform/runtimemodule.h"

#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

#include <atomic>

namespace {

std::atomic<int> livePlayers{0};

} // namespace

MediaHeroPlayer::MediaHeroPlayer(const QString &filePath, QObject *parent)
    : HeroPlayer(parent)
    , m_player(new QMediaPlayer(this))
    , m_sink(new QVideoSink(this))
{
    ++livePlayers;
    m_player->setVideoSink(m_sink);
    // Frames come on the decoder's thread; this object turns them into images on its own.
    connect(m_sink, &QVideoSink::videoFrameChanged, this, &MediaHeroPlayer::takeFrame,
            Qt::QueuedConnection);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status != QMediaPlayer::EndOfMedia)
                    return;
                // The backend's own looping does not loop, so the clip is started again here.
                // Now and then the backend also reports an end just after a restart; a clip
                // that keeps ending within half a second of its start, such as a truncated
                // file, is left on its last frame rather than restarted over and over.
                const bool quick
                    = m_sinceStart.isValid() && m_sinceStart.elapsed() < MediaClips::minimumLoopMs;
                m_quickEnds = quick ? m_quickEnds + 1 : 0;
                if (m_quickEnds > MediaClips::maximumQuickEnds)
                    return;
                ++m_loops;
                m_sinceStart.restart();
                // On the next turn: a seek made while the backend is still ending the clip
                // lands at the end again, and the clip would end at once, over and over.
                QTimer::singleShot(0, this, [this] {
                    m_player->setPosition(0);
                    m_player->play();
                });
            });
    m_player->setSource(filePath.startsWith(u':') ? QUrl(u"qrc" + filePath)
                                                  : QUrl::fromLocalFile(filePath));
}

MediaHeroPlayer::~MediaHeroPlayer()
{
    m_player->stop();
    --livePlayers;
}

void MediaHeroPlayer::play()
{
    if (!m_sinceStart.isValid())
        m_sinceStart.start();
    m_player->play();
}

void MediaHeroPlayer::restart()
{
    m_quickEnds = 0;
    m_sinceStart.restart();
    m_player->setPosition(0);
    m_player->play();
}

void MediaHeroPlayer::stop()
{
    m_player->pause();
    m_player->setPosition(0);
}

bool MediaHeroPlayer::isPlaying() const
{
    return m_player->playbackState() == QMediaPlayer::PlayingState;
}

void MediaHeroPlayer::takeFrame(const QVideoFrame &frame)
{
    if (!frame.isValid() || !wantsFrames())
        return;
    const QImage image = videoFrameImage(frame);
    if (!image.isNull())
        Q_EMIT frameReady(image);
}

QImage videoFrameImage(const QVideoFrame &source)
{
    QVideoFrame frame = source;
    if (frame.pixelFormat() != QVideoFrameFormat::Format_YUV420P)
        return frame.toImage();
    if (!frame.map(QVideoFrame::ReadOnly))
        return {};
    const QImage image
        = yuv420pToImage(frame.bits(0), frame.bytesPerLine(0), frame.bits(1), frame.bytesPerLine(1),
                         frame.bits(2), frame.bytesPerLine(2), frame.width(), frame.height());
    frame.unmap();
    return image;
}

BRIVEL_MODULE_ENTRY_POINTS(ClipsModule){
    .createPlayer = [](const QString &path) -> HeroPlayer * { return new MediaHeroPlayer(path); },
    .livePlayers = [] { return livePlayers.load(); },
};
