#pragma once

#include "platform/boundedfilereader.h"

#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <mutex>
#include <optional>

// The autosave file "pages.json". The main thread only hands over a snapshot of the pages;
// encoding and writing happen on a worker thread, one write at a time, and a snapshot that is
// still waiting is replaced by a newer one. Each write replaces the file atomically.
class Autosaver
{
public:
    explicit Autosaver(const QString &directory);
    // Waits for the write under way.
    ~Autosaver();
    Autosaver(const Autosaver &) = delete;
    Autosaver &operator=(const Autosaver &) = delete;

    QString filePath() const;

    // Returns at once; failures are logged.
    void write(const QStringList &pages, const QStringList &titles);
    // Returns when every snapshot handed over is on disk (or failed).
    void waitForDone();

    BoundedFileReader::Result read() const;
    // Renames an autosave that could not be used, with a time stamp, so that the next write
    // does not destroy it; when that fails, writing stays off for the same reason. Returns what
    // became of the file, for the log.
    QString moveAside();

    // The document file the pages were last opened from or saved to, kept in a small record
    // beside the autosave so that a relaunch can tie the restored pages to it again. Empty for
    // none. Written at once, failures logged.
    QString recordedDocumentPath() const;
    void recordDocumentPath(const QString &path);

private:
    struct Snapshot
    {
        QStringList pages;
        QStringList titles;
    };

    void drain();

    const QString m_directory;
    QThreadPool m_worker;
    std::mutex m_mutex;
    std::optional<Snapshot> m_pending;
    bool m_draining = false;
    // Why nothing may be written, when an unusable file could not be moved aside.
    QString m_blockedReason;
};
