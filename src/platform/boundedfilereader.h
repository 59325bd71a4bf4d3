#pragma once

#include <QByteArray>
#include <QString>

// Reads a file from a path a user or another program chose. Only regular files are read (a
// FIFO or a device would block or never end) and never more than the cap, even when the file
// grows while it is read.
class BoundedFileReader
{
public:
    enum class Error {
        none,
        noSuchFile,
        noPermission,
        // The storage reported an input/output error.
        corruptFile,
        // A directory, FIFO, socket or device.
        notRegularFile,
        tooLarge,
        // Any other error of the file system; the description tells which.
        otherFileError,
    };

    struct Result
    {
        QByteArray bytes;
        Error error = Error::none;
        QString description;

        bool ok() const { return error == Error::none; }
    };

    static constexpr qint64 unbounded = -1;

    // The whole file when it holds at most maxBytes bytes (any size with `unbounded`).
    static Result read(const QString &path, qint64 maxBytes);
};
