#pragma once

// Shared by the fuzz targets: input as Qt types, and a private scratch folder for the readers
// that take a path.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The input as a file that readers open by its path, kept in memory rather than on a disk.
inline QString fuzzFile(const uint8_t *data, size_t size)
{
    static const int fd = ::memfd_create("fuzz-input", MFD_CLOEXEC);
    static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0
        || (size > 0 && ::pwrite(fd, data, size, 0) != ssize_t(size)))
        abort();
    return path;
}

// A folder of the process's own, removed at exit. Settings and data homes point into it, so a
// reader that reaches the user's settings touches only this copy.
inline QString fuzzScratch()
{
    // In memory where there is such a folder: the settings store writes each key through.
    static const QString base
        = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static const QTemporaryDir dir(base + QStringLiteral("/brivel-fuzz-XXXXXX"));
    static const bool homes = [] {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
        return true;
    }();
    Q_UNUSED(homes);
    return dir.path();
}

// Memory freed under AddressSanitizer is held back before reuse and counts towards the resident
// cap of the capped targets; a small hold-back keeps the cap about the reader's own memory.
extern "C" const char *__asan_default_options()
{
    return "quarantine_size_mb=16:malloc_context_size=20";
}
