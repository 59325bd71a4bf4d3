#include "speechmatching.h"

#include "settings/tokenizer.h"

#include <algorithm>
#include <deque>
#include <numeric>
#include <string>
#include <string_view>

namespace {

using Key = std::u32string;

constexpr qsizetype lookAhead = 3;

// Reads the scalar at `index` and moves past it; a lone surrogate stands for itself.
char32_t nextScalar(QStringView text, qsizetype &index)
{
    const QChar unit = text[index++];
    if (unit.isHighSurrogate() && index < text.size() && text[index].isLowSurrogate())
        return QChar::surrogateToUcs4(unit, text[index++]);
    return unit.unicode();
}

bool isLetterOrNumber(char32_t scalar)
{
    return QChar::isLetterOrNumber(scalar);
}

std::u32string toScalars(QStringView text)
{
    std::u32string scalars;
    scalars.reserve(text.size());
    for (qsizetype i = 0; i < text.size();)
        scalars.push_back(nextScalar(text, i));
    return scalars;
}

Key keyOfLowered(QStringView lowered)
{
    Key key;
    for (qsizetype i = 0; i < lowered.size();) {
        const char32_t scalar = nextScalar(lowered, i);
        if (isLetterOrNumber(scalar))
            key.push_back(scalar);
    }
    return key;
}

int distance(std::u32string_view a, std::u32string_view b)
{
    std::vector<int> row(b.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (size_t i = 0; i < a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i) + 1;
        for (size_t j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = a[i] == b[j - 1] ? diagonal : 1 + std::min({row[j - 1], above, diagonal});
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool similar(std::u32string_view a, std::u32string_view b)
{
    if (a.empty() || b.empty())
        return false;
    if (a.find(b) != std::u32string_view::npos || b.find(a) != std::u32string_view::npos)
        return true;
    const size_t shorter = std::min(a.size(), b.size());
    const size_t prefix
        = std::mismatch(a.begin(), a.begin() + shorter, b.begin()).first - a.begin();
    if (shorter > 1) {
        if (3 * shorter > 9) {
            if (prefix >= 3 * shorter / 5)
                return true;
        } else if (prefix > 1) {
            return true;
        }
    }
    const size_t edits = size_t(distance(a, b));
    if (shorter > 8)
        return edits <= std::max(a.size(), b.size()) / 3;
    if (shorter >= 5)
        return edits < 3;
    return edits < 2;
}

bool sameWord(const Key &a, const Key &b)
{
    return a == b || similar(a, b);
}

// The lower-cased scalars of a text, lower-cased only as far as they are read. Qt's case
// mapping looks at one scalar at a time, so lower-casing piecewise equals doing it at once.
class LoweredScalars
{
public:
    explicit LoweredScalars(QStringView text)
        : m_rest(text)
    {}

    bool has(qsizetype index)
    {
        while (qsizetype(m_scalars.size()) <= index) {
            if (m_rest.isEmpty())
                return false;
            lowerNextPiece();
        }
        return true;
    }
    // Only after has(index).
    char32_t operator[](qsizetype index) const { return m_scalars[size_t(index)]; }

private:
    void lowerNextPiece()
    {
        qsizetype length = std::min(m_rest.size(), m_pieceLength);
        if (length < m_rest.size() && m_rest[length - 1].isHighSurrogate())
            ++length;
        const QString lowered = m_rest.first(length).toString().toLower();
        for (qsizetype i = 0; i < lowered.size();)
            m_scalars.push_back(nextScalar(lowered, i));
        m_rest = m_rest.sliced(length);
        // Long runs of skipped punctuation stay linear without reading far past a short match.
        m_pieceLength = std::min<qsizetype>(m_pieceLength * 2, 4096);
    }

    QStringView m_rest;
    std::u32string m_scalars;
    qsizetype m_pieceLength = 32;
};

struct ScriptWord
{
    Key key;
    int characterCount = 0;
    // Cue markers and words without letters or numbers are passed over, never matched.
    bool isSkipped = false;
    // No space follows the script's last word.
    bool isLast = false;
};

// The words of the script after a position, split on spaces and read only as far as asked.
class ScriptWords
{
public:
    using Cues = std::vector<std::pair<qsizetype, qsizetype>>;

    ScriptWords(QStringView text, qsizetype start, qsizetype lastWordEnd, const Cues &cues)
        : m_text(text)
        , m_position(start)
        , m_lastWordEnd(lastWordEnd)
        // The first cue that does not end before the start.
        , m_cue(std::lower_bound(cues.begin(), cues.end(), start,
                                 [](const auto &cue, qsizetype at) { return cue.second <= at; }))
        , m_cuesEnd(cues.end())
    {}

    bool has(qsizetype index)
    {
        while (qsizetype(m_words.size()) <= index) {
            if (!readWord())
                return false;
        }
        return true;
    }
    // Only after has(index); references stay valid while later words are read.
    const ScriptWord &operator[](qsizetype index) const { return m_words[size_t(index)]; }

private:
    bool readWord()
    {
        while (m_position < m_text.size() && m_text[m_position] == u' ')
            ++m_position;
        if (m_position >= m_text.size())
            return false;
        while (m_cue != m_cuesEnd && m_cue->second <= m_position)
            ++m_cue;
        // A cue marker is one word, spaces and all, also when the start falls inside it.
        const bool inCue = m_cue != m_cuesEnd && m_cue->first <= m_position;
        qsizetype end = inCue ? m_cue->second : m_text.indexOf(u' ', m_position);
        if (end < 0)
            end = m_text.size();
        const QStringView word = m_text.sliced(m_position, end - m_position);
        ScriptWord &read = m_words.emplace_back();
        read.key = keyOfLowered(word.toString().toLower());
        read.characterCount = characterCount(word);
        read.isSkipped = read.key.empty() || inCue;
        read.isLast = end >= m_lastWordEnd;
        m_position = end;
        return true;
    }

    QStringView m_text;
    qsizetype m_position = 0;
    qsizetype m_lastWordEnd = 0;
    Cues::const_iterator m_cue;
    Cues::const_iterator m_cuesEnd;
    std::deque<ScriptWord> m_words;
};

std::vector<Key> transcriptKeys(const QString &transcript)
{
    const QString lowered = transcript.toLower();
    std::vector<Key> keys;
    for (const QStringView word : QStringView(lowered).split(u' ', Qt::SkipEmptyParts))
        keys.push_back(keyOfLowered(word));
    return keys;
}

} // namespace

QString normalizeForMatching(const QString &text)
{
    const QString lowered = text.toLower();
    QString normalized;
    normalized.reserve(lowered.size());
    for (qsizetype i = 0; i < lowered.size();) {
        const qsizetype start = i;
        const char32_t scalar = nextScalar(lowered, i);
        if (isLetterOrNumber(scalar) || QChar::isSpace(scalar))
            normalized.append(lowered.constData() + start, i - start);
    }
    return normalized;
}

bool wordsAreSimilar(const QString &a, const QString &b)
{
    return similar(toScalars(a), toScalars(b));
}

int levenshteinDistance(const QString &a, const QString &b)
{
    return distance(toScalars(a), toScalars(b));
}

ScriptMatcher::ScriptMatcher(const QString &sourceText)
    : m_sourceText(sourceText)
{
    index({});
}

ScriptMatcher::ScriptMatcher(const TokenizedScript &script)
    : m_sourceText(script.words.join(u' '))
{
    index(script.lineBreaks);
}

void ScriptMatcher::index(const QSet<int> &lineBreaks)
{
    m_characterCount = ::characterCount(m_sourceText);
    QStringList words;
    std::vector<qsizetype> starts;
    for (qsizetype at = 0; at < m_sourceText.size();) {
        qsizetype end = m_sourceText.indexOf(u' ', at);
        if (end < 0)
            end = m_sourceText.size();
        if (end > at) {
            if (lineBreaks.contains(int(words.size())))
                m_lineStarts.push_back(at);
            words.append(m_sourceText.sliced(at, end - at));
            starts.push_back(at);
        }
        at = end + 1;
    }
    // A cue marker runs from a word opening a bracket to the next one closing it.
    const QList<bool> inCue = cueWords(words, lineBreaks);
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (!inCue[i])
            continue;
        const qsizetype first = starts[size_t(i)];
        while (i + 1 < words.size() && inCue[i + 1] && !words[i].endsWith(u']')
               && !lineBreaks.contains(int(i + 1)))
            ++i;
        m_cues.emplace_back(first, starts[size_t(i)] + words[i].size());
    }

    if (m_characterCount != m_sourceText.size()) {
        m_characterStarts.reserve(size_t(m_characterCount) + 1);
        m_characterStarts.push_back(0);
        appendCharacterEnds(m_sourceText, m_characterStarts);
    }
    m_lastWordEnd = m_sourceText.size();
    while (m_lastWordEnd > 0 && m_sourceText[m_lastWordEnd - 1] == u' ')
        --m_lastWordEnd;
}

qsizetype ScriptMatcher::indexOfCharacter(int offset) const
{
    offset = std::clamp(offset, 0, m_characterCount);
    return m_characterStarts.empty() ? offset : m_characterStarts[size_t(offset)];
}

int ScriptMatcher::matchCharacters(int matchStartOffset, const QString &transcript) const
{
    LoweredScalars script(QStringView(m_sourceText).sliced(indexOfCharacter(matchStartOffset)));
    if (!script.has(0))
        return 0;
    const std::u32string spoken = toScalars(normalizeForMatching(transcript));
    const qsizetype spokenCount = qsizetype(spoken.size());
    qsizetype si = 0;
    qsizetype pi = 0;
    qsizetype result = 0;
    while (pi < spokenCount) {
        const char32_t s = script[si];
        if (!isLetterOrNumber(s)) {
            if (!script.has(++si))
                break;
            continue;
        }
        const char32_t p = spoken[size_t(pi)];
        if (!isLetterOrNumber(p)) {
            ++pi;
            continue;
        }
        if (s != p) {
            qsizetype step = 0;
            for (qsizetype k = 1; k <= std::min(lookAhead, spokenCount - pi - 1) && !step; ++k) {
                if (spoken[size_t(pi + k)] == s)
                    step = k;
            }
            if (step) {
                pi += step;
                continue;
            }
            for (qsizetype k = 1; k <= lookAhead && !step && script.has(si + k); ++k) {
                if (script[si + k] == p)
                    step = k;
            }
            if (step) {
                si += step;
                continue;
            }
        }
        // A match, or a substitution when neither side finds the other close ahead.
        result = si + 1;
        ++pi;
        if (!script.has(++si))
            break;
    }
    return int(result);
}

int ScriptMatcher::matchWords(int matchStartOffset, const QString &transcript) const
{
    ScriptWords script(m_sourceText, indexOfCharacter(matchStartOffset), m_lastWordEnd, m_cues);
    const std::vector<Key> spoken = transcriptKeys(transcript);
    const qsizetype spokenCount = qsizetype(spoken.size());
    int consumed = 0;
    qsizetype si = 0;
    const auto consume = [&](qsizetype count) {
        for (; count > 0; --count, ++si)
            consumed += script[si].characterCount + (script[si].isLast ? 0 : 1);
    };
    qsizetype pi = 0;
    while (pi < spokenCount && script.has(si)) {
        if (script[si].isSkipped) {
            consume(1);
            continue;
        }
        const Key &s = script[si].key;
        const Key &p = spoken[size_t(pi)];
        if (sameWord(s, p)) {
            consume(1);
            ++pi;
            continue;
        }
        qsizetype step = 0;
        for (qsizetype k = 1; k <= std::min(lookAhead, spokenCount - pi - 1) && !step; ++k) {
            if (sameWord(s, spoken[size_t(pi + k)]))
                step = k;
        }
        if (step) {
            pi += step;
            continue;
        }
        for (qsizetype k = 1; k <= lookAhead && !step && script.has(si + k); ++k) {
            if (sameWord(script[si + k].key, p))
                step = k;
        }
        if (step) {
            consume(step);
            continue;
        }
        ++pi;
    }
    // Cue markers right after the last spoken word count as read.
    while (script.has(si) && script[si].isSkipped)
        consume(1);
    return consumed;
}

QString ScriptMatcher::spokenText() const
{
    QString spoken;
    auto cue = m_cues.begin();
    auto lineStart = m_lineStarts.begin();
    for (qsizetype at = 0; at < m_sourceText.size();) {
        if (cue != m_cues.end() && cue->first == at) {
            at = (cue++)->second + 1;
            continue;
        }
        qsizetype end = m_sourceText.indexOf(u' ', at);
        if (end < 0)
            end = m_sourceText.size();
        if (end > at) {
            bool newLine = false;
            for (; lineStart != m_lineStarts.end() && *lineStart <= at; ++lineStart)
                newLine = true;
            if (!spoken.isEmpty())
                spoken += newLine ? u'\n' : u' ';
            spoken += QStringView(m_sourceText).sliced(at, end - at);
        }
        at = end + 1;
    }
    return spoken;
}
