#include "pagesearch.h"

#include "settings/displaytext.h"
#include "settings/tokenizer.h"

#include <QFutureWatcher>
#include <QHash>
#include <QMutex>
#include <QTextBoundaryFinder>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

// Boundaries this close to the edge of a window of the text may depend on what lies beyond it
// (a run of flags, an accent after the edge), so a walk that ends there looks again with a
// wider window.
constexpr qsizetype edgeMargin = 32;

qsizetype initialWindow(int count)
{
    return 16 * (count + 4);
}

// Where the character `count` characters before `from` begins; 0 when the text begins first.
qsizetype charactersBefore(const QString &text, qsizetype from, int count)
{
    for (qsizetype window = initialWindow(count);; window *= 2) {
        const qsizetype start = std::max<qsizetype>(0, from - window);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.constData() + start,
                                   from - start);
        finder.toEnd();
        qsizetype at = from - start;
        for (int n = 0; n < count && at > 0; ++n)
            at = finder.toPreviousBoundary();
        if (start == 0 || at >= edgeMargin)
            return start + at;
    }
}

// Where the character `count` characters after `from` ends; the text's end when it ends first.
qsizetype charactersAfter(const QString &text, qsizetype from, int count)
{
    for (qsizetype window = initialWindow(count);; window *= 2) {
        const qsizetype end = std::min(text.size(), from + window);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.constData() + from,
                                   end - from);
        qsizetype at = 0;
        for (int n = 0; n < count && at < end - from; ++n)
            at = finder.toNextBoundary();
        if (end == text.size() || at <= end - from - edgeMargin)
            return from + at;
    }
}

// Below U+0300 every character is its own composed form, and none composes with the one before.
constexpr char16_t firstComposing = 0x0300;

// Whether a cluster is its own composed form without composing it: it has no unit that may
// compose, or it is one character without a canonical decomposition.
bool isComposed(QStringView cluster)
{
    if (cluster.size() == 1)
        return cluster.front().unicode() < firstComposing
               || (!cluster.front().isSurrogate()
                   && cluster.front().decompositionTag() != QChar::Canonical);
    return std::all_of(cluster.cbegin(), cluster.cend(),
                       [](QChar c) { return c.unicode() < firstComposing; });
}

// The search's form of a text: composed (NFC), so that a letter typed with its accents apart,
// or Korean typed as jamo, is the same text as the one written whole; case is left to the
// comparison. The clusters whose form differs are listed, so that a match maps back to the
// stored text.
class CanonicalText
{
public:
    explicit CanonicalText(const QString &stored)
        : m_text(stored)
    {
        // Composition stays within a grapheme cluster, so each cluster takes its form on its
        // own, and only where a unit may compose: from the unit before it to the next unit that
        // cannot. The rest is copied in runs. (Qt composes a whole text in time quadratic in the
        // characters it changes: seconds for a page of accented prose.)
        QString text;
        qsizetype copiedTo = 0;
        std::vector<qsizetype> ends;
        for (qsizetype i = 0; i < stored.size(); ++i) {
            if (stored.at(i).unicode() < firstComposing)
                continue;
            const qsizetype from = std::max<qsizetype>(0, i - 1);
            while (i < stored.size() && stored.at(i).unicode() >= firstComposing)
                ++i;
            const QStringView region = QStringView(stored).sliced(from, i - from);
            ends.clear();
            appendCharacterEnds(region, ends);
            for (qsizetype k = 0; k < qsizetype(ends.size()); ++k) {
                const qsizetype start = k == 0 ? 0 : ends[size_t(k - 1)];
                const qsizetype end = ends[size_t(k)];
                const QStringView cluster = region.sliced(start, end - start);
                if (isComposed(cluster))
                    continue;
                const QString composed
                    = cluster.toString().normalized(QString::NormalizationForm_C);
                if (composed == cluster)
                    continue;
                if (text.isEmpty())
                    text.reserve(stored.size());
                text += QStringView(stored).sliced(copiedTo, from + start - copiedTo);
                m_changes.append({text.size(), composed.size(), from + start, cluster.size()});
                text += composed;
                copiedTo = from + end;
            }
        }
        if (m_changes.isEmpty())
            return;
        text += QStringView(stored).sliced(copiedTo);
        m_text = std::move(text);
    }

