#include "keyvaluestore_qsettings.h"

#include "platform/atomicfile.h"
#include "platform/boundedfilereader.h"
#include "platform/logging.h"
#include "platform/userfiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// QSettings deserialises a value written as "@Variant(…)" as it reads the file, trusting the
// sizes inside: a damaged line can ask for gigabytes and end the program at start-up. Brivel
// never writes such values, so each one is turned into the plain string it looks like ("@@" is
// how the format escapes a string's leading "@"); a typed read then finds no number or flag
// there and the setting falls back to its default. Null when there is nothing to mend.
QByteArray withSerialisedValuesAsText(const QByteArray &content)
{
    static constexpr QByteArrayView marker("@Variant(");
    QByteArray mended;
    qsizetype copied = 0;
    // One pass, copying the stretches between markers: the file may hold hundreds of thousands.
    for (qsizetype at = content.indexOf(marker); at >= 0;
         at = content.indexOf(marker, at + marker.size())) {
        if (at > 0 && content.at(at - 1) == '@')
            continue;
        if (mended.isNull())
            mended.reserve(content.size() + content.size() / marker.size() + 1);
        mended.append(content.constData() + copied, at - copied);
        mended.append('@');
        copied = at;
    }
    if (!mended.isNull())
        mended.append(content.constData() + copied, content.size() - copied);
    return mended;
}

// A file Brivel did not write can hold a section or a key on every line, each costing QSettings
// memory and time at every start and every write.
bool hasTooManyLines(const QByteArray &content)
{
    return content.count('\n') + content.count('\r') > QSettingsKeyValueStore::maximumLineBreaks;
}

bool isLinkLoop(const QString &path)
{
    struct stat status
    {};
    return ::stat(QFile::encodeName(path).constData(), &status) != 0 && errno == ELOOP;
}

void createPrivateFile(const QString &filePath)
{
    // QSettings keeps the mode of the file it rewrites; one it created would follow the umask.
    // A failure shows up at the first write.
    AtomicFile::write(filePath, QByteArray());
}

// Makes the settings file safe for QSettings to read, which opens it blocking and reads all of
// it. False when it is not and could not be moved out of the way either.
bool preparedForReading(const QString &filePath)
{
    UserFiles::makePrivatePath(QFileInfo(filePath).path());
    const QFileInfo info(filePath);
    if (!info.exists() && !info.isSymLink()) {
        createPrivateFile(filePath);
        return true;
    }
    const BoundedFileReader::Result file
        = BoundedFileReader::read(filePath, QSettingsKeyValueStore::maximumFileBytes);
    QString why;
    QString reason = file.description;
    switch (file.error) {
    case BoundedFileReader::Error::none:
        if (hasTooManyLines(file.bytes)) {
            why = u"too-many-lines"_s;
            reason = u"More than %1 lines"_s.arg(QSettingsKeyValueStore::maximumLineBreaks);
        }
        break;
    case BoundedFileReader::Error::notRegularFile:
        why = u"not-a-file"_s;
        break;
    case BoundedFileReader::Error::tooLarge:
        why = u"too-large"_s;
        break;
    default:
        // A link that never ends anywhere is no file, and QSettings would replace it.
        if (isLinkLoop(filePath)) {
            why = u"not-a-file"_s;
            break;
        }
        // No permission, a dangling link, a failing disk: QSettings fails to open it at once
        // and says so; moving it would not make it readable.
        return true;
    }

    if (!why.isEmpty()) {
        QString error;
        const QString target = UserFiles::moveAside(filePath, why, &error);
        if (target.isEmpty()) {
            qCWarning(lcPlatform).noquote()
                << u"Settings file %1 is unusable (%2) and could not be moved aside (%3); "
                   "the defaults are used and changes last until Brivel quits"_s.arg(filePath,
                                                                                     reason, error);
            return false;
        }
        qCWarning(lcPlatform).noquote()
            << u"Settings file was unusable (%1); kept as %2, the defaults are used"_s.arg(reason,
                                                                                           target);
        createPrivateFile(filePath);
        return true;
    }

    const QByteArray mended = withSerialisedValuesAsText(file.bytes);
    if (mended.isNull())
        return true;
    QString error;
    if (AtomicFile::write(filePath, mended, &error)) {
        qCWarning(lcPlatform).noquote()
            << u"Settings file held unreadable values; they now read as text: %1"_s.arg(filePath);
        return true;
    }
    qCWarning(lcPlatform).noquote()
        << u"Settings file %1 holds unreadable values and could not be mended (%2); the defaults "
           "are used and changes last until Brivel quits"_s.arg(filePath, error);
    return false;
}

} // namespace

QSettingsKeyValueStore::QSettingsKeyValueStore(const QString &filePath)
    : m_filePath(filePath)
{
    if (!preparedForReading(filePath))
        return;
    m_settings = std::make_unique<QSettings>(filePath, QSettings::IniFormat);
    if (m_settings->status() != QSettings::NoError)
        qCWarning(lcPlatform) << "Settings file could not be read:" << filePath;
}

bool QSettingsKeyValueStore::contains(const QString &key) const
{
    return m_settings ? m_settings->contains(key) : m_unsaved.contains(key);
}

QVariant QSettingsKeyValueStore::value(const QString &key) const
{
    return m_settings ? m_settings->value(key) : m_unsaved.value(key);
}

void QSettingsKeyValueStore::setValue(const QString &key, const QVariant &value)
{
    if (!m_settings) {
        m_unsaved.setValue(key, value);
        return;
    }
    m_settings->setValue(key, value);
    flush();
}

void QSettingsKeyValueStore::remove(const QString &key)
{
    if (!m_settings) {
        m_unsaved.remove(key);
        return;
    }
    // Every flush rewrites and syncs the file; removing what is not there must not cost one.
    if (!m_settings->contains(key))
        return;
    m_settings->remove(key);
    flush();
}

QString QSettingsKeyValueStore::fileName() const
{
    return m_filePath;
}

void QSettingsKeyValueStore::flush()
{
    m_settings->sync();
    if (m_settings->status() == QSettings::AccessError)
        qCWarning(lcPlatform) << "Settings could not be written to" << m_settings->fileName();
}
