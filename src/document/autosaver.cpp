#include "autosaver.h"

#include "logging.h"
#include "savedata.h"

#include "platform/atomicfile.h"
#include "platform/userfiles.h"

using namespace Qt::StringLiterals;

namespace {

void logWriteFailure(const QString &reason)
{
    qCCritical(lcService).noquote() << u"Autosave failed: %1"_s.arg(reason);
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