    const QString &text() const { return m_text; }

    // Where in the stored text a place of this one lies; a place inside a changed cluster
    // moves to that cluster's start, or for the end of a range, to its end.
    qsizetype storedPosition(qsizetype at, bool isEnd) const
    {
        const auto next = std::upper_bound(
            m_changes.cbegin(), m_changes.cend(), at,
            [isEnd](qsizetype at, const Change &c) { return isEnd ? at <= c.at : at < c.at; });
        if (next == m_changes.cbegin())
            return at;
        const Change &change = *std::prev(next);
        if (at < change.at + change.length)
            return isEnd ? change.storedAt + change.storedLength : change.storedAt;
        return change.storedAt + change.storedLength + at - (change.at + change.length);
    }

private:
    struct Change
    {
        qsizetype at;
        qsizetype length;
        qsizetype storedAt;
        qsizetype storedLength;
    };

    QString m_text;
    QList<Change> m_changes;
};

// The range grown to whole clusters, so that a mark drawn with a letter is never cut off it.
std::pair<qsizetype, qsizetype> wholeClusters(const QString &text, qsizetype start, qsizetype end)
{
    for (qsizetype margin = initialWindow(0);; margin *= 2) {
        const qsizetype from = std::max<qsizetype>(0, start - margin);
        const qsizetype to = std::min(text.size(), end + margin);
        const QStringView window = QStringView(text).sliced(from, to - from);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window.data(), window.size());
        qsizetype first = start - from;
        finder.setPosition(first);
        if (!finder.isAtBoundary())
            first = finder.toPreviousBoundary();
        qsizetype last = end - from;
        finder.setPosition(last);
        if (!finder.isAtBoundary())
            last = finder.toNextBoundary();
        if ((from == 0 || first >= edgeMargin)
            && (to == text.size() || last <= window.size() - edgeMargin))
            return {from + first, from + last};
    }
}

// The first place of an already canonical query in a text, in stored units, on cluster
// boundaries; {-1, 0} when absent.
std::pair<qsizetype, qsizetype> locate(const QString &stored, const CanonicalText &canonical,
                                       const QString &query)
{
    const qsizetype at = canonical.text().indexOf(query, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {-1, 0};
    const auto [start, end] = wholeClusters(stored, canonical.storedPosition(at, false),
                                            canonical.storedPosition(at + query.size(), true));
    return {start, end - start};
}

QString canonicalQuery(const QString &query)
{
    return query.trimmed().normalized(QString::NormalizationForm_C);
}

} // namespace

// The search's forms of the texts searched last, kept while those texts are: a keystroke reads
// a page's form, it does not make it again, even when the search before it was cut short. A
// text is known by its data, which the entry holds, so that no other text can take its place in
// memory while it is known.
class PageSearchCache
{
public:
    // Only the forms of the texts the search begun now may read are kept.
    void beginSearch(const PageSearch::Input &input)
    {
        QMutexLocker lock(&m_mutex);
        QHash<Key, Entry> kept;
        for (const QStringList *texts : {&input.pages, &input.titles}) {
            for (const QString &text : *texts) {
                if (const auto found = m_entries.constFind(keyOf(text)); found != m_entries.cend())
                    kept.insert(found.key(), *found);
            }
        }
        m_entries = std::move(kept);
    }

    std::shared_ptr<const CanonicalText> canonical(const QString &text)
    {
        const Key key = keyOf(text);
        {
            QMutexLocker lock(&m_mutex);
            if (const auto found = m_entries.constFind(key); found != m_entries.cend())
                return found->canonical;
        }
        Entry entry{text, std::make_shared<const CanonicalText>(text)};
        QMutexLocker lock(&m_mutex);
        m_entries.insert(key, entry);
        return entry.canonical;
    }

private:
    using Key = std::pair<const QChar *, qsizetype>;
    struct Entry
    {
        QString text;
        std::shared_ptr<const CanonicalText> canonical;
    };

