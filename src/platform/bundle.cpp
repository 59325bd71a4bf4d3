#include "bundle.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace {

const QString mainBundlePath = QStringLiteral(":/brivel");
const QString stringTableName = QStringLiteral("Localizable.qm");

} // namespace

Bundle::Bundle(const QString &path)
    : m_path(path)
{
    const QString table = QDir(path).filePath(stringTableName);
    if (QFileInfo::exists(table))
        m_hasTable = m_translator.load(table);
}

QString Bundle::path() const
{
    return m_path;
}

QString Bundle::localizedString(const QString &sourceText) const
{
    if (!m_hasTable)
        return sourceText;
    const QString translated
        = m_translator.translate(translationContext, sourceText.toUtf8().constData());
    return translated.isEmpty() ? sourceText : translated;
}

std::shared_ptr<const Bundle> Bundle::resourceBundle(const QString &name, const QString &type) const
{
    const QString folder = QDir(m_path).filePath(name + u'.' + type);
    if (!QFileInfo(folder).isDir())
        return nullptr;
    // Bundles are made and compared on the main thread only.
    static QHash<QString, std::shared_ptr<const Bundle>> cache;
    std::shared_ptr<const Bundle> &bundle = cache[folder];
    if (!bundle)
        bundle = std::make_shared<const Bundle>(folder);
    return bundle;
}

std::shared_ptr<const Bundle> Bundle::main()
{
    static const auto bundle = std::make_shared<const Bundle>(mainBundlePath);
    return bundle;
}

std::shared_ptr<const Bundle> Bundle::localization(const QString &languageCode)
{
    if (!isLanguageTag(languageCode))
        return main();
    const auto bundle = main()->resourceBundle(languageCode, QStringLiteral("lproj"));
    return bundle ? bundle : main();
}

QList<std::shared_ptr<const Bundle>> Bundle::localizations()
{
    const QString type = QStringLiteral("lproj");
    QList<std::shared_ptr<const Bundle>> bundles;
    for (const QString &folder :
         QDir(mainBundlePath).entryList({QStringLiteral("*.") + type}, QDir::Dirs)) {
        if (auto bundle = main()->resourceBundle(folder.chopped(type.size() + 1), type))
            bundles.append(std::move(bundle));
    }
    return bundles;
}

bool Bundle::isLanguageTag(const QString &code)
{
    static const QRegularExpression tag(QStringLiteral("^[A-Za-z]{2,8}(?:[-_][A-Za-z0-9]{1,8})*$"));
    return tag.match(code).hasMatch();
}
