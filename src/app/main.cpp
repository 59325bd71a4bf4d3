#include "platform/apppaths.h"
#include "settings/notchsettings.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Brivel"));

    const NotchSettings &settings = NotchSettings::shared();
    QTextStream out(stdout);
    out << "Brivel settings: " << AppPaths::settingsFile() << '\n'
        << "Interface language: " << settings.appLanguage() << '\n'
        << "Overlay mode: " << rawValue(settings.overlayMode()) << '\n';
    return 0;
}
