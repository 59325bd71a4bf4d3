#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Collects the paragraphs of the text bodies of one notes page or slide, leaving out the
// placeholders that only repeat slide furniture (number, image, date, header, footer). A part
// that ends in an error keeps the paragraphs finished before it.
class PPTXNoteXMLParser
{
public:
    explicit PPTXNoteXMLParser(const QByteArray &data);

    void parse();
    QStringList paragraphs() const { return m_paragraphs; }

    // An XML part's paragraphs joined with line breaks.
    static QString text(const QByteArray &data);

private:
    void startElement(QStringView name, const QString &placeholderType);
    void endElement(QStringView name);

    const QByteArray m_data;
    QStringList m_paragraphs;
    QString m_currentParagraph;
    QString m_currentText;
    bool m_insideBody = false;
    bool m_insideTextRun = false;
    bool m_insideParagraph = false;
    bool m_skipPlaceholder = false;
    std::optional<QString> m_currentPlaceholderType;
};
