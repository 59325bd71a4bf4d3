#include "reviewsessioncounter.h"

#include "platform/keyvaluestore.h"

#include <QString>
#include <QVariant>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString completedSessionsKey = u"reviewCompletedSessions"_s;

} // namespace

ReviewSessionCounter::ReviewSessionCounter(KeyValueStore &store, Clock clock)
    : m_store(store)
    , m_clock(std::move(clock))
{}

ReviewSessionCounter &ReviewSessionCounter::shared()
{
    static ReviewSessionCounter counter(KeyValueStore::standard());
    return counter;
}

void ReviewSessionCounter::markSessionStart()
{
    m_sessionStart = m_clock();
}

void ReviewSessionCounter::recordReviewSession()
{
    if (m_sessionStart && m_clock() - *m_sessionStart >= minimumSessionDuration) {
        // The count stays at its largest value rather than wrap.
        const qint64 count = completedSessions();
        m_store.setValue(completedSessionsKey,
                         count == std::numeric_limits<qint64>::max() ? count : count + 1);
    }
    m_sessionStart.reset();
}

qint64 ReviewSessionCounter::completedSessions() const
{
    // A value written by hand that is not a whole number counts as none.
    bool ok = false;
    const qint64 count = m_store.value(completedSessionsKey).toLongLong(&ok);
    return ok ? count : 0;
}
