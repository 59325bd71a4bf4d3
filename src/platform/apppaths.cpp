#include "apppaths.h"

#include <QStandardPaths>

namespace AppPaths {

// Generic locations keep the paths independent of the organisation and application names,
// which would otherwise add an "Unknown Organization" folder or double the "Brivel" folder.
QString settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Brivel/Brivel.conf");
}

QString dataDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Brivel");
}

} // namespace AppPaths
