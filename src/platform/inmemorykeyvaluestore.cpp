#include "inmemorykeyvaluestore.h"

bool InMemoryKeyValueStore::contains(const QString &key) const
{
    return m_values.contains(key);
}

QVariant InMemoryKeyValueStore::value(const QString &key) const
{
    return m_values.value(key);
}

void InMemoryKeyValueStore::setValue(const QString &key, const QVariant &value)
{
    m_values.insert(key, value);
    ++m_writeCounts[key];
}

void InMemoryKeyValueStore::remove(const QString &key)
{
    m_values.remove(key);
}

int InMemoryKeyValueStore::writeCount(const QString &key) const
{
    return m_writeCounts.value(key);
}
