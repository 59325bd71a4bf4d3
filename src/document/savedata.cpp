#include "savedata.h"

#include "brivelservice.h"

#include "settings/tokenizer.h"

#include <QCborValue>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QByteArray compactArray(const QStringList &strings)
{
    return QJsonDocument(QJsonArray::fromStringList(strings)).toJson(QJsonDocument::Compact);
}

// Every element must be a string: a list with anything else is not a page list.
std::optional<QStringList> stringList(const QJsonValue &value, QLatin1StringView key,
                                      QString *error)
{
    if (!value.isArray()) {
        *error = value.isUndefined() ? u"the key \"%1\" is missing"_s.arg(key)
                                     : u"\"%1\" is not an array"_s.arg(key);
        return std::nullopt;
    }
    const QJsonArray array = value.toArray();
    QStringList strings;
    strings.reserve(array.size());
    for (const QJsonValue element : array) {
        if (!element.isString()) {
            *error = u"\"%1\" holds an element that is not a string"_s.arg(key);
            return std::nullopt;
        }
        strings.append(element.toString());
    }
    return strings;
}

// A number that is not a whole one within 64 bits is a type error, as is any other kind of
// value; null counts as absent. The parser keeps integers exact, so none goes through a double.
bool readVersion(const QJsonObject &object, std::optional<qint64> &version, QString *error)
{
    const QJsonValue value = object.value("version"_L1);
    if (value.isUndefined() || value.isNull())
        return true;
    const QCborValue number = QCborValue::fromJsonValue(value);
    if (!number.isInteger()) {
        *error = u"\"version\" is not an integer"_s;
        return false;
    }
    version = number.toInteger();
    return true;
}

std::optional<SaveData> decodeRecord(const QJsonDocument &document, QString *error)
{
    if (!document.isObject()) {
        *error = u"the document is not an object"_s;
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    SaveData data;
    if (!readVersion(object, data.version, error))
        return std::nullopt;
    std::optional<QStringList> pages = stringList(object.value("pages"_L1), "pages"_L1, error);
    if (!pages)
        return std::nullopt;
    std::optional<QStringList> titles = stringList(object.value("titles"_L1), "titles"_L1, error);
    if (!titles)
        return std::nullopt;
    data.pages = std::move(*pages);
    data.titles = std::move(*titles);
    return data;
}

std::optional<SaveData> decodeBareList(const QJsonDocument &document, QString *error)
{
    if (!document.isArray()) {
        *error = u"the document is neither a record nor a list of pages"_s;
        return std::nullopt;
    }
    std::optional<QStringList> pages = stringList(QJsonValue(document.array()), "pages"_L1, error);
    if (!pages)
        return std::nullopt;
    SaveData data;
    data.titles = QStringList(pages->size(), QString());
    data.pages = std::move(*pages);
    return data;
}

bool isControlBreak(char16_t c)
{
    // CR, LF and the other controls below U+0300, soft hyphen included.
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD;
}

// Long pages are mostly Latin text, where general segmentation would cost as much as parsing
// the whole file. Below U+0370 every character starts a character of its own except LF after
// CR and a combining diacritic (U+0300 to U+036F) that follows anything but a control. Any other
// character leaves the count to characterCount(); both give the same number.
std::optional<qsizetype> latinCharacterCount(QStringView text)
{
    qsizetype count = 0;
    char16_t previous = u'\n';
    for (const QChar character : text) {
        const char16_t c = character.unicode();
        if (c >= 0x370)
            return std::nullopt;
        if (c >= 0x300 ? isControlBreak(previous) : !(c == u'\n' && previous == u'\r'))
            ++count;
        previous = c;
    }
    return count;
}

qsizetype pageCharacterCount(QStringView page)
{
    const std::optional<qsizetype> latin = latinCharacterCount(page);
    return latin ? *latin : characterCount(page);
}

// The brackets, the commas and each string as compactArray() writes them.
qint64 encodedArraySize(const QStringList &strings)
{
    qint64 size = 2 + std::max<qint64>(strings.size() - 1, 0);
    for (const QString &string : strings)
        size += compactArray({string}).size() - 2;
    return size;
}

using LimitExcess = SaveData::LimitExcess;

std::optional<LimitExcess> firstContentExcess(const QStringList &pages)
{
    if (pages.size() > BrivelService::maximumPages)
        return LimitExcess{LimitExcess::Limit::pages, pages.size(), BrivelService::maximumPages};
    for (qsizetype i = 0; i < pages.size(); ++i) {
        // A page never holds more characters than UTF-16 units, so only long pages are counted.
        if (pages.at(i).size() <= BrivelService::maximumPageCharacters)
            continue;
        const qint64 count = pageCharacterCount(pages.at(i));
        if (count > BrivelService::maximumPageCharacters)
            return LimitExcess{LimitExcess::Limit::pageCharacters, count,
                               BrivelService::maximumPageCharacters, i + 1};
    }
    return std::nullopt;
}

} // namespace

QByteArray SaveData::encode(const QStringList &pages, const QStringList &titles)
{
    QStringList normalized = titles;
    BrivelService::normalizedTitles(normalized, int(pages.size()));
    // QJsonObject would sort the keys; the record's order is part of the format.
    return "{\"version\":" + QByteArray::number(currentVersion)
           + ",\"pages\":" + compactArray(pages) + ",\"titles\":" + compactArray(normalized) + '}';
}

std::optional<SaveData> SaveData::decode(const QByteArray &json, QString *error)
{
    QString ignored;
    QString &reason = error ? *error : ignored;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        reason = u"%1 at offset %2"_s.arg(parseError.errorString()).arg(parseError.offset);
        return std::nullopt;
    }
    if (std::optional<SaveData> record = decodeRecord(document, &reason))
        return record;
    return decodeBareList(document, &reason);
}

qint64 SaveData::encodedSize(const QStringList &pages, const QStringList &titles)
{
    QStringList normalized = titles;
    BrivelService::normalizedTitles(normalized, int(pages.size()));
    // The record around two empty lists, whose brackets the lists' own sizes count again.
    return encode({}, {}).size() - 4 + encodedArraySize(pages) + encodedArraySize(normalized);
}

bool SaveData::isWithinDocumentLimits() const
{
    return !firstContentExcess(pages);
}

std::optional<SaveData::LimitExcess> SaveData::limitExcess(const QStringList &pages,
                                                           const QStringList &titles)
{
    if (std::optional<LimitExcess> excess = contentLimitExcess(pages))
        return excess;
    return fileSizeExcess(encodedSize(pages, titles));
}

std::optional<SaveData::LimitExcess> SaveData::contentLimitExcess(const QStringList &pages)
{
    return firstContentExcess(pages);
}

std::optional<SaveData::LimitExcess> SaveData::fileSizeExcess(qint64 bytes)
{
    if (bytes <= BrivelService::maximumFileBytes)
        return std::nullopt;
    return LimitExcess{LimitExcess::Limit::fileBytes, bytes, BrivelService::maximumFileBytes};
}
