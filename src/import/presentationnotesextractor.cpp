#include "import/presentationnotesextractor.h"

#include "import/pptxarchive.h"
#include "import/pptxnotexmlparser.h"
#include "import/safexmlreader.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

namespace PresentationNotesExtractor {

ExtractionError::ExtractionError(Kind kind, const QString &message)
    : m_kind(kind)
    , m_message(message)
{}

ExtractionError ExtractionError::extractionFailed(const QString &message)
{
    return ExtractionError(Kind::extractionFailed, message);
}

ExtractionError ExtractionError::unsupportedFormat()
{
    return ExtractionError(Kind::unsupportedFormat, QString());
}

ExtractionError ExtractionError::noNotesFound()
{
    return ExtractionError(Kind::noNotesFound, QString());
}

QString ExtractionError::errorDescription() const
{
    switch (m_kind) {
    case Kind::extractionFailed:
        return u"Failed to extract notes: "_s + m_message;
    case Kind::unsupportedFormat:
        return u"Unsupported file format. Please drop a .pptx or .key file."_s;
    case Kind::noNotesFound:
        break;
    }
    return u"No presenter notes found in this presentation."_s;
}

namespace {

const QString notesFolder = u"ppt/notesSlides/"_s;
const QString slidesFolder = u"ppt/slides/"_s;

QStringView fileNameOf(QStringView path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// A part directly inside `folder` whose name begins with `prefix` and has the extension "xml".
bool isPartIn(QStringView path, QStringView folder, QStringView prefix)
{
    if (!path.startsWith(folder))
        return false;
    const QStringView name = path.mid(folder.size());
    if (name.contains(u'/') || !name.startsWith(prefix))
        return false;
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && name.mid(dot + 1) == u"xml";
}

bool isNotesPart(QStringView path)
{
    return isPartIn(path, notesFolder, u"notesSlide");
}

bool isSlidePart(QStringView path)
{
    return isPartIn(path, slidesFolder, u"slide") && !fileNameOf(path).startsWith(u"slideLayout");
}

// A relationship target resolved against the folder of its source part; nothing when it leaves
// the package.
std::optional<QString> resolveTarget(QStringView sourceFolder, QStringView target)
{
    QStringList segments;
    if (!target.startsWith(u'/')) {
        for (QStringView segment : sourceFolder.split(u'/', Qt::SkipEmptyParts))
            segments.append(segment.toString());
    }
    for (QStringView segment : target.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == u".")
            continue;
        if (segment == u"..") {
            if (segments.isEmpty())
                return std::nullopt;
            segments.removeLast();
        } else {
            segments.append(segment.toString());
        }
    }
    return segments.join(u'/');
}

struct Relationship
{
    QString type;
    QString target;
};

// The package-internal relationships of a part, by id, with resolved targets.
QHash<QString, Relationship> relationships(const QByteArray &data, QStringView sourceFolder)
{
    QHash<QString, Relationship> found;
    SafeXmlReader xml(data);
    QXmlStreamReader &reader = xml.reader();
    while (xml.next()) {
        if (reader.tokenType() != QXmlStreamReader::StartElement
            || !SafeXmlReader::matches(reader.name(), u"Relationship"))
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (attributes.value(u"TargetMode"_s) == u"External")
            continue;
        const std::optional<QString> target
            = resolveTarget(sourceFolder, attributes.value(u"Target"_s));
        if (target && !found.contains(attributes.value(u"Id"_s).toString()))
            found.insert(attributes.value(u"Id"_s).toString(),
                         {attributes.value(u"Type"_s).toString(), *target});
    }
    return found;
}

// The relationship ids of the presentation's slide list, in order.
QStringList slideListIds(const QByteArray &data)
{
    QStringList ids;
    SafeXmlReader xml(data);
    QXmlStreamReader &reader = xml.reader();
    bool insideList = false;
    while (xml.next()) {
        if (reader.tokenType() == QXmlStreamReader::StartElement) {
            if (SafeXmlReader::matches(reader.name(), u"sldIdLst")) {
                insideList = true;
            } else if (insideList && SafeXmlReader::matches(reader.name(), u"sldId")) {
                // The relationship id is the prefixed "id"; the bare "id" is the slide's own.
                for (const QXmlStreamAttribute &attribute : reader.attributes()) {
                    if (!attribute.prefix().isEmpty() && attribute.name() == u"id")
                        ids.append(attribute.value().toString());
                }
            }
        } else if (reader.tokenType() == QXmlStreamReader::EndElement
                   && SafeXmlReader::matches(reader.name(), u"sldIdLst")) {
            insideList = false;
        }
    }
    return ids;
}

struct SlideOrder
{
    QStringList slides;
    QStringList notes;
};

// The slides of the presentation's slide list and the notes pages they reach, each once.
SlideOrder listedOrder(PptxArchive &archive)
{
    SlideOrder order;
    const QString presentation = u"ppt/presentation.xml"_s;
    const QString presentationRels = u"ppt/_rels/presentation.xml.rels"_s;
    if (!archive.contains(presentation) || !archive.contains(presentationRels))
        return order;
    const QStringList ids = slideListIds(archive.read(presentation));
    if (ids.isEmpty())
        return order;
    const QHash<QString, Relationship> targets
        = relationships(archive.read(presentationRels), u"ppt");
    for (const QString &id : ids) {
        const auto found = targets.constFind(id);
        if (found != targets.constEnd() && isSlidePart(found->target)
            && archive.contains(found->target) && !order.slides.contains(found->target))
            order.slides.append(found->target);
    }
    QSet<QString> reached;
    for (const QString &slide : std::as_const(order.slides)) {
        const QString rels = slidesFolder + u"_rels/"_s + fileNameOf(slide) + u".rels"_s;
        if (!archive.contains(rels))
            continue;
        const QHash<QString, Relationship> slideTargets
            = relationships(archive.read(rels), u"ppt/slides");
        for (const Relationship &relationship : slideTargets) {
            if (relationship.type.endsWith(u"/notesSlide") && isNotesPart(relationship.target)
                && archive.contains(relationship.target)
                && !reached.contains(relationship.target)) {
                reached.insert(relationship.target);
                order.notes.append(relationship.target);
                break;
            }
        }
    }
    return order;
}

// Package parts admitted by `admits`, ordered by the number in their names.
QStringList numberedParts(const PptxArchive &archive,
                          const std::function<bool(QStringView)> &admits)
{
    QStringList parts;
    QSet<QString> seen;
    for (const QString &name : archive.names()) {
        if (admits(name) && !seen.contains(name)) {
            seen.insert(name);
            parts.append(name);
        }
    }
    std::stable_sort(parts.begin(), parts.end(), [](const QString &a, const QString &b) {
        return slideNumber(fileNameOf(a)).value_or(0) < slideNumber(fileNameOf(b)).value_or(0);
    });
    return parts;
}

// A whole text that is a signed 64-bit decimal integer, such as a bare slide number.
bool isInteger(QStringView text)
{
    const QStringView digits = text.startsWith(u'+') || text.startsWith(u'-') ? text.mid(1) : text;
    if (digits.isEmpty())
        return false;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
    }
    bool ok = false;
    (void)text.toLongLong(&ok);
    return ok;
}

QString trimmedText(PptxArchive &archive, const QString &part)
{
    return PPTXNoteXMLParser::text(archive.read(part)).trimmed();
}

QStringList extract(PptxArchive &archive)
{
    const SlideOrder listed = listedOrder(archive);
    const bool useList = !listed.slides.isEmpty();

    QStringList texts;
    for (const QString &part : useList ? listed.notes : numberedParts(archive, isNotesPart)) {
        const QString text = trimmedText(archive, part);
        if (!text.isEmpty() && !isInteger(text))
            texts.append(text);
    }
    if (!texts.isEmpty())
        return texts;

    for (const QString &part : useList ? listed.slides : numberedParts(archive, isSlidePart)) {
        const QString text = trimmedText(archive, part);
        if (!text.isEmpty())
            texts.append(text);
    }
    if (texts.isEmpty())
        throw ExtractionError::noNotesFound();
    return texts;
}

} // namespace

std::optional<qint64> slideNumber(QStringView fileName)
{
    QString digits;
    for (char32_t c : fileName.toUcs4()) {
        if (!QChar::isNumber(c))
            continue;
        if (c < U'0' || c > U'9')
            return std::nullopt;
        digits += QChar(c);
    }
    bool ok = false;
    const qint64 number = digits.toLongLong(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

QStringList extractNotes(const QString &path)
{
    try {
        PptxArchive archive;
        archive.open(path);
        return extract(archive);
    } catch (const PptxArchive::Failure &) {
        throw ExtractionError::extractionFailed(u"Could not unzip PPTX file."_s);
    }
}

} // namespace PresentationNotesExtractor
