#pragma once

#include <QMetaProperty>
#include <QSignalSpy>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace TestSupport {

// The names of the properties that announced a change while the action ran, once per signal.
inline QStringList notifiedDuring(QObject &object, const std::function<void()> &action)
{
    const QMetaObject *meta = object.metaObject();
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        spies.push_back(std::make_unique<QSignalSpy>(&object, meta->property(i).notifySignal()));
    action();
    QStringList names;
    for (int i = 0; i < int(spies.size()); ++i) {
        for (qsizetype n = 0; n < spies[i]->count(); ++n)
            names << QString::fromLatin1(meta->property(meta->propertyOffset() + i).name());
    }
    return names;
}

} // namespace TestSupport
