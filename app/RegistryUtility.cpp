#include "app/RegistryUtility.h"

#include "app/AppPaths.h"
#include "app/IniFile.h"

using namespace Qt::Literals::StringLiterals;

QString ReadSetting(const QString &name)
{
    TIniFile store(AppPaths::SettingsFile());
    store.Touch();
    return store.Read(QString(), name);
}

void WriteSetting(const QString &name, const QString &value)
{
    TIniFile store(AppPaths::SettingsFile());
    store.Write(QString(), name, value);
}

bool SettingIsOn(const QString &name)
{
    return ReadSetting(name) == u"TRUE"_s;
}

bool IsSimulationEnabled()
{
    TIniFile store(AppPaths::SimulationSwitchFile());
    store.Touch();
    return store.Read(QString(), u"Simcity"_s) == u"9864"_s;
}
