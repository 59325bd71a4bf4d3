#pragma once

#include "hiwphase.h"
#include "uikit/animation.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

// Plays a demo's timeline on a clock: holds each phase for its time, wraps to the first, and
// says how the phase being entered animates (linearly over the whole phase when it is slow,
// else a short ease). Only the clock decides where it stands, so a test that sets the clock
// and calls sync() sees exactly the phase of that moment.
class HiwPhasePlayer : public QObject
{
    Q_OBJECT

public:
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<qint64()>;

    HiwPhasePlayer(const QList<HiwPhase> &phases, Clock clock, QObject *parent = nullptr);

    // Starts at phase 0, held for its time without an entering animation.
    void start();
    // Goes from phase 0 to `phase` and stays there: no timer runs.
    void hold(int phase);
    // Stops where it is; nothing changes until the next start.
    void stop();

    int idx() const { return m_idx; }
    // The phase the scene came from (the same as idx() at a start).
    int previousIdx() const { return m_previous; }
    const HiwPhase &phase() const { return m_phases.at(m_idx); }
    const HiwPhase &previousPhase() const { return m_phases.at(m_previous); }
    qint64 enteredAtMs() const { return m_enteredAt; }
    // The timeline's own animation of the changes the current phase brought; none when the
    // phase was entered without one.
    std::optional<AnimationTiming> entering() const { return m_entering; }

    // Enters every phase whose time has come. A clock that leapt far ahead lands in the phase
    // of the moment without going through the missed cycles.
    void sync();

Q_SIGNALS:
    void phaseChanged();

private:
    void arm();
    qint64 phaseEnd() const;

    const QList<HiwPhase> &m_phases;
    Clock m_clock;
    QTimer m_timer;
    qint64 m_cycleMs = 0;
    bool m_running = false;
    int m_idx = 0;
    int m_previous = 0;
    qint64 m_enteredAt = 0;
    std::optional<AnimationTiming> m_entering;
};
