#include "heroplayer.h"

#include "onboarding/clipsmodule.h"
#include "platform/bundle.h"
#include "platform/runtimemodule.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

inline uchar clampByte(int value)
{
    return uchar(std::clamp(value, 0, 255));
}

} // namespace

std::unique_ptr<HeroPlayer> MediaClips::player(const QString &filePath)
{
    const ClipsModule *clips = RuntimeModule::entryPoints<ClipsModule>();
    return clips ? std::unique_ptr<HeroPlayer>(clips->createPlayer(filePath)) : nullptr;
}

std::unique_ptr<HeroPlayer> MediaClips::fromBundle(const QString &videoName)
{
    const QString path = QDir(Bundle::main()->path()).filePath(videoName + u".mp4");
    if (!QFile::exists(path))
        return nullptr;
    return player(path);
}

int MediaClips::liveCount()
{
    // Asking never loads the module: with none loaded, no player lives.
    const ClipsModule *clips = RuntimeModule::loadedEntryPoints<ClipsModule>();
    return clips ? clips->livePlayers() : 0;
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
