#include "keyvaluestore_qsettings.h"

#include "platform/logging.h"

QSettingsKeyValueStore::QSettingsKeyValueStore(const QString &filePath)
    : m_settings(filePath, QSettings::IniFormat)
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
