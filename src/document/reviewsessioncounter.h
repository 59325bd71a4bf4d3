#pragma once

#include <QtGlobal>

#include <chrono>
#include <functional>
#include <optional>

class KeyValueStore;

// Counts finished reading sessions that lasted long enough to be a real review, under
// "reviewCompletedSessions". Nothing reads the count yet.
class ReviewSessionCounter
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr std::chrono::milliseconds minimumSessionDuration{20'000};

    explicit ReviewSessionCounter(KeyValueStore &store,
                                  Clock clock = &std::chrono::steady_clock::now);

    // The process's counter over the user's store, created on first use.
    static ReviewSessionCounter &shared();

    // A later start replaces an earlier one.
    void markSessionStart();
    std::optional<std::chrono::steady_clock::time_point> sessionStart() const
    {
        return m_sessionStart;
    }
    // Counts the session when it lasted long enough, and forgets its start either way.
    void recordReviewSession();
    qint64 completedSessions() const;

private:
    KeyValueStore &m_store;
    Clock m_clock;
    std::optional<std::chrono::steady_clock::time_point> m_sessionStart;
};
