#pragma once

#include <QString>

// Named text settings of the program, top-level keys of a QSettings INI file. Read at the
// moment they are needed (the file is parsed again only when it changed); booleans are
// "TRUE" / "FALSE" and only "TRUE" counts as on.

// The value, or the empty text when it is absent or the store cannot be read.
QString ReadSetting(const QString &name);
// Stores Value under Name; raises EFileError naming the file when it cannot be written.
void WriteSetting(const QString &name, const QString &value);
// True when the setting's text is exactly "TRUE".
bool SettingIsOn(const QString &name);
// True only when the switch "Simcity" holds "9864"; creates its empty store when missing.
bool IsSimulationEnabled();
