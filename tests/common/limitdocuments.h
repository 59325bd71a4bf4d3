#pragma once

#include "document/brivelservice.h"
#include "document/savedata.h"

#include <QString>
#include <QStringList>

// Imported pages, with the titles the import gives them, at one limit of a document file or one
// past it.
namespace LimitDocuments {

enum class Limit { pages, pageCharacters, fileBytes };

struct Document
{
    QStringList pages;
    QStringList titles;
};

// `past` = 0 gives a document exactly at the limit; 1 gives one page, character or byte more.
inline Document atLimit(Limit limit, int past)
{
    Document document;
    switch (limit) {
    case Limit::pages:
        document.pages = QStringList(BrivelService::maximumPages + past, QStringLiteral("p"));
        break;
    case Limit::pageCharacters:
        // Two UTF-16 units per character: the limit counts characters.
        document.pages
            = {QStringLiteral("uno"),
               QStringLiteral("e\u0301").repeated(BrivelService::maximumPageCharacters + past)};
        break;
    case Limit::fileBytes: {
        // Escapes, several UTF-8 lengths and a lone surrogate: the size counts encoded bytes.
        const QString mixed = QStringLiteral("\"\\\n\t\u00F1\u20AC") + QChar(0xD800)
                              + QString::fromUcs4(U"\U0001F600");
        document.pages = QStringList(21, mixed + QString(475'000, u'x'));
        document.titles = BrivelService::importedPageTitles(1, document.pages.size());
        const qint64 size = SaveData::encode(document.pages, document.titles).size();
        document.pages.last() += QString(BrivelService::maximumFileBytes - size + past, u'x');
        return document;
    }
    }
    document.titles = BrivelService::importedPageTitles(1, document.pages.size());
    return document;
}

// What the alerts say of a document one past the limit, in Spanish.
inline QString excessOfOne(Limit limit)
{
    switch (limit) {
    case Limit::pages:
        return QStringLiteral("Páginas: 1001; el máximo es 1000, 1 de más.");
    case Limit::pageCharacters:
        return QStringLiteral("Página 2: 500.001 caracteres; el máximo es 500.000, 1 de más.");
    case Limit::fileBytes:
        break;
    }
    return QStringLiteral(
        "Tamaño del archivo: 10.000.001 bytes; el máximo es 10.000.000 (10 MB), 1 de más.");
}

inline const QString importRefusalLead = QStringLiteral(
    "Con estas notas, el documento superaría un límite de Brivel y no se podría guardar. No se "
    "importó nada.");

} // namespace LimitDocuments
