#include "keyvaluestore.h"

#include "apppaths.h"
#include "linux/keyvaluestore_qsettings.h"

#include <QStringList>

#include <cmath>
#include <limits>

KeyValueStore::~KeyValueStore() = default;

std::optional<bool> KeyValueStore::boolValue(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString();
        if (s == u"true")
            return true;
        if (s == u"false")
            return false;
    }
    return std::nullopt;
}

std::optional<double> KeyValueStore::doubleValue(const QString &key) const
{
    const QVariant v = value(key);
    if (!v.isValid() || v.typeId() == QMetaType::Bool || v.typeId() == QMetaType::QStringList)
        return std::nullopt;
    bool ok = false;
    const double d
        = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

double KeyValueStore::doubleOrZero(const QString &key) const
{
    return doubleValue(key).value_or(0.0);
}

quint32 KeyValueStore::uint32Value(const QString &key) const
{
    const std::optional<double> d = doubleValue(key);
    if (!d || *d < 0.0 || *d > double(std::numeric_limits<quint32>::max()) || std::trunc(*d) != *d)
        return 0;
    return quint32(*d);
}

std::optional<QString> KeyValueStore::stringValue(const QString &key) const
{
    const QVariant v = value(key);
    // An INI value with an unquoted comma comes back as a list.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", "));
    if (!v.isValid() || !v.canConvert<QString>())
        return std::nullopt;
    return v.toString();
}

KeyValueStore &KeyValueStore::standard()
{
    static QSettingsKeyValueStore store(AppPaths::settingsFile());
    return store;
}