    static Key keyOf(const QString &text) { return {text.constData(), text.size()}; }

    QMutex m_mutex;
    QHash<Key, Entry> m_entries;
};

PageSearch::PageSearch(QObject *parent)
    : QObject(parent)
    , m_cache(std::make_shared<PageSearchCache>())
{}

PageSearch::~PageSearch()
{
    if (m_stopCurrent)
        m_stopCurrent->store(true);
}

void PageSearch::cancel()
{
    if (m_stopCurrent)
        m_stopCurrent->store(true);
    ++m_generation;
    m_pending = false;
}

void PageSearch::start(const Input &input)
{
    cancel();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    m_stopCurrent = stop;
    const quint64 generation = ++m_generation;
    m_pending = true;
    // A watcher, not a continuation bound to this object: the watcher's results come as events
    // that die with it, while a continuation may still post to this object as it is destroyed.
    auto *watcher = new QFutureWatcher<QList<PageMatch>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation != m_generation)
            return;
        m_results = watcher->result();
        m_pending = false;
        Q_EMIT finished();
    });
    watcher->setFuture(QtConcurrent::run(
        [input, stop, cache = m_cache] { return run(input, stop.get(), cache.get()); }));
}

QList<PageMatch> PageSearch::run(const Input &input, const std::atomic<bool> *stop,
                                 PageSearchCache *cache)
{
    const QString query = canonicalQuery(input.query);
    if (cache)
        cache->beginSearch(input);
    const auto canonical = [cache](const QString &text) {
        return cache ? cache->canonical(text) : std::make_shared<const CanonicalText>(text);
    };
    QList<PageMatch> found;
    for (int i = 0; i < input.pages.size(); ++i) {
        if (stop && stop->load(std::memory_order_relaxed))
            return {};
        PageMatch match;
        match.pageIndex = i;
        // The title as the row shows it; a match past what it shows marks nothing.
        match.title = DisplayText::title(input.titles.value(i));
        if (match.title.isEmpty())
            match.title = input.untitled;
        if (query.isEmpty()) {
            found.append(match);
            continue;
        }
        const QString &page = input.pages.at(i);
        std::pair<qsizetype, qsizetype> textMatch{-1, 0};
        if (canonical(input.titles.value(i))->text().indexOf(query, 0, Qt::CaseInsensitive) < 0) {
            textMatch = locate(page, *canonical(page), query);
            if (textMatch.first < 0)
                continue;
        }
        const auto titleMatch = locate(match.title, CanonicalText(match.title), query);
        if (titleMatch.first >= 0) {
            match.titleMatchStart = titleMatch.first;
            match.titleMatchLength = titleMatch.second;
        } else {
            if (textMatch.first < 0)
                textMatch = locate(page, *canonical(page), query);
            if (textMatch.first >= 0)
                match.snippet
                    = DisplayText::shown(snippet(page, textMatch.first, textMatch.second));
        }
        found.append(match);
    }
    return found;
}

qsizetype PageSearch::find(const QString &text, const QString &query, qsizetype *length)
{
    const QString canonical = canonicalQuery(query);
    if (canonical.isEmpty())
        return -1;
    const auto [at, matched] = locate(text, CanonicalText(text), canonical);
    if (length && at >= 0)
        *length = matched;
    return at;
}

QString PageSearch::snippet(const QString &text, qsizetype matchStart, qsizetype matchLength)
{
    matchStart = std::clamp<qsizetype>(matchStart, 0, text.size());
    const qsizetype matchEnd
        = std::clamp<qsizetype>(matchStart + matchLength, matchStart, text.size());
    const qsizetype start = charactersBefore(text, matchStart, snippetCharactersBefore);
    const qsizetype end = charactersAfter(text, matchEnd, snippetCharactersAfter);
    QString result = text.mid(start, end - start);
    for (QChar &c : result) {
        if (c == u'\n' || c == u'\r')
            c = u' ';
    }
    if (start > 0)
        result.prepend(u'\u2026');
    if (end < text.size())
        result.append(u'\u2026');
    return result;
}
