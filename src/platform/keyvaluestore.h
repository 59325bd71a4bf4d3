#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// The user's preference store: string keys, loosely typed values. Backends may hand values
// back as strings (an INI file read in a fresh process does), so readers go through the
// typed accessors, which convert explicitly and treat unusable values as absent.
class KeyValueStore
{
public:
    virtual ~KeyValueStore();

    virtual bool contains(const QString &key) const = 0;
    // An invalid QVariant when the key is absent.
    virtual QVariant value(const QString &key) const = 0;
    virtual void setValue(const QString &key, const QVariant &value) = 0;
    virtual void remove(const QString &key) = 0;

    // A Boolean, or nothing when the key is absent or holds something else.
    std::optional<bool> boolValue(const QString &key) const;
    // A finite number, or nothing when absent, non-numeric or not finite.
    std::optional<double> doubleValue(const QString &key) const;
    // Like doubleValue(), 0 standing for every unusable value.
    double doubleOrZero(const QString &key) const;
    // An unsigned 32-bit integer; absent, non-integral or out-of-range values read as 0.
    quint32 uint32Value(const QString &key) const;
    std::optional<QString> stringValue(const QString &key) const;

    // The process-wide store in the user's configuration folder.
    static KeyValueStore &standard();
};
