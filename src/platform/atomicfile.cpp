#include "atomicfile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace AtomicFile {

bool write(const QString &path, const QByteArray &bytes, QString *error, int *errorNumber)
{
    const bool created = !QFileInfo::exists(path);
    QSaveFile file(path);
    // Each step that fails leaves its errno; the ones after it do not run.
    errno = 0;
    // Unbuffered: a write that does not fit on the disk must fail here. Bytes left in a buffer
    // are only written by commit(), which does not report that failure and puts the
    // incomplete file in the old one's place.
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (ok && created)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // A short write says nothing of its cause; writing the rest gets the system's error.
    for (qint64 written = 0; ok && written < bytes.size();) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        ok = count > 0;
        written += count;
    }
    ok = ok && file.flush() && file.commit();
    if (!ok) {
        if (errorNumber)
            *errorNumber = errno;
        // Cancelling replaces the reason with its own.
        if (error)
            *error = file.errorString();
        file.cancelWriting();
    }
    return ok;
}

} // namespace AtomicFile
