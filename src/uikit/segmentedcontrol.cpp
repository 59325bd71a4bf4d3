#include "segmentedcontrol.h"

#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/painting.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

SegmentedControl::Look SegmentedControl::standardLook()
{
    Look look;
    look.track = whiteAt(0.08);
    look.selection = whiteAt(0.3);
    look.text = whiteAt(0.85);
    look.selectedText = Qt::white;
    return look;
}

SegmentedControl::SegmentedControl(const QStringList &labels, QWidget *parent)
    : QWidget(parent)
    , m_labels(labels)
    , m_selection(new AnimatedValue(-1, this))
{
    connect(m_selection, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
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
    if (labels.size() != m_labels.size()) {
        m_currentIndex = -1;
        m_selection->setValue(-1);
    }
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
    const bool slides = m_currentIndex >= 0 && index >= 0 && isVisible() && m_motion.runs();
    m_currentIndex = index;
    if (slides)
        m_selection->animateTo(index, m_motion.timing);
    else
        m_selection->setValue(index);
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
    const int pad = m_look.padding;
    const int inner = width() - 2 * pad;
    const int left = pad + inner * index / count;
    const int right = pad + inner * (index + 1) / count;
    return QRect(left, pad, right - left, height() - 2 * pad);
}

QRectF SegmentedControl::selectionRect() const
{
    if (!m_selection->isAnimating())
        return QRectF(segmentRect(m_currentIndex));
    const double at = std::clamp(m_selection->value(), 0.0, double(m_labels.size() - 1));
    const int from = int(std::floor(at));
    const QRectF a(segmentRect(from));
    const QRectF b(segmentRect(std::min(from + 1, int(m_labels.size()) - 1)));
    const double t = at - from;
    return {a.topLeft() + (b.topLeft() - a.topLeft()) * t, a.size() + (b.size() - a.size()) * t};
}

void SegmentedControl::setLook(const Look &look)
{
    m_look = look;
    update();
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
    const double radius = m_look.trackRadius;
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_look.trackBorder.isValid()) {
        p.fillPath(roundedRectPath(QRectF(rect()), radius), m_look.track);
        strokeInsideRoundedRect(&p, QRectF(rect()), radius, QPen(m_look.trackBorder, 0.5));
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(m_look.track);
        p.drawRoundedRect(track, radius, radius);
    }
    const double inset = m_look.selectionInset;
    if (m_currentIndex >= 0) {
        // Drawn first: on its way it passes under the other segments' labels.
        QColor selection = m_look.selection;
        if (!isEnabled())
            selection.setAlphaF(selection.alphaF() / 2);
        p.fillPath(roundedRectPath(selectionRect().adjusted(inset, inset, -inset, -inset),
                                   m_look.selectionRadius),
                   selection);
    }
    for (int i = 0; i < m_labels.size(); ++i) {
        const QRectF segment = QRectF(segmentRect(i));
        const bool selected = i == m_currentIndex;
        if (!selected && m_look.dividers && i > 0 && i - 1 != m_currentIndex) {
            p.setPen(QPen(whiteAt(0.12), 1));
            p.drawLine(QPointF(segment.left(), 5), QPointF(segment.left(), height() - 5));
        }
        p.setPen(!isEnabled() ? whiteAt(0.25) : selected ? m_look.selectedText : m_look.text);
        p.drawText(segment, Qt::AlignCenter, m_labels[i]);
    }
    if (hasFocus()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(10, 132, 255), 1));
        p.drawRoundedRect(track, radius, radius);
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
