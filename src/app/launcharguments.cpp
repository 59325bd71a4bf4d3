#include "launcharguments.h"

#include <QDir>
#include <QRegularExpression>
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

// "scheme:…", as the desktop passes links and files ("file:///…", "brivel://read?…").
bool hasUrlScheme(const QString &argument)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(argument).hasMatch();
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
        if (hasUrlScheme(argument))
            result << argument;
        else
            result << QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(argument));
    }
    return result;
}

QString localFilePath(const QString &argument)
{
    if (!hasUrlScheme(argument))
        return argument;
    const QUrl url(argument);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

bool isLink(const QString &argument)
{
    return hasUrlScheme(argument) && !QUrl(argument).isLocalFile();
}

} // namespace LaunchArguments
