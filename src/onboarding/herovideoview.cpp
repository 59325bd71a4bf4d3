#include "herovideoview.h"

#include <QPainter>

#include <algorithm>

HeroVideoView::HeroVideoView(const QString &videoName, HeroPlayer *preloadedPlayer,
                             HeroPlayerFactory factory, QWidget *parent)
    : QWidget(parent)
    , m_videoName(videoName)
    , m_preloaded(preloadedPlayer)
    , m_factory(std::move(factory))
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

HeroVideoView::~HeroVideoView()
{
    stopPlayback();
}

QRectF HeroVideoView::topAlignedRect(const QRectF &bounds, const QSizeF &videoSize)
{
    if (videoSize.width() <= 0 || videoSize.height() <= 0 || bounds.width() <= 0
        || bounds.height() <= 0)
        return bounds;
    const double scale
        = std::max(bounds.width() / videoSize.width(), bounds.height() / videoSize.height());
    const QSizeF size = videoSize * scale;
    return {bounds.x() + (bounds.width() - size.width()) * 0.5, bounds.y(), size.width(),
            size.height()};
}

void HeroVideoView::startPlayback()
{
    if (m_player)
        return;
    if (m_preloaded) {
        m_player = m_preloaded;
    } else {
        if (m_factory)
            m_own = m_factory(m_videoName);
        if (!m_own)
            return;
        m_player = m_own.get();
    }
    connect(m_player, &HeroPlayer::frameReady, this, &HeroVideoView::takeFrame);
    m_player->setFrameGate([this] { return isVisible() && !visibleRegion().isEmpty(); });
    if (m_own)
        m_player->restart();
    else
        m_player->play();
}

void HeroVideoView::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (active && m_player)
        m_player->restart();
}

void HeroVideoView::stopPlayback()
{
    if (m_player) {
        m_player->stop();
        m_player->setFrameGate({});
        disconnect(m_player, nullptr, this, nullptr);
    }
    m_player = nullptr;
    m_own.reset();
}

void HeroVideoView::takeFrame(const QImage &frame)
{
    m_frame = frame;
    update();
}

void HeroVideoView::paintEvent(QPaintEvent *)
{
    if (m_frame.isNull() || width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(topAlignedRect(rect(), m_frame.size()), m_frame);
}
