#pragma once

#include "platform/keyvaluestore.h"

#include <QSettings>

// INI file through QSettings. Each write is flushed at once so that nothing the user set is
// lost if the process ends without an orderly shutdown.
class QSettingsKeyValueStore : public KeyValueStore
{
public:
    explicit QSettingsKeyValueStore(const QString &filePath);

    bool contains(const QString &key) const override;
    QVariant value(const QString &key) const override;
    void setValue(const QString &key, const QVariant &value) override;
    void remove(const QString &key) override;

    QString fileName() const;

private:
    void flush();

    QSettings m_settings;
};
