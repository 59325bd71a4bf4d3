#include "import/pptxnotexmlparser.h"

#include "import/safexmlreader.h"

using namespace Qt::StringLiterals;

PPTXNoteXMLParser::PPTXNoteXMLParser(const QByteArray &data)
    : m_data(data)
{}

QString PPTXNoteXMLParser::text(const QByteArray &data)
{
    PPTXNoteXMLParser parser(data);
    parser.parse();
    return parser.paragraphs().join(u'\n');
}

void PPTXNoteXMLParser::parse()
{
    SafeXmlReader xml(m_data);
    QXmlStreamReader &reader = xml.reader();
    while (xml.next()) {
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartElement: {
            QString type;
            if (SafeXmlReader::matches(reader.name(), u"ph"))
                type = reader.attributes().value(u"type"_s).toString();
            startElement(reader.name(), type);
            break;
        }
        case QXmlStreamReader::EndElement:
            endElement(reader.name());
            break;
        case QXmlStreamReader::Characters:
            // CDATA sections are not text of an XML part.
            if (m_insideTextRun && !reader.isCDATA())
                m_currentText += reader.text();
            break;
        default:
            break;
        }
    }
}

void PPTXNoteXMLParser::startElement(QStringView name, const QString &placeholderType)
{
    if (SafeXmlReader::matches(name, u"sp")) {
        m_skipPlaceholder = false;
        m_currentPlaceholderType.reset();
    }
    if (SafeXmlReader::matches(name, u"ph")) {
        m_currentPlaceholderType = placeholderType;
        static const QStringList skipped{u"sldNum"_s, u"sldImg"_s, u"dt"_s, u"hdr"_s, u"ftr"_s};
        if (skipped.contains(placeholderType))
            m_skipPlaceholder = true;
    }
    if (SafeXmlReader::matches(name, u"txBody"))
        m_insideBody = true;
    if (SafeXmlReader::matches(name, u"p") && m_insideBody && !m_skipPlaceholder) {
        m_insideParagraph = true;
        m_currentParagraph.clear();
    }
    if (SafeXmlReader::matches(name, u"t") && m_insideParagraph) {
        m_insideTextRun = true;
        m_currentText.clear();
    }
    if (SafeXmlReader::matches(name, u"br") && m_insideParagraph)
        m_currentParagraph += u'\n';
}

void PPTXNoteXMLParser::endElement(QStringView name)
{
    if (SafeXmlReader::matches(name, u"t") && m_insideTextRun) {
        m_insideTextRun = false;
        m_currentParagraph += m_currentText;
    }
    if (SafeXmlReader::matches(name, u"p") && m_insideParagraph) {
        m_insideParagraph = false;
        m_paragraphs.append(m_currentParagraph);
    }
    if (SafeXmlReader::matches(name, u"txBody"))
        m_insideBody = false;
    if (SafeXmlReader::matches(name, u"sp")) {
        m_skipPlaceholder = false;
        m_currentPlaceholderType.reset();
    }
}
