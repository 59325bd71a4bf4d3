#include "import/safexmlreader.h"

SafeXmlReader::SafeXmlReader(const QByteArray &data)
    : m_reader(data)
{
    m_reader.setNamespaceProcessing(false);
}

bool SafeXmlReader::next()
{
    if (m_stopped)
        return false;
    const QXmlStreamReader::TokenType token = m_reader.readNext();
    switch (token) {
    case QXmlStreamReader::Invalid:
    case QXmlStreamReader::EndDocument:
    case QXmlStreamReader::DTD:
        m_stopped = true;
        return false;
    case QXmlStreamReader::StartElement:
        if (++m_depth > maximumDepth) {
            m_stopped = true;
            return false;
        }
        break;
    case QXmlStreamReader::EndElement:
        --m_depth;
        break;
    default:
        break;
    }
    return true;
}

bool SafeXmlReader::matches(QStringView name, QStringView local)
{
    if (name == local)
        return true;
    return name.size() > local.size() && name.endsWith(local)
           && name.at(name.size() - local.size() - 1) == u':';
}
