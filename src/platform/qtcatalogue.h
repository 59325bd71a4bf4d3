#pragma once

#include <QString>
#include <QTranslator>

#include <memory>

// Qt's own texts (the file and colour dialogs, the standard buttons) in the interface language:
// the catalogue installed with Qt for that language (Debian's qt6-translations-l10n) is put into
// the application, and open dialogs retranslate themselves. A language without a catalogue
// leaves Qt's English.
class QtCatalogue
{
public:
    QtCatalogue() = default;
    ~QtCatalogue();
    QtCatalogue(const QtCatalogue &) = delete;
    QtCatalogue &operator=(const QtCatalogue &) = delete;

    // Puts the language's catalogue in place of the one before; false when Qt has none for it.
    bool setLanguage(const QString &languageCode);

private:
    std::unique_ptr<QTranslator> m_translator;
};
