#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

struct TokenizedScript;

// Transcript to script matching for the voice follower. Keys are a word's letters and numbers,
// lower-cased; the word functions count the characters of a key in Unicode scalars, which are
// user-perceived characters for keys since combining marks are not part of them.

// Lower-cased letters, numbers and whitespace of the text, in order.
QString normalizeForMatching(const QString &text);
// Whether two keys are close enough to be the same spoken word.
bool wordsAreSimilar(const QString &a, const QString &b);
// Edit distance between two keys.
int levenshteinDistance(const QString &a, const QString &b);

// One script prepared for matching: measures how far into it, from a start offset, a transcript
// reaches. Built once per listening run; each match only reads as much of the script after the
// start offset as the transcript can account for, so its cost does not grow with the script.
class ScriptMatcher
{
public:
    ScriptMatcher() = default;
    // The script's words joined by single spaces, taken as one line.
    explicit ScriptMatcher(const QString &sourceText);
    // The words joined by single spaces; cue markers end at the end of their line.
    explicit ScriptMatcher(const TokenizedScript &script);

    const QString &sourceText() const { return m_sourceText; }
    // User-perceived characters of sourceText.
    int characterCount() const { return m_characterCount; }

    // Character by character: the lower-cased scalars of the script after matchStartOffset
    // characters, up to and including the last one matched or substituted.
    int matchCharacters(int matchStartOffset, const QString &transcript) const;
    // Word by word, with fuzzy words and cue markers skipped: the characters of the script after
    // matchStartOffset up to just past the last word consumed and its space. A cue marker of
    // several words ("[Mira al público]") is one word here.
    int matchWords(int matchStartOffset, const QString &transcript) const;
    // The script as the reader says it: without its cue markers, one line per script line.
    QString spokenText() const;

private:
    void index(const QSet<int> &lineBreaks);
    // UTF-16 index of the script after `offset` characters.
    qsizetype indexOfCharacter(int offset) const;

    QString m_sourceText;
    int m_characterCount = 0;
    // UTF-16 index of each character's start; empty while every UTF-16 unit is a character.
    std::vector<qsizetype> m_characterStarts;
    // UTF-16 index just past the script's last word.
    qsizetype m_lastWordEnd = 0;
    // UTF-16 ranges [first, last) of the cue markers, in order.
    std::vector<std::pair<qsizetype, qsizetype>> m_cues;
    // UTF-16 indices of the first words of lines after the first.
    std::vector<qsizetype> m_lineStarts;
};
