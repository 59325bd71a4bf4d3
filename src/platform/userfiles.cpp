#include "userfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace UserFiles {

void makePrivatePath(const QString &directory)
{
    QStringList missing;
    for (QString path = QFileInfo(directory).absoluteFilePath(); !QFileInfo::exists(path);) {
        missing.prepend(path);
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            break;
        path = parent;
    }
    constexpr QFileDevice::Permissions ownerOnly
        = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    for (const QString &path : std::as_const(missing)) {
        // The umask can only take bits away; setting the mode again undoes one that took the
        // owner's own.
        if (QDir().mkdir(path, ownerOnly))
            QFile::setPermissions(path, ownerOnly);
    }
}

QString moveAside(const QString &path, const QString &why, QString *error)
{
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss"_s);
    const QString base = u"%1.%2-%3"_s.arg(path, why, stamp);
    QString target = base;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = base + u'-' + QString::number(n);
    // A plain rename also moves a directory, a FIFO or a link without touching what it names.
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData())
        == 0)
        return target;
    if (error)
        *error = qt_error_string(errno);
    return QString();
}

void keepNewFilesFromOthers()
{
    ::umask(::umask(0) | S_IRWXG | S_IRWXO);
}

void ignoreFileSizeLimitSignal()
{
    ::signal(SIGXFSZ, SIG_IGN);
}

} // namespace UserFiles
