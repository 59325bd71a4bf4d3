#pragma once

#include <QString>
#include <QStringList>

// What a launch asks of Brivel, read from its command line: documents, links and the request
// to read the selected text, in order.
namespace LaunchArguments {

// Reads the text selected in any application (the desktop entry's action).
inline constexpr char16_t readSelectionOption[] = u"--read-selection";

// The documents, links and readSelectionOption among the command-line arguments (the program
// name excluded): other options and the values of the toolkit's own options are left out, and
// relative paths are made absolute against the launch's working folder, so they still mean the
// same file when another process receives them.
QStringList fromCommandLine(const QStringList &arguments, const QString &workingDirectory);

// The local file an argument names (a path or a "file:" URL), or an empty string for a link or
// a "file:" URL of another host.
QString localFilePath(const QString &argument);

// A link of Brivel's own scheme, such as "brivel://read?text=…"; the scheme is compared as
// written. Any other argument names a file.
bool isLink(const QString &argument);

} // namespace LaunchArguments
