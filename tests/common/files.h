#pragma once

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTest>

namespace TestSupport {

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A JSON file's top object (the autosave, a document); empty when absent or unreadable.
inline QJsonObject jsonObjectFile(const QString &path)
{
    return QJsonDocument::fromJson(readFile(path)).object();
}

// The strings a JSON file lists under `key` ("pages", "pageTitles").
inline QStringList jsonStringList(const QString &path, const QString &key)
{
    QStringList list;
    for (const QJsonValue &value : jsonObjectFile(path)[key].toArray())
        list.append(value.toString());
    return list;
}

} // namespace TestSupport
