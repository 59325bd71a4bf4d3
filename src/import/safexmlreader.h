#pragma once

#include <QByteArray>
#include <QXmlStreamReader>

// A QXmlStreamReader over one package part that ends that part, like a parse error, at a DTD
// (so no entity is ever expanded) or at nesting deeper than `maximumDepth`, since the reader
// keeps every open element. Namespace processing is off: names arrive with their prefixes.
class SafeXmlReader
{
public:
    static constexpr int maximumDepth = 256;

    explicit SafeXmlReader(const QByteArray &data);

    // The next token, or false at the end of this part, at an error or at a refused construct.
    bool next();
    QXmlStreamReader &reader() { return m_reader; }

    // Whether `name` is the local name `local`, whatever its prefix: "p:sp" and "sp" match "sp",
    // "spPr" does not.
    static bool matches(QStringView name, QStringView local);

private:
    QXmlStreamReader m_reader;
    int m_depth = 0;
    bool m_stopped = false;
};
