#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The JSON record of a document file and of the autosave: a version, the page texts and one
// title per page. Files written before the record existed hold a bare list of pages.
struct SaveData
{
    static constexpr qint64 currentVersion = 1;

    // Absent in files that carry no version.
    std::optional<qint64> version;
    QStringList pages;
    QStringList titles;

    // Compact JSON keyed in the order "version", "pages", "titles", version 1, with the titles
    // padded or cut to one per page.
    static QByteArray encode(const QStringList &pages, const QStringList &titles);

    // The record, or else the bare list of pages with one empty title each. When neither form
    // decodes, `error` receives why the bare list did not.
    static std::optional<SaveData> decode(const QByteArray &json, QString *error = nullptr);

    // Files from a later release may hold what this one cannot keep.
    bool hasSupportedVersion() const { return !version || *version < 2; }
    // Page count and page length within what a document file may hold; page length is counted
    // in user-perceived characters.
    bool isWithinDocumentLimits() const;

    // A limit of document files that a document breaks, and by how much.
    struct LimitExcess
    {
        enum class Limit { pages, pageCharacters, fileBytes };
        Limit limit = Limit::pages;
        qint64 count = 0;
        qint64 maximum = 0;
        // The page (from 1) whose characters are counted.
        qsizetype page = 0;
    };

    // Why a document file of these pages and titles would be refused when opened: the first
    // limit it breaks. Nothing when it fits.
    static std::optional<LimitExcess> limitExcess(const QStringList &pages,
                                                  const QStringList &titles);
    // The same for the pages alone (their number and length), and for a file of that size.
    static std::optional<LimitExcess> contentLimitExcess(const QStringList &pages);
    static std::optional<LimitExcess> fileSizeExcess(qint64 bytes);
    // The size of encode(pages, titles), found one string at a time: the whole encoding of
    // pages that may be too large is never held at once.
    static qint64 encodedSize(const QStringList &pages, const QStringList &titles);
};
