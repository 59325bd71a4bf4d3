#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

struct zip;

// A .pptx package opened read-only in memory. Only regular files are opened; the archive is
// refused as a whole when it holds too many entries, an encrypted entry or a name that is
// absolute or climbs with "..". Parts are read on demand, each capped, and all reads together
// capped, on the bytes actually inflated rather than on sizes the headers declare.
class PptxArchive
{
public:
    static constexpr qint64 maximumEntries = 20'000;
    static constexpr qint64 maximumPartBytes = 8 * 1024 * 1024;
    static constexpr qint64 maximumTotalBytes = 64 * 1024 * 1024;

    // Refusals and read failures, as thrown by open() and read().
    struct Failure
    {};

    PptxArchive() = default;
    ~PptxArchive();
    PptxArchive(const PptxArchive &) = delete;
    PptxArchive &operator=(const PptxArchive &) = delete;

    // Throws Failure.
    void open(const QString &path);
    // Entry names in archive order, exactly as stored.
    const QStringList &names() const { return m_names; }
    bool contains(const QString &name) const { return m_indices.contains(name); }
    // The whole part; throws Failure for a missing part, a libzip error or a cap.
    QByteArray read(const QString &name);

private:
    zip *m_archive = nullptr;
    QStringList m_names;
    QHash<QString, qint64> m_indices;
    qint64 m_bytesRead = 0;
};
