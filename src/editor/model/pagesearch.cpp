#include "pagesearch.h"

#include "settings/displaytext.h"

#include <QFutureWatcher>
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

// The query as typed and, when they differ, its composed and decomposed forms: an accent typed
// apart from its letter still finds the letter written whole, and the other way round.
class Needles
{
public:
    explicit Needles(const QString &query)
    {
        const QString typed = query.trimmed();
        if (typed.isEmpty())
            return;
        m_forms.append(typed);
        for (const auto form : {QString::NormalizationForm_C, QString::NormalizationForm_D}) {
            const QString other = typed.normalized(form);
            if (!m_forms.contains(other))
                m_forms.append(other);
        }
    }

    bool isEmpty() const { return m_forms.isEmpty(); }

    qsizetype find(const QString &text, qsizetype *length) const
    {
        qsizetype first = -1;
        for (const QString &form : m_forms) {
            // Past the first match only an earlier one counts.
            const qsizetype limit = first < 0 ? text.size() : first + form.size();
            const qsizetype at
                = QStringView(text).left(limit).indexOf(form, 0, Qt::CaseInsensitive);
            if (at >= 0 && (first < 0 || at < first)) {
                first = at;
                if (length)
                    *length = form.size();
            }
        }
        return first;
    }

private:
    QStringList m_forms;
};

} // namespace

PageSearch::PageSearch(QObject *parent)
    : QObject(parent)
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
    watcher->setFuture(QtConcurrent::run([input, stop] { return run(input, stop.get()); }));
}

QList<PageMatch> PageSearch::run(const Input &input, const std::atomic<bool> *stop)
{
    const Needles needles(input.query);
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
        if (needles.isEmpty()) {
            found.append(match);
            continue;
        }
        const QString &page = input.pages.at(i);
        qsizetype textMatchLength = 0;
        qsizetype textMatch = -1;
        if (needles.find(input.titles.value(i), nullptr) < 0) {
            textMatch = needles.find(page, &textMatchLength);
            if (textMatch < 0)
                continue;
        }
        match.titleMatchStart = needles.find(match.title, &match.titleMatchLength);
        if (match.titleMatchStart < 0 && textMatch < 0)
            textMatch = needles.find(page, &textMatchLength);
        if (match.titleMatchStart < 0 && textMatch >= 0)
            match.snippet = DisplayText::shown(snippet(page, textMatch, textMatchLength));
        found.append(match);
    }
    return found;
}

qsizetype PageSearch::find(const QString &text, const QString &query, qsizetype *length)
{
    return Needles(query).find(text, length);
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
