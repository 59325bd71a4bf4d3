#include "qtcatalogue.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

using namespace Qt::StringLiterals;

QtCatalogue::~QtCatalogue()
{
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
}

bool QtCatalogue::setLanguage(const QString &languageCode)
{
    // "qt_<language>.qm" names the catalogues of each Qt module; loading it loads them too.
    auto translator = std::make_unique<QTranslator>();
    const bool found = translator->load(QLocale(languageCode), u"qt"_s, u"_"_s,
                                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (m_translator)
        QCoreApplication::removeTranslator(m_translator.get());
    m_translator.reset();
    if (!found)
        return false;
    QCoreApplication::installTranslator(translator.get());
    m_translator = std::move(translator);
    return true;
}
