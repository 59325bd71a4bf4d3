#include "boundedfilereader.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Error = BoundedFileReader::Error;
using Result = BoundedFileReader::Result;

Result failure(int errorNumber)
{
    Result result;
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        result.error = Error::noSuchFile;
        break;
    case EACCES:
    case EPERM:
        result.error = Error::noPermission;
        break;
    case EIO:
        result.error = Error::corruptFile;
        break;
    default:
        result.error = Error::otherFileError;
        break;
    }
    result.description = qt_error_string(errorNumber);
    return result;
}

Result failure(Error error, const QString &description)
{
    Result result;
    result.error = error;
    result.description = description;
    return result;
}

Result notRegular()
{
    return failure(Error::notRegularFile, u"Not a regular file"_s);
}

bool exceeds(qint64 size, qint64 maxBytes)
{
    return maxBytes != BoundedFileReader::unbounded && size > maxBytes;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd = -1;
};

} // namespace

BoundedFileReader::Result BoundedFileReader::read(const QString &path, qint64 maxBytes)
{
    const QByteArray nativePath = QFile::encodeName(path);
    // The type is checked before opening: opening a FIFO would wait for a writer and opening a
    // device may have effects of its own.
    struct stat status = {};
    if (::stat(nativePath.constData(), &status) != 0)
        return failure(errno);
    if (!S_ISREG(status.st_mode))
        return notRegular();
    if (exceeds(status.st_size, maxBytes))
        return failure(Error::tooLarge, u"The file is larger than %1 bytes"_s.arg(maxBytes));

    // Non-blocking, so that a path swapped for a FIFO since the check still cannot hang us; the
    // descriptor's own type is what counts from here on.
    FileDescriptor file(
        ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        return failure(errno);
    if (::fstat(file.get(), &status) != 0)
        return failure(errno);
    if (!S_ISREG(status.st_mode))
        return notRegular();

    // One byte past the cap tells a file that grew beyond it.
    const qint64 readLimit = maxBytes == unbounded ? -1 : maxBytes + 1;
    qint64 capacity = qint64(status.st_size) + 1;
    if (readLimit >= 0)
        capacity = std::min(capacity, readLimit);
    QByteArray bytes(capacity, Qt::Uninitialized);
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (readLimit >= 0 && filled >= readLimit)
                break;
            qint64 grown = std::max<qint64>(bytes.size() * 2, 64 * 1024);
            if (readLimit >= 0)
                grown = std::min(grown, readLimit);
            bytes.resize(grown);
        }
        const ssize_t count
            = ::read(file.get(), bytes.data() + filled, size_t(bytes.size() - filled));
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return failure(errno);
        }
        if (count == 0)
            break;
        filled += count;
    }
    if (exceeds(filled, maxBytes))
        return failure(Error::tooLarge, u"The file is larger than %1 bytes"_s.arg(maxBytes));
    bytes.truncate(filled);
    Result result;
    result.bytes = std::move(bytes);
    return result;
}
