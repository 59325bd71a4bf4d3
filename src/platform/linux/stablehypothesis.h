#pragma once

#include <QString>
#include <QStringList>

// A decoder revises its partial hypothesis as it hears more, and a guess it drops a moment later
// must not move a follower that never goes back. Only the words on which the last two partial
// hypotheses agree are passed on; the final hypothesis of an utterance is passed on whole.
class StableHypothesis
{
public:
    // The stable part of the utterance's latest partial hypothesis.
    QString partial(const QString &hypothesis)
    {
        const QStringList words = hypothesis.split(u' ', Qt::SkipEmptyParts);
        qsizetype agreed = 0;
        while (agreed < words.size() && agreed < m_previous.size()
               && words[agreed] == m_previous[agreed])
            ++agreed;
        m_previous = words;
        return words.first(agreed).join(u' ');
    }
    // A new utterance starts.
    void reset() { m_previous.clear(); }

private:
    QStringList m_previous;
};
