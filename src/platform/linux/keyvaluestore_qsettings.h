#pragma once

#include "platform/inmemorykeyvaluestore.h"
#include "platform/keyvaluestore.h"

#include <QSettings>

#include <memory>

// INI file through QSettings. Each write is flushed at once so that nothing the user set is
// lost if the process ends without an orderly shutdown.
//
// The file is only read when it is a regular file of bounded size and length: anything else in
// its place (a FIFO, a device, a directory, a damaged or hostile file) is moved aside beside it
// and the defaults are used. The folders and the file are created for their owner only.
class QSettingsKeyValueStore : public KeyValueStore
{
public:
    // Brivel writes a few dozen short lines; these leave room for hand edits and still read in
    // a moment.
    static constexpr qint64 maximumFileBytes = 2 * 1024 * 1024;
    static constexpr qsizetype maximumLineBreaks = 10'000;

    explicit QSettingsKeyValueStore(const QString &filePath);

    bool contains(const QString &key) const override;
    QVariant value(const QString &key) const override;
    void setValue(const QString &key, const QVariant &value) override;
    void remove(const QString &key) override;

    QString fileName() const;

private:
    void flush();

    const QString m_filePath;
    // Null when an unusable file could not be moved aside: then nothing reads or writes it,
    // and the settings last until the process ends.
    std::unique_ptr<QSettings> m_settings;
    InMemoryKeyValueStore m_unsaved;
};
