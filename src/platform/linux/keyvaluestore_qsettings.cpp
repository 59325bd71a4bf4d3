#include "keyvaluestore_qsettings.h"

#include "platform/logging.h"

#include <QFile>
#include <QSaveFile>

namespace {

// QSettings deserialises a value written as "@Variant(…)" as it reads the file, trusting the
// sizes inside: a damaged line can ask for gigabytes and end the program at start-up. Brivel
// never writes such values, so before the file is read each one is turned into the plain string
// it looks like ("@@" is how the format escapes a string's leading "@"); a typed read then finds
// no number or flag there and the setting falls back to its default.
const QString &withSerialisedValuesAsText(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return filePath;
    QByteArray content = file.readAll();
    file.close();
    static constexpr QByteArrayView marker("@Variant(");
    bool changed = false;
    for (qsizetype at = content.indexOf(marker); at >= 0; at = content.indexOf(marker, at + 2)) {
        if (at > 0 && content.at(at - 1) == '@')
            continue;
        content.insert(at, '@');
        changed = true;
    }
    if (!changed)
        return filePath;
    QSaveFile out(filePath);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit())
        qCWarning(lcPlatform) << "Settings file holds unreadable values and could not be mended:"
                              << filePath;
    else
        qCWarning(lcPlatform) << "Settings file held unreadable values; they now read as text:"
                              << filePath;
    return filePath;
}

} // namespace

QSettingsKeyValueStore::QSettingsKeyValueStore(const QString &filePath)
    : m_settings(withSerialisedValuesAsText(filePath), QSettings::IniFormat)
{
    if (m_settings.status() != QSettings::NoError)
        qCWarning(lcPlatform) << "Settings file could not be read:" << filePath;
}

bool QSettingsKeyValueStore::contains(const QString &key) const
{
    return m_settings.contains(key);
}

QVariant QSettingsKeyValueStore::value(const QString &key) const
{
    return m_settings.value(key);
}

void QSettingsKeyValueStore::setValue(const QString &key, const QVariant &value)
{
    m_settings.setValue(key, value);
    flush();
}

void QSettingsKeyValueStore::remove(const QString &key)
{
    // Every flush rewrites and syncs the file; removing what is not there must not cost one.
    if (!m_settings.contains(key))
        return;
    m_settings.remove(key);
    flush();
}

QString QSettingsKeyValueStore::fileName() const
{
    return m_settings.fileName();
}

void QSettingsKeyValueStore::flush()
{
    m_settings.sync();
    if (m_settings.status() == QSettings::AccessError)
        qCWarning(lcPlatform) << "Settings could not be written to" << m_settings.fileName();
}
