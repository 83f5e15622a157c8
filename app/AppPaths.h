#pragma once

#include <QString>

// Where the program keeps its files, after the XDG conventions of the desktop.
namespace AppPaths {

// $XDG_CONFIG_HOME/tomaruk/tomaruk.ini: the named settings.
QString SettingsFile();
// $XDG_CONFIG_HOME/RurEzer/RurEzer.ini: the switch of the hidden simulation command.
QString SimulationSwitchFile();
// $XDG_CONFIG_HOME/tomaruk/aliases.ini: the engine configuration with the alias folders.
QString AliasFile();
// $XDG_DATA_HOME/tomaruk: the working folder, home of DekigataDef.
QString WorkingFolder();
// $XDG_DATA_HOME/tomaruk/data: the data folder when the alias names none.
QString DefaultDataFolder();

// Creates the working folder and makes it the current directory; false when impossible.
bool EnterWorkingFolder();

// Folder of the HTML help pages: installed, or beside the sources in a build tree.
QString HelpFolder();

} // namespace AppPaths
