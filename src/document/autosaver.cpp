#include "autosaver.h"

#include "logging.h"
#include "savedata.h"

#include "platform/atomicfile.h"
#include "platform/userfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

void logWriteFailure(const QString &reason)
{
    qCCritical(lcService).noquote() << u"Autosave failed: %1"_s.arg(reason);
}

void logRecordFailure(const QString &reason)
{
    qCCritical(lcService).noquote() << u"Document file record failed: %1"_s.arg(reason);
}

QString documentRecordPath(const QString &directory)
{
    return directory + u"/document.json"_s;
}

} // namespace

Autosaver::Autosaver(const QString &directory)
    : m_directory(directory)
{
    m_worker.setMaxThreadCount(1);
}

Autosaver::~Autosaver()
{
    waitForDone();
}

QString Autosaver::filePath() const
{
    return m_directory + u"/pages.json"_s;
}

QString Autosaver::recordedDocumentPath() const
{
    // A path is a few kilobytes at most.
    const BoundedFileReader::Result file
        = BoundedFileReader::read(documentRecordPath(m_directory), 64 * 1024);
    if (!file.ok())
        return QString();
    return QJsonDocument::fromJson(file.bytes).object().value("path"_L1).toString();
}

void Autosaver::recordDocumentPath(const QString &path)
{
    const QString record = documentRecordPath(m_directory);
    QString error;
    if (path.isEmpty()) {
        QFile file(record);
        if (file.exists() && !file.remove())
            logRecordFailure(file.errorString());
        return;
    }
    const QJsonObject object{{"path"_L1, QFileInfo(path).absoluteFilePath()}};
    UserFiles::makePrivatePath(m_directory);
    if (!AtomicFile::write(record, QJsonDocument(object).toJson(QJsonDocument::Compact), &error))
        logRecordFailure(error);
}

void Autosaver::write(const QStringList &pages, const QStringList &titles)
{
    if (!m_blockedReason.isEmpty()) {
        logWriteFailure(m_blockedReason);
        return;
    }
    std::lock_guard lock(m_mutex);
    m_pending = Snapshot{pages, titles};
    if (!m_draining) {
        m_draining = true;
        m_worker.start([this] { drain(); });
    }
}

void Autosaver::waitForDone()
{
    m_worker.waitForDone();
}

void Autosaver::drain()
{
    for (;;) {
        Snapshot snapshot;
        {
            std::lock_guard lock(m_mutex);
            if (!m_pending) {
                m_draining = false;
                return;
            }
            snapshot = std::move(*m_pending);
            m_pending.reset();
        }
        const QByteArray bytes = SaveData::encode(snapshot.pages, snapshot.titles);
        // A failure here shows up as the write's error below.
        UserFiles::makePrivatePath(m_directory);
        QString error;
        if (!AtomicFile::write(filePath(), bytes, &error))
            logWriteFailure(error);
    }
}

BoundedFileReader::Result Autosaver::read() const
{
    return BoundedFileReader::read(filePath(), BoundedFileReader::unbounded);
}

QString Autosaver::moveAside()
{
    QString error;
    const QString target = UserFiles::moveAside(filePath(), u"unreadable"_s, &error);
    if (!target.isEmpty())
        return u"kept as %1"_s.arg(target);
    m_blockedReason
        = u"%1 could not be moved aside (%2) and is not overwritten"_s.arg(filePath(), error);
    return m_blockedReason;
}
