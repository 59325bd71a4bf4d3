#pragma once

#include <QString>
#include <QStringList>

#include <exception>
#include <optional>

// Turns a .pptx file into page texts, one per slide with usable text, in slide order: the
// presenter notes or, when no slide has usable notes, the slides' own text.
namespace PresentationNotesExtractor {

// The import's one error type; its descriptions stay English.
class ExtractionError : public std::exception
{
public:
    enum class Kind { extractionFailed, unsupportedFormat, noNotesFound };

    static ExtractionError extractionFailed(const QString &message);
    static ExtractionError unsupportedFormat();
    static ExtractionError noNotesFound();

    Kind kind() const { return m_kind; }
    QString message() const { return m_message; }
    QString errorDescription() const;
    const char *what() const noexcept override { return "presentation notes extraction failed"; }

private:
    ExtractionError(Kind kind, const QString &message);

    Kind m_kind;
    QString m_message;
};

// Blocking; may run on any thread. Does not look at the file's extension. Each text is trimmed
// and never empty. Throws ExtractionError.
QStringList extractNotes(const QString &path);

// The number made of every numeric character of a file name; nothing when there is none or
// they do not read as an ASCII integer. Parts are ordered by it when the presentation lists
// no slide.
std::optional<qint64> slideNumber(QStringView fileName);

} // namespace PresentationNotesExtractor
