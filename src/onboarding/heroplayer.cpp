#include "heroplayer.h"

#include "platform/bundle.h"

#include <QDir>
#include <QFile>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

#include <algorithm>
#include <atomic>

namespace {

std::atomic<int> livePlayers{0};

inline uchar clampByte(int value)
{
    return uchar(std::clamp(value, 0, 255));
}

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
                const bool quick = m_sinceStart.isValid() && m_sinceStart.elapsed() < minimumLoopMs;
                m_quickEnds = quick ? m_quickEnds + 1 : 0;
                if (m_quickEnds > maximumQuickEnds)
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

int MediaHeroPlayer::liveCount()
{
    return livePlayers.load();
}

std::unique_ptr<HeroPlayer> MediaHeroPlayer::fromBundle(const QString &videoName)
{
    const QString path = QDir(Bundle::main()->path()).filePath(videoName + u".mp4");
    if (!QFile::exists(path))
        return nullptr;
    return std::make_unique<MediaHeroPlayer>(path);
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

QImage yuv420pToImage(const uchar *y, int yStride, const uchar *u, int uStride, const uchar *v,
                      int vStride, int width, int height)
{
    if (!y || !u || !v || width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    for (int row = 0; row < height; ++row) {
        const uchar *yRow = y + qsizetype(row) * yStride;
        const uchar *uRow = u + qsizetype(row / 2) * uStride;
        const uchar *vRow = v + qsizetype(row / 2) * vStride;
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(row));
        for (int x = 0; x < width; ++x) {
            // Fixed point, 8 fractional bits.
            const int c = (int(yRow[x]) - 16) * 298;
            const int d = int(uRow[x / 2]) - 128;
            const int e = int(vRow[x / 2]) - 128;
            out[x] = qRgb(clampByte((c + 409 * e + 128) >> 8),
                          clampByte((c - 100 * d - 208 * e + 128) >> 8),
                          clampByte((c + 516 * d + 128) >> 8));
        }
    }
    return image;
}
