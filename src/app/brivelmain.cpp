#include "brivelmain.h"

#include "app/brivelapplication.h"
#include "app/launcharguments.h"
#include "app/singleinstance.h"

#include <QApplication>
#include <QDir>

int brivelMain(int argc, char *argv[], const std::function<void()> &onApplicationCreated)
{
    QStringList commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine << QString::fromLocal8Bit(argv[i]);
    const QStringList arguments
        = LaunchArguments::fromCommandLine(commandLine, QDir::currentPath());

    // A later launch hands its documents (or, without any, the wish to see the window) to the
    // running Brivel and ends, before it costs a display connection.
    const QString socketPath = SingleInstance::defaultSocketPath();
    if (SingleInstance::sendToRunningInstance(socketPath, arguments))
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brivel"));
    QApplication::setDesktopFileName(QStringLiteral("brivel"));
    if (onApplicationCreated)
        onApplicationCreated();

    SingleInstance instance;
    // Another launch may have become the running one since; then it gets the arguments.
    if (!instance.listen(socketPath)
        && SingleInstance::sendToRunningInstance(socketPath, arguments))
        return 0;

    BrivelApplication brivel;
    QObject::connect(&instance, &SingleInstance::argumentsReceived, &brivel,
                     &BrivelApplication::handleLaunchArguments);
    brivel.start(arguments);
    return QApplication::exec();
}
