// A launch's command line: NUL-separated arguments, as the kernel hands them over.
#include "app/launcharguments.h"
#include "fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList arguments;
    for (const QByteArray &argument : fuzzBytes(data, size).split('\0'))
        arguments.append(QFile::decodeName(argument));
    const QStringList kept = LaunchArguments::fromCommandLine(arguments, QStringLiteral("/home/x"));
    if (kept.size() > arguments.size())
        abort();
    for (const QString &argument : kept) {
        if (!LaunchArguments::isLink(argument))
            LaunchArguments::localFilePath(argument);
    }
    return 0;
}
