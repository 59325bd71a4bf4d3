#include "import/pptxarchive.h"

#include "platform/runtimemodule.h"

#include <QFile>

#include <zip.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// libzip, and the crypto library it brings, are loaded at the first import rather than at every
// start of the program, where binding their symbols cost several milliseconds.
struct LibZip
{
    decltype(&zip_fdopen) fdopen = nullptr;
    decltype(&zip_discard) discard = nullptr;
    decltype(&zip_get_num_entries) getNumEntries = nullptr;
    decltype(&zip_stat_init) statInit = nullptr;
    decltype(&zip_stat_index) statIndex = nullptr;
    decltype(&zip_fopen_index) fopenIndex = nullptr;
    decltype(&zip_fread) fread = nullptr;
    decltype(&zip_fclose) fclose = nullptr;
    bool loaded = false;
};

const LibZip &libzip()
{
    static const LibZip library = [] {
        LibZip l;
        RuntimeModule zip = RuntimeModule::system(LIBZIP_SONAME);
        l.loaded = zip.resolve(l.fdopen, "zip_fdopen") && zip.resolve(l.discard, "zip_discard")
                   && zip.resolve(l.getNumEntries, "zip_get_num_entries")
                   && zip.resolve(l.statInit, "zip_stat_init")
                   && zip.resolve(l.statIndex, "zip_stat_index")
                   && zip.resolve(l.fopenIndex, "zip_fopen_index")
                   && zip.resolve(l.fread, "zip_fread") && zip.resolve(l.fclose, "zip_fclose");
        return l;
    }();
    return library;
}

bool isUnsafeName(const QString &name)
{
    if (name.startsWith(u'/'))
        return true;
    for (QStringView segment : QStringView(name).split(u'/')) {
        if (segment == u"..")
            return true;
    }
    return false;
}

} // namespace

PptxArchive::~PptxArchive()
{
    if (m_archive)
        libzip().discard(m_archive);
}

void PptxArchive::open(const QString &path)
{
    // Opened without blocking and checked before libzip sees it: a FIFO would otherwise hold
    // the worker until someone writes to it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw Failure();
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        throw Failure();
    }
    if (!libzip().loaded) {
        ::close(fd);
        throw Failure();
    }
    int error = 0;
    m_archive = libzip().fdopen(fd, ZIP_CHECKCONS | ZIP_RDONLY, &error);
    if (!m_archive) {
        ::close(fd);
        throw Failure();
    }

    const zip_int64_t count = libzip().getNumEntries(m_archive, 0);
    if (count < 0 || count > maximumEntries)
        throw Failure();
    m_names.reserve(count);
    for (zip_int64_t index = 0; index < count; ++index) {
        zip_stat_t entry;
        libzip().statInit(&entry);
        if (libzip().statIndex(m_archive, index, 0, &entry) != 0 || !(entry.valid & ZIP_STAT_NAME))
            throw Failure();
        if ((entry.valid & ZIP_STAT_ENCRYPTION_METHOD) && entry.encryption_method != ZIP_EM_NONE)
            throw Failure();
        const QString name = QString::fromUtf8(entry.name);
        if (isUnsafeName(name))
            throw Failure();
        m_names.append(name);
        m_indices.insert(name, index);
    }
}

QByteArray PptxArchive::read(const QString &name)
{
    const auto found = m_indices.constFind(name);
    if (!m_archive || found == m_indices.constEnd())
        throw Failure();
    const zip_uint64_t index = *found;

    zip_stat_t entry;
    libzip().statInit(&entry);
    if (libzip().statIndex(m_archive, index, 0, &entry) != 0)
        throw Failure();
    // A cheap first refusal; the sizes below are counted on what actually comes out.
    if ((entry.valid & ZIP_STAT_SIZE)
        && (entry.size > zip_uint64_t(maximumPartBytes)
            || qint64(entry.size) > maximumTotalBytes - m_bytesRead))
        throw Failure();

    zip_file_t *file = libzip().fopenIndex(m_archive, index, 0);
    if (!file)
        throw Failure();
    QByteArray data;
    data.reserve(int(qMin<zip_uint64_t>(entry.size, 64 * 1024)));
    char buffer[64 * 1024];
    zip_int64_t got = 0;
    while ((got = libzip().fread(file, buffer, sizeof buffer)) > 0) {
        m_bytesRead += got;
        if (data.size() + got > maximumPartBytes || m_bytesRead > maximumTotalBytes) {
            libzip().fclose(file);
            throw Failure();
        }
        data.append(buffer, got);
    }
    // Closing reports a damaged stream that the last read did not.
    if (libzip().fclose(file) != 0 || got < 0)
        throw Failure();
    return data;
}
