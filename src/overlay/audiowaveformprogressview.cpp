#include "audiowaveformprogressview.h"

#include "uikit/animation.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

AudioWaveformProgressView::AudioWaveformProgressView(QWidget *parent)
    : QWidget(parent)
{}

void AudioWaveformProgressView::setLevels(const QList<double> &levels)
{
    if (levels == m_levels)
        return;
    const bool countChanged = levels.size() != m_levels.size();
    m_levels = levels;

    while (m_shownLevels.size() > size_t(levels.size())) {
        delete m_shownLevels.back();
        m_shownLevels.pop_back();
    }
    for (qsizetype i = 0; i < levels.size(); ++i) {
        if (size_t(i) < m_shownLevels.size()) {
            AnimatedValue *shown = m_shownLevels[size_t(i)];
            if (shown->target() != levels[i])
                shown->animateTo(levels[i], AnimationTiming::easeOut(0.08));
            continue;
        }
        auto *shown = new AnimatedValue(levels[i], this);
        connect(shown, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
        m_shownLevels.push_back(shown);
    }
    if (countChanged)
        updateGeometry();
    update();
}

void AudioWaveformProgressView::setProgress(double progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    update();
}

double AudioWaveformProgressView::barPosition(int index, int count)
{
    return double(index) / (std::max(count, 2) - 1);
}

QColor AudioWaveformProgressView::barColor(int index, int count, double progress)
{
    if (barPosition(index, count) <= progress)
        return QColor::fromRgbF(0, 0.847f, 0.749f, 0.9f);
    return QColor::fromRgbF(1, 1, 1, 0.15f);
}

double AudioWaveformProgressView::barHeight(double level)
{
    return std::max(level * fullBarHeight, minimumBarHeight);
}

QList<AudioWaveformProgressView::Bar> AudioWaveformProgressView::bars() const
{
    const int count = int(m_shownLevels.size());
    QList<Bar> result;
    result.reserve(count);
    const double rowWidth = count > 0 ? count * barWidth + (count - 1) * barSpacing : 0;
    const QPointF centre = QRectF(rect()).center();
    double x = centre.x() - rowWidth / 2;
    for (int i = 0; i < count; ++i) {
        const double height = barHeight(m_shownLevels[size_t(i)]->value());
        result.append(
            {QRectF(x, centre.y() - height / 2, barWidth, height), barColor(i, count, m_progress)});
        x += barWidth + barSpacing;
    }
    return result;
}

QSize AudioWaveformProgressView::sizeHint() const
{
    const auto count = m_levels.size();
    const double rowWidth = count > 0 ? count * barWidth + (count - 1) * barSpacing : 0;
    return QSize(int(std::ceil(rowWidth)), int(fullBarHeight));
}

void AudioWaveformProgressView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double radius = barWidth / 2;
    for (const Bar &bar : bars()) {
        painter.setBrush(bar.color);
        painter.drawRoundedRect(bar.rect, radius, radius);
    }
}
