#include "scrollwheelcapture.h"

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

ScrollWheelCapture::ScrollWheelCapture(QWidget *view)
    : QObject(view)
    , m_view(view)
{
    m_phaselessEnd.setSingleShot(true);
    m_phaselessEnd.setInterval(wheelGestureTimeoutMs);
    connect(&m_phaselessEnd, &QTimer::timeout, this, &ScrollWheelCapture::scrollEnded);
    // The window receives each wheel event once, before any widget; watching there sees it even
    // when a control over the reading area takes it.
    qApp->installEventFilter(this);
}

ScrollWheelCapture::~ScrollWheelCapture()
{
    qApp->removeEventFilter(this);
}

bool ScrollWheelCapture::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel || !m_view || !watched->isWindowType())
        return false;
    const QWidget *window = m_view->window();
    if (!window || window->windowHandle() != watched || !m_view->isVisible())
        return false;
    const auto *wheel = static_cast<QWheelEvent *>(event);
    const QPoint local = m_view->mapFromGlobal(wheel->globalPosition().toPoint());
    if (!m_view->rect().contains(local))
        return false;

    // Precise deltas come from touchpads and smooth mice; a wheel reports notches of 120.
    const double delta
        = !wheel->pixelDelta().isNull()
              ? wheel->pixelDelta().y()
              : wheel->angleDelta().y() / 120.0 * QApplication::wheelScrollLines() * pointsPerLine;
    if (delta != 0)
        Q_EMIT scrolled(delta);

    switch (wheel->phase()) {
    case Qt::ScrollEnd:
        m_phaselessEnd.stop();
        Q_EMIT scrollEnded();
        break;
    case Qt::NoScrollPhase:
        m_phaselessEnd.start();
        break;
    default:
        break;
    }
    return false;
}
