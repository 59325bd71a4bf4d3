#include "elapsedtimeview.h"

#include "platform/fonts.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

ElapsedTimeView::ElapsedTimeView(double fontSize, QWidget *parent)
    : ElapsedTimeView(fontSize, monotonicNowMs(), &ElapsedTimeView::monotonicNowMs, parent)
{}

ElapsedTimeView::ElapsedTimeView(double fontSize, qint64 startMs, Clock clock, QWidget *parent)
    : QWidget(parent)
    , m_fontSize(fontSize)
    , m_clock(std::move(clock))
    , m_startMs(startMs)
{
    setFont(Fonts::monospacedSystemFont(fontSize, QFont::Medium));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // A precise timer never fires early, so each redraw lands just after a second has turned.
    m_redrawTimer.setTimerType(Qt::PreciseTimer);
    m_redrawTimer.setSingleShot(true);
    connect(&m_redrawTimer, &QTimer::timeout, this, [this] {
        tick();
        scheduleRedraw();
    });
    m_shownLength = text().size();
}

qint64 ElapsedTimeView::monotonicNowMs()
{
    QElapsedTimer timer;
    timer.start();
    return timer.msecsSinceReference();
}

QString ElapsedTimeView::elapsedText(qint64 seconds)
{
    const qint64 minutes = seconds / 60;
    const qint64 rest = seconds - 60 * minutes;
    return QStringLiteral("%1:%2")
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(rest, 2, 10, QLatin1Char('0'));
}

QString ElapsedTimeView::text() const
{
    // Integer division truncates toward zero, as the display does.
    return elapsedText(std::max<qint64>(0, m_clock() - m_startMs) / 1000);
}

void ElapsedTimeView::restart()
{
    m_startMs = m_clock();
    if (m_redrawTimer.isActive())
        scheduleRedraw();
    tick();
}

QSize ElapsedTimeView::sizeHint() const
{
    const QFontMetricsF metrics(font());
    return QSize(int(std::ceil(metrics.horizontalAdvance(text()))),
                 int(std::ceil(metrics.height())));
}

void ElapsedTimeView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(QColor::fromRgbF(1, 1, 1, 0.5));
    painter.drawText(rect(), Qt::AlignCenter, text());
}

void ElapsedTimeView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    scheduleRedraw();
    tick();
}

void ElapsedTimeView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_redrawTimer.stop();
}

void ElapsedTimeView::scheduleRedraw()
{
    // Redraws follow whole seconds counted from the start, not from when the view was shown.
    const qint64 intoSecond = std::max<qint64>(0, m_clock() - m_startMs) % 1000;
    m_redrawTimer.start(int(1000 - intoSecond));
}

void ElapsedTimeView::tick()
{
    const qsizetype length = text().size();
    if (length != m_shownLength) {
        m_shownLength = length;
        updateGeometry();
    }
    update();
}
