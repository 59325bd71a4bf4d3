#pragma once

#include <QString>
#include <QStringList>

// What a launch asks of Brivel, read from its command line: documents and links, in order.
namespace LaunchArguments {

// The documents and links among the command-line arguments (the program name excluded):
// options and the values of the toolkit's own options are left out, and relative paths are
// made absolute against the launch's working folder, so they still mean the same file when
// another process receives them.
QStringList fromCommandLine(const QStringList &arguments, const QString &workingDirectory);

// The local file an argument names (a path or a "file:" URL), or an empty string for a link of
// another kind.
QString localFilePath(const QString &argument);

} // namespace LaunchArguments
