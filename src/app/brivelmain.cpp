#include "brivelmain.h"

#include "app/brivelapplication.h"
#include "app/fontwarmup.h"
#include "app/launcharguments.h"
#include "app/qtdialogs.h"
#include "app/singleinstance.h"
#include "platform/apppaths.h"
#include "platform/datafolderlock.h"
#include "platform/mediabackend.h"
#include "platform/userfiles.h"
#include "settings/localization.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <optional>

namespace {

// Another session holds the data folder and its socket is out of reach: both would save over
// each other's pages, so this one ends before it loads or writes any of them.
int refuseDataFolderInUse(const QString &folder)
{
    std::fprintf(stderr, "%s\n", qPrintable(DataFolderLock::takenMessage(folder)));
    BrivelApplication::applyDarkAppearance();
    QApplication::setWindowIcon(BrivelApplication::applicationIcon());
    QtDialogs().alert(localizedString("Brivel ya está abierto en otra sesión"),
                      localizedString("Otra sesión de Brivel usa la misma carpeta de datos (%@). "
                                      "Cerrala antes de abrir Brivel acá; si no, cada una "
                                      "guardaría encima de lo que escribe la otra.",
                                      QDir::toNativeSeparators(folder)));
    return 1;
}

} // namespace

int brivelMain(int argc, char *argv[], const std::function<void()> &onApplicationCreated)
{
    UserFiles::ignoreFileSizeLimitSignal();
    UserFiles::keepNewFilesFromOthers();

    QStringList commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine << QString::fromLocal8Bit(argv[i]);
    const QStringList arguments
        = LaunchArguments::fromCommandLine(commandLine, QDir::currentPath());

    // A later launch hands its documents (or, without any, the wish to see the window) to the
    // running Brivel and ends, before it costs a display connection.
    const QString socketPath = SingleInstance::defaultSocketPath();
    using Delivery = SingleInstance::Delivery;
    // A launch the running instance did not take says so and fails, rather than look like one
    // that worked.
    const auto handOver = [&]() -> std::optional<int> {
        const Delivery delivery = SingleInstance::handOver(socketPath, arguments);
        if (delivery == Delivery::noInstance)
            return std::nullopt;
        if (delivery == Delivery::delivered)
            return 0;
        std::fprintf(stderr, "%s\n", qPrintable(SingleInstance::failureMessage(delivery)));
        return 1;
    };
    if (const std::optional<int> exitCode = handOver())
        return *exitCode;

    // This launch builds the windows: their first text needs the font configuration.
    FontWarmUp::start();
    // Whatever ends the start-up early, the reading is over before the process ends.
    const struct FontWarmUpFinish
    {
        ~FontWarmUpFinish() { FontWarmUp::finish(); }
    } fontWarmUpFinish;
    chooseMediaBackend();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brivel"));
    QApplication::setApplicationVersion(QStringLiteral(BRIVEL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("brivel"));
    if (onApplicationCreated)
        onApplicationCreated();

    SingleInstance instance;
    // Another launch may have become the running one since; then it gets the arguments.
    // Without any running instance the socket cannot be made, and Brivel runs without it.
    if (!instance.listen(socketPath)) {
        if (const std::optional<int> exitCode = handOver())
            return *exitCode;
    }

    const QString dataFolder = AppPaths::dataDirectory();
    DataFolderLock dataFolderLock;
    if (!dataFolderLock.claim(dataFolder)) {
        instance.close();
        return refuseDataFolderInUse(dataFolder);
    }

    BrivelApplication brivel;
    // A launch the waiting ones leave no room for is told so, rather than dropped unseen.
    instance.setAdmission(
        [&brivel](const QStringList &launch) { return brivel.canTakeLaunch(launch); });
    QObject::connect(&instance, &SingleInstance::argumentsReceived, &brivel,
                     &BrivelApplication::handleLaunchArguments);
    brivel.start(arguments);
    return QApplication::exec();
}
