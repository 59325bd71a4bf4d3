#pragma once

#include <QString>

// Keeps one session per data folder: sessions that cannot reach each other's socket (another
// runtime folder) would otherwise save over each other's pages. The lock is a file in the folder,
// held for the process's life; the kernel lets go of it however the process ends.
class DataFolderLock
{
public:
    static constexpr auto fileName = "brivel.lock";
    // How long a claim waits for another process to let go, as one quitting does while it
    // writes its last autosave.
    static constexpr int waitMs = 2000;
    static constexpr int retryPauseMs = 100;

    DataFolderLock() = default;
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock &) = delete;
    DataFolderLock &operator=(const DataFolderLock &) = delete;

    // Creates the folder for its owner only and holds it. False only when another process holds
    // it beyond waitMs. Whatever stands in the lock's place that is not a regular file, or a file
    // the permissions keep from us (another user's), is moved aside for a fresh lock, unless
    // another process holds it; a folder that takes no lock is used without one.
    bool claim(const QString &folder);
    bool isHeld() const { return m_fd >= 0; }

    // What a launch turned away by claim() says on its standard error.
    static QString takenMessage(const QString &folder);

private:
    int m_fd = -1;
};
