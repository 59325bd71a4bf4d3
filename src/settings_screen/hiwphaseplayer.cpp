#include "hiwphaseplayer.h"

#include <algorithm>
#include <cmath>

HiwPhasePlayer::HiwPhasePlayer(const QList<HiwPhase> &phases, Clock clock, QObject *parent)
    : QObject(parent)
    , m_phases(phases)
    , m_clock(std::move(clock))
    , m_timer(this)
{
    Q_ASSERT(!m_phases.isEmpty());
    for (const HiwPhase &phase : m_phases)
        m_cycleMs += qint64(std::llround(phase.ms));
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &HiwPhasePlayer::sync);
}

void HiwPhasePlayer::start()
{
    m_idx = 0;
    m_previous = 0;
    m_enteredAt = m_clock();
    m_entering.reset();
    m_running = true;
    arm();
    Q_EMIT phaseChanged();
}

void HiwPhasePlayer::hold(int phase)
{
    m_running = false;
    m_timer.stop();
    // Like a fresh start: the scene comes from the first phase.
    m_previous = 0;
    m_idx = std::clamp(phase, 0, int(m_phases.size()) - 1);
    m_enteredAt = m_clock();
    m_entering.reset();
    Q_EMIT phaseChanged();
}

void HiwPhasePlayer::stop()
{
    m_running = false;
    m_timer.stop();
}

qint64 HiwPhasePlayer::phaseEnd() const
{
    return m_enteredAt + qint64(std::llround(m_phases.at(m_idx).ms));
}

void HiwPhasePlayer::sync()
{
    if (!m_running)
        return;
    const qint64 now = m_clock();
    qint64 end = phaseEnd();
    if (now < end) {
        arm();
        return;
    }
    // A suspended machine: skip whole cycles rather than play them back.
    if (m_cycleMs > 0 && now - end >= m_cycleMs)
        m_enteredAt += (now - end) / m_cycleMs * m_cycleMs;
    while (now >= (end = phaseEnd())) {
        m_previous = m_idx;
        m_idx = (m_idx + 1) % int(m_phases.size());
        m_enteredAt = end;
    }
    const HiwPhase &entered = m_phases.at(m_idx);
    m_entering = entered.slow ? AnimationTiming::linear(entered.ms / 1000)
                              : AnimationTiming::easeInOut(0.3);
    arm();
    Q_EMIT phaseChanged();
}

void HiwPhasePlayer::arm()
{
    m_timer.start(int(std::max<qint64>(0, phaseEnd() - m_clock())));
}
