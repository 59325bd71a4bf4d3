#pragma once

#include <QList>
#include <QString>
#include <QTranslator>

#include <memory>

// A folder of application resources with its string table. The main bundle is the root of the
// application's resources; each interface language has a "<code>.lproj" folder inside it whose
// "Localizable.qm" maps the Spanish source texts to that language.
class Bundle
{
public:
    explicit Bundle(const QString &path);

    QString path() const;

    // The entry for the source text, or the source text itself when the table has none.
    QString localizedString(const QString &sourceText) const;

    // The folder "<name>.<type>" inside this bundle as a bundle of its own (one object per
    // folder, so bundles compare by identity), or null when there is no such folder.
    std::shared_ptr<const Bundle> resourceBundle(const QString &name, const QString &type) const;

    static std::shared_ptr<const Bundle> main();

    // The bundle of the language's "<code>.lproj" folder, or the main bundle when the folder is
    // missing or the code is not shaped like a language tag (it never names a path).
    static std::shared_ptr<const Bundle> localization(const QString &languageCode);

    // The bundles of every language folder in the main bundle.
    static QList<std::shared_ptr<const Bundle>> localizations();

    static bool isLanguageTag(const QString &code);

    // The translation context under which every source text is stored.
    static constexpr const char *translationContext = "Brivel";

private:
    QString m_path;
    QTranslator m_translator;
    bool m_hasTable = false;
};
