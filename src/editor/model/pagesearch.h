#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class PageSearchCache;

// One page the search lists, with where the query was found, so that a row never searches
// again: the match in the title the row shows, and a snippet of the text around the first match
// when the title does not hold the query.
struct PageMatch
{
    int pageIndex = 0;
    // The row's title (the stored one trimmed, or the placeholder of an untitled page) as it was
    // searched, and the match in it; -1 when it holds no match.
    QString title;
    qsizetype titleMatchStart = -1;
    qsizetype titleMatchLength = 0;
    // Empty when the title matched or the query was found in the stored title only.
    QString snippet;

    friend bool operator==(const PageMatch &, const PageMatch &) = default;
};

// The sidebar's page search. A search of every page's text cannot run on the main thread at
// each keystroke (a thousand pages of half a million characters take over a second), so it runs
// on a worker; the pages are shared, not copied. A newer search makes the older ones stop and
// drops their results: the newest query and document always win.
class PageSearch : public QObject
{
    Q_OBJECT

public:
    struct Input
    {
        QStringList pages;
        // The stored titles, which the filter reads; as short or long as they come.
        QStringList titles;
        QString query;
        // What a row shows for a page without a title of its own.
        QString untitled;
    };

    explicit PageSearch(QObject *parent = nullptr);
    ~PageSearch() override;

    // Starts a search; the result of any earlier one is dropped.
    void start(const Input &input);
    // Drops the running search's result.
    void cancel();
    // A search runs whose result has not arrived.
    bool isPending() const { return m_pending; }
    QList<PageMatch> results() const { return m_results; }

    // The search itself, on the calling thread; it gives up, returning nothing, once `stop`
    // turns true. With a cache, texts it has seen are not put in the search's form again.
    static QList<PageMatch> run(const Input &input, const std::atomic<bool> *stop = nullptr,
                                PageSearchCache *cache = nullptr);
    // The first place of the trimmed query in the text, both compared composed (NFC) and
    // case-insensitive, so that accents typed apart from their letters, or Korean typed as
    // jamo, find the text written whole and the other way round; -1 when absent or empty. The
    // place is in the text as stored, grown to whole clusters; `length` gets its length.
    static qsizetype find(const QString &text, const QString &query, qsizetype *length = nullptr);
    // The text around a match: 20 characters before it and 30 after, counted as a reader sees
    // characters (never splitting a letter from its accents, nor an emoji), line breaks shown as
    // spaces, and "…" where the text goes on.
    static QString snippet(const QString &text, qsizetype matchStart, qsizetype matchLength);
    static constexpr int snippetCharactersBefore = 20;
    static constexpr int snippetCharactersAfter = 30;

Q_SIGNALS:
    void finished();

private:
    std::shared_ptr<std::atomic<bool>> m_stopCurrent;
    std::shared_ptr<PageSearchCache> m_cache;
    QList<PageMatch> m_results;
    bool m_pending = false;
    quint64 m_generation = 0;
};
