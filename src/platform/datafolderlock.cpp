#include "datafolderlock.h"

#include "platform/logging.h"
#include "platform/userfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A regular file opened without following a link; -1 with errno otherwise. Non-blocking, so that
// a FIFO in its place cannot hang the start. For writing where the file allows it: over NFS a
// lock is a byte-range lock, which needs a file open for writing. Read-only where writing is
// refused, as for a lock file left read-only (a restored backup): a local lock needs no more.
int openRegularFile(const QByteArray &path)
{
    constexpr int flags = O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
    int fd = ::open(path.constData(), O_RDWR | flags, 0600);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
        fd = ::open(path.constData(), O_RDONLY | flags, 0600);
    if (fd < 0)
        return -1;
    struct stat status
    {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        errno = EISDIR; // as good as any: the caller only looks at what is there
        return -1;
    }
    return fd;
}

// Whether a process holds a lock on the file, which the kernel tells without opening it.
bool isLockedByAnyone(const struct stat &file)
{
    QFile locks(u"/proc/locks"_s);
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    // "1: FLOCK  ADVISORY  WRITE 1234 fe:00:10955549 0 EOF", the device's numbers in hex.
    const QByteArray inode = QByteArray::number(major(file.st_dev), 16).rightJustified(2, '0') + ':'
                             + QByteArray::number(minor(file.st_dev), 16).rightJustified(2, '0')
                             + ':' + QByteArray::number(quint64(file.st_ino));
    const QList<QByteArray> lines = locks.readAll().split('\n');
    return std::any_of(lines.cbegin(), lines.cend(), [&inode](const QByteArray &line) {
        return line.simplified().split(' ').contains(inode);
    });
}

// Held while a start moves aside what stands in the lock's place: without it, two starts that
// both found a folder there could each move the other's fresh lock aside. Another program may
// hold a lock on the folder too (a backup or sync tool): past the deadline the start goes on
// without the guard rather than wait for it.
class FolderGuard
{
public:
    FolderGuard(const QString &folder, const QDeadlineTimer &deadline)
        : m_fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        while (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK || deadline.hasExpired()) {
                ::close(m_fd);
                m_fd = -1;
                break;
            }
            ::usleep(useconds_t(DataFolderLock::retryPauseMs) * 1000);
        }
    }
    ~FolderGuard()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderGuard(const FolderGuard &) = delete;
    FolderGuard &operator=(const FolderGuard &) = delete;

private:
    int m_fd = -1;
};

} // namespace

DataFolderLock::~DataFolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString DataFolderLock::takenMessage(const QString &folder)
{
    return u"brivel: Brivel is already running in another session that uses the same data folder "
           "(%1) and cannot be reached from here; nothing was opened. Quit that one first."_s.arg(
               QDir::toNativeSeparators(folder));
}

bool DataFolderLock::claim(const QString &folder)
{
    if (m_fd >= 0)
        return true;
    UserFiles::makePrivatePath(folder);
    const QString path = folder + u'/' + QLatin1StringView(fileName);
    const QByteArray encoded = QFile::encodeName(path);
    const QDeadlineTimer deadline(waitMs);
    int fd = openRegularFile(encoded);
    int openError = errno;
    // Another start may be moving something aside right now: look again once it is done.
    if (fd < 0) {
        const FolderGuard guard(folder, deadline);
        fd = openRegularFile(encoded);
        openError = errno;
        struct stat status
        {};
        if (fd < 0 && ::lstat(encoded.constData(), &status) == 0) {
            // A lock file of another user's that the permissions keep from us (one left by a
            // run as root with this home) is moved aside too, unless a session still holds it.
            const bool isFile = S_ISREG(status.st_mode);
            while (isFile && isLockedByAnyone(status)) {
                if (deadline.hasExpired())
                    return false;
                ::usleep(useconds_t(retryPauseMs) * 1000);
            }
            const QString why
                = isFile ? u"not a lock we may open (%1)"_s.arg(qt_error_string(openError))
                         : u"not a file"_s;
            QString error;
            const QString target
                = UserFiles::moveAside(path, isFile ? u"unopenable"_s : u"not-a-file"_s, &error);
            if (target.isEmpty()) {
                // The folder takes no new name, so no autosave can be written there either.
                qCWarning(lcPlatform).noquote()
                    << u"Lock %1 is %2 and could not be moved aside (%3); running without the "
                       "lock"_s.arg(path, why, error);
                return true;
            }
            qCWarning(lcPlatform).noquote()
                << u"Lock %1 was %2; kept as %3"_s.arg(path, why, target);
            fd = openRegularFile(encoded);
            openError = errno;
        }
    }
    if (fd < 0) {
        qCWarning(lcPlatform).noquote() << u"Cannot open the lock %1 (%2); running without the "
                                           "lock"_s.arg(path, qt_error_string(openError));
        return true;
    }

    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EWOULDBLOCK) {
            ::close(fd);
            qCWarning(lcPlatform).noquote()
                << u"The file system of %1 refuses locks (%2); running without the lock"_s.arg(
                       folder, qt_error_string(error));
            return true;
        }
        if (deadline.hasExpired()) {
            ::close(fd);
            return false;
        }
        ::usleep(useconds_t(retryPauseMs) * 1000);
    }
    m_fd = fd;
    return true;
}
