#include "launcharguments.h"

#include <QDir>
#include <QUrl>

namespace LaunchArguments {

namespace {

// The toolkit's options that take a value as the next argument.
bool takesValue(const QString &option)
{
    static const QStringList options{
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("style"),
        QStringLiteral("stylesheet"),      QStringLiteral("display"),
        QStringLiteral("geometry"),        QStringLiteral("title"),
        QStringLiteral("session"),         QStringLiteral("name"),
    };
    QString name = option;
    while (name.startsWith(u'-'))
        name.remove(0, 1);
    return !name.contains(u'=') && options.contains(name);
}

// "file:…" in any case, as the desktop passes files.
bool isFileUrl(const QString &argument)
{
    return argument.startsWith(u"file:", Qt::CaseInsensitive);
}

} // namespace

QStringList fromCommandLine(const QStringList &arguments, const QString &workingDirectory)
{
    QStringList result;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!optionsEnded && argument == u"--"_qs) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument == readSelectionOption) {
            result << argument;
            continue;
        }
        if (!optionsEnded && argument.startsWith(u'-')) {
            if (takesValue(argument))
                ++i;
            continue;
        }
        if (argument.isEmpty())
            continue;
        if (isLink(argument) || isFileUrl(argument))
            result << argument;
        else
            result << QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(argument));
    }
    return result;
}

QString localFilePath(const QString &argument)
{
    if (isLink(argument))
        return QString();
    if (!isFileUrl(argument))
        return argument;
    const QUrl url(argument);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

bool isLink(const QString &argument)
{
    // Only Brivel's own scheme, as written: "notas:v2.brivel" is a file, and so is what
    // another program's link would be.
    return argument.startsWith(u"brivel:");
}

} // namespace LaunchArguments
