#pragma once

#include <QString>
#include <QStringList>

// The document the crash helper autosaves, different in every generation and large enough that
// a write takes a few milliseconds.
namespace CrashDocument {

constexpr int pageCount = 200;

inline QString generationMark(qint64 generation)
{
    return QStringLiteral("generation %1:").arg(generation);
}

inline QStringList pages(qint64 generation)
{
    const QString filler(2000, QLatin1Char('w'));
    QStringList pages;
    for (int i = 0; i < pageCount; ++i)
        pages << generationMark(generation) + QString::number(i) + filler;
    return pages;
}

inline QStringList titles(qint64 generation)
{
    QStringList titles;
    for (int i = 0; i < pageCount; ++i)
        titles << generationMark(generation) + QString::number(i);
    return titles;
}

} // namespace CrashDocument
