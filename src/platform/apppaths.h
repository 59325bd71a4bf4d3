#pragma once

#include <QString>

// Where Brivel keeps its files, following the XDG base directories.
namespace AppPaths {

// $XDG_CONFIG_HOME/Brivel/Brivel.conf
QString settingsFile();
// $XDG_DATA_HOME/Brivel, the home of the autosave.
QString dataDirectory();

} // namespace AppPaths
