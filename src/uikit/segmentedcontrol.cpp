#include "segmentedcontrol.h"

#include "platform/fonts.h"
#include "settings/palette.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

SegmentedControl::SegmentedControl(const QStringList &labels, QWidget *parent)
    : QWidget(parent)
    , m_labels(labels)
{
    setFont(Fonts::systemFont(12, QFont::Medium));
    setFixedHeight(controlHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void SegmentedControl::setLabels(const QStringList &labels)
{
    if (labels == m_labels)
        return;
    if (labels.size() != m_labels.size())
        m_currentIndex = -1;
    m_labels = labels;
    updateGeometry();
    update();
}

void SegmentedControl::setCurrentIndex(int index)
{
    if (index < 0 || index >= m_labels.size())
        index = -1;
    if (index == m_currentIndex)
        return;
    m_currentIndex = index;
    update();
}

int SegmentedControl::segmentAt(const QPoint &pos) const
{
    for (int i = 0; i < m_labels.size(); ++i) {
        if (segmentRect(i).contains(pos))
            return i;
    }
    return -1;
}

QRect SegmentedControl::segmentRect(int index) const
{
    if (index < 0 || index >= m_labels.size())
        return {};
    const int count = int(m_labels.size());
    const int left = width() * index / count;
    const int right = width() * (index + 1) / count;
    return QRect(left, 0, right - left, height());
}

QSize SegmentedControl::sizeHint() const
{
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString &label : m_labels)
        widest = std::max(widest, metrics.horizontalAdvance(label));
    return {int(m_labels.size()) * (widest + 20), controlHeight};
}

QSize SegmentedControl::minimumSizeHint() const
{
    return {int(m_labels.size()) * 24, controlHeight};
}

void SegmentedControl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(whiteAt(0.08));
    p.drawRoundedRect(track, 6, 6);
    for (int i = 0; i < m_labels.size(); ++i) {
        const QRectF segment = QRectF(segmentRect(i));
        const bool selected = i == m_currentIndex;
        if (selected) {
            p.setPen(Qt::NoPen);
            p.setBrush(whiteAt(isEnabled() ? 0.3 : 0.15));
            p.drawRoundedRect(segment.adjusted(2, 2, -2, -2), 5, 5);
        } else if (i > 0 && i - 1 != m_currentIndex) {
            p.setPen(QPen(whiteAt(0.12), 1));
            p.drawLine(QPointF(segment.left(), 5), QPointF(segment.left(), height() - 5));
        }
        p.setPen(whiteAt(!isEnabled() ? 0.25 : selected ? 1.0 : 0.85));
        p.drawText(segment, Qt::AlignCenter, m_labels[i]);
    }
    if (hasFocus()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(10, 132, 255), 1));
        p.drawRoundedRect(track, 6, 6);
    }
}

void SegmentedControl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    choose(segmentAt(event->position().toPoint()));
}

void SegmentedControl::keyPressEvent(QKeyEvent *event)
{
    const int step = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
    if (step == 0 || m_labels.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int from = m_currentIndex < 0 ? (step > 0 ? -1 : int(m_labels.size())) : m_currentIndex;
    choose(std::clamp(from + step, 0, int(m_labels.size()) - 1));
}

void SegmentedControl::choose(int index)
{
    if (index < 0 || !isEnabled())
        return;
    setCurrentIndex(index);
    Q_EMIT activated(index);
}
