#pragma once

#include "keyvaluestore.h"

#include <QHash>

// A store that lives only as long as the object, for tests and previews.
class InMemoryKeyValueStore : public KeyValueStore
{
public:
    bool contains(const QString &key) const override;
    QVariant value(const QString &key) const override;
    void setValue(const QString &key, const QVariant &value) override;
    void remove(const QString &key) override;

    int writeCount(const QString &key) const;

private:
    QHash<QString, QVariant> m_values;
    QHash<QString, int> m_writeCounts;
};
